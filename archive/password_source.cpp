#include "password_source.h"

#include <array>

#include "text_convert.h"

TPasswordSource::TPasswordSource(const char* password, TArchivePasswordCallback callback)
    : callback_(callback) {
    if (password && *password) {
        password_ = AnsiToWide(password);
        known_ = true;
    }
}

HRESULT TPasswordSource::Get(BSTR* password) {
    if (!password) return E_POINTER;
    *password = nullptr;
    std::lock_guard guard(lock_);
    if (!known_ && !asked_ && callback_) {
        std::array<char, kArchivePasswordBufferSize> buffer{};
        if (callback_(buffer.data()) == 1) {
            buffer.back() = '\0';
            password_ = AnsiToWide(buffer.data());
            known_ = true;
        }
    }
    asked_ = true;
    if (!known_) return E_ABORT;
    *password = SysAllocStringLen(password_.data(), static_cast<UINT>(password_.size()));
    return *password ? S_OK : E_OUTOFMEMORY;
}

bool TPasswordSource::Asked() const {
    std::lock_guard guard(lock_);
    return asked_;
}
