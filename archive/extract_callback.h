#pragma once
// 7-Zip's extraction callback: hands 7-Zip a file for every planned item, asks the caller
// before replacing an existing file, reports progress (a 0 answer stops the extraction) and
// answers password requests.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "com_object.h"
#include "extraction_plan.h"
#include "folder_maker.h"
#include "include/qor_archive.h"
#include "out_file_stream.h"
#include "password_source.h"
#include "seven_zip.h"

struct TExtractCallbacks {
    TArchiveProgressCallback progress = nullptr;
    TArchiveOverwriteCallback overwrite = nullptr;
};

class TExtractCallback final : public TComObject<IArchiveExtractCallback, ICryptoGetTextPassword> {
  public:
    TExtractCallback(const TExtractionPlan& plan, TPasswordSource& passwords,
                     TExtractCallbacks callbacks, TFolderMaker& folders,
                     TExtractionOutcome& outcome);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    HRESULT STDMETHODCALLTYPE SetTotal(UInt64 total) noexcept override;
    HRESULT STDMETHODCALLTYPE SetCompleted(const UInt64* done) noexcept override;
    HRESULT STDMETHODCALLTYPE GetStream(UInt32 index, ISequentialOutStream** stream,
                                        Int32 askMode) noexcept override;
    HRESULT STDMETHODCALLTYPE PrepareOperation(Int32 askMode) noexcept override;
    HRESULT STDMETHODCALLTYPE SetOperationResult(Int32 result) noexcept override;
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) noexcept override;

    // After 7-Zip's Extract has returned: removes a file left incomplete by a stop or a
    // failure, and on success reports the total once more when the last report fell short.
    void Conclude(bool succeeded);

  private:
    // Calls the progress callback; false when it asked to stop and `mayStop` holds.
    bool Report(uint64_t done, bool mayStop = true);
    // Opens the file of a planned item, or leaves *stream null to skip it.
    HRESULT OpenFile(const TPlannedItem& item, ISequentialOutStream** stream);
    bool MayReplace(const TPlannedItem& item, const WIN32_FILE_ATTRIBUTE_DATA& existing);

    const TExtractionPlan& plan_;
    TPasswordSource& passwords_;
    TExtractCallbacks callbacks_;
    TFolderMaker& folders_;
    TExtractionOutcome& outcome_;

    // 7-Zip may report progress from its decoding threads while GetStream runs: the name and
    // the calls of the progress callback are serialised by this lock.
    std::mutex progressLock_;
    std::string currentName_;
    uint64_t total_ = 0;
    uint64_t lastReported_ = 0;
    bool reported_ = false;
    std::atomic<uint64_t> done_{0};

    uint32_t currentIndex_ = UINT32_MAX;
    const TPlannedItem* currentItem_ = nullptr;
    TComPtr<TOutFileStream> currentFile_;
};
