// Translation look-ups, message files and the reload check, over translation files held in
// memory (the Windows file access is tested in translation_files_test.cpp).

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "translations.h"

namespace {

using namespace std::string_literals;

// Files in memory. Every change gives the file a new time, as writing a file does.
class MemoryFiles : public TranslationFiles {
public:
    void Write(const std::string& path, std::string bytes) {
        files_[path] = {std::move(bytes), ++clock_};
    }
    // A file of `size` bytes whose contents are never needed: reading it must fail.
    void WriteOversized(const std::string& path, std::uint64_t size) {
        files_[path] = {{}, ++clock_, size};
    }
    void Remove(const std::string& path) { files_.erase(path); }

    FileStamp Stamp(const std::string& path) const override {
        const auto found = files_.find(path);
        if (found == files_.end()) return {};
        return {true, Size(found->second), found->second.time};
    }
    FileRead Read(const std::string& path, std::uint64_t limit) const override {
        ++reads_[path];
        const auto found = files_.find(path);
        if (found == files_.end()) return {false, {}, "cannot open " + path};
        if (Size(found->second) > limit) return {false, {}, "too large: " + path};
        EXPECT_EQ(found->second.oversize, 0u) << "read beyond the limit";
        return {true, found->second.bytes, {}};
    }
    int Reads(const std::string& path) const { return reads_[path]; }
    int TotalReads() const {
        int total = 0;
        for (const auto& [path, count] : reads_) total += count;
        return total;
    }

private:
    struct File {
        std::string bytes;
        std::int64_t time = 0;
        std::uint64_t oversize = 0;  // the size of a file made by WriteOversized
    };
    static std::uint64_t Size(const File& file) {
        return file.oversize ? file.oversize : file.bytes.size();
    }
    std::map<std::string, File> files_;
    std::int64_t clock_ = 0;
    mutable std::map<std::string, int> reads_;
};

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// A message block whose line k reads prefix + k.
std::vector<std::string> Block(const std::string& prefix) {
    std::vector<std::string> block;
    for (std::size_t k = 1; k <= kMessageBlockLines; ++k) block.push_back(prefix + std::to_string(k));
    return block;
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::string kSupport = "C:\\temp\\qor1\\";
const std::string kTitle = "Sample Product";
const std::string kMap = kSupport + "translations.Map";
const std::string kKeys = kSupport + kTitle + ".mtx";
const std::string kGerman = kSupport + "translations.German";
const std::string kSharedGerman = kSupport + "shared.translations.German";

// Key list: a dialog's controls, then a statement on line 10 with three parameters.
const std::vector<std::string> kKeyLines = {
    "Label1", "Label1", "Next", "label2", "", "", "", "", "",
    "{A6F02697-E4B1-459B-B64F-D55312A420D8}", "", "", "Label1"};
const std::vector<std::string> kScopeLines = {
    "Welcome.dfm", "Other.dfm", "Welcome.dfm", "WELCOME.DFM", "", "", "", "", "", "", "", "",
    "Welcome.dfm"};
const std::vector<std::string> kGermanLines = {
    "Willkommen", "Anderes", "Weiter", "Etikett 2", "", "", "", "", "",
    "Frage eins", "Frage zwei", "Frage drei", "Spaeter"};

class TranslationsTest : public testing::Test {
protected:
    TranslationsTest() {
        files.Write(kMap, Lines(kScopeLines));
        files.Write(kKeys, Lines(kKeyLines));
        files.Write(kGerman, Lines(kGermanLines));
    }
    MemoryFiles files;
    Translations translations{files};
};

// ---- Language table ---------------------------------------------------------------------

TEST(LanguageTable, NamesAndIdentifiersConvertBothWays) {
    EXPECT_EQ(LanguageNameToIdentifier("german"), "1031");
    EXPECT_EQ(LanguageNameToIdentifier("Portugese (Brazil)"), "1046");
    EXPECT_EQ(LanguageNameToIdentifier("Klingon"), "1033");
    EXPECT_EQ(LanguageNameToIdentifier(""), "1033");
    EXPECT_EQ(LanguageIdentifierToName(3082), "Spanish");
    EXPECT_EQ(LanguageIdentifierToName(2052), "Chinese (PRC)");
    EXPECT_EQ(LanguageIdentifierToName(1034), "");
    EXPECT_EQ(LanguageIdentifierToName(0), "");
}

TEST(LanguageTable, EveryRowIsConsistent) {
    for (const LanguageRow& row : kLanguageTable) {
        std::string upper(row.display_name);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(upper, row.upper_name);
        EXPECT_EQ(LanguageNameToIdentifier(row.display_name), std::to_string(row.identifier));
        EXPECT_EQ(LanguageIdentifierToName(row.identifier), row.display_name);
    }
}

TEST(LanguageTable, UserLanguageIsReadAsHexadecimal) {
    EXPECT_EQ(ParseUserLanguage("0407"), 1031);
    EXPECT_EQ(ParseUserLanguage("0409"), 1033);
    EXPECT_EQ(ParseUserLanguage("0c0a"), 3082);
    EXPECT_EQ(ParseUserLanguage(""), 0);
    EXPECT_EQ(ParseUserLanguage("04 07"), 0);
    EXPECT_EQ(ParseUserLanguage("-407"), 0);
    EXPECT_EQ(ParseUserLanguage("123456789abcdef"), 0);
}

// ---- Text files -------------------------------------------------------------------------

TEST(TextLines, LineEndsByteOrderMarkAndPadding) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\r\n", {""}},
        {"a\rb\r\n", {"a\rb"}},      // a lone CR is part of the text
        {"a\r", {"a\r"}},            // as is a CR that ends the file
        {"\xEF\xBB\xBFkey\r\n", {"key"}},
        {"a\r\nb\0c\r\nd"s, {"a", "b"}},  // the text ends at a NUL byte
        {"\0\0\0"s, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitTextLines(c.bytes), c.lines) << testing::PrintToString(c.bytes);
    }
}

// ---- Engine message table ---------------------------------------------------------------

TEST(MessageTable, StartsWithTheBuiltInTexts) {
    MemoryFiles files;
    Translations translations(files);
    EXPECT_EQ(translations.Message("Runtime error in setup script:"),
              "Runtime error in setup script:");
    EXPECT_EQ(translations.MessageLine(21), "% complete");
    EXPECT_EQ(translations.MessageLine(89), "Select Setup Language");
    EXPECT_EQ(translations.MessageLine(115), "Entire feature will be &unavailable");
    EXPECT_EQ(translations.DownloadStatusText(0), "");
    EXPECT_EQ(translations.DownloadStatusText(1), "Locating resource");
    EXPECT_EQ(translations.DownloadStatusText(5), "Transferring data");
    EXPECT_EQ(translations.DownloadStatusText(33), "Accept ranges");
    EXPECT_EQ(translations.DownloadStatusText(34), "");
    EXPECT_EQ(translations.DownloadStatusText(-1), "");
    EXPECT_EQ(translations.MessageLine(0), "");
    EXPECT_EQ(translations.MessageLine(116), "");
    static_assert(MessageKey("Copying: ").Line() == 11);
    static_assert(MessageKey("Unable to play Flash movie").Line() == 112);
    static_assert(MessageKey("&Cancel").Line() == 39);
}

struct BlockSelection {
    const char* user_language;
    const char* expected_prefix;  // of the block in force afterwards
};

class MessageFileBlocks : public testing::TestWithParam<BlockSelection> {};

TEST_P(MessageFileBlocks, TheUsersBlockWinsElseTheLastOneStays) {
    MemoryFiles files;
    files.Write("lang.loc", Lines(Concat({Block("first "), {"French"}, Block("fr "), {"German"},
                                          Block("de ")})));
    Translations translations(files);
    translations.SetUserLanguageName(GetParam().user_language);
    ASSERT_TRUE(translations.LoadMessageFile("lang.loc").ok);
    const std::string prefix = GetParam().expected_prefix;
    EXPECT_EQ(translations.MessageLine(1), prefix + "1");
    EXPECT_EQ(translations.Message("Copying: "), prefix + "11");
    EXPECT_EQ(translations.MessageLine(115), prefix + "115");
}

INSTANTIATE_TEST_SUITE_P(
    UserLanguages, MessageFileBlocks,
    testing::Values(BlockSelection{"German", "de "}, BlockSelection{"GERMAN", "de "},
                    BlockSelection{"French", "fr "}, BlockSelection{"Spanish", "de "},
                    BlockSelection{"", "de "}));

TEST(MessageFile, MissingLinesAreEmptyAndDamageChangesNothingElse) {
    MemoryFiles files;
    Translations translations(files);

    // A first block cut short: its missing lines give empty texts.
    files.Write("short", Lines({"one", "two"}));
    ASSERT_TRUE(translations.LoadMessageFile("short").ok);
    EXPECT_EQ(translations.MessageLine(2), "two");
    EXPECT_EQ(translations.MessageLine(3), "");
    EXPECT_EQ(translations.MessageLine(115), "");

    // A language block cut short, without the user's name: it stays in force, cut as it is.
    files.Write("cut", Lines(Concat({Block("first "), {"French"}, {"fr 1", "fr 2"}})));
    ASSERT_TRUE(translations.LoadMessageFile("cut").ok);
    EXPECT_EQ(translations.MessageLine(2), "fr 2");
    EXPECT_EQ(translations.MessageLine(3), "");

    // A name line that ends the file (a trailing blank line, say) has no block to apply.
    files.Write("trailing", Lines(Concat({Block("first "), {""}})));
    ASSERT_TRUE(translations.LoadMessageFile("trailing").ok);
    EXPECT_EQ(translations.MessageLine(115), "first 115");

    // An empty file, or one of NUL bytes only, changes nothing.
    files.Write("empty", "");
    files.Write("zeros", std::string(4096, '\0'));
    ASSERT_TRUE(translations.LoadMessageFile("empty").ok);
    ASSERT_TRUE(translations.LoadMessageFile("zeros").ok);
    EXPECT_EQ(translations.MessageLine(115), "first 115");

    // The same rules for a message file's contents given directly (the start-up language list).
    translations.ApplyMessageText(Lines({"direct 1"}));
    EXPECT_EQ(translations.MessageLine(1), "direct 1");
    EXPECT_EQ(translations.MessageLine(2), "");
    translations.ApplyMessageText(Lines(Block("first ")));

    // A file that cannot be read fails and changes nothing.
    const TranslationLoad missing = translations.LoadMessageFile("missing");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "cannot open missing");
    EXPECT_EQ(translations.MessageLine(1), "first 1");
}

TEST(MessageFile, OverLongLinesAndUnusedLinesAreKeptAsRead) {
    MemoryFiles files;
    std::vector<std::string> block = Block("x ");
    block[0] = std::string(1 << 20, 'L');
    block[95] = "unused but read";
    files.Write("long", Lines(block));
    Translations translations(files);
    ASSERT_TRUE(translations.LoadMessageFile("long").ok);
    EXPECT_EQ(translations.MessageLine(1).size(), std::size_t{1} << 20);
    EXPECT_EQ(translations.MessageLine(96), "unused but read");
    EXPECT_EQ(translations.MessageLine(112), "x 112");
}

// ---- Look-ups ---------------------------------------------------------------------------

TEST_F(TranslationsTest, NothingIsTranslatedWhileNoLanguageIsSelected) {
    EXPECT_EQ(translations.TranslateParameter("Question", "{A6F02697-E4B1-459B-B64F-D55312A420D8}", 1),
              "Question");
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Welcome");
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "").ok);
    EXPECT_EQ(files.TotalReads(), 0);
    EXPECT_EQ(translations.SelectedLanguage(), "");
}

TEST_F(TranslationsTest, StatementParametersComeFromConsecutiveLines) {
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    EXPECT_EQ(translations.SelectedLanguage(), "German");
    const std::string id = "{A6F02697-E4B1-459B-B64F-D55312A420D8}";
    EXPECT_EQ(translations.TranslateParameter("Question", id, 1), "Frage eins");
    EXPECT_EQ(translations.TranslateParameter("Question", id, 3), "Frage drei");  // line 12
    EXPECT_EQ(translations.TranslateParameter("Question", "{a6f02697-e4b1-459b-b64f-d55312a420d8}", 2),
              "Frage zwei");
    EXPECT_EQ(translations.TranslateParameter("Question", "{00000000-0000-0000-0000-000000000000}", 1),
              "Question");
    // Line 13 + 1 lies beyond the text list; so does the line before the first.
    EXPECT_THROW(translations.TranslateParameter("Question", id, 5), TranslationIndexError);
    EXPECT_THROW(translations.TranslateParameter("Question", "Label1", 0), TranslationIndexError);
    EXPECT_THROW(translations.TranslateParameter("Question", "Label1", INT32_MIN), TranslationIndexError);
    EXPECT_THROW(translations.TranslateParameter("Question", id, INT32_MAX), TranslationIndexError);
}

TEST_F(TranslationsTest, ControlTextsNeedTheirOwnDialogFile) {
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Willkommen");
    EXPECT_EQ(translations.TranslateControlText("welcome.DFM", "LABEL1", "Welcome"), "Willkommen");
    EXPECT_EQ(translations.TranslateControlText("Other.dfm", "Label1", "Other"), "Anderes");
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label2", "Two"), "Etikett 2");
    // Next has a translation only under Welcome.dfm; a third dialog keeps its template text.
    EXPECT_EQ(translations.TranslateControlText("Licence.dfm", "Next", "&Next >"), "&Next >");
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Back", "< &Back"), "< &Back");
}

TEST_F(TranslationsTest, ShortTextListsAreIndexErrorsNotReadsPastTheEnd) {
    files.Write(kGerman, Lines({"Willkommen", "Anderes"}));
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Willkommen");
    EXPECT_THROW(translations.TranslateControlText("Welcome.dfm", "Next", "Next"),
                 TranslationIndexError);
    try {
        translations.TranslateParameter("Q", "{A6F02697-E4B1-459B-B64F-D55312A420D8}", 3);
        FAIL() << "no index error";
    } catch (const TranslationIndexError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (11)");
    }
}

TEST_F(TranslationsTest, ScopeListShorterThanKeyListMatchesNoControlBeyondIt) {
    files.Write(kMap, Lines({"Welcome.dfm"}));
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Willkommen");
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Next", "Next"), "Next");
    EXPECT_EQ(translations.TranslateParameter("Q", "{A6F02697-E4B1-459B-B64F-D55312A420D8}", 1),
              "Frage eins");
}

TEST_F(TranslationsTest, ALanguageWithoutFilesFailsAndKeepsTheLoadedLists) {
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    const TranslationLoad klingon = translations.LoadTranslations(kSupport, kTitle, "Klingon");
    EXPECT_FALSE(klingon.ok);
    EXPECT_EQ(klingon.error, "cannot open " + kSupport + "translations.Klingon");
    // The caller turns translation off; the earlier lists were not half replaced.
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Willkommen");

    files.Remove(kKeys);
    EXPECT_FALSE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    files.Write(kKeys, Lines(kKeyLines));
    files.Remove(kMap);
    EXPECT_FALSE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
}

TEST_F(TranslationsTest, DamagedFilesGiveNoTranslationAndNoCrash) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 251 + 1);
    const std::string damaged[] = {
        garbage,
        std::string(1 << 16, '\n'),
        "\xFF\xFE" "L\0a\0b\0e\0l\0" "1\0\r\0\n\0"s,  // UTF-16: not converted
        std::string(3, '\0') + "Label1\r\n",
        std::string(200000, 'K'),  // one over-long line without a line end
    };
    for (const std::string& bytes : damaged) {
        files.Write(kKeys, bytes);
        files.Write(kMap, garbage);
        ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
        EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Welcome");
        EXPECT_EQ(translations.TranslateParameter("Q", "{A6F02697-E4B1-459B-B64F-D55312A420D8}", 1),
                  "Q");
    }
}

TEST_F(TranslationsTest, ArbitraryFileContentsNeverReadOutOfBounds) {
    constexpr std::string_view kAlphabet = "\r\n\r\nLabel1WELCOME.dfm\xEF\xBB\xBF";
    std::mt19937 random(20261211);
    const auto random_text = [&] {
        std::string text(random() % 64, ' ');
        for (char& c : text) c = kAlphabet[random() % kAlphabet.size()];
        if (!text.empty() && random() % 8 == 0) text[random() % text.size()] = '\0';
        return text;
    };
    for (int i = 0; i < 2000; ++i) {
        files.Write(kMap, random_text());
        files.Write(kKeys, random_text());
        files.Write(kGerman, random_text());
        files.Write(kSharedGerman, random_text());
        ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
        try {
            translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome");
            translations.TranslateParameter("Q", "Label1", 1 + static_cast<int>(random() % 4));
        } catch (const TranslationIndexError&) {
            // a short text list: reported, never read past
        }
    }
}

TEST_F(TranslationsTest, FilesBeyondTheSizeLimitAreNotRead) {
    files.WriteOversized(kGerman, kTranslationFileLimit + 1);
    const TranslationLoad load = translations.LoadTranslations(kSupport, kTitle, "German");
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(load.error, "too large: " + kGerman);
}

TEST_F(TranslationsTest, TheSharedMessageFileOfTheLanguageIsApplied) {
    translations.SetUserLanguageName("French");
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    EXPECT_EQ(translations.Message("% complete"), "% complete");  // no shared file yet

    files.Write(kSharedGerman, Lines(Concat({Block("de "), {"French"}, Block("fr ")})));
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    EXPECT_EQ(translations.Message("% complete"), "fr 21");

    // An empty language changes neither the lists nor the message table.
    ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "").ok);
    EXPECT_EQ(translations.Message("% complete"), "fr 21");
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Welcome");
}

// ---- Reload check -----------------------------------------------------------------------

TEST_F(TranslationsTest, UnchangedFilesAreReadOnce) {
    files.Write(kSharedGerman, Lines(Block("de ")));
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    }
    EXPECT_EQ(files.Reads(kMap), 1);
    EXPECT_EQ(files.Reads(kKeys), 1);
    EXPECT_EQ(files.Reads(kGerman), 1);
    EXPECT_EQ(files.Reads(kSharedGerman), 1);
}

TEST_F(TranslationsTest, AnyChangeReadsTheFilesAgain) {
    const auto load = [&](const std::string& title, const std::string& language) {
        ASSERT_TRUE(translations.LoadTranslations(kSupport, title, language).ok);
    };
    load(kTitle, "German");
    load(kTitle, "German");
    EXPECT_EQ(files.Reads(kGerman), 1);

    // A text list rewritten (new time) is read again, and its new text is used.
    files.Write(kGerman, Lines({"Hallo"}));
    load(kTitle, "German");
    EXPECT_EQ(files.Reads(kGerman), 2);
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Hallo");

    // Another language, then back.
    files.Write(kSupport + "translations.French", Lines({"Bienvenue"}));
    load(kTitle, "French");
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Bienvenue");
    load(kTitle, "German");
    EXPECT_EQ(files.Reads(kGerman), 3);

    // Another title names another key list.
    files.Write(kSupport + "Other.mtx", Lines({"Label9"}));
    load("Other", "German");
    EXPECT_EQ(translations.TranslateControlText("Welcome.dfm", "Label1", "Welcome"), "Welcome");
    EXPECT_EQ(files.Reads(kGerman), 4);

    // A shared message file that appears is applied.
    load(kTitle, "German");
    files.Write(kSharedGerman, Lines(Block("de ")));
    load(kTitle, "German");
    EXPECT_EQ(translations.MessageLine(7), "de 7");
    EXPECT_EQ(files.Reads(kGerman), 6);

    // Another message file applied meanwhile: the shared file is applied again.
    files.Write("lang.loc", Lines(Block("start ")));
    ASSERT_TRUE(translations.LoadMessageFile("lang.loc").ok);
    EXPECT_EQ(translations.MessageLine(7), "start 7");
    load(kTitle, "German");
    EXPECT_EQ(translations.MessageLine(7), "de 7");

    // Another user language chooses another block of the shared file.
    files.Write(kSharedGerman, Lines(Concat({Block("de "), {"French"}, Block("fr ")})));
    load(kTitle, "German");
    EXPECT_EQ(translations.MessageLine(7), "fr 7");
    translations.SetUserLanguageName("German");
    load(kTitle, "German");
    EXPECT_EQ(translations.MessageLine(7), "fr 7");  // no German block: the last one stays
    files.Write(kSharedGerman, Lines(Concat({Block("de "), {"French"}, Block("fr "), {"German"},
                                             Block("de2 ")})));
    load(kTitle, "German");
    EXPECT_EQ(translations.MessageLine(7), "de2 7");
    translations.SetUserLanguageName("French");
    load(kTitle, "German");
    EXPECT_EQ(translations.MessageLine(7), "fr 7");

    // After a failure nothing stale is kept: the next load reads again.
    const int before = files.Reads(kGerman);
    files.Remove(kMap);
    EXPECT_FALSE(translations.LoadTranslations(kSupport, kTitle, "German").ok);
    files.Write(kMap, Lines(kScopeLines));
    load(kTitle, "German");
    EXPECT_EQ(files.Reads(kGerman), before + 1);
}

}  // namespace
