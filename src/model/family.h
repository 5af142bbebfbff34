#pragma once

// The output family of the connected encoder, and of a simulated one. Identification sets it from
// the output-type byte; it stays None until a known type has been read. What differs by family
// (the configuration page, the summary captions, the file layout, the product link, the position
// math) is looked up in the family's profile (model/family_profile.h), not asked of the enum.

namespace orvo::model {

enum class Family { None, Ssi, Analog, Parallel };

}  // namespace orvo::model
