// The pure parts of starting the Java VM: the options table, the runtime folder of a VM
// library, control requests, and the modified UTF-8 that JNI passes text in.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control_request.h"
#include "java_paths.h"
#include "java_text.h"
#include "vm_options.h"

namespace {

std::vector<std::string> OptionTexts(const pantrix::VmOptionTexts& options) {
    return std::vector<std::string>(options.texts, options.texts + options.count);
}

TEST(VmOptions, FixedOptionsThenTheJopTokens) {
    pantrix::VmOptionTexts options;
    pantrix::LaunchError error;
    ASSERT_TRUE(pantrix::BuildVmOptionTexts("T;T\\a.jar;P", "T;P;C:\\w", "256",
                                            "-Dx=1 \"-Dy=a b\"  -server", &options, &error));
    EXPECT_EQ(
        OptionTexts(options),
        (std::vector<std::string>{"-Djava.class.path=T;T\\a.jar;P", "-Djava.library.path=T;P;C:\\w",
                                  "exit", "abort", "-Xmx256m", "-Dx=1", "-Dy=a b", "-server"}));
    EXPECT_EQ(options.jop_first, 5);

    pantrix::VmOptionTexts without_jop;
    ASSERT_TRUE(pantrix::BuildVmOptionTexts("T", "L", "1024", std::nullopt, &without_jop, &error));
    EXPECT_EQ(without_jop.count, 5);
    EXPECT_STREQ(without_jop.texts[4], "-Xmx1024m");
    EXPECT_FALSE(error.failed());
}

TEST(VmOptions, AtMost95JopTokensFit) {
    struct Case {
        int tokens;
        bool fits;
    };
    for (const Case c : {Case{0, true}, Case{95, true}, Case{96, false}, Case{200, false}}) {
        std::string jop;
        for (int i = 0; i < c.tokens; ++i) jop += " -Dp" + std::to_string(i) + "=1";
        pantrix::VmOptionTexts options;
        pantrix::LaunchError error;
        EXPECT_EQ(pantrix::BuildVmOptionTexts("T", "L", "256", jop, &options, &error), c.fits)
            << c.tokens;
        if (c.fits) {
            EXPECT_EQ(options.count, 5 + c.tokens);
        } else {
            EXPECT_STREQ(error.text, "50: The 'jop' setting holds more than 95 Java VM options");
        }
    }
}

TEST(JavaPaths, RuntimeFolderDropsTheLastTwoComponents) {
    struct Case {
        const char* library;
        const char* folder;  // null: none
    };
    const Case cases[] = {
        {"C:\\app\\jre\\bin\\client\\jvm.dll", "C:\\app\\jre\\bin"},
        {"C:\\forced\\jvm.dll", "C:"},
        {"client\\jvm.dll", nullptr},
        {"jvm.dll", nullptr},
        {"\\jvm.dll", nullptr},
        {"\\\\jvm.dll", ""},
    };
    for (const Case& c : cases) {
        const auto folder = pantrix::RuntimeFolderOf(c.library);
        if (c.folder) {
            ASSERT_TRUE(folder.has_value()) << c.library;
            EXPECT_EQ(*folder, c.folder) << c.library;
        } else {
            EXPECT_FALSE(folder.has_value()) << c.library;
        }
    }
}

TEST(ControlRequest, RecognisesStatusAndDumpAllStacks) {
    using Kind = pantrix::ControlRequestKind;
    struct Case {
        std::string area;
        Kind kind;
        const char* dump_path;  // null: none
    };
    const Case cases[] = {
        {"status", Kind::kStatus, nullptr},
        {"  status extra", Kind::kStatus, nullptr},
        {"dumpAllStacks C:\\d.txt", Kind::kDumpAllStacks, "C:\\d.txt"},
        {"dumpAllStacks \"C:\\a b\\d.txt\" more", Kind::kDumpAllStacks, "C:\\a b\\d.txt"},
        {"dumpAllStacks", Kind::kDumpAllStacks, nullptr},
        {"", Kind::kNone, nullptr},
        {"Status", Kind::kNone, nullptr},
        {"stat", Kind::kNone, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> area(pantrix::kControlTextSize, 0);
        std::memcpy(area.data(), c.area.data(), c.area.size());
        pantrix::ControlRequest request;
        pantrix::ParseControlRequest(area.data(), &request);
        EXPECT_EQ(request.kind, c.kind) << c.area;
        EXPECT_EQ(request.dump_path ? std::string(request.dump_path) : "(none)",
                  c.dump_path ? c.dump_path : "(none)")
            << c.area;
    }
}

TEST(ControlRequest, ARequestWithoutZeroByteEndsAtTheAreaEnd) {
    // Exactly the area's size, so a read past it is caught by the address sanitizer.
    std::vector<unsigned char> area(pantrix::kControlTextSize, 'x');
    const char prefix[] = "dumpAllStacks ";
    std::memcpy(area.data(), prefix, sizeof(prefix) - 1);
    pantrix::ControlRequest request;
    pantrix::ParseControlRequest(area.data(), &request);
    EXPECT_EQ(request.kind, pantrix::ControlRequestKind::kDumpAllStacks);
    ASSERT_NE(request.dump_path, nullptr);
    EXPECT_EQ(std::strlen(request.dump_path), pantrix::kControlTextSize - (sizeof(prefix) - 1));
}

TEST(ControlRequest, StatusReplyIsTheExeNameAndProcessNumber) {
    char reply[pantrix::kControlTextSize];
    pantrix::FormatStatusReply("Pantrix.exe", 4242, reply, sizeof(reply));
    EXPECT_STREQ(reply, "Pantrix.exe [PID=4242]");
    char small[8];
    pantrix::FormatStatusReply("Pantrix.exe", 1, small, sizeof(small));
    EXPECT_STREQ(small, "Pantrix");
}

std::string Utf8Of(const std::u16string& text) {
    return pantrix::ModifiedUtf8FromUtf16(text.data(), text.size()).get();
}

std::u16string Utf16Of(const std::string& bytes) {
    std::u16string out(bytes.size() + 1, u'\0');
    out.resize(pantrix::Utf16FromModifiedUtf8(bytes.c_str(), out.data()));
    return out;
}

TEST(JavaText, ModifiedUtf8EncodesEveryUnitOnItsOwn) {
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"plain", "plain"},
        {u"caf\u00E9", "caf\xC3\xA9"},
        {u"\u20AC", "\xE2\x82\xAC"},
        {std::u16string(1, u'\0'), "\xC0\x80"},       // no zero byte inside a text
        {u"\U0001F600", "\xED\xA0\xBD\xED\xB8\x80"},  // each surrogate on its own
        {u"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8Of(c.text), c.bytes);
        EXPECT_EQ(Utf16Of(c.bytes), c.text);
    }
}

TEST(JavaText, DecodingAcceptsStandardUtf8AndReplacesMalformedBytes) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\xF0\x9F\x98\x80", u"\U0001F600"},  // a standard 4-byte sequence
        {"a\x80z", u"a\uFFFDz"},              // a stray continuation byte
        {"a\xC3", u"a\uFFFD"},                // cut at the end
        {"\xE2\x82", u"\uFFFD\uFFFD"},        // cut inside a 3-byte sequence
        {"\xF4\x90\x80\x80", u"\uFFFD"},      // beyond U+10FFFF
        {"\xFF", u"\uFFFD"},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf16Of(c.bytes), c.text);
}

}  // namespace
