// The Windows translation files: stamps and reads of real files, and a load through them with
// the system code page's letter case.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "store_hooks.h"
#include "translation_files.h"
#include "translations.h"

namespace {

class TranslationFilesTest : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        folder = std::string(temp) + "qor-translation-files-" +
                 std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    }
    void TearDown() override {
        for (const std::string& path : written) DeleteFileA(path.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = folder + name;
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD done = 0;
        EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr));
        CloseHandle(file);
        written.push_back(path);
        return path;
    }

    std::string folder;
    std::vector<std::string> written;
    WindowsTranslationFiles files;
};

TEST_F(TranslationFilesTest, StampsTellExistenceSizeAndTime) {
    EXPECT_FALSE(files.Stamp(folder + "missing").exists);
    EXPECT_FALSE(files.Stamp(folder).exists);  // a folder is no file

    const std::string path = Write("list", "abc\r\n");
    const FileStamp first = files.Stamp(path);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(first.size, 5u);
    EXPECT_NE(first.time, 0);

    Write("list", "abcdef\r\n");
    EXPECT_NE(files.Stamp(path), first);
}

TEST_F(TranslationFilesTest, ReadsWholeFilesWithinTheLimitOnly) {
    const std::string path = Write("list", std::string("a\0b\r\n", 5));
    const FileRead read = files.Read(path, 100);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.bytes, std::string("a\0b\r\n", 5));

    EXPECT_TRUE(files.Read(Write("empty", ""), 100).ok);
    EXPECT_TRUE(files.Read(path, 5).ok);
    const FileRead too_large = files.Read(path, 4);
    EXPECT_FALSE(too_large.ok);
    EXPECT_NE(too_large.error.find("larger than 4 bytes"), std::string::npos);

    const FileRead missing = files.Read(folder + "missing", 100);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("(error 2)"), std::string::npos) << missing.error;
}

TEST_F(TranslationFilesTest, LoadsFromDiskAndComparesInTheSystemCodePage) {
    // 0xE9 and 0xC9 are one letter in both cases in code page 1252.
    Write("translations.Map", "Caf\xE9.dfm\r\n");
    Write("Product.mtx", "Label1\r\n");
    Write("translations.German", "Willkommen\r\n");
    Translations translations(files, WindowsStoreHooks().upper_case);
    const TranslationLoad load = translations.LoadTranslations(folder, "Product", "German");
    ASSERT_TRUE(load.ok) << load.error;
    EXPECT_EQ(translations.TranslateControlText("Caf\xE9.dfm", "label1", "x"), "Willkommen");
    if (GetACP() == 1252) {
        EXPECT_EQ(translations.TranslateControlText("CAF\xC9.DFM", "LABEL1", "x"), "Willkommen");
    }
}

TEST(UserLanguage, IsALanguageIdentifier) {
    EXPECT_GT(UserLanguage(), 0);
    EXPECT_EQ(UserLanguageName(), LanguageIdentifierToName(UserLanguage()));
}

}  // namespace
