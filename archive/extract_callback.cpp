#include "extract_callback.h"

#include <utility>

#include "text_convert.h"

namespace {

uint32_t Low(uint64_t value) {
    return static_cast<uint32_t>(value);
}
uint32_t High(uint64_t value) {
    return static_cast<uint32_t>(value >> 32);
}

// The library's code for a result that 7-Zip reports for one item.
int32_t ItemFailureCode(Int32 result, bool encrypted) {
    namespace Result = NArchive::NExtract::NOperationResult;
    switch (result) {
        case Result::kWrongPassword:
            return kArchiveErrorCannotOpen;
        // 7-Zip cannot always tell a wrong password from damage: in an encrypted item a data
        // or CRC error is what a wrong password gives.
        case Result::kDataError:
        case Result::kCRCError:
            return encrypted ? kArchiveErrorCannotOpen : kArchiveErrorDataError;
        default:
            return kArchiveErrorDataError;
    }
}

}  // namespace

TExtractCallback::TExtractCallback(const TExtractionPlan& plan, TPasswordSource& passwords,
                                   TExtractCallbacks callbacks, TFolderMaker& folders,
                                   TExtractionOutcome& outcome)
    : plan_(plan),
      passwords_(passwords),
      callbacks_(callbacks),
      folders_(folders),
      outcome_(outcome) {}

HRESULT STDMETHODCALLTYPE TExtractCallback::QueryInterface(REFIID iid, void** out) noexcept {
    IArchiveExtractCallback* self = this;
    return Answer(iid, out,
                  {{&IID_IUnknown, static_cast<IUnknown*>(self)},
                   {&IID_IProgress, static_cast<IProgress*>(self)},
                   {&IID_IArchiveExtractCallback, self},
                   {&IID_ICryptoGetTextPassword, static_cast<ICryptoGetTextPassword*>(this)}});
}

HRESULT STDMETHODCALLTYPE TExtractCallback::SetTotal(UInt64 total) noexcept {
    std::lock_guard guard(progressLock_);
    total_ = total;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TExtractCallback::SetCompleted(const UInt64* done) noexcept {
    if (!done) return S_OK;
    done_ = *done;
    return Report(*done) ? S_OK : E_ABORT;
}

bool TExtractCallback::Report(uint64_t done, bool mayStop) {
    std::lock_guard guard(progressLock_);
    lastReported_ = done;
    reported_ = true;
    if (!callbacks_.progress) return true;
    if (callbacks_.progress(currentName_.c_str(), Low(done), High(done), Low(total_),
                            High(total_)) != 0 ||
        !mayStop)
        return true;
    outcome_.Fail(kArchiveErrorStopped);
    return false;
}

HRESULT STDMETHODCALLTYPE TExtractCallback::GetStream(UInt32 index, ISequentialOutStream** stream,
                                                      Int32 askMode) noexcept {
    if (!stream) return E_POINTER;
    *stream = nullptr;
    // Kept also for an item that is skipped: when decoding fails before its data, 7-Zip asks
    // for the item in skip mode and then reports the failure for it.
    currentIndex_ = index;
    currentItem_ = nullptr;
    const TPlannedItem* item = plan_.Find(index);
    if (!item || askMode != NArchive::NExtract::NAskMode::kExtract) return S_OK;
    currentItem_ = item;
    {
        std::lock_guard guard(progressLock_);
        currentName_ = item->name;
    }
    if (!Report(done_)) return E_ABORT;
    if (item->folder) {
        if (folders_.Make(item->target)) return S_OK;
        outcome_.Fail(kArchiveErrorWriteFailed);
        return E_FAIL;
    }
    return OpenFile(*item, stream);
}

HRESULT TExtractCallback::OpenFile(const TPlannedItem& item, ISequentialOutStream** stream) {
    if (!folders_.Make(ParentFolder(item.target))) {
        outcome_.Fail(kArchiveErrorWriteFailed);
        return E_FAIL;
    }
    WIN32_FILE_ATTRIBUTE_DATA existing{};
    if (GetFileAttributesExW(item.target.c_str(), GetFileExInfoStandard, &existing)) {
        if (existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            outcome_.Fail(kArchiveErrorWriteFailed);
            return E_FAIL;
        }
        if (!MayReplace(item, existing)) return S_OK;
        SetFileAttributesW(item.target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    currentFile_ = TOutFileStream::Create(item.target, outcome_);
    if (!currentFile_) {
        outcome_.Fail(kArchiveErrorWriteFailed);
        return E_FAIL;
    }
    currentFile_->AddRef();  // the reference that 7-Zip receives
    *stream = currentFile_.get();
    return S_OK;
}

bool TExtractCallback::MayReplace(const TPlannedItem& item,
                                  const WIN32_FILE_ATTRIBUTE_DATA& existing) {
    if (!callbacks_.overwrite) return false;
    const std::string existingPath = WideToAnsi(item.target);
    return callbacks_.overwrite(existingPath.c_str(), existing.nFileSizeLow, existing.nFileSizeHigh,
                                existing.ftLastWriteTime.dwLowDateTime,
                                existing.ftLastWriteTime.dwHighDateTime, item.name.c_str(),
                                Low(item.size), High(item.size), item.modified.dwLowDateTime,
                                item.modified.dwHighDateTime) == kArchiveOverwriteReplace;
}

HRESULT STDMETHODCALLTYPE TExtractCallback::PrepareOperation(Int32) noexcept {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TExtractCallback::SetOperationResult(Int32 result) noexcept {
    const TPlannedItem* item = std::exchange(currentItem_, nullptr);
    TComPtr<TOutFileStream> file = std::move(currentFile_);
    if (result != NArchive::NExtract::NOperationResult::kOK) {
        if (file) file->Discard();
        outcome_.Fail(ItemFailureCode(result, plan_.Encrypted(currentIndex_)));
        return E_FAIL;
    }
    if (file && !file->Finish(item->modified, item->attributes)) {
        outcome_.Fail(kArchiveErrorWriteFailed);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TExtractCallback::CryptoGetTextPassword(BSTR* password) noexcept {
    return passwords_.Get(password);
}

void TExtractCallback::Conclude(bool succeeded) {
    if (currentFile_ && !currentFile_->closed()) currentFile_->Discard();
    currentFile_.reset();
    if (!succeeded) return;
    bool shortOfTotal = false;
    {
        std::lock_guard guard(progressLock_);
        shortOfTotal = !reported_ || lastReported_ != total_;
    }
    // Everything is written: a stop asked for now changes nothing.
    if (shortOfTotal) Report(total_, false);
}
