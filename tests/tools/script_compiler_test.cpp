// The script compiler: the exact compiled text of a listing, the listing's escapes, attributes
// and directives, its errors, generated identifiers and headers, and setup programs.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "script_compiler.h"
#include "script_loader.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using qorscript::CompileListing;

std::string CompileOrFail(const std::string& listing) {
    const qorscript::Compiled compiled = CompileListing(listing);
    EXPECT_TRUE(compiled.ok()) << (compiled.errors.empty() ? "" : compiled.errors.front());
    return compiled.script;
}

ScriptImage LoadOrFail(const std::string& listing) {
    ScriptLoad load = LoadScript(CompileOrFail(listing));
    EXPECT_TRUE(load.image) << load.error;
    return load.image ? std::move(*load.image) : ScriptImage();
}

TEST(ScriptCompiler, WritesEverySectionInOrder) {
    const std::string listing =
        "# a comment\r\n"
        "@product-code {11111111-1111-4111-8111-111111111111}\r\n"
        "@revision-code {22222222-2222-4222-8222-222222222222}\r\n"
        "@title Sample\r\n"
        "@company Halvorne\r\n"
        "@contact Desk\r\n"
        "@help-link Help\r\n"
        "@update-url Updates\r\n"
        "@comments None\r\n"
        "@version 1.0\r\n"
        "@media-layout 2\r\n"
        "@language-choice TRUE\r\n"
        "@default-language German\r\n"
        "@plugin Plug One\r\n"
        "@password offline | s3cr3t\r\n"
        "@component ZOND-PREDEF-COMPONENT | 1024\r\n"
        "@file OFFLINE | CB28C751\\a.css | OFFLINE\\230F8EC1\\CB28C751\\\r\n"
        "\r\n"
        "[id {AAAAAAAA-0000-4000-8000-000000000001}] Set Variable | A | 1\r\n"
        "[id {AAAAAAAA-0000-4000-8000-000000000002}] [off] Set Variable | B | 2\r\n"
        "[id {AAAAAAAA-0000-4000-8000-000000000003}] [header 230F8EC1] [media OFFLINE\\] "
        "Install Files | *.* | data | $TARGETDIR$\r\n"
        "[id {AAAAAAAA-0000-4000-8000-000000000004}] Wizard Loop\r\n";
    const std::string expected =
        "Set Variable\r\nComment\r\nInstall Files\r\nWizard Loop\r\n$\r\n"
        "{AAAAAAAA-0000-4000-8000-000000000001}\r\n{AAAAAAAA-0000-4000-8000-000000000002}\r\n"
        "{AAAAAAAA-0000-4000-8000-000000000003}\r\n{AAAAAAAA-0000-4000-8000-000000000004}\r\n"
        "$\r\n"
        "{AAAAAAAA-0000-4000-8000-000000000001}\r\nA\r\n1\r\n"
        "{AAAAAAAA-0000-4000-8000-000000000002}\r\nB\r\n2\r\n"
        "{AAAAAAAA-0000-4000-8000-000000000003}\r\n*.*\r\ndata\r\n$TARGETDIR$\r\n$\r\n"
        "\r\nC\r\n\r\n\r\n$\r\n"
        "{11111111-1111-4111-8111-111111111111}\r\nSample\r\n"
        "Plug One\r\n$\r\n"
        "Halvorne\r\nDesk\r\nHelp\r\nUpdates\r\nNone\r\n1.0\r\n"
        "offline\r\ns3cr3t\r\n$\r\n"
        "\r\n\r\nOFFLINE\\\r\n\r\n$\r\n"
        "2\r\n"
        "ZOND-PREDEF-COMPONENT\r\n1024\r\n$\r\n"
        "{22222222-2222-4222-8222-222222222222}\r\n"
        "OFFLINE\r\nCB28C751\\a.css\r\nOFFLINE\\230F8EC1\\CB28C751\\\r\n$\r\n"
        "TRUE\r\nGerman\r\n"
        "230F8EC1\r\n2\r\n$\r\n";
    EXPECT_EQ(CompileOrFail(listing), expected);
}

TEST(ScriptCompiler, DefaultsOfAnEmptyListing) {
    const ScriptImage image = LoadOrFail("");
    EXPECT_TRUE(image.Statements.empty());
    EXPECT_EQ(image.MediaLayout, 0);
    EXPECT_FALSE(image.OfferLanguageChoice);
    EXPECT_EQ(image.DefaultLanguage, "English");
    const std::regex guid("\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-8[0-9A-F]{3}-[0-9A-F]{12}\\}");
    EXPECT_TRUE(std::regex_match(image.ProductCode, guid)) << image.ProductCode;
    EXPECT_TRUE(std::regex_match(image.RevisionCode, guid)) << image.RevisionCode;
    EXPECT_NE(image.ProductCode, image.RevisionCode);
}

TEST(ScriptCompiler, ParametersEscapesAndBlocks) {
    const ScriptImage image = LoadOrFail(
        "Set Variable |   X   | a ^| b ^^ c\n"
        "Set Variable | Y | ^spadded^s\n"
        "MessageBox | line^rbreak | tab^there | byte ^x41^x7e\n"
        "Comment |\n"
        "Hide Dialog\n"
        "Plug | \n");
    const auto id = [&](int i) { return image.Statements[static_cast<std::size_t>(i)].Id; };
    EXPECT_EQ(image.GetParameter(id(0), 1), "X");
    EXPECT_EQ(image.GetParameter(id(0), 2), "a | b ^ c");
    EXPECT_EQ(image.GetParameter(id(1), 2), " padded ");
    EXPECT_EQ(image.GetParameter(id(2), 1), "line\rbreak");
    EXPECT_EQ(image.GetParameter(id(2), 2), "tab\there");
    EXPECT_EQ(image.GetParameter(id(2), 3), "byte A~");
    EXPECT_EQ(image.GetParameter(id(3), 0), id(3));  // "Comment |": a block of one empty line
    EXPECT_EQ(image.GetParameter(id(3), 1), "");
    EXPECT_EQ(image.GetParameter(id(4), 0), "");  // no '|': no block at all
    EXPECT_EQ(image.ParameterLines().size(), 3u + 3u + 4u + 2u + 2u);
}

TEST(ScriptCompiler, GeneratedIdentifiersAndHeaders) {
    const std::string listing =
        "Install Files | a | b | c\n"
        "[off] Write Registry | 0 | K | N | V | 1\n"
        "[noheader] Create Folder | C:\\x\n"
        "Set Variable | A | 1\n"
        "[header 0000ABCD] Set Variable | B | 2\n"
        "Create Shortcut | s\n"
        "[id {AAAAAAAA-0000-4000-8000-000000000001}] Comment\n";
    EXPECT_EQ(CompileOrFail(listing), CompileOrFail(listing));  // deterministic
    const ScriptImage image = LoadOrFail(listing);
    std::set<std::string> ids;
    for (const Statement& statement : image.Statements) ids.insert(statement.Id);
    EXPECT_EQ(ids.size(), image.Statements.size());

    const std::regex header("[0-9A-F]{8}");
    EXPECT_TRUE(std::regex_match(image.GetCommandHeader(0), header));
    EXPECT_EQ(image.GetCommandHeader(1), "");  // disabled
    EXPECT_EQ(image.GetCommandHeader(2), "");  // [noheader]
    EXPECT_EQ(image.GetCommandHeader(3), "");  // not change-making
    EXPECT_EQ(image.GetCommandHeader(4), "0000ABCD");
    EXPECT_TRUE(std::regex_match(image.GetCommandHeader(5), header));
    EXPECT_NE(image.GetCommandHeader(0), image.GetCommandHeader(5));
    EXPECT_EQ(image.Statements[1].Command, "Comment");
    EXPECT_TRUE(image.Statements[1].Disabled);
    EXPECT_EQ(image.Statements[6].Id, "{AAAAAAAA-0000-4000-8000-000000000001}");
}

TEST(ScriptCompiler, ExtraBlocksKeepTheirPlace) {
    const ScriptImage image = LoadOrFail(
        "[id {A}] Set Variable | A | first\n"
        "@block {B} | orphan\n"
        "@block {A} | second\n"
        "[id {C}] If | X | 0 | {A} | FALSE\n");
    EXPECT_EQ(image.GetParameter("{A}", 2), "first");
    EXPECT_EQ(image.GetParameter("{B}", 1), "orphan");
    EXPECT_EQ(image.GetParameter("{C}", 3), "{A}");
    const std::vector<std::string> lines = {"{A}",    "A",   "first", "{B}", "orphan", "{A}",
                                            "second", "{C}", "X",     "0",   "{A}",    "FALSE"};
    EXPECT_EQ(image.ParameterLines(), lines);
}

TEST(ScriptCompiler, ListingErrors) {
    const struct {
        const char* listing;
        const char* error;
    } cases[] = {
        {"@nonsense x", "line 1: unknown directive @nonsense"},
        {"\n@title a\n@title b", "line 3: @title is given twice"},
        {"@password offline", "line 1: @password takes 2 field(s) separated by '|'"},
        {"@file a | b", "line 1: @file takes 3 field(s) separated by '|'"},
        {"[bogus] If", "line 1: unknown attribute [bogus]"},
        {"[id] If", "line 1: attribute [id] needs a value"},
        {"[off x] If", "line 1: attribute [off] takes no value"},
        {"[off If", "line 1: an attribute lacks its closing ']'"},
        {"[header 1] [noheader] If", "line 1: [header] and [noheader] exclude each other"},
        {"[off] | a", "line 1: a statement needs a command name"},
        {"Set Variable | a^q", "line 1: unknown escape ^q"},
        {"Set Variable | a^", "line 1: a lone ^ at the end"},
        {"Set Variable | ^x4", "line 1: ^x needs two hexadecimal digits"},
        {"Set Variable | ^x0A", "line 1: a line of the compiled script cannot hold LF"},
        {"Set Variable | $", "the section of parameter lines cannot hold a line \"$\""},
        {"@plugin $", "the section of plug-in commands cannot hold a line \"$\""},
    };
    for (const auto& c : cases) {
        const qorscript::Compiled compiled = CompileListing(c.listing);
        ASSERT_FALSE(compiled.ok()) << c.listing;
        EXPECT_EQ(compiled.errors.front().rfind(c.error, 0), 0u)
            << c.listing << " gave " << compiled.errors.front();
        EXPECT_TRUE(compiled.script.empty());
    }
    // A "$" on a single-line position is an ordinary value.
    EXPECT_EQ(LoadOrFail("@title $").ProductTitle, "$");
}

// ---- Setup programs ---------------------------------------------------------------------

// A small PE image: headers, one section of 0x200 bytes at 0x200.
std::string TinyProgram() {
    std::string image(0x400, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = 0x40;
    image[0x40] = 'P';
    image[0x41] = 'E';
    image[0x44 + 2] = 1;     // one section
    image[0x44 + 16] = 240;  // SizeOfOptionalHeader
    const std::size_t entry = 0x44 + 20 + 240;
    image[entry + 17] = 0x02;  // SizeOfRawData 0x200
    image[entry + 21] = 0x02;  // PointerToRawData 0x200
    return image;
}

std::string ThisProgram() {
#ifdef _WIN32
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
#else
    return TinyProgram();
#endif
}

TEST(SetupProgram, AppendsTheScriptAndReplacesAnOldOne) {
    const std::string program = ThisProgram();
    const auto image_end = FindOverlayStart(
        std::span(reinterpret_cast<const std::uint8_t*>(program.data()), program.size()),
        program.size());
    ASSERT_TRUE(image_end);
    // What follows the sections (an unstripped program's symbol table) is not carried over.
    const std::string image = program.substr(0, *image_end);
    const std::string script = CompileOrFail("@title First\nSet Variable | A | 1\n");
    const qorscript::SetupProgram first = qorscript::AppendScript(program, script);
    ASSERT_TRUE(first.error.empty()) << first.error;
    EXPECT_TRUE(first.bytes == image + script);  // not EXPECT_EQ: no megabytes of diff

    const std::string second_script = CompileOrFail("@title Second\n");
    const qorscript::SetupProgram second = qorscript::AppendScript(first.bytes, second_script);
    EXPECT_TRUE(second.bytes == image + second_script);

    // Written to disk and read back the way the engine reads itself.
    const std::string path =
        (std::filesystem::temp_directory_path() / "qor-setup-test.exe").string();
    std::ofstream(path, std::ios::binary)
        .write(second.bytes.data(), static_cast<std::streamsize>(second.bytes.size()));
    const OverlayStart start = FindFileOverlayStart(path);
    ASSERT_EQ(start.start, image.size());
    const Overlay overlay = ReadOverlay(path, *start.start);
    std::filesystem::remove(path);
    ASSERT_EQ(overlay.status, Overlay::Status::kScript);
    const ScriptLoad load = LoadScript(overlay.bytes);
    ASSERT_TRUE(load.image) << load.error;
    EXPECT_EQ(load.image->ProductTitle, "Second");
}

TEST(SetupProgram, RefusesWhatIsNoProgram) {
    EXPECT_FALSE(qorscript::AppendScript("just text", "x").error.empty());
    std::string cut = TinyProgram();
    cut.resize(0x300);  // the section runs past the end of the file
    EXPECT_FALSE(qorscript::AppendScript(cut, "x").error.empty());
}

}  // namespace
