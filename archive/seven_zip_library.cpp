#include "seven_zip_library.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "include/qor_archive.h"

namespace {

constexpr char kRegistrationKey[] = "SOFTWARE\\Halvorne\\Corvelle\\Seven Zip";
constexpr char kRegistrationValue[] = "Path";
constexpr char kFormatLibrary[] = "Formats\\7z.dll";

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

// The registered folder with a trailing backslash, or empty when it is not registered.
std::string RegisteredFolder() {
    TRegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRegistrationKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), kRegistrationValue, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return {};
    std::string folder(size, '\0');
    if (RegQueryValueExA(key.get(), kRegistrationValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(folder.data()), &size) != ERROR_SUCCESS)
        return {};
    folder.resize(std::min<size_t>(size, folder.size()));
    if (const size_t zero = folder.find('\0'); zero != std::string::npos) folder.resize(zero);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

std::mutex g_loadLock;
TCreateObjectFunction g_createObject = nullptr;

TCreateObjectFunction LoadCreateObject() {
    std::lock_guard lock(g_loadLock);
    if (g_createObject) return g_createObject;
    const std::string folder = RegisteredFolder();
    if (folder.empty()) return nullptr;
    const std::string path = folder + kFormatLibrary;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return nullptr;
    // Through the generic function type, which GCC accepts as a cast to any other.
    auto function = reinterpret_cast<TCreateObjectFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "CreateObject")));
    if (!function) {
        FreeLibrary(module);
        return nullptr;
    }
    // The module stays loaded for the life of the process: handlers created from it may
    // outlive any one call.
    g_createObject = function;
    return g_createObject;
}

}  // namespace

int32_t CreateFormatHandler(TComPtr<IInArchive>& handler) {
    TCreateObjectFunction createObject = LoadCreateObject();
    if (!createObject) return kArchiveErrorNoFormatLibrary;
    void* object = nullptr;
    if (createObject(&CLSID_Format7z, &IID_IInArchive, &object) != S_OK || !object)
        return kArchiveErrorGeneral;
    handler = TComPtr<IInArchive>(static_cast<IInArchive*>(object));
    return 0;
}
