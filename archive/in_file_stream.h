#pragma once
// The archive file as 7-Zip's seekable input stream.

#include <string>

#include "com_object.h"
#include "file_handle.h"
#include "seven_zip.h"

class TInFileStream final : public TComObject<IInStream> {
  public:
    explicit TInFileStream(TFileHandle file) : file_(std::move(file)) {}

    // Opens `path` for reading, sharing it with readers; null with the Windows error set.
    static TComPtr<TInFileStream> Open(const std::wstring& path);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    HRESULT STDMETHODCALLTYPE Read(void* data, UInt32 size, UInt32* processed) noexcept override;
    HRESULT STDMETHODCALLTYPE Seek(Int64 offset, UInt32 origin,
                                   UInt64* newPosition) noexcept override;

  private:
    TFileHandle file_;
};
