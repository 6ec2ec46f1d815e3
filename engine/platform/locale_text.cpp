#include "locale_text.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace {

template <typename Format>
std::string FormatWith(Format format, const SYSTEMTIME& moment) {
    char text[256] = {};
    if (format(LOCALE_USER_DEFAULT, &moment, text, static_cast<int>(sizeof text)) == 0) return {};
    return text;
}

}  // namespace

LocalDateTime CurrentLocalDateTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    LocalDateTime result;
    result.date = FormatWith(
        [](LCID locale, const SYSTEMTIME* moment, char* text, int size) {
            return GetDateFormatA(locale, DATE_SHORTDATE, moment, nullptr, text, size);
        },
        now);
    result.time =
        FormatWith([](LCID locale, const SYSTEMTIME* moment, char* text,
                      int size) { return GetTimeFormatA(locale, 0, moment, nullptr, text, size); },
                   now);
    return result;
}

std::u16string AnsiToUtf16(std::string_view text) {
    if (text.empty()) return {};
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("AnsiToUtf16: the text is longer than 2 GiB");
    }
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), units);
    return std::u16string(wide.begin(), wide.end());
}
