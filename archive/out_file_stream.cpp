#include "out_file_stream.h"

#include "include/qor_archive.h"

namespace {

// The stored attributes that are given to the written file; the others (folder, compression,
// 7-Zip's Unix mode bits) describe the source system and are not copied.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

}  // namespace

TComPtr<TOutFileStream> TOutFileStream::Create(const std::wstring& path,
                                               TExtractionOutcome& outcome) {
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return {};
    return MakeComObject<TOutFileStream>(std::move(file), path, outcome);
}

HRESULT STDMETHODCALLTYPE TOutFileStream::QueryInterface(REFIID iid, void** out) noexcept {
    ISequentialOutStream* self = this;
    return Answer(
        iid, out,
        {{&IID_IUnknown, static_cast<IUnknown*>(self)}, {&IID_ISequentialOutStream, self}});
}

HRESULT STDMETHODCALLTYPE TOutFileStream::Write(const void* data, UInt32 size,
                                                UInt32* processed) noexcept {
    DWORD written = 0;
    const BOOL ok = size == 0 || WriteFile(file_.get(), data, size, &written, nullptr);
    if (processed) *processed = written;
    if (ok && written == size) return S_OK;
    outcome_.Fail(kArchiveErrorWriteFailed);
    return ok ? E_FAIL : HRESULT_FROM_WIN32(GetLastError());
}

bool TOutFileStream::Finish(const FILETIME& modified, uint32_t attributes) {
    if (modified.dwLowDateTime || modified.dwHighDateTime)
        SetFileTime(file_.get(), nullptr, nullptr, &modified);
    if (!file_.close()) {
        Discard();
        return false;
    }
    if (attributes & kKeptAttributes)
        SetFileAttributesW(path_.c_str(), attributes & kKeptAttributes);
    closed_ = true;
    return true;
}

void TOutFileStream::Discard() {
    file_.close();
    DeleteFileW(path_.c_str());
    closed_ = true;
}
