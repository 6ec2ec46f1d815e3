#include "text_convert.h"

#include <windows.h>

#include <climits>

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::wstring AnsiToWide(std::string_view text) {
    return ToWide(CP_ACP, text);
}
std::string WideToAnsi(std::wstring_view text) {
    return FromWide(CP_ACP, text);
}
std::string WideToUtf8(std::wstring_view text) {
    return FromWide(CP_UTF8, text);
}
std::wstring Utf8ToWide(std::string_view text) {
    return ToWide(CP_UTF8, text);
}
