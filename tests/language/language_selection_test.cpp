// The choice of the setup language over files in memory and a fake dialog: candidates and
// their exclusions, the default language, the dialog's list and preselection, cancel, silent
// runs, maintenance runs with and without the instance language file.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "language_selection.h"
#include "source_tags.h"

namespace {

const std::string kSupport = "C:\\support\\";

class MemoryFiles : public TranslationFiles {
  public:
    std::map<std::string, std::string> files;  // full path -> contents

    FileStamp Stamp(const std::string& path) const override {
        const auto it = files.find(path);
        if (it == files.end()) return {};
        return {true, it->second.size(), 1};
    }
    FileRead Read(const std::string& path, std::uint64_t limit) const override {
        const auto it = files.find(path);
        if (it == files.end()) return {false, {}, "missing"};
        if (it->second.size() > limit) return {false, {}, "too large"};
        return {true, it->second, {}};
    }
};

class FakeDialog : public LanguageDialog {
  public:
    std::optional<std::size_t> answer;  // what the user picks; nothing = Cancel
    bool shown = false;
    std::vector<std::string> languages;
    std::size_t preselected = 99;

    std::optional<std::size_t> Choose(const std::vector<std::string>& list,
                                      std::size_t selected) override {
        shown = true;
        languages = list;
        preselected = selected;
        return answer;
    }
};

struct Scenario {
    std::vector<std::string> listing = {};  // file names of the support folder, in listing order
    bool key_list = true;                   // title + ".mtx" exists
    std::string default_language = "English";
    bool offer_choice = false;
    std::string user_language = "German";
    bool maintenance = false;
    bool silent = false;
    std::optional<std::string> lan_file = std::nullopt;  // contents of the instance language file
    std::optional<std::size_t> answer = std::nullopt;    // the dialog's answer; nothing = Cancel
};

struct Outcome {
    LanguageChoice choice;
    std::string language;           // LANGUAGE after the selection
    std::string selected_language;  // the translations' selected language
    bool dialog_shown;
    std::vector<std::string> dialog_list;
    std::size_t preselected;
};

Outcome RunSelection(const Scenario& setup) {
    ProgressState flags;
    flags.SetSilent(setup.silent);
    VariableStore store(flags);
    store.Declare("MAINTENANCE", setup.maintenance ? "TRUE" : "FALSE", kTagBootstrap);
    MemoryFiles files;
    if (setup.key_list) files.files[kSupport + "Widget.mtx"] = "Label1\r\n";
    for (const std::string& name : setup.listing) files.files[kSupport + name] = "text\r\n";
    const std::string lan_path = "C:\\cache\\rev\\setup.lan";
    if (setup.lan_file) files.files[lan_path] = *setup.lan_file;
    Translations translations(files);
    translations.SetSelectedLanguage("Leftover");

    FakeDialog dialog;
    dialog.answer = setup.answer;
    const std::vector<std::string> listing = setup.listing;
    LanguageSelectionContext context{
        store,
        translations,
        flags,
        files,
        [&listing](const std::string& folder, const std::string& pattern) {
            EXPECT_EQ(folder, kSupport);
            EXPECT_EQ(pattern, "translations.*");
            return listing;
        },
        dialog};
    LanguageSelectionInput input;
    input.support_folder = kSupport;
    input.product_title = "Widget";
    input.default_language = setup.default_language;
    input.offer_choice = setup.offer_choice;
    input.instance_language_file = lan_path;
    input.user_language_name = setup.user_language;

    const LanguageChoice choice = SelectLanguage(input, context);
    return {choice,
            store.IsDefined("LANGUAGE") ? store.Read("LANGUAGE") : "<undefined>",
            translations.SelectedLanguage(),
            dialog.shown,
            dialog.languages,
            dialog.preselected};
}

const std::vector<std::string> kEnglishGerman = {"translations.Map", "translations.English",
                                                 "translations.German",
                                                 "shared.translations.German"};

TEST(SelectLanguage, ChoosesByTheRulesOfTheSetup) {
    struct Case {
        const char* name;
        Scenario scenario;
        std::string language;
        bool dialog;
    };
    const std::vector<Case> cases = {
        {"no key list: nothing is translated whatever files exist",
         {.listing = kEnglishGerman, .key_list = false, .offer_choice = true},
         "",
         false},
        {"no choice offered: the default language when its file exists",
         {.listing = kEnglishGerman},
         "English",
         false},
        {"no choice offered and no file of the default language: none",
         {.listing = {"translations.German", "translations.French"}},
         "",
         false},
        {"the default language matches its file ignoring letter case",
         {.listing = {"TRANSLATIONS.ENGLISH"}, .default_language = "english"},
         "english",
         false},
        {"no candidates at all",
         {.listing = {"translations.Map"}, .offer_choice = true},
         "",
         false},
        {"the dialog's choice",
         {.listing = kEnglishGerman, .offer_choice = true, .answer = 0},
         "English",
         true},
        {"silent: the preselected entry without the dialog",
         {.listing = kEnglishGerman, .offer_choice = true, .silent = true},
         "German",
         false},
        {"maintenance: the installed language, without the dialog",
         {.listing = kEnglishGerman,
          .offer_choice = true,
          .maintenance = true,
          .lan_file = "French\r\nignored\r\n"},
         "French",
         false},
        {"maintenance without a choice offered: the installed language too",
         {.listing = kEnglishGerman, .maintenance = true, .lan_file = "German"},
         "German",
         false},
        {"maintenance without an instance language file: the default language",
         {.listing = kEnglishGerman, .offer_choice = true, .maintenance = true},
         "English",
         false},
        {"maintenance with an empty instance language file: none",
         {.listing = kEnglishGerman, .maintenance = true, .lan_file = ""},
         "",
         false},
        {"maintenance with a damaged (oversized) language file: as without it",
         {.listing = kEnglishGerman,
          .maintenance = true,
          .lan_file = std::string(kInstanceLanguageFileLimit + 1, 'x')},
         "English",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunSelection(c.scenario);
        EXPECT_EQ(outcome.choice, LanguageChoice::kChosen);
        EXPECT_EQ(outcome.language, c.language);
        EXPECT_EQ(outcome.selected_language, c.language);
        EXPECT_EQ(outcome.dialog_shown, c.dialog);
    }
}

TEST(SelectLanguage, TheDialogListsTheCandidatesInListingOrder) {
    const Outcome outcome =
        RunSelection({.listing = {"translations.German", "translations.Map", "translations.English",
                                  "translations.Shared-Extra", "translations.shared",
                                  "shared.translations.German", "translations.Dutch"},
                      .offer_choice = true,
                      .answer = 3});
    EXPECT_EQ(outcome.dialog_list,
              (std::vector<std::string>{"German", "English", "Shared-Extra", "Dutch"}));
    EXPECT_EQ(outcome.language, "Dutch");
}

TEST(SelectLanguage, CancelEndsTheSelectionWithNoLanguage) {
    const Outcome outcome = RunSelection({.listing = kEnglishGerman, .offer_choice = true});
    EXPECT_EQ(outcome.choice, LanguageChoice::kCancelled);
    EXPECT_TRUE(outcome.dialog_shown);
    EXPECT_EQ(outcome.language, "");
    EXPECT_EQ(outcome.selected_language, "");
}

TEST(SelectLanguage, PreselectsTheUserLanguageThenTheDefaultThenTheFirst) {
    struct Case {
        std::string user;
        std::string default_language;
        std::size_t preselected;
    };
    for (const Case& c :
         {Case{"German", "English", 1}, Case{"GERMAN", "English", 1}, Case{"French", "English", 0},
          Case{"French", "german", 1}, Case{"French", "Italian", 0}, Case{"", "", 0}}) {
        SCOPED_TRACE(c.user + "/" + c.default_language);
        const Outcome outcome = RunSelection({.listing = kEnglishGerman,
                                              .default_language = c.default_language,
                                              .offer_choice = true,
                                              .user_language = c.user,
                                              .answer = 0});
        EXPECT_EQ(outcome.dialog_list, (std::vector<std::string>{"English", "German"}));
        EXPECT_EQ(outcome.preselected, c.preselected);
    }
}

TEST(LanguageCandidates, ExclusionsAreExactWhereTheyMustBe) {
    const LanguageCandidates candidates = CollectLanguageCandidates(
        {"translations.Map", "TRANSLATIONS.MAP", "translations.map", "translations.Shared-Extra",
         "translations.shared", "translations.notshared", "shared.translations.German",
         "translations.", "translations", "other.German", "Translations.Chinese (PRC)"},
        "chinese (prc)");
    EXPECT_EQ(candidates.languages, (std::vector<std::string>{"Shared-Extra", "Chinese (PRC)"}));
    EXPECT_TRUE(candidates.default_language_found);
}

TEST(LanguageCandidates, TheSupportFolderPathDoesNotExcludeLanguages) {
    // A support folder below a user or folder named "shared" still offers its languages.
    ProgressState flags;
    VariableStore store(flags);
    MemoryFiles files;
    const std::string support = "C:\\Users\\shared\\Temp\\setup\\";
    files.files[support + "Widget.mtx"] = "x";
    Translations translations(files);
    FakeDialog dialog;
    LanguageSelectionContext context{store,
                                     translations,
                                     flags,
                                     files,
                                     [](const std::string&, const std::string&) {
                                         return std::vector<std::string>{"translations.German"};
                                     },
                                     dialog};
    LanguageSelectionInput input;
    input.support_folder = support;
    input.product_title = "Widget";
    input.default_language = "German";
    EXPECT_EQ(SelectLanguage(input, context), LanguageChoice::kChosen);
    EXPECT_EQ(store.Read("LANGUAGE"), "German");
}

TEST(LanguageDialogImage, XpAndLaterShowImage1) {
    struct Case {
        unsigned long major, minor;
        bool xp;
    };
    for (const Case& c :
         {Case{4, 0, false}, Case{4, 90, false}, Case{5, 0, false}, Case{5, 1, true},
          Case{5, 2, true}, Case{6, 0, true}, Case{10, 0, true}}) {
        EXPECT_EQ(ShowsXpImage(c.major, c.minor), c.xp) << c.major << "." << c.minor;
    }
}

}  // namespace
