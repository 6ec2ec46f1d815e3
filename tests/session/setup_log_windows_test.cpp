// The setup log on Windows: the header file in new folders, its UTF-16 form, overwriting,
// the empty setting, a folder that cannot be made, Windows Installer appending its own log
// (MsiEnableLogA bound from msi.dll), and the binding's failures.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "file_system.h"
#include "locale_text.h"
#include "msi_binding.h"
#include "setup_log_windows.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool RunsOnWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void DeleteTree(const std::string& folder) {
    WIN32_FIND_DATAA entry{};
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(folder + name + "\\");
            } else {
                DeleteFileA((folder + name).c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// The UTF-16 bytes of ASCII or Latin-1 text.
std::string Wide(std::string_view text) {
    std::u16string wide;
    for (const char c : text) wide.push_back(static_cast<unsigned char>(c));
    return Utf16LeBytes(wide);
}

LogHeader Header(std::string caption) {
    LogHeader header;
    header.caption = std::move(caption);
    header.variables = "TITLE,Probe";
    header.properties = "A00000001,TRUE";
    header.package_path = "C:\\setup\\probe.msi";
    header.product_code = "{5B0C3E1A-6F2D-4C8B-9A7E-1D2C3B4A5F60}";
    header.data_folder = "C:\\setup\\data\\";
    header.media_folder = "\\setup\\";
    header.package_folder = "C:\\setup\\";
    return header;
}

class SetupLogFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::string(temp) + "qor_setup_log_" + std::to_string(GetCurrentProcessId()) +
                  "_" + info->name() + "\\";
        DeleteTree(folder_);
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override { DeleteTree(folder_); }

    // The header as the log writes it now: the expected text with the date and time of a
    // moment just before or just after the write.
    static bool IsHeaderOfNow(const std::string& bytes, const LogHeader& header,
                              const LocalDateTime& before, const LocalDateTime& after) {
        for (const LocalDateTime& moment : {before, after}) {
            if (bytes == Wide(FormatLogHeader(header, moment.date, moment.time))) return true;
        }
        return false;
    }

    std::string folder_;
    WindowsSetupLogSystem system_;
};

TEST_F(SetupLogFiles, WritesTheHeaderAsUtf16IntoNewFolders) {
    const std::string path = folder_ + "a\\b\\c\\setup.log";
    const LogHeader header = Header("Probe - Corvelle Wizard");
    const LocalDateTime before = CurrentLocalDateTime();
    const LogResult result = WriteLogHeader(path, header, system_);
    const LocalDateTime after = CurrentLocalDateTime();
    ASSERT_EQ(result.outcome, LogOutcome::kEnabled) << result.error;

    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.substr(0, 8), std::string("=\0=\0=\0 \0", 8));  // no byte-order mark
    EXPECT_TRUE(IsHeaderOfNow(bytes, header, before, after)) << "line 1: " << bytes.substr(0, 160);
    EXPECT_FALSE(before.date.empty());
    EXPECT_FALSE(before.time.empty());
}

TEST_F(SetupLogFiles, EightBitCharactersBecomeTheirUtf16Units) {
    // "é" is 0xE9 in the ANSI code pages of Western Europe and the United States.
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
    const std::string path = folder_ + "setup.log";
    ASSERT_EQ(WriteLogHeader(path, Header("Caf\xE9"), system_).outcome, LogOutcome::kEnabled);
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.substr(0, 16), std::string("=\0=\0=\0 \0C\0a\0f\0\xE9\0", 16));
}

TEST_F(SetupLogFiles, ASecondSessionOverwritesTheFirstLog) {
    const std::string path = folder_ + "setup.log";
    LogHeader first = Header("First");
    first.variables.assign(5000, 'x');
    ASSERT_EQ(WriteLogHeader(path, first, system_).outcome, LogOutcome::kEnabled);
    const LogHeader second = Header("Second");
    const LocalDateTime before = CurrentLocalDateTime();
    ASSERT_EQ(WriteLogHeader(path, second, system_).outcome, LogOutcome::kEnabled);
    const LocalDateTime after = CurrentLocalDateTime();
    EXPECT_TRUE(IsHeaderOfNow(ReadBytes(path), second, before, after));
}

TEST_F(SetupLogFiles, EmptySettingCreatesNothing) {
    EXPECT_EQ(WriteLogHeader("", Header("Probe"), system_).outcome, LogOutcome::kOff);
    EXPECT_TRUE(ListFileNames(folder_, "*").empty());
}

TEST_F(SetupLogFiles, AFileInPlaceOfTheFolderFailsWithoutEnablingTheLog) {
    ASSERT_TRUE(WriteNewFile(folder_ + "blocker", "x").ok);
    const std::string path = folder_ + "blocker\\logs\\setup.log";
    const LogResult result = WriteLogHeader(path, Header("Probe"), system_);
    EXPECT_EQ(result.outcome, LogOutcome::kFailed);
    EXPECT_EQ(result.error, "CreateDirectoryA failed for \"" + folder_ + "blocker\" (error 183)");
    EXPECT_FALSE(Exists(path));
}

TEST_F(SetupLogFiles, WindowsInstallerAppendsItsLogOfTheSession) {
    const std::string path = folder_ + "logs\\setup.log";
    const LogHeader header = Header("Probe");
    const LocalDateTime before = CurrentLocalDateTime();
    ASSERT_EQ(WriteLogHeader(path, header, system_).outcome, LogOutcome::kEnabled);
    const LocalDateTime after = CurrentLocalDateTime();
    const std::string header_bytes = ReadBytes(path);
    ASSERT_TRUE(IsHeaderOfNow(header_bytes, header, before, after));

    // A session that only costs the package: its actions are logged, nothing is installed.
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    MSIHANDLE package = 0;
    ASSERT_EQ(MsiOpenPackageA(QOR_LOG_PROBE_MSI, &package), 0u);
    EXPECT_EQ(MsiDoActionA(package, "CostInitialize"), 0u);
    MsiCloseHandle(package);
    MsiEnableLogA(0, nullptr, 0);

    // Windows appends to the header. Wine 8 opens the log without moving to its end, so its
    // log overwrites the header from the first byte on.
    const std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("CostInitialize"), std::string::npos) << bytes;
    if (!RunsOnWine()) {
        EXPECT_EQ(bytes.substr(0, header_bytes.size()), header_bytes);
    }
}

TEST(FolderTree, CreatesMissingLevelsAndAcceptsWhatExists) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string base =
        std::string(temp) + "qor_folder_tree_" + std::to_string(GetCurrentProcessId()) + "\\";
    DeleteTree(base);
    for (const std::string& folder : {base + "one\\two\\three", base + "one\\two\\three\\",
                                      base + "one/slash/x", base + "one\\\\double"}) {
        SCOPED_TRACE(folder);
        const FileResult result = CreateFolderTree(folder);
        EXPECT_TRUE(result.ok) << result.error;
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
        EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    }
    for (const std::string& root : {std::string(), std::string("C:"), std::string("C:\\")}) {
        EXPECT_TRUE(CreateFolderTree(root).ok) << root;
    }
    DeleteTree(base);
}

TEST(FolderOfPath, KeepsTheDriveAndDropsTheName) {
    EXPECT_EQ(FolderOfPath("C:\\logs\\setup.log"), "C:\\logs");
    EXPECT_EQ(FolderOfPath("C:/logs/setup.log"), "C:/logs");
    EXPECT_EQ(FolderOfPath("C:setup.log"), "C:");
    EXPECT_EQ(FolderOfPath("setup.log"), "");
}

TEST(LateBinding, MissingLibraryAndFunctionRaiseTheirMessages) {
    LateBoundLibrary missing("qor-no-such-library.dll");
    try {
        missing.Resolve("AnyFunction");
        ADD_FAILURE() << "no error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "Library not found: qor-no-such-library.dll");
    }
    try {
        MsiLibrary().Resolve("MsiNoSuchFunctionA");
        ADD_FAILURE() << "no error";
    } catch (const LateBindError& error) {
        EXPECT_STREQ(error.what(), "Function not found: msi.dll.MsiNoSuchFunctionA");
    }
}

TEST(LateBinding, ThreadsBindingAtOnceGetTheSameAddress) {
    LateBoundLibrary library("msi.dll");
    LateBoundFunction<decltype(MsiCloseHandle)> slot(library, "MsiCloseHandle");
    std::vector<decltype(&MsiCloseHandle)> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&, i] { seen[i] = slot.Get(); });
    }
    for (std::thread& thread : threads) thread.join();
    const auto expected = reinterpret_cast<decltype(&MsiCloseHandle)>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("msi.dll"), "MsiCloseHandle")));
    for (const auto address : seen) EXPECT_EQ(address, expected);
}

}  // namespace
