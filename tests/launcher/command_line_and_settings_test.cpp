// Tokens and options, setting lookup, Java versions, the class path, path safety, run
// identifiers and the numbered messages with their help texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "counted_memory.h"
#include "java_paths.h"
#include "java_version.h"
#include "messages.h"
#include "path_safety.h"
#include "run_identifier.h"
#include "run_options.h"
#include "settings.h"
#include "tokenizer.h"

namespace {

std::vector<std::string> Tokens(std::string text, int max_tokens = pantrix::kMaxTokens) {
    std::vector<char*> tokens(static_cast<size_t>(max_tokens));
    const int count = pantrix::Tokenize(text.data(), tokens.data(), max_tokens);
    return std::vector<std::string>(tokens.begin(), tokens.begin() + count);
}

TEST(Tokenizer, SplitsAtBlanksAndQuotes) {
    using V = std::vector<std::string>;
    struct Case {
        std::string text;
        V tokens;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"-D* -2* hello \"a b\"", {"-D*", "-2*", "hello", "a b"}},
        {"  two   blanks  ", {"two", "blanks"}},
        {"\"\" x", {"", "x"}},  // an empty pair of quotes is a token
        {"\"open quote runs to the end", {"open quote runs to the end"}},
        {"\"a b\"c", {"a b", "c"}},  // the closing quote ends the token
        {"tab\tis not a blank", {"tab\tis", "not", "a", "blank"}},
        {"no\\\"escape\" here\"", {"no\\\"escape\"", "here\""}},
    };
    for (const Case& c : cases) EXPECT_EQ(Tokens(c.text), c.tokens) << "[" << c.text << "]";
}

TEST(Tokenizer, TakesAtMost99Tokens) {
    std::string text;
    for (int i = 0; i < 120; ++i) text += "t" + std::to_string(i) + " ";
    const auto tokens = Tokens(text);
    ASSERT_EQ(tokens.size(), 99u);
    EXPECT_EQ(tokens.back(), "t98");
}

struct OptionsResult {
    pantrix::RunOptions options;
    std::vector<std::string> arguments;
    std::string forced_jvm;
};

OptionsResult Options(std::string text) {
    OptionsResult result;
    char* tokens[pantrix::kMaxTokens];
    const int count = pantrix::Tokenize(text.data(), tokens);
    const int first = pantrix::ProcessOptions(tokens, count, &result.options);
    for (int i = first; i < count; ++i) result.arguments.push_back(tokens[i]);
    if (result.options.forced_jvm) result.forced_jvm = result.options.forced_jvm;
    // The pointers point into text, which ends here: keep copies of what the tests read.
    result.options.forced_jvm = nullptr;
    result.options.cleanup_folder = result.options.cleanup_identifier = nullptr;
    return result;
}

TEST(Options, LeadingOptionsAreConsumedAndTheRestAreArguments) {
    using V = std::vector<std::string>;
    struct Case {
        std::string text;
        bool log, quiet, stderr_fix, no_pipe;
        std::string heap;
        std::string jvm;
        V arguments;
    };
    const Case cases[] = {
        {"-D* -2* hello \"a b\"", true, false, false, false, "256", "", {"hello", "a b"}},
        {"hello -D*", false, false, false, false, "", "", {"hello", "-D*"}},
        {"-Q* -E* -W*", false, true, true, true, "", "", {}},
        {"-9* -H*", false, false, false, false, "1024", "", {}},
        {"-H* -1*", false, false, false, false, "128", "", {}},
        {"-Dxyz -Q*", false, false, false, false, "", "", {"-Dxyz", "-Q*"}},  // no option
        {"-D*rest", true, false, false, false, "", "", {}},       // only three characters count
        {"-d* -0* -x*", false, false, false, false, "", "", {}},  // consumed, no effect
        {"- -D*", false, false, false, false, "", "", {"-", "-D*"}},
        {"-D", false, false, false, false, "", "", {"-D"}},
        {"-jvm:C:\\j\\jvm.dll -Q* app", false, true, false, false, "", "C:\\j\\jvm.dll", {"app"}},
    };
    for (const Case& c : cases) {
        const OptionsResult r = Options(c.text);
        EXPECT_EQ(r.options.log_enabled, c.log) << c.text;
        EXPECT_EQ(r.options.quiet, c.quiet) << c.text;
        EXPECT_EQ(r.options.stderr_fix, c.stderr_fix) << c.text;
        EXPECT_EQ(r.options.no_output_pipe, c.no_pipe) << c.text;
        EXPECT_EQ(std::string(r.options.heap), c.heap) << c.text;
        EXPECT_EQ(r.forced_jvm, c.jvm) << c.text;
        EXPECT_EQ(r.arguments, c.arguments) << c.text;
        EXPECT_FALSE(r.options.cleanup_request) << c.text;
    }
}

TEST(Options, CleanupCarriesAFolderAndIdentifierOnlyWhenExactlyTwoFollow) {
    struct Case {
        std::string text;
        bool carries;
    };
    const Case cases[] = {
        {"-deltree*", false},
        {"-deltree* \"C:\\t\\JX1A2B\"", false},
        {"-deltree* \"C:\\t\\JX1A2B\" JX1A2B", true},
        {"-deltree* \"C:\\t\\JX1A2B\" JX1A2B extra", false},
        {"-D* -deltree* C:\\t\\JX1 JX1", true},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        char* tokens[pantrix::kMaxTokens];
        const int count = pantrix::Tokenize(text.data(), tokens);
        pantrix::RunOptions options;
        EXPECT_EQ(pantrix::ProcessOptions(tokens, count, &options), count) << c.text;
        EXPECT_TRUE(options.cleanup_request) << c.text;
        EXPECT_EQ(options.cleanup_folder != nullptr, c.carries) << c.text;
        EXPECT_EQ(options.cleanup_identifier != nullptr, c.carries) << c.text;
    }
}

TEST(Settings, LookupFindsTheFirstMatchUpToTheLineFeed) {
    const std::string text = "xmx=1\nmx=256\njars=a.jar;b.jar\nempty=\nlast=no line feed";
    struct Case {
        const char* name;
        std::optional<std::string_view> fallback;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"mx", {}, "1"},  // a plain substring search: "xmx=" holds "mx="
        {"jars", {}, "a.jar;b.jar"},
        {"empty", "d", ""},
        {"last", "default", "default"},  // no line feed after the value
        {"last", {}, std::nullopt},
        {"missing", "9999", "9999"},
        {"missing", {}, std::nullopt},
        {"a.jar", {}, std::nullopt},  // found, but not followed by "="
    };
    for (const Case& c : cases) {
        const auto value = pantrix::SettingLookup(text, c.name, c.fallback);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << c.name;
        if (value) {
            EXPECT_EQ(std::string(*value), *c.value) << c.name;
        }
    }
}

TEST(JavaVersion, ReadsFourComponentsWithDefaults) {
    struct Case {
        const char* text;
        uint64_t default_component;
        uint64_t version;
    };
    const Case cases[] = {
        {"1.4.1", 0, 1000400010000ull},
        {"1.6.0_03", 0, 1000600000003ull},
        {"1.5", 9999, 1000599999999ull},
        {"9999", 9999, 9999999999999999ull},
        {"", 0, 0},
        {"jre-1.8.0_391-b7", 0, 1000800000391ull},  // anything but digits separates
        {"11.0.2", 0, 11000000020000ull},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pantrix::ParseJavaVersion(c.text, c.default_component), c.version) << c.text;
}

TEST(JavaVersion, RangeFromSettings) {
    struct Case {
        const char* settings;
        const char* runtime;
        bool accepted;
    };
    const Case cases[] = {
        {"minver=1.4.1\n", "1.4.1", true},  // 1.4.1.0 >= 1.4.1.0
        {"minver=1.4.1\n", "1.4.0", false},
        {"maxver=1.5\n", "1.5.0_06", true},  // the maximum reads as 1.5.9999.9999
        {"maxver=1.5\n", "1.6.0", false},
        {"", "1.4", true},  // default minimum 1.4
        {"", "1.3.1_20", false},
        {"", "9999.1", true},             // default maximum 9999.9999.9999.9999
        {"minver=1.4.1", "1.4.0", true},  // no line feed: the default minimum 1.4 applies
    };
    for (const Case& c : cases) {
        const pantrix::JavaVersionRange range = pantrix::JavaVersionRangeFromSettings(c.settings);
        EXPECT_EQ(range.Accepts(pantrix::ParseJavaVersion(c.runtime, 0)), c.accepted)
            << c.settings << " / " << c.runtime;
    }
}

TEST(JavaPaths, ClassPathTakesJarsFromTheirFolders) {
    const pantrix::CountedBuffer path = pantrix::ComposeClassPath(
        "C:\\T\\JX1", "D:\\App", "activation.jar;;.\\lib\\own.jar;mail.jar;", "");
    EXPECT_STREQ(path.get(),
                 "C:\\T\\JX1;C:\\T\\JX1\\activation.jar;D:\\App\\.\\lib\\own.jar;"
                 "C:\\T\\JX1\\mail.jar;D:\\App");
    EXPECT_STREQ(pantrix::ComposeClassPath("T", "P", "", "E:\\x.jar").get(), "T;P;E:\\x.jar");
    EXPECT_STREQ(pantrix::ComposeSearchPath("T", "P", "C:\\windows").get(), "T;P;C:\\windows");
}

TEST(PathSafety, KeepsFilesInsideTheirFolder) {
    struct Case {
        const char* path;
        bool safe;
    };
    const Case cases[] = {
        {"a.jar", true},
        {"lib/sub/b.jar", true},
        {"lib\\b.jar", true},
        {"./a.jar", true},
        {"a..b.jar", true},
        {"lib/.hidden", true},
        {"", false},
        {"..", false},
        {"../a.jar", false},
        {"lib/../../a", false},
        {"lib\\..", false},
        {"/a.jar", false},
        {"\\a.jar", false},
        {"\\\\server\\s\\a", false},
        {"C:\\a.jar", false},
        {"C:a.jar", false},
        {"a.jar:stream", false},
        {"lib/.../a", false},
        {"lib/.. /a", false},
    };
    for (const Case& c : cases) EXPECT_EQ(pantrix::IsSafeRelativePath(c.path), c.safe) << c.path;
}

TEST(RunIdentifier, FormatAndTheCleanupSafetyRule) {
    char id[pantrix::kRunIdentifierSize];
    pantrix::FormatRunIdentifier(0x12345678u, 0x1AC, id, sizeof(id));
    EXPECT_STREQ(id, "JXA90B1AC");  // (305419896 / 1000) mod 65536 = 0xA90B
    pantrix::FormatRunIdentifier(999, 0xFFFFFFFFu, id, sizeof(id));
    EXPECT_STREQ(id, "JX0FFFFFFFF");
    for (const char* good : {"JX4C1E1AC", "JX00", "JX0FFFFFFFF"})
        EXPECT_TRUE(pantrix::IsRunIdentifier(good)) << good;
    for (const char* bad : {"", "JX", "JX1", "jx12", "JX12g", "X12", "JX1234567890ABC", "\\"})
        EXPECT_FALSE(pantrix::IsRunIdentifier(bad)) << bad;
}

std::string FailText(const char* message, bool installer = false) {
    char text[4096];
    pantrix::ComposeFailText(message, {"Pantrix Home", "Pantrix.exe", installer}, text,
                             sizeof(text));
    return text;
}

TEST(Messages, NumberChoosesTheHelpText) {
    const std::string web_note =
        "You will be redirected to Sun's Java web site:\r\n\r\n\thttp://www.java.com/getjava/"
        "\r\n\r\nwhere you should install the latest Java Runtime.";
    struct Case {
        const char* message;
        bool installer;
        std::string text;
    };
    const Case cases[] = {
        {"10: A Java Runtime Environment for 'App.exe' could not be found", false,
         "ERROR #10: A Java Runtime Environment for 'App.exe' could not be found\r\n\r\n"
         "A Java Runtime Environment needs to be installed before 'Pantrix Home' can be run"
         "\r\n\r\n" +
             web_note},
        {"13: x", true,
         "ERROR #13: x\r\n\r\nPROBLEM: An error occurred with your current Java Runtime "
         "Environment\r\n\r\nSOLUTION: Reinstall the Java Runtime Environment for 'Pantrix "
         "Home' and try again\r\n\r\nThe Java Runtime Environment will now be installed"},
        {"21: Failed to map 'App.exe' into memory", false,
         "ERROR #21: Failed to map 'App.exe' into memory\r\n\r\nPROBLEM: A Windows API function "
         "call failed\r\n\r\nSOLUTION: Try restarting Windows and contact your System "
         "Administrator for help"},
        {"41: Unable to write a file to the temp folder [winerr=112]", false,
         "ERROR #41: Unable to write a file to the temp folder [winerr=112]\r\n\r\nPROBLEM: Can "
         "not create folders/files on the hard drive\r\n\r\nSOLUTION: Free up some disk space "
         "(Run the 'Disk Cleanup' system tool)"},
        {"55: boot", false,
         "ERROR #55: boot\r\n\r\nPROBLEM: Java programming issue -- notify your vendor\r\n\r\n"
         "SOLUTION: Obtain the latest 'Pantrix Home' from your vendor"},
        {"91: EXE section digital signature check failed", false,
         "ERROR #91: EXE section digital signature check failed\r\n\r\nPROBLEM: 'Pantrix.exe' "
         "is damaged\r\n\r\nSOLUTION: Reinstall 'Pantrix Home', preferably obtaining the latest "
         "version"},
        {"Application says no", false, "ERROR #Application says no"},
        {"7: seven", false, "ERROR #7: seven"},
        {"66: sixty-six", false, "ERROR #66: sixty-six"},
        {"100: hundred", false, "ERROR #100: hundred"},
        {"%s%n%d", false, "ERROR #%s%n%d"},  // a message is never a format
    };
    for (const Case& c : cases) EXPECT_EQ(FailText(c.message, c.installer), c.text) << c.message;
}

TEST(Messages, ErrorNumberIsTheLeadingNumber) {
    EXPECT_EQ(pantrix::ErrorNumber("41: x"), 41);
    EXPECT_EQ(pantrix::ErrorNumber("no number"), 0);
    EXPECT_EQ(pantrix::ErrorNumber(""), 0);
    EXPECT_EQ(pantrix::ErrorNumber("99999999999999: too long"), 999999999);
}

TEST(Messages, FailTextIsCutToItsBuffer) {
    const std::string long_message = "41: " + std::string(5000, 'x');
    char text[64];
    pantrix::ComposeFailText(long_message.c_str(), {"A", "B", false}, text, sizeof(text));
    EXPECT_EQ(std::string(text), "ERROR #41: " + std::string(52, 'x'));
}

TEST(CountedMemory, CountsWhatIsStillHeld) {
    const long long before = pantrix::CountedBytesHeld();
    {
        pantrix::CountedBuffer a(100);
        pantrix::CountedBuffer b = pantrix::CopyText("abc", 3);
        EXPECT_EQ(pantrix::CountedBytesHeld(), before + 104);
        a = std::move(b);
        EXPECT_EQ(pantrix::CountedBytesHeld(), before + 4);
    }
    EXPECT_EQ(pantrix::CountedBytesHeld(), before);
}

}  // namespace
