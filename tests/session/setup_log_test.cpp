// The setup log's header and the steps of writing it, over a fake system: exact header text
// for known inputs, the byte form on the two Windows families, the order of the steps, the
// empty setting and the failing steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup_log.h"

namespace {

LogHeader SampleHeader() {
    LogHeader header;
    header.caption = "Widget 2 - Corvelle Wizard";
    header.variables = "TITLE,\"Widget 2\",ALLUSERS,TRUE";
    header.properties = "A0000BEEF,TRUE,P0000BEEF_1,x";
    header.package_path = "C:\\Setup\\widget.msi";
    header.product_code = "{11111111-2222-3333-4444-555555555555}";
    header.data_folder = "C:\\Setup\\data\\";
    header.media_folder = "\\Setup\\";
    header.package_folder = "C:\\Setup\\";
    return header;
}

const char kSampleText[] =
    "=== Widget 2 - Corvelle Wizard: Applying Changes @24.12.2026 13:05:09 ===\r\n"
    "\r\n"
    "*** Variables ***\r\n"
    "TITLE,\"Widget 2\",ALLUSERS,TRUE\r\n"
    "\r\n"
    "*** Properties ***\r\n"
    "A0000BEEF,TRUE,P0000BEEF_1,x\r\n"
    "\r\n"
    "*** MSI Database ***\r\n"
    "C:\\Setup\\widget.msi\r\n"
    "\r\n"
    "*** GUID ***\r\n"
    "{11111111-2222-3333-4444-555555555555}\r\n"
    "\r\n"
    "*** Data Directory ***\r\n"
    "C:\\Setup\\data\\\r\n"
    "\r\n"
    "*** Media Directory ***\r\n"
    "\\Setup\\\r\n"
    "\r\n"
    "*** MSI Directory ***\r\n"
    "C:\\Setup\\\r\n"
    "\r\n"
    "\r\n";

TEST(LogHeaderText, HasTheTwentyFourLinesInOrder) {
    EXPECT_EQ(FormatLogHeader(SampleHeader(), "24.12.2026", "13:05:09"), kSampleText);
}

TEST(LogHeaderText, EmptyInputsStillGiveEveryLine) {
    const std::string text = FormatLogHeader(LogHeader{}, "", "");
    EXPECT_TRUE(text.starts_with("=== : Applying Changes @  ===\r\n\r\n*** Variables ***\r\n\r\n"));
    std::size_t line_ends = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++line_ends;
    EXPECT_EQ(line_ends, 24u);
}

TEST(LogHeaderText, Utf16LittleEndianWithoutByteOrderMark) {
    EXPECT_EQ(Utf16LeBytes(u"A\u00E9\u20AC\r\n"), std::string("A\0\xE9\0\xAC\x20\r\0\n\0", 10));
    EXPECT_EQ(Utf16LeBytes(u""), "");
}

// Records every step; each step can be made to fail.
class FakeLogSystem : public SetupLogSystem {
  public:
    bool nt_family = true;
    std::string fail_step;  // "folder", "file" or "enable"
    std::vector<std::string> steps;
    std::string written;

    bool IsNtFamily() const override { return nt_family; }
    void CurrentDateTime(std::string& date, std::string& time) const override {
        date = "24.12.2026";
        time = "13:05:09";
    }
    // Latin-1 to UTF-16, enough for the tests.
    std::u16string ToUtf16(std::string_view text) const override {
        std::u16string wide;
        for (const char c : text) wide.push_back(static_cast<unsigned char>(c));
        return wide;
    }
    std::string FolderOf(const std::string& path) const override {
        return path.substr(0, path.find_last_of('\\'));
    }
    LogStep CreateFolderTree(const std::string& folder) override {
        steps.push_back("folder " + folder);
        return Result("folder");
    }
    LogStep WriteNewFile(const std::string& path, std::string_view bytes) override {
        steps.push_back("file " + path);
        written = bytes;
        return Result("file");
    }
    LogStep EnableInstallerLog(std::uint32_t mode, const std::string& path,
                               std::uint32_t attributes) override {
        steps.push_back("enable " + std::to_string(mode) + " " + path + " " +
                        std::to_string(attributes));
        return Result("enable");
    }

  private:
    LogStep Result(const std::string& step) const {
        if (step == fail_step) return {false, step + " failed (error 5)"};
        return {};
    }
};

TEST(WriteLogHeader, NtFamilyWritesUtf16ThenEnablesTheInstallerLog) {
    FakeLogSystem system;
    const LogResult result = WriteLogHeader("C:\\logs\\new\\setup.log", SampleHeader(), system);
    EXPECT_EQ(result.outcome, LogOutcome::kEnabled);
    EXPECT_EQ(system.steps,
              (std::vector<std::string>{"folder C:\\logs\\new", "file C:\\logs\\new\\setup.log",
                                        "enable 16351 C:\\logs\\new\\setup.log 3"}));
    std::u16string wide;
    for (const char c : std::string_view(kSampleText))
        wide.push_back(static_cast<unsigned char>(c));
    EXPECT_EQ(system.written, Utf16LeBytes(wide));
    EXPECT_EQ(system.written.substr(0, 4), std::string("=\0=\0", 4));  // no byte-order mark
}

TEST(WriteLogHeader, NineXFamilyWritesEightBitText) {
    FakeLogSystem system;
    system.nt_family = false;
    EXPECT_EQ(WriteLogHeader("C:\\setup.log", SampleHeader(), system).outcome,
              LogOutcome::kEnabled);
    EXPECT_EQ(system.written, kSampleText);
}

TEST(WriteLogHeader, EmptySettingWritesNothingAndDoesNotEnableLogging) {
    FakeLogSystem system;
    const LogResult result = WriteLogHeader("", SampleHeader(), system);
    EXPECT_EQ(result.outcome, LogOutcome::kOff);
    EXPECT_TRUE(system.steps.empty());
}

TEST(WriteLogHeader, AFailedStepStopsBeforeTheNextOne) {
    struct Case {
        const char* failing;
        std::size_t steps_taken;
    };
    for (const Case& c : {Case{"folder", 1}, Case{"file", 2}, Case{"enable", 3}}) {
        SCOPED_TRACE(c.failing);
        FakeLogSystem system;
        system.fail_step = c.failing;
        const LogResult result = WriteLogHeader("C:\\logs\\setup.log", SampleHeader(), system);
        EXPECT_EQ(result.outcome, LogOutcome::kFailed);
        EXPECT_EQ(result.error, std::string(c.failing) + " failed (error 5)");
        EXPECT_EQ(system.steps.size(), c.steps_taken);
    }
}

}  // namespace
