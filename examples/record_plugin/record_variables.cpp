// record.dll: a small plug-in library for setups. A script names it as a plug-in command; the
// statement's first parameter is the path of a text file, the second the library's name. The
// path may name the setup's variables as $NAME$ (for example $EXEDIR$record.txt). The
// library writes every variable the setup handed over to that file, one "NAME=VALUE" line
// each in store order (a CR LF inside a value is written as $NEWLINE$), and hands the
// variables back unchanged.
//
// It exports "RunTimeExecute" (stdcall, undecorated), which the setup engine calls twice: with
// no buffer to learn the length of the result, then with a buffer for the result.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "comma_text.h"

using Progress = std::int32_t(__stdcall*)(std::int32_t position, const char* text);

namespace {

std::string g_result;

std::string NewlineEncoded(const std::string& value) {
    std::string encoded;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
            encoded += "$NEWLINE$";
            ++i;
        } else {
            encoded += value[i];
        }
    }
    return encoded;
}

// The path with every $NAME$ of a variable replaced by its value, in store order.
std::string ExpandedPath(std::string path, const std::vector<std::string>& elements) {
    for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
        const std::string reference = "$" + elements[i] + "$";
        for (std::size_t at = path.find(reference); at != std::string::npos;
             at = path.find(reference, at + elements[i + 1].size())) {
            path.replace(at, reference.size(), elements[i + 1]);
        }
    }
    return path;
}

bool WriteRecord(const std::string& data, const std::string& variables) {
    const std::vector<std::string> elements = FromCommaText(variables);
    const std::string path = ExpandedPath(data, elements);
    std::string text;
    for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
        text += elements[i] + "=" + NewlineEncoded(elements[i + 1]) + "\r\n";
    }
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    CloseHandle(file);
    return ok;
}

}  // namespace

extern "C" __declspec(dllexport) std::int32_t
    __stdcall RunTimeExecute(HWND, const char* variables, const char* data, Progress progress,
                             std::int32_t*, char* buffer) {
    if (buffer) {
        std::memcpy(buffer, g_result.c_str(), g_result.size() + 1);
        return static_cast<std::int32_t>(g_result.size());
    }
    const std::string path = data ? data : "";
    g_result = variables ? variables : "";
    if (path.empty() || !WriteRecord(path, g_result)) return -1;
    if (progress) progress(100, "Variables recorded");
    return static_cast<std::int32_t>(g_result.size());
}
