#pragma once
// One extracted file being written: 7-Zip's output stream over the new file. The file is kept
// only when Finish() succeeds; Discard() removes what was written of it.

#include <atomic>
#include <cstdint>
#include <string>

#include "com_object.h"
#include "file_handle.h"
#include "seven_zip.h"

// The first failure of an extraction, recorded by whichever part meets it.
class TExtractionOutcome {
  public:
    void Fail(int32_t code) {
        int32_t none = 0;
        code_.compare_exchange_strong(none, code);
    }
    int32_t code() const { return code_.load(); }

  private:
    std::atomic<int32_t> code_{0};
};

class TOutFileStream final : public TComObject<ISequentialOutStream> {
  public:
    TOutFileStream(TFileHandle file, std::wstring path, TExtractionOutcome& outcome)
        : file_(std::move(file)), path_(std::move(path)), outcome_(outcome) {}

    // Creates (or truncates) the file at `path`; null when Windows refuses.
    static TComPtr<TOutFileStream> Create(const std::wstring& path, TExtractionOutcome& outcome);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    HRESULT STDMETHODCALLTYPE Write(const void* data, UInt32 size,
                                    UInt32* processed) noexcept override;

    // Sets the stored time and attributes and closes the file; false when it could not be
    // completed (the file is then removed).
    bool Finish(const FILETIME& modified, uint32_t attributes);
    // Closes and removes the file.
    void Discard();
    bool closed() const { return closed_; }

  private:
    TFileHandle file_;
    std::wstring path_;
    TExtractionOutcome& outcome_;
    bool closed_ = false;
};
