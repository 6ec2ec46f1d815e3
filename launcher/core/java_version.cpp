#include "java_version.h"

#include "settings.h"

namespace pantrix {

uint64_t ParseJavaVersion(std::string_view text, uint64_t default_component) {
    uint64_t version = 0;
    size_t at = 0;
    for (int component = 0; component < 4; ++component) {
        while (at < text.size() && (text[at] < '0' || text[at] > '9')) ++at;
        uint64_t value = default_component;
        if (at < text.size()) {
            value = 0;
            for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
                value = value * 10 + static_cast<uint64_t>(text[at] - '0');
        }
        version = version * 10000 + value;
    }
    return version;
}

JavaVersionRange JavaVersionRangeFromSettings(std::string_view settings) {
    const std::string_view minimum = *SettingLookup(settings, "minver", "1.4");
    const std::string_view maximum = *SettingLookup(settings, "maxver", "9999");
    return {ParseJavaVersion(minimum, 0), ParseJavaVersion(maximum, 9999)};
}

}  // namespace pantrix
