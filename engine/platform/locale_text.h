#pragma once

#include <string>
#include <string_view>

// Texts that depend on the user's locale and the system code page.

// The current local date in the user's short date format and the current local time in the
// user's long time format (GetDateFormatA with DATE_SHORTDATE, GetTimeFormatA), both of one
// moment.
struct LocalDateTime {
    std::string date;
    std::string time;
};
LocalDateTime CurrentLocalDateTime();

// 8-bit text in the ANSI code page as UTF-16 code units (MultiByteToWideChar with CP_ACP).
// Throws std::length_error for a text of more than 2 GiB, which the call cannot take.
std::u16string AnsiToUtf16(std::string_view text);
