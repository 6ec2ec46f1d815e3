#include "opened_archive.h"

#include <cstring>

#include "in_file_stream.h"
#include "include/qor_archive.h"
#include "seven_zip_library.h"
#include "text_convert.h"

namespace {

// 7-Zip's progress of opening, and the password when the headers are encrypted.
class TOpenCallback final : public TComObject<IArchiveOpenCallback, ICryptoGetTextPassword> {
  public:
    explicit TOpenCallback(TPasswordSource& passwords) : passwords_(passwords) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        IArchiveOpenCallback* self = this;
        return Answer(iid, out,
                      {{&IID_IUnknown, static_cast<IUnknown*>(self)},
                       {&IID_IArchiveOpenCallback, self},
                       {&IID_ICryptoGetTextPassword, static_cast<ICryptoGetTextPassword*>(this)}});
    }
    HRESULT STDMETHODCALLTYPE SetTotal(const UInt64*, const UInt64*) noexcept override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UInt64*, const UInt64*) noexcept override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) noexcept override {
        return passwords_.Get(password);
    }

  private:
    TPasswordSource& passwords_;
};

// A PROPVARIANT that clears itself.
class TPropVariant {
  public:
    TPropVariant() { PropVariantInit(&value_); }
    TPropVariant(const TPropVariant&) = delete;
    TPropVariant& operator=(const TPropVariant&) = delete;
    ~TPropVariant() { PropVariantClear(&value_); }
    PROPVARIANT* put() {
        PropVariantClear(&value_);
        return &value_;
    }
    const PROPVARIANT& get() const { return value_; }

  private:
    PROPVARIANT value_;
};

class TItemReader {
  public:
    TItemReader(IInArchive* handler, uint32_t index) : handler_(handler), index_(index) {}

    const PROPVARIANT& Read(PROPID property) {
        if (handler_->GetProperty(index_, property, value_.put()) != S_OK) value_.put();
        return value_.get();
    }
    bool Flag(PROPID property) {
        const PROPVARIANT& v = Read(property);
        return v.vt == VT_BOOL && v.boolVal != VARIANT_FALSE;
    }
    uint64_t Number(PROPID property) {
        const PROPVARIANT& v = Read(property);
        switch (v.vt) {
            case VT_UI8:
                return v.uhVal.QuadPart;
            case VT_UI4:
                return v.ulVal;
            case VT_UI2:
                return v.uiVal;
            case VT_UI1:
                return v.bVal;
            default:
                return 0;
        }
    }

  private:
    IInArchive* handler_;
    uint32_t index_;
    TPropVariant value_;
};

}  // namespace

bool HasWildcard(const char* path) {
    return std::strpbrk(path, "*?") != nullptr;
}

int32_t TOpenedArchive::Open(const char* archivePath, TPasswordSource& passwords) {
    if (!archivePath || !*archivePath) return kArchiveErrorInvalidArgument;
    if (HasWildcard(archivePath)) return kArchiveErrorWildcard;
    const std::wstring path = AnsiToWide(archivePath);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return kArchiveErrorNotFound;
    TComPtr<IInArchive> handler;
    if (const int32_t failure = CreateFormatHandler(handler)) return failure;
    TComPtr<TInFileStream> stream = TInFileStream::Open(path);
    if (!stream) return kArchiveErrorCannotOpen;
    // Only an archive that starts at the beginning of the file is accepted.
    const UInt64 maxStartOffset = 0;
    TComPtr<TOpenCallback> callback = MakeComObject<TOpenCallback>(passwords);
    const HRESULT result = handler->Open(stream.get(), &maxStartOffset, callback.get());
    if (result == E_OUTOFMEMORY) return kArchiveErrorGeneral;
    if (result != S_OK) return kArchiveErrorCannotOpen;
    handler_ = std::move(handler);
    return 0;
}

TOpenedArchive::~TOpenedArchive() {
    if (handler_) handler_->Close();
}

uint32_t TOpenedArchive::ItemCount() const {
    UInt32 count = 0;
    if (handler_->GetNumberOfItems(&count) != S_OK) return 0;
    return count;
}

TArchiveItem TOpenedArchive::Item(uint32_t index) const {
    TItemReader reader(handler_.get(), index);
    TArchiveItem item;
    if (const PROPVARIANT& v = reader.Read(kpidPath); v.vt == VT_BSTR && v.bstrVal)
        item.path.assign(v.bstrVal, SysStringLen(v.bstrVal));
    item.folder = reader.Flag(kpidIsDir);
    item.encrypted = reader.Flag(kpidEncrypted);
    item.anti = reader.Flag(kpidIsAnti);
    item.size = reader.Number(kpidSize);
    item.packedSize = reader.Number(kpidPackSize);
    if (const PROPVARIANT& v = reader.Read(kpidCRC); v.vt == VT_UI4) {
        item.hasCrc = true;
        item.crc = v.ulVal;
    }
    if (const PROPVARIANT& v = reader.Read(kpidMTime); v.vt == VT_FILETIME)
        item.modified = v.filetime;
    item.attributes = static_cast<uint32_t>(reader.Number(kpidAttrib));
    return item;
}
