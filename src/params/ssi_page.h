#pragma once

// The SSI configuration page at work.
