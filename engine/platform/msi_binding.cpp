#include "msi_binding.h"

FARPROC LateBoundLibrary::Resolve(const char* function_name) {
    HMODULE module = nullptr;
    {
        const std::lock_guard guard(lock_);
        if (module_ == nullptr) {
            module_ = GetModuleHandleA(file_name_.c_str());
            if (module_ == nullptr) module_ = LoadLibraryA(file_name_.c_str());
            if (module_ == nullptr) throw LateBindError("Library not found: " + file_name_);
        }
        module = module_;
    }
    const FARPROC address = GetProcAddress(module, function_name);
    if (address == nullptr) {
        throw LateBindError("Function not found: " + file_name_ + "." + function_name);
    }
    return address;
}

LateBoundLibrary& MsiLibrary() {
    static LateBoundLibrary library("msi.dll");
    return library;
}

UINT BoundMsiEnableLogA(DWORD log_mode, LPCSTR log_file, DWORD log_attributes) {
    static LateBoundFunction<decltype(MsiEnableLogA)> slot(MsiLibrary(), "MsiEnableLogA");
    return slot.Get()(log_mode, log_file, log_attributes);
}
