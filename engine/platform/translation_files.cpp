#include "translation_files.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

struct CloseFile {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// Owns an open file; the null handle never occurs (INVALID_HANDLE_VALUE is checked first).
using FileHandle = std::unique_ptr<void, CloseFile>;

std::string FileError(const char* call, const std::string& path, DWORD code) {
    return std::string(call) + " failed for \"" + path + "\" (error " + std::to_string(code) +
           ")";
}

}  // namespace

FileStamp WindowsTranslationFiles::Stamp(const std::string& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {};
    }
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    stamp.time = static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime}
                                            << 32) |
                                           data.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

FileRead WindowsTranslationFiles::Read(const std::string& path, std::uint64_t limit) const {
    const HANDLE raw = CreateFileA(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return {false, {}, FileError("CreateFileA", path, GetLastError())};
    const FileHandle file(raw);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        return {false, {}, FileError("GetFileSizeEx", path, GetLastError())};
    }
    if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > limit) {
        return {false, {}, "The file \"" + path + "\" is larger than " + std::to_string(limit) +
                               " bytes"};
    }
    FileRead result;
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        const DWORD piece = static_cast<DWORD>(
            std::min<std::size_t>(result.bytes.size() - done, std::size_t{1} << 30));
        DWORD read = 0;
        if (!ReadFile(file.get(), result.bytes.data() + done, piece, &read, nullptr)) {
            return {false, {}, FileError("ReadFile", path, GetLastError())};
        }
        if (read == 0) break;  // the file became shorter meanwhile
        done += read;
    }
    result.bytes.resize(done);
    result.ok = true;
    return result;
}

int UserLanguage() {
    char text[16] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTLANGUAGE, text, sizeof text) == 0) {
        return 0;
    }
    return ParseUserLanguage(text);
}

std::string UserLanguageName() {
    return LanguageIdentifierToName(UserLanguage());
}
