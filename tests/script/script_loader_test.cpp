// Loading the compiled script: a script written out by hand section by section, the look-ups,
// line endings, damaged scripts (truncated at every offset, flipped bytes, bad sections), and
// the overlay of PE images.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "script_compiler.h"
#include "script_loader.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const std::string kSetId = "{A6F02697-E4B1-459B-B64F-D55312A420D8}";
const std::string kLoopId = "{0B9C3F1E-5D2A-4C7B-9E8F-1A2B3C4D5E6F}";
const std::string kDisabledId = "{11111111-2222-4333-8444-555555555555}";
const std::string kFilesId = "{9F8E7D6C-5B4A-4392-8817-263544536271}";
const std::string kIfId = "{C0FFEE00-0000-4000-8000-00000000BEEF}";
const std::string kOrphanId = "{DEADBEEF-0000-4000-8000-000000000001}";

// A compiled script as the authoring tool writes it, section by section.
const std::string kHandwritten =
    // 1. command names: one per statement; the disabled statement is "Comment".
    "Set Variable\r\n"
    "Wizard Loop\r\n"
    "Comment\r\n"
    "Install Files\r\n"
    "If\r\n"
    "$\r\n"
    // 2. statement identifiers, parallel to section 1.
    + kSetId + "\r\n" + kLoopId + "\r\n" + kDisabledId + "\r\n" + kFilesId + "\r\n" + kIfId +
    "\r\n"
    "$\r\n"
    // 3. parameter blocks in no particular order: Install Files, a block of no statement, Set
    // Variable, If (whose parameter 3 equals Set Variable's identifier), the disabled
    // statement's Set Variable block, and a second block for Set Variable's identifier.
    // Wizard Loop has no block.
    + kFilesId + "\r\n*.*\r\ndata\r\n$TARGETDIR$\r\n" + kOrphanId + "\r\norphan 1\r\n" + kSetId +
    "\r\nTARGETDIR\r\nC:\\Program Files\\Sample\\\r\n" + kIfId + "\r\nGREETING\r\n0\r\n" + kSetId +
    "\r\nFALSE\r\n" + kDisabledId + "\r\nOLD\r\nvalue\r\n" + kSetId +
    "\r\nIGNORED\r\nIGNORED\r\n"
    "$\r\n"
    // 4. disabled flags.
    "\r\n"
    "\r\n"
    "C\r\n"
    "\r\n"
    "\r\n"
    "$\r\n"
    // 5. product code; 6. product title.
    "{6D0B5E4A-1C2D-4E3F-8A9B-0C1D2E3F4A5B}\r\n"
    "Sample Product\r\n"
    // 7. plug-in commands.
    "Sample Plugin Command\r\n"
    "$\r\n"
    // 8. company; 9. contact (empty); 10. help link; 11. update address; 12. comments;
    // 13. version.
    "Halvorne Test\r\n"
    "\r\n"
    "Support desk\r\n"
    "Updates page\r\n"
    "Written by hand\r\n"
    "3.4.3\r\n"
    // 14. archive passwords: empty, so the "$" follows the version line directly.
    "$\r\n"
    // 15. statement media, parallel to section 1.
    "OFFLINE\\\r\n"
    "\r\n"
    "\r\n"
    "OFFLINE\\\r\n"
    "\r\n"
    "$\r\n"
    // 16. media layout.
    "2\r\n"
    // 17. component sizes (64-bit).
    "ZOND-PREDEF-COMPONENT\r\n"
    "1024\r\n"
    "Documentation\r\n"
    "4294967296\r\n"
    "$\r\n"
    // 18. revision code.
    "{0F1E2D3C-4B5A-4697-8887-A6B5C4D3E2F1}\r\n"
    // 19. file list triples.
    "OFFLINE\r\n"
    "CB28C751\\userManual.css\r\n"
    "OFFLINE\\230F8EC1\\CB28C751\\\r\n"
    "$\r\n"
    // 20. language choice; 21. default language.
    "TRUE\r\n"
    "English\r\n"
    // 22. command headers: header, statement index.
    "230F8EC1\r\n"
    "3\r\n"
    "$\r\n"
    // Padding after the script is not read.
    + std::string(16, '\0');

ScriptImage LoadOrFail(const std::string& text) {
    ScriptLoad load = LoadScript(text);
    EXPECT_TRUE(load.image) << load.error;
    return load.image ? std::move(*load.image) : ScriptImage();
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST(HandwrittenScript, LoadsEverySection) {
    const ScriptImage image = LoadOrFail(kHandwritten);
    ASSERT_EQ(image.Statements.size(), 5u);
    const struct {
        const char* command;
        const std::string& id;
        bool disabled;
        const char* media;
    } expected[] = {
        {"Set Variable", kSetId, false, "OFFLINE\\"},
        {"Wizard Loop", kLoopId, false, ""},
        {"Comment", kDisabledId, true, ""},
        {"Install Files", kFilesId, false, "OFFLINE\\"},
        {"If", kIfId, false, ""},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        const Statement& statement = image.Statements[i];
        EXPECT_EQ(statement.Index, static_cast<std::int32_t>(i));
        EXPECT_EQ(statement.Command, expected[i].command);
        EXPECT_EQ(statement.Id, expected[i].id);
        EXPECT_EQ(statement.Disabled, expected[i].disabled);
        EXPECT_EQ(statement.MediaFolder, expected[i].media);
    }
    EXPECT_EQ(image.ProductCode, "{6D0B5E4A-1C2D-4E3F-8A9B-0C1D2E3F4A5B}");
    EXPECT_EQ(image.CompiledProductCode, image.ProductCode);
    EXPECT_EQ(image.ProductTitle, "Sample Product");
    EXPECT_EQ(image.PluginCommands, std::vector<std::string>{"Sample Plugin Command"});
    EXPECT_EQ(image.Company, "Halvorne Test");
    EXPECT_EQ(image.Contact, "");
    EXPECT_EQ(image.HelpLink, "Support desk");
    EXPECT_EQ(image.UpdateUrl, "Updates page");
    EXPECT_EQ(image.Comments, "Written by hand");
    EXPECT_EQ(image.ProductVersion, "3.4.3");
    EXPECT_TRUE(image.ArchivePasswords.empty());
    EXPECT_EQ(image.MediaLayout, 2);
    ASSERT_EQ(image.ComponentSizes.size(), 2u);
    EXPECT_EQ(image.ComponentSizes[0].Name, "ZOND-PREDEF-COMPONENT");
    EXPECT_EQ(image.ComponentSizes[0].Bytes, 1024);
    EXPECT_EQ(image.ComponentSizes[1].Bytes, std::int64_t{1} << 32);
    EXPECT_EQ(image.RevisionCode, "{0F1E2D3C-4B5A-4697-8887-A6B5C4D3E2F1}");
    ASSERT_EQ(image.FileList.size(), 1u);
    EXPECT_EQ(image.FileList[0].Block, "OFFLINE");
    EXPECT_EQ(image.FileList[0].ArchivePath, "CB28C751\\userManual.css");
    EXPECT_EQ(image.FileList[0].TargetFolder, "OFFLINE\\230F8EC1\\CB28C751\\");
    EXPECT_TRUE(image.OfferLanguageChoice);
    EXPECT_EQ(image.DefaultLanguage, "English");
    EXPECT_EQ(image.ParameterLines().size(), 20u);
}

TEST(HandwrittenScript, ParameterLookups) {
    const ScriptImage image = LoadOrFail(kHandwritten);
    const struct {
        const std::string& id;
        int n;
        std::string expected;
    } cases[] = {
        {kSetId, 0, kSetId},  // the identifier line itself
        {kSetId, 1, "TARGETDIR"},
        {kSetId, 2, "C:\\Program Files\\Sample\\"},  // the first block wins over the later one
        {kLoopId, 1, ""},                            // no block: every parameter is empty
        {kDisabledId, 1, "OLD"},                     // a disabled statement keeps its block
        {kFilesId, 3, "$TARGETDIR$"},                // a block before others
        {kFilesId, 4, kOrphanId},  // no check against the command's count: the next line
        {kIfId, 3, kSetId},        // a parameter equal to another statement's identifier
        {kOrphanId, 1, "orphan 1"},
        {"{00000000-0000-0000-0000-000000000000}", 1, ""},
        {kSetId, -1, ""},
        {kDisabledId, 6, ""},  // past the end of the section
    };
    for (const auto& c : cases) {
        EXPECT_EQ(image.GetParameter(c.id, c.n), c.expected) << c.id << " " << c.n;
    }
    // Identifiers compare case-sensitively.
    std::string lower = kSetId;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(image.GetParameter(lower, 1), "");
}

TEST(HandwrittenScript, CommandHeaders) {
    const ScriptImage image = LoadOrFail(kHandwritten);
    EXPECT_EQ(image.GetCommandHeader(3), "230F8EC1");
    EXPECT_EQ(image.GetCommandHeader(0), "");
    EXPECT_EQ(image.GetCommandHeader(-1), "");
}

TEST(HandwrittenScript, LoneLineFeedsAndCarriageReturnsInsideLines) {
    const ScriptImage crlf = LoadOrFail(kHandwritten);
    const ScriptImage lf = LoadOrFail(ReplaceAll(kHandwritten, "\r\n", "\n"));
    EXPECT_EQ(lf.ParameterLines(), crlf.ParameterLines());
    EXPECT_EQ(lf.RevisionCode, crlf.RevisionCode);
    EXPECT_EQ(lf.GetCommandHeader(3), "230F8EC1");

    // A lone CR does not end a line; the last line needs no line end at all.
    const std::string text = ReplaceAll(kHandwritten, "orphan 1", "one\rtwo");
    const ScriptImage cr = LoadOrFail(text.substr(0, text.rfind("$\r\n") + 1));
    EXPECT_EQ(cr.GetParameter(kOrphanId, 1), "one\rtwo");
}

TEST(HandwrittenScript, CopiesKeepTheirLookups) {
    ScriptImage original = LoadOrFail(kHandwritten);
    ScriptImage copy = original;
    original = ScriptImage();
    EXPECT_EQ(copy.GetParameter(kSetId, 1), "TARGETDIR");
    const ScriptImage moved = std::move(copy);
    EXPECT_EQ(moved.GetParameter(kIfId, 3), kSetId);
}

// ---- Damaged scripts --------------------------------------------------------------------

TEST(DamagedScript, SectionFaultsAreReported) {
    const struct {
        std::string from, to, message;
    } cases[] = {
        {"2\r\nZOND", "two\r\nZOND", "the media layout line \"two\" is not a decimal integer"},
        {"2\r\nZOND", "\r\nZOND", "the media layout line \"\" is not a decimal integer"},
        {"2\r\nZOND", "2x\r\nZOND", "the media layout line \"2x\" is not a decimal integer"},
        {"2\r\nZOND", "99999999999\r\nZOND", "media layout line \"99999999999\" is not"},
        {"1024\r\n", "1k\r\n", "the size \"1k\" of component \"ZOND-PREDEF-COMPONENT\""},
        {"Written by hand\r\n3.4.3\r\n$\r\n", "Written by hand\r\n3.4.3\r\nblock\r\n$\r\n",
         "the section of archive passwords holds 1 lines, not groups of 2"},
        {"230F8EC1\r\n3\r\n", "230F8EC1\r\n", "the section of command headers holds 1 lines"},
        {"\r\nC\r\n", "\r\nC\r\n\r\n", "the section of disabled flags holds 6 lines for 5"},
        {"OFFLINE\\\r\n\r\n$\r\n2\r\n", "OFFLINE\\\r\n$\r\n2\r\n",
         "the section of statement media holds 4 lines for 5 statements"},
    };
    for (const auto& c : cases) {
        const std::string text = ReplaceAll(kHandwritten, c.from, c.to);
        ASSERT_NE(text, kHandwritten) << c.from;
        const ScriptLoad load = LoadScript(text);
        EXPECT_FALSE(load.image) << c.to;
        EXPECT_NE(load.error.find("The setup script is damaged: "), std::string::npos);
        EXPECT_NE(load.error.find(c.message), std::string::npos) << load.error;
    }
    EXPECT_EQ(
        LoadScript(ReplaceAll(kHandwritten, "\r\n2\r\nZOND", "\r\n  7\r\nZOND")).image->MediaLayout,
        7);
    EXPECT_EQ(
        LoadScript(ReplaceAll(kHandwritten, "\r\n2\r\nZOND", "\r\n-3\r\nZOND")).image->MediaLayout,
        -3);
}

// A real compiled script with every section filled.
std::string FullScript() {
    const qorscript::Compiled compiled = qorscript::CompileListing(
        "@title Truncation\n@version 1.2\n@company C\n@plugin Plug\n@password offline | xyz\n"
        "@component ZOND-PREDEF-COMPONENT | 10\n@file OFFLINE | a\\b.txt | OFFLINE\\1\\\n"
        "@language-choice TRUE\n"
        "Set Variable | A | 1\n[off] Set Variable | B | 2\n"
        "[media OFFLINE\\] Install Files | *.* | data | $TARGETDIR$\nWizard Loop\nEnd\n");
    EXPECT_TRUE(compiled.ok());
    return compiled.script;
}

TEST(DamagedScript, TruncatedAtEveryOffsetEndsWithAnError) {
    const std::string script = FullScript();
    ASSERT_TRUE(LoadScript(script).image);
    for (std::size_t length = 0; length < script.size(); ++length) {
        const ScriptLoad load = LoadScript(std::string_view(script).substr(0, length));
        // Only the cut of the final CR LF leaves a complete script ("$" is the last line).
        const bool complete = length == script.size() - 2;
        EXPECT_EQ(load.image.has_value(), complete) << "length " << length;
        if (!complete) {
            EXPECT_EQ(load.error.rfind("The setup script is damaged: ", 0), 0u);
        }
    }
}

TEST(DamagedScript, FlippedBytesNeverReadPastTheEnd) {
    const std::string script = FullScript();
    const char replacements[] = {'\0', '$', '\n', '\r', '\xFF', 'C'};
    for (std::size_t at = 0; at < script.size(); ++at) {
        for (const char replacement : replacements) {
            std::string damaged = script;
            damaged[at] = replacement;
            const ScriptLoad load = LoadScript(damaged);
            if (!load.image) {
                EXPECT_FALSE(load.error.empty());
                continue;
            }
            for (const Statement& statement : load.image->Statements) {
                for (int n = 0; n < 8; ++n) load.image->GetParameter(statement.Id, n);
                load.image->GetCommandHeader(statement.Index);
            }
        }
    }
}

TEST(DamagedScript, GarbageAndEmptyText) {
    EXPECT_NE(LoadScript("").error.find("ends inside the section of command names"),
              std::string::npos);
    const std::string garbage = "\x01\x02\xFE\xFF garbage without terminators\n\n\x00\x7F";
    EXPECT_FALSE(LoadScript(garbage).image);
    EXPECT_NE(LoadScript("A\r\n$\r\n{X}\r\n$\r\n").error.find("section of parameter lines"),
              std::string::npos);
}

// ---- Overlay of PE images ---------------------------------------------------------------

struct Section {
    std::uint32_t offset, size;
};

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

// The headers of a PE image: DOS header, PE signature, file header, an optional header of
// `optional_size` zero bytes, and the section table.
std::vector<std::uint8_t> PeHeaders(std::uint16_t optional_size,
                                    const std::vector<Section>& sections,
                                    std::uint32_t pe_offset = 0x80) {
    std::vector<std::uint8_t> bytes(pe_offset + 24 + optional_size + 40 * sections.size());
    bytes[0] = 'M';
    bytes[1] = 'Z';
    Put32(bytes, 0x3C, pe_offset);
    bytes[pe_offset] = 'P';
    bytes[pe_offset + 1] = 'E';
    Put16(bytes, pe_offset + 4 + 2, static_cast<std::uint32_t>(sections.size()));
    Put16(bytes, pe_offset + 4 + 16, optional_size);
    std::size_t entry = pe_offset + 24 + optional_size;
    for (const Section& section : sections) {
        Put32(bytes, entry + 16, section.size);
        Put32(bytes, entry + 20, section.offset);
        entry += 40;
    }
    return bytes;
}

TEST(OverlayStart, FromTheSectionTable) {
    const std::vector<Section> two = {{0x400, 0x200}, {0x600, 0x400}};
    const std::vector<Section> unordered = {{0x800, 0x200}, {0x400, 0x200}, {0, 0}};
    const struct {
        const char* name;
        std::vector<std::uint8_t> headers;
        std::uint64_t file_size;
        std::optional<std::uint32_t> expected;
    } cases[] = {
        {"32-bit optional header", PeHeaders(224, two), 0xC00, 0xA00},
        {"64-bit optional header", PeHeaders(240, two), 0xC00, 0xA00},
        {"entries not in file order", PeHeaders(224, unordered), 0xA00, 0xA00},
        {"no overlay", PeHeaders(240, two), 0xA00, 0xA00},
        {"section beyond the file", PeHeaders(240, two), 0x9FF, std::nullopt},
        {"32-bit overflow of offset + size", PeHeaders(240, {{0xFFFFFF00, 0x200}}), 0x10000,
         std::nullopt},
        {"no sections", PeHeaders(240, {}), 0x1000, std::nullopt},
        {"sections inside the headers", PeHeaders(240, {{0, 0x10}}), 0x1000, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindOverlayStart(c.headers, c.file_size), c.expected) << c.name;
    }
}

TEST(OverlayStart, ForeignOrCutHeadersAreNoScript) {
    const std::vector<std::uint8_t> good = PeHeaders(240, {{0x400, 0x200}});
    auto no_mz = good;
    no_mz[0] = 'X';
    auto no_pe = good;
    no_pe[0x81] = 'X';
    auto huge_pe_offset = good;
    Put32(huge_pe_offset, 0x3C, 0xFFFFFFF0);
    auto huge_optional = good;
    Put16(huge_optional, 0x80 + 4 + 16, 0xFFFF);
    for (const auto& headers : {no_mz, no_pe, huge_pe_offset, huge_optional}) {
        EXPECT_EQ(FindOverlayStart(headers, 0x1000), std::nullopt);
    }
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_EQ(FindOverlayStart(std::span(good).first(length), 0x1000), std::nullopt);
    }
    EXPECT_EQ(FindOverlayStart(good, 0x1000), 0x600u);
}

class OverlayFile : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove(path_); }

    std::string Write(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path_.string();
    }

    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  (std::string("qor-overlay-") +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(OverlayFile, ReadsTheOverlayBehindTheSections) {
    const std::vector<std::uint8_t> headers = PeHeaders(240, {{0x400, 0x200}});
    std::string image(headers.begin(), headers.end());
    image.resize(0x600, '\0');
    const std::string path = Write(image + "script text");

    const OverlayStart start = FindFileOverlayStart(path);
    ASSERT_EQ(start.start, 0x600u);
    EXPECT_EQ(start.file_size, 0x600u + 11);
    const Overlay overlay = ReadOverlay(path, *start.start);
    EXPECT_EQ(overlay.status, Overlay::Status::kScript);
    EXPECT_EQ(overlay.bytes, "script text");

    EXPECT_EQ(ReadOverlay(path, 0x600 + 11).status, Overlay::Status::kNoOverlay);
    const Overlay behind = ReadOverlay(path, 0x600 + 12);
    EXPECT_EQ(behind.status, Overlay::Status::kUnreadable);
    EXPECT_FALSE(behind.error.empty());
}

TEST_F(OverlayFile, MissingOrForeignFiles) {
    const OverlayStart missing = FindFileOverlayStart(path_.string() + ".missing");
    EXPECT_FALSE(missing.start);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_EQ(ReadOverlay(path_.string() + ".missing", 0).status, Overlay::Status::kUnreadable);

    const OverlayStart text = FindFileOverlayStart(Write("MZ but nothing else"));
    EXPECT_FALSE(text.start);
    EXPECT_TRUE(text.error.empty());

    std::string far_header(0x100, '\0');
    far_header[0] = 'M';
    far_header[1] = 'Z';
    far_header[0x3F] = 0x7F;  // PE header at 0x7F000000, far behind the end of the file
    EXPECT_FALSE(FindFileOverlayStart(Write(far_header)).start);
}

#ifdef _WIN32
TEST(OverlayStart, OfThisTestProgram) {
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    const OverlayStart start = FindFileOverlayStart(path);
    ASSERT_TRUE(start.start);
    // A program carries no overlay of its own; but an unstripped MinGW program keeps its COFF
    // symbol table behind the sections, outside every section, and that reads as an overlay.
    std::ifstream file(path, std::ios::binary);
    std::vector<char> headers(0x200);
    file.read(headers.data(), static_cast<std::streamsize>(headers.size()));
    std::uint32_t pe = 0, symbols = 0;
    std::memcpy(&pe, &headers[0x3C], 4);
    std::memcpy(&symbols, &headers[pe + 4 + 8], 4);  // PointerToSymbolTable
    EXPECT_EQ(*start.start, symbols ? symbols : start.file_size);
}
#endif

}  // namespace
