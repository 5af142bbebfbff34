#pragma once

// Resolution programming at work.
