#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine_messages.h"

// Translation look-ups: the engine message table with its message files, the three parallel
// translation lists with their two look-ups, the selected language, and the table between
// language names and Windows language identifiers.
//
// Files (all plain 8-bit text, one entry per line, in the support folder):
//   "translations.Map"            scope list: line i is a dialog file name
//   <product title> ".mtx"        key list:   line i is a control name or a statement identifier
//   "translations." <language>    text list:  line i is the translated text
//   "shared.translations." <lang> a message file in that language
// A message file is one message block (kMessageBlockLines lines, the engine message table in
// order), optionally followed by pairs of a line with a language display name and a block.
//
// Reading a text file: lines end at CR LF or at a lone LF; a final line without an ending
// counts, a file ending in a line break has no empty last line. A UTF-8 byte order mark at the
// start is dropped; the text ends at the first NUL byte (an 8-bit text file has none; what
// follows is padding or damage). Lines are kept whole, however long; a file larger than
// kTranslationFileLimit is not read at all (a read failure), so damage cannot exhaust memory.
//
// While the selected language is empty no look-up translates anything. LoadTranslations runs
// before every statement; it keeps what it loaded and reads the files again only when the
// language, the support folder, the title, one of the files it read (path, existence, size,
// time), the message table (through LoadMessageFile) or the user language name has changed
// since.
//
// All members lock one mutex, so the message table may be read from worker threads.

// ---- Language table ---------------------------------------------------------------------

struct LanguageRow {
    std::string_view upper_name;
    int identifier;
    std::string_view display_name;
};

inline constexpr std::array<LanguageRow, 35> kLanguageTable = {{
    {"ARABIC", 1025, "Arabic"},
    {"CATALAN", 1027, "Catalan"},
    {"CHINESE (TAIWAN)", 1028, "Chinese (Taiwan)"},
    {"CHINESE (PRC)", 2052, "Chinese (PRC)"},
    {"CZECH", 1029, "Czech"},
    {"DANISH", 1030, "Danish"},
    {"GERMAN", 1031, "German"},
    {"GREEK", 1032, "Greek"},
    {"ENGLISH", 1033, "English"},
    {"SPANISH", 3082, "Spanish"},
    {"ESTONIAN", 1061, "Estonian"},
    {"FINNISH", 1035, "Finnish"},
    {"FRENCH", 1036, "French"},
    {"HEBREW", 1037, "Hebrew"},
    {"HUNGARIAN", 1038, "Hungarian"},
    {"ITALIAN", 1040, "Italian"},
    {"JAPANESE", 1041, "Japanese"},
    {"KOREAN", 1042, "Korean"},
    {"LITHUANIAN", 1063, "Lithuanian"},
    {"LATVIAN", 1062, "Latvian"},
    {"DUTCH", 1043, "Dutch"},
    {"NORWEGIAN", 1044, "Norwegian"},
    {"POLISH", 1045, "Polish"},
    {"PORTUGESE (BRAZIL)", 1046, "Portugese (Brazil)"},
    {"PORTUGESE (PORTUGAL)", 2070, "Portugese (Portugal)"},
    {"ROMANIAN", 1048, "Romanian"},
    {"RUSSIAN", 1049, "Russian"},
    {"CROATIAN", 1050, "Croatian"},
    {"SLOVAK", 1051, "Slovak"},
    {"SWEDISH", 1053, "Swedish"},
    {"THAI", 1054, "Thai"},
    {"TURKISH", 1055, "Turkish"},
    {"SLOVENIAN", 1060, "Slovenian"},
    {"VIETNAMESE", 1066, "Vietnamese"},
    {"BASQUE", 1069, "Basque"},
}};

// The identifier of the language whose upper-case name equals the upper-cased name (ASCII), in
// decimal; "1033" when there is none.
std::string LanguageNameToIdentifier(std::string_view name);
// The display name of the language with this identifier, or empty.
std::string LanguageIdentifierToName(int identifier);
// The user's default language from the locale text (hexadecimal, e.g. "0407"); 0 when the text
// is not a hexadecimal number. The platform layer reads the text from the system.
int ParseUserLanguage(std::string_view locale_text);

// ---- File access ------------------------------------------------------------------------

inline constexpr std::uint64_t kTranslationFileLimit = std::uint64_t{64} << 20;

// What identifies a version of a file for the reload check.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t time = 0;  // last write time, in the platform's units
    bool operator==(const FileStamp&) const = default;
};

struct FileRead {
    bool ok = false;
    std::string bytes;  // the whole file, when ok
    std::string error;  // the file error, when not ok
};

// The file operations translations need; the platform layer gives the Windows ones, tests
// give files in memory.
class TranslationFiles {
public:
    virtual ~TranslationFiles() = default;
    virtual FileStamp Stamp(const std::string& path) const = 0;
    // Fails (with an error text) for a missing or unreadable file and for a file larger than
    // `limit` bytes.
    virtual FileRead Read(const std::string& path, std::uint64_t limit) const = 0;
};

// The lines of a text file, as described above.
std::vector<std::string> SplitTextLines(std::string_view bytes);

// ---- Translations -----------------------------------------------------------------------

// A look-up asked for a line beyond the end of the text list (a text list shorter than the key
// list). The statement that asked reports it as a script error.
class TranslationIndexError : public std::runtime_error {
public:
    explicit TranslationIndexError(std::int64_t index)
        : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}
};

struct TranslationLoad {
    bool ok = true;
    std::string error;  // the file error when not ok
};

class Translations {
public:
    // Upper-cases `length` bytes in place (the system code page's mapping on Windows); null
    // means ASCII letters only. Used for the letter-case-blind comparisons.
    using UpperCaseFunction = void (*)(char* text, std::size_t length);

    explicit Translations(const TranslationFiles& files, UpperCaseFunction upper_case = nullptr);

    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The display name of the user's language; LoadMessageFile stops at the block of that name.
    void SetUserLanguageName(std::string name);

    // ---- Engine message table ----
    // The current text of a message named by its built-in text.
    std::string Message(MessageKey key) const;
    // The current text of a line (1 to kMessageBlockLines) of a message block; empty for any
    // other line.
    std::string MessageLine(int line) const;
    // The current text of the download status for a code (0 to 33); empty for other codes.
    std::string DownloadStatusText(int code) const;

    // Applies a message file: its first block becomes the message table; then each pair of a
    // name line and a block replaces it in turn, until the block whose name equals the user
    // language name (both upper-cased), where reading stops. Lines missing at the end of a block
    // give empty texts. A file without any line, and a name line that ends the file (no line of
    // its block follows), change nothing. Fails with the file error when the file cannot be
    // read; the table is then unchanged.
    TranslationLoad LoadMessageFile(const std::string& path);
    // The same, for a file's contents.
    void ApplyMessageText(std::string_view bytes);

    // ---- Translation lists ----
    // Sets the selected language. When it is not empty: reads the scope, text and key lists
    // (support_folder + "translations.Map", + "translations." + language, + title + ".mtx")
    // and applies support_folder + "shared.translations." + language with LoadMessageFile
    // when that file exists. The lists are replaced only when all three were read; a failure
    // returns the file error and leaves the earlier lists in place (the caller then clears the
    // selected language). Nothing is read when nothing has changed since the last success.
    TranslationLoad LoadTranslations(const std::string& support_folder, const std::string& title,
                                     const std::string& language);

    std::string SelectedLanguage() const;
    void SetSelectedLanguage(std::string language);

    // Statement parameter `number` (1-based) of the statement with this identifier: the first
    // line i of the key list equal to the identifier (ignoring letter case) gives line
    // i + number - 1 of the text list. `text` itself when no language is selected or the
    // identifier has no line. Throws TranslationIndexError when that line is beyond the text
    // list (or number < 1 would reach before its start).
    std::string TranslateParameter(std::string_view text, std::string_view statement_id,
                                   int number) const;

    // The text of a dialog control: the first line i whose scope equals the dialog file name
    // and whose key equals the control name (both ignoring letter case) gives line i of the
    // text list; `template_text` when no language is selected or there is no such line.
    // Throws TranslationIndexError when line i is beyond the text list.
    std::string TranslateControlText(std::string_view dialog_file, std::string_view control,
                                     std::string_view template_text) const;

private:
    struct Lists {
        std::vector<std::string> scopes;
        std::vector<std::string> keys;
        std::vector<std::string> texts;
        // Upper-cased key -> first line; upper-cased scope + '\n' + key -> first line.
        std::unordered_map<std::string, std::size_t> first_key;
        std::unordered_map<std::string, std::size_t> first_scope_key;
    };
    // What the last successful load read, to decide whether anything changed.
    struct LoadedFrom {
        bool valid = false;
        std::string support_folder;
        std::string title;
        std::string language;
        std::array<std::string, 4> paths;
        std::array<FileStamp, 4> stamps;
        std::uint64_t message_generation = 0;
    };

    std::string Upper(std::string_view text) const;
    void IndexLists(Lists& lists) const;
    void ApplyMessageLines(const std::vector<std::string>& lines);
    TranslationLoad LoadMessageFileLocked(const std::string& path);

    const TranslationFiles& files_;
    UpperCaseFunction upper_case_;
    mutable std::mutex lock_;
    std::string user_language_name_;
    std::array<std::string, kMessageBlockLines> messages_;
    // Counts changes of the message table and of the user language name, which chooses the
    // block of a message file: a change makes LoadTranslations apply the shared file again.
    std::uint64_t message_generation_ = 0;
    std::string selected_language_;
    Lists lists_;
    LoadedFrom loaded_;
};
