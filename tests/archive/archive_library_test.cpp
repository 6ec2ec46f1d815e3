// qor.dll through its four exports, over the archives that make-archives.sh builds with 7zz.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "archive_fixtures.h"
#include "qor_archive.h"

namespace fs = std::filesystem;
using qortest::ArchivePath;
using qortest::FolderContents;
using qortest::PayloadFiles;
using qortest::ReadWholeFile;
using qortest::TScratchFolder;
using qortest::WriteWholeFile;

namespace {

constexpr char kPassword[] = "Secret 1";

class ArchiveLibrary : public testing::Test {
  protected:
    static void SetUpTestSuite() { qortest::SetCodecRegistration(qortest::BuiltCodecFolder()); }
};

// The payload as extracted, folders included.
std::map<std::string, std::string> ExtractedPayload(bool withEmptyFolder) {
    auto expected = PayloadFiles();
    for (const char* folder : {"data\\", "docs\\", "docs\\deep\\"}) expected[folder] = "";
    if (withEmptyFolder) expected["empty\\"] = "";
    return expected;
}

// A listing copied out of the library before the handle is closed; the copied entries'
// name pointers are cleared, `names` holds the names in the same order.
struct TListing {
    bool opened = false;
    int32_t error = 0;
    std::vector<TArchiveEntry> entries;
    std::vector<std::string> names;
    std::set<std::string> nameSet() const { return {names.begin(), names.end()}; }
};

TListing List(const std::string& archive, const char* password = "",
              TArchivePasswordCallback callback = nullptr) {
    TListing listing;
    const TArchiveEntry* entries = nullptr;
    int32_t count = -1;
    void* handle =
        OpenListArchive(archive.c_str(), 0, callback, 0, 0, 0, password, &entries, &count);
    listing.opened = handle != nullptr;
    if (!handle) {
        listing.error = GetLastArchiveError(0);
        return listing;
    }
    for (const TArchiveEntry& entry : std::span(entries, static_cast<size_t>(count))) {
        listing.names.push_back(entry.name);
        listing.entries.push_back(entry);
        listing.entries.back().name = nullptr;
    }
    CloseListArchive(handle);
    return listing;
}

struct TExtraction {
    TExtraction(std::string archivePath, std::string targetFolder)
        : archive(std::move(archivePath)), target(std::move(targetFolder)) {}
    std::string archive;
    std::string target;
    std::vector<std::string> names;  // empty: every entry (no list)
    bool discardPaths = false;
    const char* password = "";
    TArchivePasswordCallback passwordCallback = nullptr;
    TArchiveProgressCallback progress = nullptr;
    TArchiveQueryCallback query = nullptr;
    TArchiveOverwriteCallback overwrite = nullptr;
};

// 0 on success, otherwise the library's error code.
int32_t Extract(const TExtraction& request) {
    std::vector<const char*> pointers;
    for (const std::string& name : request.names) pointers.push_back(name.c_str());
    const TArchiveNameList list{pointers.data(), static_cast<int32_t>(pointers.size())};
    const int32_t ok = ExtractArchive(
        request.archive.c_str(), 1, request.target.c_str(), request.names.empty() ? nullptr : &list,
        request.discardPaths ? 1 : 0, request.password, request.passwordCallback, request.progress,
        request.query, request.overwrite);
    return ok ? 0 : GetLastArchiveError(0);
}

// --- Listing -------------------------------------------------------------------------------

TEST_F(ArchiveLibrary, ListsEveryEntryOfEveryKindOfArchive) {
    const std::set<std::string> all = {"data",
                                       "docs",
                                       "docs\\deep",
                                       "empty",
                                       "readme.txt",
                                       "docs\\guide.txt",
                                       "docs\\deep\\notes.txt",
                                       "data\\numbers.txt"};
    std::set<std::string> encrypted = all;
    encrypted.erase("empty");
    struct Case {
        const char* archive;
        const char* password;
        std::set<std::string> names;
    };
    const Case cases[] = {
        {"plain.7z", "", all},
        {"lzma2.7z", "", all},
        {"bcj.7z", "", all},
        {"encrypted-data.7z", "", encrypted},  // headers readable without the password
        {"encrypted-headers.7z", kPassword, encrypted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const TListing listing = List(ArchivePath(c.archive), c.password);
        ASSERT_TRUE(listing.opened) << "error " << listing.error;
        EXPECT_EQ(listing.nameSet(), c.names);
    }
}

TEST_F(ArchiveLibrary, EntriesCarrySizesFlagsAndTimes) {
    const TListing listing = List(ArchivePath("encrypted-data.7z"));
    ASSERT_TRUE(listing.opened);
    const auto payload = PayloadFiles();
    for (size_t n = 0; n < listing.entries.size(); ++n) {
        const TArchiveEntry& entry = listing.entries[n];
        SCOPED_TRACE(listing.names[n]);
        const auto file = payload.find(listing.names[n]);
        if (file == payload.end()) {
            EXPECT_EQ(entry.flags & kArchiveEntryFolder, kArchiveEntryFolder);
            continue;
        }
        EXPECT_EQ(entry.size, file->second.size());
        EXPECT_EQ(
            entry.flags & (kArchiveEntryFolder | kArchiveEntryEncrypted | kArchiveEntryHasCrc),
            kArchiveEntryEncrypted | kArchiveEntryHasCrc);
        EXPECT_NE(entry.modifiedHigh, 0u);
        EXPECT_EQ(entry.reserved, 0u);
    }
}

TEST_F(ArchiveLibrary, ListingFailuresGiveTheirCodes) {
    TScratchFolder scratch("list-failures");
    struct Case {
        std::string archive;
        const char* password;
        int32_t error;
    };
    const Case cases[] = {
        {scratch.text() + "missing.7z", "", kArchiveErrorNotFound},
        {scratch.text(), "", kArchiveErrorNotFound},  // a folder
        {ArchivePath("*.7z"), "", kArchiveErrorWildcard},
        {ArchivePath("lzma2.7?"), "", kArchiveErrorWildcard},
        {ArchivePath("not-an-archive.7z"), "", kArchiveErrorCannotOpen},
        {ArchivePath("truncated.7z"), "", kArchiveErrorCannotOpen},
        {ArchivePath("encrypted-headers.7z"), "", kArchiveErrorCannotOpen},
        {ArchivePath("encrypted-headers.7z"), "wrong", kArchiveErrorCannotOpen},
        {"", "", kArchiveErrorInvalidArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const TListing listing = List(c.archive, c.password);
        EXPECT_FALSE(listing.opened);
        EXPECT_EQ(listing.error, c.error);
    }
}

// --- Passwords -----------------------------------------------------------------------------

int g_passwordCalls = 0;
const char* g_passwordAnswer = nullptr;

int32_t __stdcall CountingPassword(char* buffer) {
    ++g_passwordCalls;
    if (!g_passwordAnswer) return 0;
    lstrcpynA(buffer, g_passwordAnswer, static_cast<int>(kArchivePasswordBufferSize));
    return 1;
}

TEST_F(ArchiveLibrary, PasswordCallbackIsAskedOncePerCall) {
    TScratchFolder scratch("password-callback");
    g_passwordAnswer = kPassword;
    g_passwordCalls = 0;
    EXPECT_TRUE(List(ArchivePath("encrypted-headers.7z"), "", CountingPassword).opened);
    EXPECT_EQ(g_passwordCalls, 1);

    // Headers and data are both encrypted: 7-Zip asks more than once, the callback once.
    g_passwordCalls = 0;
    TExtraction request{ArchivePath("encrypted-headers.7z"), scratch.text()};
    request.passwordCallback = CountingPassword;
    EXPECT_EQ(Extract(request), 0);
    EXPECT_EQ(g_passwordCalls, 1);
    EXPECT_EQ(FolderContents(scratch.path()), ExtractedPayload(false));

    // A password argument is used without asking.
    g_passwordCalls = 0;
    EXPECT_TRUE(List(ArchivePath("encrypted-headers.7z"), kPassword, CountingPassword).opened);
    EXPECT_EQ(g_passwordCalls, 0);

    // A callback without a password: the archive cannot be opened, and it is asked once.
    g_passwordAnswer = nullptr;
    g_passwordCalls = 0;
    const TListing refused = List(ArchivePath("encrypted-headers.7z"), "", CountingPassword);
    EXPECT_FALSE(refused.opened);
    EXPECT_EQ(refused.error, kArchiveErrorCannotOpen);
    EXPECT_EQ(g_passwordCalls, 1);
}

TEST_F(ArchiveLibrary, WrongOrMissingPasswordForEncryptedDataLeavesNoFiles) {
    for (const char* password : {"wrong", ""}) {
        SCOPED_TRACE(password);
        TScratchFolder scratch("wrong-password");
        TExtraction request{ArchivePath("encrypted-data.7z"), scratch.text()};
        request.password = password;
        EXPECT_EQ(Extract(request), kArchiveErrorCannotOpen);
        for (const auto& [name, content] : FolderContents(scratch.path()))
            EXPECT_EQ(name.back(), '\\') << name << " was left behind";
    }
}

// --- Extraction ----------------------------------------------------------------------------

TEST_F(ArchiveLibrary, ExtractsEveryKindOfArchive) {
    struct Case {
        const char* archive;
        const char* password;
        bool emptyFolder;
    };
    const Case cases[] = {
        {"plain.7z", "", true},
        {"lzma2.7z", "", true},
        {"bcj.7z", "", true},
        {"encrypted-data.7z", kPassword, false},
        {"encrypted-headers.7z", kPassword, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        TScratchFolder scratch("extract-all");
        // A target folder that does not exist yet is created with its parents.
        const std::string target = scratch.text() + "new\\target\\";
        TExtraction request{ArchivePath(c.archive), target};
        request.password = c.password;
        ASSERT_EQ(Extract(request), 0);
        EXPECT_EQ(FolderContents(scratch.path() / "new" / "target"),
                  ExtractedPayload(c.emptyFolder));
    }
}

TEST_F(ArchiveLibrary, ExtractsNamedEntriesOnly) {
    TScratchFolder scratch("extract-named");
    TExtraction request{ArchivePath("lzma2.7z"), scratch.text()};
    request.names = {"docs/guide.txt", "readme.txt"};  // either separator matches
    ASSERT_EQ(Extract(request), 0);
    const std::map<std::string, std::string> expected = {
        {"docs\\", ""},
        {"docs\\guide.txt", PayloadFiles().at("docs\\guide.txt")},
        {"readme.txt", PayloadFiles().at("readme.txt")}};
    EXPECT_EQ(FolderContents(scratch.path()), expected);

    request.names = {"readme.txt", "no-such-file.txt"};
    EXPECT_EQ(Extract(request), kArchiveErrorNameNotInArchive);
    request.names = {"docs\\*.txt"};
    EXPECT_EQ(Extract(request), kArchiveErrorWildcard);
}

TEST_F(ArchiveLibrary, DiscardPathsWritesEveryFileIntoTheTarget) {
    TScratchFolder scratch("discard-paths");
    TExtraction request{ArchivePath("bcj.7z"), scratch.text()};
    request.discardPaths = true;
    ASSERT_EQ(Extract(request), 0);
    std::map<std::string, std::string> expected;
    for (const auto& [path, content] : PayloadFiles())
        expected[path.substr(path.find_last_of('\\') + 1)] = content;
    EXPECT_EQ(FolderContents(scratch.path()), expected);
}

TEST_F(ArchiveLibrary, DamagedDataFailsAndLeavesNoDamagedFile) {
    TScratchFolder scratch("damaged");
    EXPECT_EQ(Extract({ArchivePath("damaged-data.7z"), scratch.text()}), kArchiveErrorDataError);
    for (const auto& [name, content] : FolderContents(scratch.path())) {
        if (name.back() == '\\') continue;
        EXPECT_EQ(content, PayloadFiles().at(name)) << name << " was left damaged";
    }
    EXPECT_EQ(Extract({ArchivePath("truncated.7z"), scratch.text()}), kArchiveErrorCannotOpen);
    EXPECT_EQ(Extract({scratch.text() + "missing.7z", scratch.text()}), kArchiveErrorNotFound);
    EXPECT_EQ(Extract({ArchivePath("lzma2.7z"), ""}), kArchiveErrorInvalidArgument);
}

// --- Hostile entry paths -------------------------------------------------------------------

int32_t __stdcall SkipUnsafeEntries(int32_t problem, int32_t) {
    return problem == kArchiveQueryUnsafePath ? kArchiveQuerySkip : kArchiveQueryStop;
}

TEST_F(ArchiveLibrary, UnsafeEntryPathsAreRefusedBeforeAnythingIsWritten) {
    const char* archives[] = {"hostile-parent.7z", "hostile-inner-parent.7z", "hostile-absolute.7z",
                              "hostile-unc.7z",    "hostile-drive.7z",        "hostile-device.7z"};
    for (const char* archive : archives) {
        SCOPED_TRACE(archive);
        TScratchFolder scratch("hostile");
        const fs::path target = scratch.path() / "in" / "side";
        fs::create_directories(target);
        for (bool discardPaths : {false, true}) {
            TExtraction request{ArchivePath(archive), target.string()};
            request.discardPaths = discardPaths;
            EXPECT_EQ(Extract(request), kArchiveErrorUnsafePath);
            // Not even the harmless file was written, nor anything beside the target.
            EXPECT_TRUE(FolderContents(scratch.path()).size() == 2) << "in\\, in\\side\\ only";
        }
        EXPECT_FALSE(fs::exists("C:\\evil.txt"));
        EXPECT_FALSE(fs::exists(fs::current_path() / "evil.txt"));

        // A caller that chooses to skip such entries gets the others.
        TExtraction skipping{ArchivePath(archive), target.string()};
        skipping.query = SkipUnsafeEntries;
        EXPECT_EQ(Extract(skipping), 0);
        EXPECT_EQ(FolderContents(target),
                  (std::map<std::string, std::string>{{"good.txt", "harmless\r\n"}}));
    }
}

TEST_F(ArchiveLibrary, BackslashesInStoredNamesStayInsideTheTarget) {
    // 7-Zip gives a stored backslash as a character of the name; such names come out of the
    // 8-bit listing with '?' in its place and are still extracted by those names.
    TScratchFolder scratch("backslash");
    const TListing listing = List(ArchivePath("backslash-names.7z"));
    ASSERT_TRUE(listing.opened);
    const fs::path target = scratch.path() / "target";
    TExtraction request{ArchivePath("backslash-names.7z"), target.string()};
    request.names = listing.names;
    ASSERT_EQ(Extract(request), 0);
    const auto everything = FolderContents(scratch.path());
    EXPECT_EQ(everything.size(), 3u);  // target\ and two files
    for (const auto& [name, content] : everything) EXPECT_EQ(name.rfind("target\\", 0), 0u) << name;
}

// --- Progress and stopping ----------------------------------------------------------------

struct TProgressCall {
    std::string name;
    uint64_t done;
    uint64_t total;
};
std::vector<TProgressCall> g_progress;
// Stop at the first report with at least this much done (in the named file, when one is named).
uint64_t g_stopAt = UINT64_MAX;
std::string g_stopInFile;

int32_t __stdcall RecordProgress(const char* name, uint32_t doneLow, uint32_t doneHigh,
                                 uint32_t totalLow, uint32_t totalHigh) {
    const uint64_t done = (uint64_t{doneHigh} << 32) | doneLow;
    const uint64_t total = (uint64_t{totalHigh} << 32) | totalLow;
    g_progress.push_back({name, done, total});
    const bool stop = done >= g_stopAt && (g_stopInFile.empty() || g_stopInFile == name);
    return stop ? 0 : 1;
}

TEST_F(ArchiveLibrary, ProgressEndsWithTheTotal) {
    TScratchFolder scratch("progress");
    g_progress.clear();
    g_stopAt = UINT64_MAX;
    TExtraction request{ArchivePath("thousand.7z"), scratch.text()};
    request.progress = RecordProgress;
    ASSERT_EQ(Extract(request), 0);
    ASSERT_FALSE(g_progress.empty());
    for (const TProgressCall& call : g_progress) {
        EXPECT_EQ(call.total, 1000u);
        EXPECT_LE(call.done, 1000u);
    }
    EXPECT_EQ(g_progress.back().name, "thousand.txt");
    EXPECT_EQ(g_progress.back().done, 1000u);
}

TEST_F(ArchiveLibrary, ProgressAnswerZeroStopsAndRemovesTheUnfinishedFile) {
    struct Case {
        uint64_t stopAt;
        const char* inFile;
    };
    // At the very first report; and in the middle of the 5 MB file (reported per megabyte).
    const Case cases[] = {{0, ""}, {2000000, "large.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopAt);
        TScratchFolder scratch("stop");
        g_progress.clear();
        g_stopAt = c.stopAt;
        g_stopInFile = c.inFile;
        TExtraction request{ArchivePath("large.7z"), scratch.text()};
        request.progress = RecordProgress;
        EXPECT_EQ(Extract(request), kArchiveErrorStopped);
        ASSERT_FALSE(g_progress.empty());
        EXPECT_GE(g_progress.back().done, c.stopAt);
        EXPECT_LT(g_progress.back().done, g_progress.back().total);
        EXPECT_FALSE(fs::exists(scratch.path() / "large.txt"));
    }
    g_stopAt = UINT64_MAX;
}

// --- Existing files ------------------------------------------------------------------------

struct TOverwriteCall {
    std::string existingPath;
    uint64_t existingSize;
    std::string entryName;
    uint64_t entrySize;
};
std::vector<TOverwriteCall> g_overwrites;
int32_t g_overwriteAnswer = 1;

int32_t __stdcall RecordOverwrite(const char* existingPath, uint32_t existingSizeLow,
                                  uint32_t existingSizeHigh, uint32_t, uint32_t,
                                  const char* entryName, uint32_t entrySizeLow,
                                  uint32_t entrySizeHigh, uint32_t, uint32_t) {
    g_overwrites.push_back({existingPath, (uint64_t{existingSizeHigh} << 32) | existingSizeLow,
                            entryName, (uint64_t{entrySizeHigh} << 32) | entrySizeLow});
    return g_overwriteAnswer;
}

TEST_F(ArchiveLibrary, ExistingFilesAreReplacedOnlyWhenTheCallerAnswersFour) {
    const std::string readme = PayloadFiles().at("readme.txt");
    struct Case {
        TArchiveOverwriteCallback callback;
        int32_t answer;
        bool replaced;
    };
    const Case cases[] = {{RecordOverwrite, 4, true},
                          {RecordOverwrite, 1, false},
                          {RecordOverwrite, 0, false},
                          {nullptr, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        TScratchFolder scratch("overwrite");
        const fs::path existing = scratch.path() / "readme.txt";
        WriteWholeFile(existing, "older");
        // A read-only file is replaced as well.
        SetFileAttributesW(existing.c_str(), FILE_ATTRIBUTE_READONLY);
        g_overwrites.clear();
        g_overwriteAnswer = c.answer;
        TExtraction request{ArchivePath("lzma2.7z"), scratch.text()};
        request.names = {"readme.txt"};
        request.overwrite = c.callback;
        ASSERT_EQ(Extract(request), 0);
        EXPECT_EQ(ReadWholeFile(existing), c.replaced ? readme : "older");
        if (!c.callback) continue;
        ASSERT_EQ(g_overwrites.size(), 1u);
        EXPECT_EQ(g_overwrites[0].existingPath, existing.string());
        EXPECT_EQ(g_overwrites[0].existingSize, 5u);
        EXPECT_EQ(g_overwrites[0].entryName, "readme.txt");
        EXPECT_EQ(g_overwrites[0].entrySize, readme.size());
    }
}

}  // namespace
