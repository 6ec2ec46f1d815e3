#include "settings.h"

namespace pantrix {

std::optional<std::string_view> SettingLookup(std::string_view text, std::string_view name,
                                              std::optional<std::string_view> fallback) {
    // name + "=" searched without building the combined text.
    size_t from = 0;
    while (true) {
        const size_t at = text.find(name, from);
        if (at == std::string_view::npos) return fallback;
        const size_t value_start = at + name.size();
        if (value_start < text.size() && text[value_start] == '=') {
            const size_t line_end = text.find('\n', value_start + 1);
            if (line_end == std::string_view::npos) return fallback;
            return text.substr(value_start + 1, line_end - value_start - 1);
        }
        from = at + 1;
    }
}

}  // namespace pantrix
