// qor.dll when 7z.dll cannot be found: every call fails with its own code, and a registration
// made afterwards takes effect in the same process.

#include <gtest/gtest.h>

#include "archive_fixtures.h"
#include "qor_archive.h"

namespace {

int32_t ListError(const std::string& archive) {
    const TArchiveEntry* entries = nullptr;
    int32_t count = 0;
    void* handle = OpenListArchive(archive.c_str(), 0, nullptr, 0, 0, 0, "", &entries, &count);
    if (handle) {
        CloseListArchive(handle);
        return 0;
    }
    return GetLastArchiveError(0);
}

TEST(ArchiveLibraryWithoutCodecs, FailsUntilTheFormatLibraryIsRegistered) {
    qortest::TScratchFolder scratch("codec-missing");
    const std::string archive = qortest::ArchivePath("lzma2.7z");

    qortest::SetCodecRegistration("");  // no value
    EXPECT_EQ(ListError(archive), kArchiveErrorNoFormatLibrary);
    qortest::SetCodecRegistration(scratch.text());  // a folder without Formats\7z.dll
    EXPECT_EQ(ListError(archive), kArchiveErrorNoFormatLibrary);
    EXPECT_EQ(ExtractArchive(archive.c_str(), 1, scratch.text().c_str(), nullptr, 0, "", nullptr,
                             nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(GetLastArchiveError(0), kArchiveErrorNoFormatLibrary);
    // A missing archive is still reported as missing.
    EXPECT_EQ(ListError(scratch.text() + "missing.7z"), kArchiveErrorNotFound);

    // A registration without the trailing backslash is accepted.
    std::string folder = qortest::BuiltCodecFolder();
    folder.pop_back();
    qortest::SetCodecRegistration(folder);
    EXPECT_EQ(ListError(archive), 0);
}

}  // namespace
