#pragma once

// Java version texts as comparable numbers.
#include <cstdint>
#include <string_view>

namespace pantrix {

// Four decimal components packed as ((c1 * 10000 + c2) * 10000 + c3) * 10000 + c4: each
// component is the next run of digits after skipping non-digits; a component missing
// because the text has ended takes default_component. Components are not limited to four
// digits; the arithmetic wraps modulo 2^64 for absurdly long ones.
uint64_t ParseJavaVersion(std::string_view text, uint64_t default_component);

// The acceptable range from the settings text: "minver" (default "1.4", missing components 0)
// to "maxver" (default "9999", missing components 9999), both ends included.
struct JavaVersionRange {
    uint64_t minimum;
    uint64_t maximum;
    bool Accepts(uint64_t version) const { return minimum <= version && version <= maximum; }
};
JavaVersionRange JavaVersionRangeFromSettings(std::string_view settings);

}  // namespace pantrix
