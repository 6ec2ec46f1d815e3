#include "codec_installation.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <shlobj.h>

#include <utility>

namespace {

constexpr char kRegistrationKey[] = "SOFTWARE\\Halvorne\\Corvelle\\Seven Zip";
constexpr char kRegistrationValue[] = "Path";
constexpr char kInstallFolder[] = "Seven Zip\\";
constexpr REGSAM kKeyWrite = KEY_WRITE;  // 0x20006
static_assert(kKeyWrite == 0x20006);

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// A shell folder by CSIDL number, with a trailing backslash; empty when it has none.
std::string SpecialFolder(int csidl) {
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(GetDesktopWindow(), csidl, &list) != S_OK || !list) return {};
    char path[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    return found ? WithBackslash(path) : std::string();
}

class TRegistryKey {
  public:
    TRegistryKey() = default;
    TRegistryKey(const TRegistryKey&) = delete;
    TRegistryKey& operator=(const TRegistryKey&) = delete;
    ~TRegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY get() const { return key_; }
    HKEY* put() { return &key_; }

  private:
    HKEY key_ = nullptr;
};

std::string CommonFilesFromRegistry() {
    TRegistryKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ, key.put()) != ERROR_SUCCESS)
        return {};
    char value[MAX_PATH] = {};
    DWORD size = sizeof(value) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), "CommonFilesDir", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return WithBackslash(value);
}

class TFileHandle {
  public:
    explicit TFileHandle(HANDLE handle) : handle_(handle) {}
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

bool IsWindows9x() {
    return (GetVersion() & 0x80000000u) != 0;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates `folder` (trailing backslash) with any missing parents; true when it exists after.
bool MakeFolders(const std::string& folder) {
    for (size_t end = folder.find('\\', 3); end != std::string::npos;
         end = folder.find('\\', end + 1))
        CreateDirectoryA(folder.substr(0, end).c_str(), nullptr);
    return FolderExists(folder);
}

// The bytes of an RCDATA resource of the program file.
std::pair<const void*, DWORD> ProgramResource(const char* name) {
    HMODULE program = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(program, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!resource) return {nullptr, 0};
    HGLOBAL loaded = LoadResource(program, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    return {bytes, bytes ? SizeofResource(program, resource) : 0};
}

// Replaces `path` with the resource's bytes; true when the file exists afterwards.
bool WriteCodecFile(const char* resource, const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    const auto [bytes, size] = ProgramResource(resource);
    if (!bytes) return FileExists(path);
    bool complete = false;
    {
        const TFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) return FileExists(path);
        DWORD written = 0;
        complete = WriteFile(file.get(), bytes, size, &written, nullptr) && written == size;
    }
    // A file cut short would load as a broken library: better none at all.
    if (!complete) DeleteFileA(path.c_str());
    return FileExists(path);
}

bool WriteRegistration(const std::string& folder) {
    TRegistryKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRegistrationKey, 0, nullptr, 0, kKeyWrite, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), kRegistrationValue, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(folder.c_str()),
                          static_cast<DWORD>(folder.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

std::string CodecBaseFolder() {
    if (IsWindows9x()) {
        const std::string common = SpecialFolder(CSIDL_PROGRAM_FILES_COMMON);
        return common.empty() ? CommonFilesFromRegistry() : common;
    }
    std::string base = SpecialFolder(CSIDL_LOCAL_APPDATA);
    if (base.empty()) base = SpecialFolder(CSIDL_APPDATA);
    if (base.empty()) {
        // The folder above the desktop folder.
        std::string desktop = SpecialFolder(CSIDL_DESKTOP);
        if (desktop.size() > 1) desktop.pop_back();
        const size_t separator = desktop.find_last_of('\\');
        if (separator != std::string::npos)
            base = desktop.substr(0, separator + 1) + "Application Data\\";
    }
    return base;
}

bool InstallCodecsInto(const std::string& base) {
    if (base.empty()) return false;
    const std::string root = WithBackslash(base) + kInstallFolder;
    for (const CodecFile& codec : kCodecFiles) {
        const std::string path = root + codec.file;
        if (!MakeFolders(path.substr(0, path.find_last_of('\\') + 1))) return false;
    }
    for (const CodecFile& codec : kCodecFiles) {
        if (!WriteCodecFile(codec.resource, root + codec.file)) return false;
    }
    return WriteRegistration(root);
}

void InstallCodecs() {
    InstallCodecsInto(CodecBaseFolder());
}
