#include "in_file_stream.h"

TComPtr<TInFileStream> TInFileStream::Open(const std::wstring& path) {
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return {};
    return MakeComObject<TInFileStream>(std::move(file));
}

HRESULT STDMETHODCALLTYPE TInFileStream::QueryInterface(REFIID iid, void** out) noexcept {
    IInStream* self = this;
    return Answer(iid, out,
                  {{&IID_IUnknown, static_cast<IUnknown*>(self)},
                   {&IID_ISequentialInStream, static_cast<ISequentialInStream*>(self)},
                   {&IID_IInStream, self}});
}

HRESULT STDMETHODCALLTYPE TInFileStream::Read(void* data, UInt32 size, UInt32* processed) noexcept {
    DWORD done = 0;
    const BOOL ok = size == 0 || ReadFile(file_.get(), data, size, &done, nullptr);
    if (processed) *processed = done;
    return ok ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

HRESULT STDMETHODCALLTYPE TInFileStream::Seek(Int64 offset, UInt32 origin,
                                              UInt64* newPosition) noexcept {
    // 7-Zip's origins are those of SetFilePointerEx: set, current, end.
    if (origin > FILE_END) return STG_E_INVALIDFUNCTION;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    position.QuadPart = 0;
    if (!SetFilePointerEx(file_.get(), distance, &position, origin))
        return HRESULT_FROM_WIN32(GetLastError());
    if (newPosition) *newPosition = static_cast<UInt64>(position.QuadPart);
    return S_OK;
}
