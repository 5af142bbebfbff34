#pragma once

// Pure resolution arithmetic.
