#include "archive_extraction.h"

#include <string>

#include "extract_callback.h"
#include "extraction_plan.h"
#include "folder_maker.h"
#include "opened_archive.h"
#include "password_source.h"
#include "text_convert.h"

namespace {

// The target folder as a wide path without trailing separators ("C:" for "C:\").
std::wstring TargetFolderPath(const char* targetFolder) {
    std::wstring path = AnsiToWide(targetFolder);
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

}  // namespace

int32_t ExtractFiles(const TExtractionRequest& request) {
    if (!request.targetFolder || !*request.targetFolder) return kArchiveErrorInvalidArgument;
    const std::wstring target = TargetFolderPath(request.targetFolder);
    if (target.empty()) return kArchiveErrorInvalidArgument;

    TPasswordSource passwords(request.password, request.passwordCallback);
    TOpenedArchive archive;
    if (const int32_t failure = archive.Open(request.archivePath, passwords)) return failure;

    TExtractionPlan plan;
    if (const int32_t failure =
            plan.Make(archive, request.names, request.discardPaths, target, request.queryCallback))
        return failure;

    TFolderMaker folders;
    if (!folders.Make(target)) return kArchiveErrorWriteFailed;
    if (plan.indices().empty()) return 0;

    TExtractionOutcome outcome;
    TComPtr<TExtractCallback> callback = MakeComObject<TExtractCallback>(
        plan, passwords, TExtractCallbacks{request.progressCallback, request.overwriteCallback},
        folders, outcome);
    const HRESULT result = archive.handler()->Extract(
        plan.indices().data(), static_cast<UInt32>(plan.indices().size()), 0, callback.get());
    const bool succeeded = result == S_OK && outcome.code() == 0;
    callback->Conclude(succeeded);
    if (succeeded) return 0;
    if (outcome.code() != 0) return outcome.code();
    // A refused password ends the extraction before any item reports a result.
    if (result == E_ABORT && passwords.Asked()) return kArchiveErrorCannotOpen;
    return kArchiveErrorGeneral;
}
