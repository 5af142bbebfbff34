#pragma once

// Pure position decoding and preset conversions.
