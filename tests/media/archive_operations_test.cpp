// The engine's archive side: the codec installation from the program's own RCDATA resource
// (this test program carries 7z.dll as FORMAT7Z, as the engine does), the password callback,
// and ListArchive / ExtractFromArchive with their failure texts, through qor.dll.

#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <shlobj.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive_fixtures.h"
#include "archive_library.h"
#include "archive_operations.h"
#include "codec_installation.h"
#include "progress.h"
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
constexpr char kRegistrationKey[] = "SOFTWARE\\Halvorne\\Corvelle\\Seven Zip";

std::string RegisteredCodecFolder() {
    char value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, kRegistrationKey, "Path", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return {};
    return value;
}

std::string BuiltFormatLibrary() {
    return ReadWholeFile(qortest::BuiltCodecFolder() + "Formats\\7z.dll");
}

// --- Codec installation --------------------------------------------------------------------

TEST(CodecInstallation, WritesTheFormatLibraryAndRegistersItAgainOnEveryStart) {
    TScratchFolder base("codec-base");
    const fs::path installed = base.path() / "Seven Zip" / "Formats" / "7z.dll";
    const std::string expected = BuiltFormatLibrary();
    ASSERT_GT(expected.size(), 100000u);

    ASSERT_TRUE(InstallCodecsInto(base.text()));
    EXPECT_EQ(ReadWholeFile(installed), expected);
    EXPECT_EQ(RegisteredCodecFolder(), base.text() + "Seven Zip\\");

    // A second start replaces a damaged, read-only file and a changed registration.
    SetFileAttributesW(installed.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteWholeFile(installed, "damaged");
    SetFileAttributesW(installed.c_str(), FILE_ATTRIBUTE_READONLY);
    qortest::SetCodecRegistration("C:\\elsewhere\\");
    ASSERT_TRUE(InstallCodecsInto(base.text()));
    EXPECT_EQ(ReadWholeFile(installed), expected);
    EXPECT_EQ(RegisteredCodecFolder(), base.text() + "Seven Zip\\");

    // Only the format library is carried: no Codecs folder is made.
    EXPECT_FALSE(fs::exists(base.path() / "Seven Zip" / "Codecs"));
}

TEST(CodecInstallation, EmptyOrUnusableBaseInstallsAndRegistersNothing) {
    TScratchFolder scratch("codec-unusable");
    qortest::SetCodecRegistration("C:\\sentinel\\");
    EXPECT_FALSE(InstallCodecsInto(""));
    // A file where the folder should be.
    WriteWholeFile(scratch.path() / "Seven Zip", "a file, not a folder");
    EXPECT_FALSE(InstallCodecsInto(scratch.text()));
    EXPECT_EQ(RegisteredCodecFolder(), "C:\\sentinel\\");
}

TEST(CodecInstallation, InstallsBelowTheLocalApplicationDataFolder) {
    char local[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local), S_OK);
    EXPECT_EQ(CodecBaseFolder(), std::string(local) + "\\");

    InstallCodecs();
    EXPECT_EQ(RegisteredCodecFolder(), CodecBaseFolder() + "Seven Zip\\");
    EXPECT_EQ(ReadWholeFile(CodecBaseFolder() + "Seven Zip\\Formats\\7z.dll"),
              BuiltFormatLibrary());
}

// --- The archive operations ---------------------------------------------------------------

class ArchiveOperations : public testing::Test {
  protected:
    static void SetUpTestSuite() { InstallCodecs(); }
};

TEST_F(ArchiveOperations, PasswordCallbackHandsThePasswordOutOnce) {
    char buffer[kArchivePasswordBufferSize] = {};
    SetArchivePassword("abc");
    EXPECT_EQ(ArchivePasswordCallback(buffer), 1);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(ArchivePasswordCallback(buffer), 0);
    SetArchivePassword("");
    EXPECT_EQ(ArchivePasswordCallback(buffer), 0);
    // A password longer than the buffer is cut to fit, with its terminating zero.
    SetArchivePassword(std::string(5000, 'p'));
    EXPECT_EQ(ArchivePasswordCallback(buffer), 1);
    EXPECT_EQ(std::string(buffer), std::string(kArchivePasswordBufferSize - 1, 'p'));

    // Through the library, asked with no password argument: it opens once, not twice.
    const std::string archive = ArchivePath("encrypted-headers.7z");
    const TArchiveEntry* entries = nullptr;
    int32_t count = 0;
    SetArchivePassword(kPassword);
    void* handle =
        OpenListArchive(archive.c_str(), 0, ArchivePasswordCallback, 0, 0, 0, "", &entries, &count);
    ASSERT_NE(handle, nullptr);
    CloseListArchive(handle);
    EXPECT_EQ(
        OpenListArchive(archive.c_str(), 0, ArchivePasswordCallback, 0, 0, 0, "", &entries, &count),
        nullptr);
    EXPECT_EQ(GetLastArchiveError(0), kArchiveErrorCannotOpen);
}

TEST_F(ArchiveOperations, ListArchiveGivesTheNamesOrTheFailureText) {
    const ArchiveListResult listing = ListArchive(ArchivePath("encrypted-headers.7z"), kPassword);
    ASSERT_TRUE(listing.ok) << listing.failure;
    const std::set<std::string> names(listing.names.begin(), listing.names.end());
    EXPECT_EQ(names,
              (std::set<std::string>{"data", "docs", "docs\\deep", "readme.txt", "docs\\guide.txt",
                                     "docs\\deep\\notes.txt", "data\\numbers.txt"}));

    const struct {
        std::string archive;
        const char* password;
        const char* failure;
    } cases[] = {
        {ArchivePath("missing.7z"), "", "The archive file was not found"},
        {ArchivePath("*.7z"), "", "Illegal path used in a wildcard expression"},
        {ArchivePath("encrypted-headers.7z"), "wrong",
         "The archive cannot be opened: unsupported archive or incorrect password"},
        {ArchivePath("not-an-archive.7z"), "",
         "The archive cannot be opened: unsupported archive or incorrect password"},
        {"", "", "General failure opening archive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        const ArchiveListResult failed = ListArchive(c.archive, c.password);
        EXPECT_FALSE(failed.ok);
        EXPECT_EQ(failed.failure, c.failure);
    }
}

std::map<std::string, std::string> ExtractedPayload(bool keepFolders) {
    std::map<std::string, std::string> expected;
    for (const auto& [path, content] : PayloadFiles())
        expected[keepFolders ? path : path.substr(path.find_last_of('\\') + 1)] = content;
    if (keepFolders) {
        for (const char* folder : {"data\\", "docs\\", "docs\\deep\\", "empty\\"})
            expected[folder] = "";
    }
    return expected;
}

TEST_F(ArchiveOperations, ExtractsEveryEntryWithOrWithoutTheStoredFolders) {
    for (bool keepFolders : {true, false}) {
        SCOPED_TRACE(keepFolders);
        TScratchFolder target("extract-all");
        const ArchiveExtractResult result = ExtractFromArchive(
            ArchivePath("lzma2.7z"), "", target.text(), std::nullopt, {}, keepFolders, true);
        ASSERT_TRUE(result.ok) << result.failure;
        EXPECT_EQ(FolderContents(target.path()), ExtractedPayload(keepFolders));
    }
}

TEST_F(ArchiveOperations, OverwriteChoosesWhetherExistingFilesAreReplaced) {
    for (bool overwrite : {true, false}) {
        SCOPED_TRACE(overwrite);
        TScratchFolder target("extract-overwrite");
        WriteWholeFile(target.path() / "readme.txt", "older");
        const ArchiveExtractResult result =
            ExtractFromArchive(ArchivePath("lzma2.7z"), "", target.text(),
                               std::vector<std::string>{"readme.txt"}, {}, true, overwrite);
        ASSERT_TRUE(result.ok) << result.failure;
        EXPECT_EQ(ReadWholeFile(target.path() / "readme.txt"),
                  overwrite ? PayloadFiles().at("readme.txt") : "older");
    }
}

TEST_F(ArchiveOperations, FailuresComeBackAsTheirTexts) {
    TScratchFolder target("extract-failures");
    const auto extract = [&](const std::string& archive, const char* password,
                             const std::optional<std::vector<std::string>>& names) {
        return ExtractFromArchive(ArchivePath(archive), password, target.text(), names, {}, true,
                                  true);
    };
    // Without names the archive is listed first, and a listing failure is reported as such.
    EXPECT_EQ(extract("missing.7z", "", std::nullopt).failure, "The archive file was not found");
    EXPECT_EQ(extract("encrypted-headers.7z", "wrong", std::nullopt).failure,
              "The archive cannot be opened: unsupported archive or incorrect password");
    // With names, the library's code.
    EXPECT_EQ(extract("missing.7z", "", std::vector<std::string>{"a"}).failure, "#1001");
    EXPECT_EQ(extract("encrypted-data.7z", "wrong", std::nullopt).failure, "#1003");
    EXPECT_EQ(extract("damaged-data.7z", "", std::nullopt).failure, "#1005");
    EXPECT_EQ(extract("hostile-parent.7z", "", std::nullopt).failure, "#1006");
    EXPECT_EQ(extract("lzma2.7z", "", std::vector<std::string>{"no-such"}).failure, "#1008");
    EXPECT_FALSE(fs::exists(target.path() / "good.txt"));
    EXPECT_FALSE(fs::exists(target.path().parent_path() / "evil.txt"));
}

TEST_F(ArchiveOperations, ProgressPercentagesRunFromOneToOneHundredAndStopOnRequest) {
    TScratchFolder target("extract-progress");
    std::vector<int> percentages;
    std::string lastFile;
    const ExtractionProgress record = [&](const std::string& file, uint64_t done, uint64_t total) {
        percentages.push_back(
            ProgressPercentage(static_cast<int64_t>(done), static_cast<int64_t>(total)));
        lastFile = file;
        return true;
    };
    ASSERT_TRUE(ExtractFromArchive(ArchivePath("thousand.7z"), "", target.text(), std::nullopt,
                                   record, true, true)
                    .ok);
    ASSERT_FALSE(percentages.empty());
    EXPECT_EQ(percentages.front(), 1);  // nothing of 1000 bytes done yet
    EXPECT_EQ(percentages.back(), 100);
    for (int percentage : percentages) EXPECT_LE(percentage, 100);
    EXPECT_EQ(lastFile, "thousand.txt");

    // The user's cancel: the report answers false and the extraction fails with the code.
    int reports = 0;
    const ExtractionProgress cancel = [&](const std::string&, uint64_t, uint64_t) {
        return ++reports < 3;
    };
    const ArchiveExtractResult stopped = ExtractFromArchive(
        ArchivePath("large.7z"), "", target.text(), std::nullopt, cancel, true, true);
    EXPECT_FALSE(stopped.ok);
    EXPECT_EQ(stopped.failure, "#1004");
    EXPECT_EQ(reports, 3);
    EXPECT_FALSE(fs::exists(target.path() / "large.txt"));
}

}  // namespace
