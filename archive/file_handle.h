#pragma once
// A Windows file handle that closes itself.

#include <windows.h>

#include <utility>

class TFileHandle {
  public:
    TFileHandle() = default;
    explicit TFileHandle(HANDLE handle) : handle_(handle) {}
    TFileHandle(TFileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    TFileHandle& operator=(TFileHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~TFileHandle() { close(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    // Closes the handle; false when CloseHandle failed (data may not have been written).
    bool close() {
        if (!valid()) return true;
        return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
