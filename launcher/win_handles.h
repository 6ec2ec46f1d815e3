#pragma once

// Owners of the Windows handles the launcher uses: each closes its handle when it goes out of
// scope; get() lends it, release() hands it over. Also the start-up information of the child
// processes the launcher starts.
#include <windows.h>

namespace pantrix {

template <typename Traits>
class UniqueWinHandle {
  public:
    using Handle = typename Traits::Handle;
    UniqueWinHandle() = default;
    explicit UniqueWinHandle(Handle handle) : handle_(handle) {}
    UniqueWinHandle(const UniqueWinHandle&) = delete;
    UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;
    UniqueWinHandle(UniqueWinHandle&& other) noexcept : handle_(other.release()) {}
    UniqueWinHandle& operator=(UniqueWinHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueWinHandle() { reset(); }

    Handle get() const { return handle_; }
    bool valid() const { return Traits::Valid(handle_); }
    Handle release() {
        Handle handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }
    void reset(Handle handle = Traits::Invalid()) {
        if (Traits::Valid(handle_)) Traits::Close(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct MappedViewTraits {
    using Handle = const void*;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { UnmapViewOfFile(h); }
};
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};

using UniqueHandle = UniqueWinHandle<KernelHandleTraits>;  // files, mappings, processes
using UniqueFind = UniqueWinHandle<FindHandleTraits>;
using UniqueView = UniqueWinHandle<MappedViewTraits>;
using UniqueKey = UniqueWinHandle<RegistryKeyTraits>;

// Start-up information for a child process that shows its window normally and shares this
// process's standard handles (the output pipe of the log among them).
inline STARTUPINFOA StartupWithOurStdHandles() {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    return startup;
}

}  // namespace pantrix
