#include "translations.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Positions of the files that LoadTranslations reads, in LoadedFrom::paths and ::stamps.
enum FileSlot : std::size_t { kScopeFile, kTextFile, kKeyFile, kSharedMessageFile, kFileSlots };

void AsciiUpperInPlace(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
    }
}

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    AsciiUpperInPlace(upper.data(), upper.size());
    return upper;
}

}  // namespace

// ---- Language table ---------------------------------------------------------------------

std::string LanguageNameToIdentifier(std::string_view name) {
    const std::string upper = AsciiUpper(name);
    for (const LanguageRow& row : kLanguageTable) {
        if (row.upper_name == upper) return std::to_string(row.identifier);
    }
    return "1033";
}

std::string LanguageIdentifierToName(int identifier) {
    for (const LanguageRow& row : kLanguageTable) {
        if (row.identifier == identifier) return std::string(row.display_name);
    }
    return {};
}

int ParseUserLanguage(std::string_view locale_text) {
    unsigned value = 0;
    const char* end = locale_text.data() + locale_text.size();
    const auto [stop, error] = std::from_chars(locale_text.data(), end, value, 16);
    if (error != std::errc() || stop != end || value > 0x7FFFFFFF) return 0;
    return static_cast<int>(value);
}

// ---- Text files -------------------------------------------------------------------------

std::vector<std::string> SplitTextLines(std::string_view bytes) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    bytes = bytes.substr(0, bytes.find('\0'));
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (line.ends_with('\r') && end != std::string_view::npos) line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

// ---- Translations -----------------------------------------------------------------------

Translations::Translations(const TranslationFiles& files, UpperCaseFunction upper_case)
    : files_(files), upper_case_(upper_case ? upper_case : AsciiUpperInPlace) {
    std::copy(kBuiltInMessages.begin(), kBuiltInMessages.end(), messages_.begin());
}

std::string Translations::Upper(std::string_view text) const {
    std::string upper(text);
    upper_case_(upper.data(), upper.size());
    return upper;
}

void Translations::SetUserLanguageName(std::string name) {
    std::lock_guard hold(lock_);
    if (name == user_language_name_) return;
    user_language_name_ = std::move(name);
    ++message_generation_;  // the shared message file may now select another block
}

// ---- Engine message table ----

std::string Translations::Message(MessageKey key) const {
    return MessageLine(key.Line());
}

std::string Translations::MessageLine(int line) const {
    if (line < 1 || line > static_cast<int>(kMessageBlockLines)) return {};
    std::lock_guard hold(lock_);
    return messages_[static_cast<std::size_t>(line - 1)];
}

std::string Translations::DownloadStatusText(int code) const {
    if (code < 0 || code > kDownloadStatusLastCode) return {};
    return MessageLine(kDownloadStatusFirstLine + code);
}

void Translations::ApplyMessageLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    const std::string user_language = Upper(user_language_name_);
    const auto apply_block = [&](std::size_t first) {
        for (std::size_t i = 0; i < kMessageBlockLines; ++i) {
            messages_[i] = first + i < lines.size() ? lines[first + i] : std::string();
        }
    };
    apply_block(0);
    // Pairs of a language-name line and its block, until the user's language or the end.
    for (std::size_t name = kMessageBlockLines; name + 1 < lines.size();
         name += 1 + kMessageBlockLines) {
        apply_block(name + 1);
        if (Upper(lines[name]) == user_language) break;
    }
    ++message_generation_;
}

void Translations::ApplyMessageText(std::string_view bytes) {
    const std::vector<std::string> lines = SplitTextLines(bytes);
    std::lock_guard hold(lock_);
    ApplyMessageLines(lines);
}

TranslationLoad Translations::LoadMessageFileLocked(const std::string& path) {
    FileRead file = files_.Read(path, kTranslationFileLimit);
    if (!file.ok) return {false, std::move(file.error)};
    ApplyMessageLines(SplitTextLines(file.bytes));
    return {};
}

TranslationLoad Translations::LoadMessageFile(const std::string& path) {
    std::lock_guard hold(lock_);
    return LoadMessageFileLocked(path);
}

// ---- Translation lists ----

void Translations::IndexLists(Lists& lists) const {
    lists.first_key.reserve(lists.keys.size());
    for (std::size_t i = 0; i < lists.keys.size(); ++i) {
        lists.first_key.try_emplace(Upper(lists.keys[i]), i);  // keeps the first
    }
    const std::size_t pairs = std::min(lists.scopes.size(), lists.keys.size());
    lists.first_scope_key.reserve(pairs);
    for (std::size_t i = 0; i < pairs; ++i) {
        // A scope (a file name) holds no line break, so '\n' cannot join two pairs alike.
        lists.first_scope_key.try_emplace(Upper(lists.scopes[i]) + '\n' + Upper(lists.keys[i]),
                                          i);
    }
}

TranslationLoad Translations::LoadTranslations(const std::string& support_folder,
                                               const std::string& title,
                                               const std::string& language) {
    std::lock_guard hold(lock_);
    selected_language_ = language;
    if (language.empty()) return {};

    std::array<std::string, kFileSlots> paths;
    paths[kScopeFile] = support_folder + "translations.Map";
    paths[kTextFile] = support_folder + "translations." + language;
    paths[kKeyFile] = support_folder + title + ".mtx";
    paths[kSharedMessageFile] = support_folder + "shared.translations." + language;
    // Stamps are taken before reading: a file that changes after this is read again next time.
    std::array<FileStamp, kFileSlots> stamps;
    for (std::size_t slot = 0; slot < kFileSlots; ++slot) stamps[slot] = files_.Stamp(paths[slot]);

    if (loaded_.valid && loaded_.support_folder == support_folder && loaded_.title == title &&
        loaded_.language == language && loaded_.paths == paths && loaded_.stamps == stamps &&
        loaded_.message_generation == message_generation_) {
        return {};
    }
    loaded_.valid = false;

    Lists lists;
    const std::pair<std::size_t, std::vector<std::string>*> reads[] = {
        {kScopeFile, &lists.scopes}, {kTextFile, &lists.texts}, {kKeyFile, &lists.keys}};
    for (const auto& [slot, target] : reads) {
        FileRead file = files_.Read(paths[slot], kTranslationFileLimit);
        if (!file.ok) return {false, std::move(file.error)};
        *target = SplitTextLines(file.bytes);
    }
    IndexLists(lists);
    lists_ = std::move(lists);

    if (stamps[kSharedMessageFile].exists) {
        TranslationLoad shared = LoadMessageFileLocked(paths[kSharedMessageFile]);
        if (!shared.ok) return shared;
    }
    loaded_ = {true, support_folder, title, language, std::move(paths), stamps,
               message_generation_};
    return {};
}

std::string Translations::SelectedLanguage() const {
    std::lock_guard hold(lock_);
    return selected_language_;
}

void Translations::SetSelectedLanguage(std::string language) {
    std::lock_guard hold(lock_);
    selected_language_ = std::move(language);
}

std::string Translations::TranslateParameter(std::string_view text,
                                             std::string_view statement_id, int number) const {
    std::lock_guard hold(lock_);
    if (selected_language_.empty()) return std::string(text);
    const auto found = lists_.first_key.find(Upper(statement_id));
    if (found == lists_.first_key.end()) return std::string(text);
    // Line i + number - 1, computed without leaving the valid range of the index type.
    const std::int64_t line = static_cast<std::int64_t>(found->second) + number - 1;
    if (line < 0 || static_cast<std::uint64_t>(line) >= lists_.texts.size()) {
        throw TranslationIndexError(line);
    }
    return lists_.texts[static_cast<std::size_t>(line)];
}

std::string Translations::TranslateControlText(std::string_view dialog_file,
                                               std::string_view control,
                                               std::string_view template_text) const {
    std::lock_guard hold(lock_);
    if (selected_language_.empty()) return std::string(template_text);
    const auto found =
        lists_.first_scope_key.find(Upper(dialog_file) + '\n' + Upper(control));
    if (found == lists_.first_scope_key.end()) return std::string(template_text);
    if (found->second >= lists_.texts.size()) {
        throw TranslationIndexError(static_cast<std::int64_t>(found->second));
    }
    return lists_.texts[found->second];
}
