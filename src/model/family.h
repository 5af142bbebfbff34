#pragma once

// The output family of the connected encoder. Identification sets it from the output-type byte;
// it stays None until a known type has been read, and every page that differs by family (the
// configuration panels, the summary captions, the file layout, the product link) asks it.

namespace orvo::model {

enum class Family { None, Ssi, Analog, Parallel };

}  // namespace orvo::model
