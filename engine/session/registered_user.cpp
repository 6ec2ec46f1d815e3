#include "registered_user.h"

#include <shlobj.h>
#include <windows.h>

#include <vector>

#include "windows_version.h"

namespace {

class OpenKey {
  public:
    OpenKey(HKEY root, const char* path) {
        if (RegOpenKeyExA(root, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

std::string StringValue(const OpenKey& key, const char* name) {
    if (!key.get()) return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    std::vector<char> value(size + 1, '\0');
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS) {
        return {};
    }
    return std::string(value.data());  // up to the terminator the value carries, or the end
}

}  // namespace

RegisteredUser ReadRegisteredUser() {
    const char* path = RunningWindowsVersion().nt_family
                           ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                           : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    const OpenKey key(HKEY_LOCAL_MACHINE, path);
    return {StringValue(key, "RegisteredOwner"), StringValue(key, "RegisteredOrganization")};
}

bool DefaultAllUsers() {
    return RunningWindowsVersion().nt_family && IsUserAnAdmin();
}
