#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "progress.h"
#include "translations.h"
#include "variable_store.h"

// The choice of the setup language when a run starts.
//
// The support folder offers a language for each file "translations." + language name. When the
// setup has translations at all (its key list, title + ".mtx", exists), the selection takes the
// default language when its file is among them, lets the user pick one in the language dialog
// when the setup offers the choice (not in maintenance runs; in a silent run the preselected
// entry is taken without showing it), and in a maintenance run takes the language of the
// installation from the instance language file. The choice ends in the variable LANGUAGE; the
// statement loop loads the translations from it before every statement.

// The names of the files in a folder that match a wildcard pattern, in the order in which the
// folder listing returns them. The platform layer gives FindFirstFileA/FindNextFileA.
using ListFolderFiles =
    std::function<std::vector<std::string>(const std::string& folder, const std::string& pattern)>;

// The language dialog (TSetLanguage on Windows; tests give a fake).
class LanguageDialog {
  public:
    virtual ~LanguageDialog() = default;
    // Shows the languages with `preselected` selected and waits for the user: the index of the
    // entry selected when OK was pressed, or nothing when the dialog was cancelled.
    virtual std::optional<std::size_t> Choose(const std::vector<std::string>& languages,
                                              std::size_t preselected) = 0;
};

// The candidates of a support folder: the language names of the files "translations." + name,
// in listing order, without "translations.Map" (letter case ignored) and without names that
// contain "shared" in lower case (the test is exact in letter case: "Shared-Extra" stays).
// The file name prefix is compared ignoring letter case, as the folder listing matches it; a
// file named "translations." with nothing after it offers no language.
struct LanguageCandidates {
    std::vector<std::string> languages;
    // Whether one of the files is "translations." + default language (letter case ignored).
    bool default_language_found = false;
};
LanguageCandidates CollectLanguageCandidates(const std::vector<std::string>& file_names,
                                             std::string_view default_language);

// The entry the dialog preselects: the first equal to the user's language name, else the first
// equal to the default language (both ignoring letter case), else the first entry.
std::size_t PreselectedLanguage(const std::vector<std::string>& languages,
                                std::string_view user_language_name,
                                std::string_view default_language);

// Which of the dialog's two pictures shows: Image1 on Windows XP and later (major version above
// 5, or 5 with a minor version above 0), Image2 before.
bool ShowsXpImage(unsigned long major, unsigned long minor);

struct LanguageSelectionInput {
    std::string support_folder;          // ends with "\"
    std::string product_title;           // names the key list: title + ".mtx"
    std::string default_language;        // DefaultLanguage of the script image
    bool offer_choice = false;           // OfferLanguageChoice of the script image
    std::string instance_language_file;  // setup base name + ".lan" beside the instance data
    std::string user_language_name;      // display name of the user's default language
};

// What the selection works with.
struct LanguageSelectionContext {
    VariableStore& store;        // LANGUAGE; MAINTENANCE is read from it
    Translations& translations;  // its selected language
    const ProgressState& flags;  // the silent flag
    const TranslationFiles& files;
    ListFolderFiles list_files;
    LanguageDialog& dialog;
};

enum class LanguageChoice { kChosen, kCancelled };

// The longest instance language file that is read; a longer one is damaged and ignored.
inline constexpr std::uint64_t kInstanceLanguageFileLimit = 64 * 1024;

// SelectLanguage: runs once when the run starts, after the store is filled. The selected
// language becomes empty and LANGUAGE is declared empty; then, when the key list exists and
// the folder offers languages, the language is chosen as described above and assigned to
// LANGUAGE (both with the source tag "Initialization"). Cancelled when the user cancels the
// dialog: the caller ends the run before any statement.
//
// An instance language file that exists but cannot be read leaves the language as chosen
// without it.
LanguageChoice SelectLanguage(const LanguageSelectionInput& input,
                              LanguageSelectionContext& context);
