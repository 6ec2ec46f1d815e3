#include "language_selection.h"

#include "source_tags.h"

namespace {

constexpr std::string_view kTranslationsPrefix = "translations.";
constexpr std::string_view kScopeListName = "translations.Map";

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// The first line of the instance language file; nothing when it is missing or unreadable.
std::optional<std::string> InstanceLanguage(const TranslationFiles& files,
                                            const std::string& path) {
    if (path.empty() || !files.Stamp(path).exists) return std::nullopt;
    const FileRead read = files.Read(path, kInstanceLanguageFileLimit);
    if (!read.ok) return std::nullopt;
    const std::vector<std::string> lines = SplitTextLines(read.bytes);
    return lines.empty() ? std::string() : lines.front();
}

}  // namespace

LanguageCandidates CollectLanguageCandidates(const std::vector<std::string>& file_names,
                                             std::string_view default_language) {
    LanguageCandidates candidates;
    for (const std::string& name : file_names) {
        if (!StartsWithIgnoringCase(name, kTranslationsPrefix)) continue;
        if (EqualIgnoringCase(name, kScopeListName)) continue;
        // Shared message files are "shared.translations." + language; a language file whose
        // name holds "shared" in lower case is taken for one.
        if (name.find("shared") != std::string::npos) continue;
        const std::string_view language = std::string_view(name).substr(kTranslationsPrefix.size());
        if (language.empty()) continue;
        if (EqualIgnoringCase(language, default_language)) {
            candidates.default_language_found = true;
        }
        candidates.languages.emplace_back(language);
    }
    return candidates;
}

std::size_t PreselectedLanguage(const std::vector<std::string>& languages,
                                std::string_view user_language_name,
                                std::string_view default_language) {
    for (const std::string_view wanted : {user_language_name, default_language}) {
        for (std::size_t i = 0; i < languages.size(); ++i) {
            if (EqualIgnoringCase(languages[i], wanted)) return i;
        }
    }
    return 0;
}

bool ShowsXpImage(unsigned long major, unsigned long minor) {
    return major > 5 || (major == 5 && minor > 0);
}

LanguageChoice SelectLanguage(const LanguageSelectionInput& input,
                              LanguageSelectionContext& context) {
    context.translations.SetSelectedLanguage({});
    context.store.Declare("LANGUAGE", "", kTagInitialization);

    const std::string key_list = input.support_folder + input.product_title + ".mtx";
    if (!context.files.Stamp(key_list).exists) return LanguageChoice::kChosen;

    const LanguageCandidates candidates = CollectLanguageCandidates(
        context.list_files(input.support_folder, std::string(kTranslationsPrefix) + "*"),
        input.default_language);
    if (candidates.languages.empty()) return LanguageChoice::kChosen;

    std::string selected = candidates.default_language_found ? input.default_language : "";
    const bool maintenance = VariableStore::Truth(context.store.ReadOrEmpty("MAINTENANCE"));
    if (input.offer_choice && !maintenance) {
        const std::size_t preselected = PreselectedLanguage(
            candidates.languages, input.user_language_name, input.default_language);
        std::size_t chosen = preselected;
        if (!context.flags.IsSilent()) {
            const std::optional<std::size_t> answer =
                context.dialog.Choose(candidates.languages, preselected);
            if (!answer) return LanguageChoice::kCancelled;
            chosen = *answer;
        }
        if (chosen < candidates.languages.size()) selected = candidates.languages[chosen];
    }
    if (maintenance) {
        if (std::optional<std::string> installed =
                InstanceLanguage(context.files, input.instance_language_file)) {
            selected = std::move(*installed);
        }
    }
    context.translations.SetSelectedLanguage(selected);
    context.store.Assign("LANGUAGE", selected, kTagInitialization);
    return LanguageChoice::kChosen;
}
