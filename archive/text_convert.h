#pragma once
// Conversions between the engine's 8-bit text (system code page), UTF-8 and the UTF-16 text
// of 7-Zip and the wide Windows file functions.

#include <string>
#include <string_view>

std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
