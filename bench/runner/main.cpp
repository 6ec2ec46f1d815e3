// Benchmark: the statement cycle of the runner, with the Windows refreshes (date and time, the
// message queue, translation files). Three scripts of about 100,000 executed statements each:
//   straight  100,000 statements in the script: Set Variable, If / Else / End blocks, each run
//             once (16,667 blocks of six statements, five of which run);
//   loops     a dozen statements that GoTo Label runs 100,000 times (two nested counting loops).
//   commands  a loop of the variable, string and arithmetic commands (Mathematics counting,
//             Parse String, Replace String, Extract Path, Convert Case, Set Variable) run
//             10,000 times.
// Each runs without a language and with one (LANGUAGE set to a language whose translation files
// exist in a temporary support folder). Prints the statements executed per second of RunScript.
//
// Run: wine64 runner_bench.exe [straight|loops|commands] [language|none]   (default: all)

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "runner_platform_windows.h"
#include "script_compiler.h"
#include "script_loader.h"
#include "script_runner.h"
#include "source_tags.h"
#include "store_hooks.h"
#include "translation_files.h"

namespace {

// 16,667 blocks of six statements; per block five run: Set, If, Set, Else (ends the branch),
// End.
std::string StraightListing(bool language, std::int64_t& executed) {
    std::string listing = "@title Demo\nSet Variable | C | yes\nSet Variable | B | b\n";
    executed = 2;
    if (language) {
        listing += "Set Variable | LANGUAGE | German\n";
        ++executed;
    }
    for (int block = 0; block < 16667; ++block) {
        listing +=
            "Set Variable | A | $B$x\n"
            "If | C | 0 | yes | FALSE\n"
            "  Set Variable | D | 1\n"
            "Else\n"
            "  Set Variable | D | 2\n"
            "End\n";
        executed += 5;
    }
    return listing;
}

// An inner loop of four statements run 100 times inside an outer loop run 250 times.
std::string LoopListing(bool language, std::int64_t& executed) {
    std::string listing = "@title Demo\nSet Variable | J |\n";
    executed = 1;
    if (language) {
        listing += "Set Variable | LANGUAGE | German\n";
        ++executed;
    }
    listing +=
        "Label | outer\nSet Variable | J | $J$x\nSet Variable | I |\nLabel | inner\n"
        "Set Variable | I | $I$y\n"
        "If | I | 0 | " +
        std::string(100, 'y') +
        " | TRUE\n"
        "  GoTo Label | inner\n"
        "End\n"
        "If | J | 0 | " +
        std::string(250, 'x') +
        " | TRUE\n"
        "  GoTo Label | outer\n"
        "End\n";
    // Per outer turn: Label, Set, Set, then 100 inner turns of Label, Set, If, GoTo (the last
    // without GoTo but with the End), then If, GoTo (the last turn: If, End).
    executed += 250 * (3 + 100 * 4 + 2);
    return listing;
}

// Ten statements a turn, 10,000 turns.
std::string CommandsListing(bool language, std::int64_t& executed) {
    std::string listing = "@title Demo\nSet Variable | N | 0\n";
    executed = 1;
    if (language) {
        listing += "Set Variable | LANGUAGE | German\n";
        ++executed;
    }
    listing +=
        "Label | again\n"
        "Mathematics | $N$ | 1 | 0 | N\n"
        "Parse String | alpha;beta;gamma;$N$ | ; | HEAD | TAIL | 1 | TRUE | TRUE\n"
        "Replace String | TAIL | a | A | TRUE | TRUE\n"
        "Set Variable | P | C:\\\\Program Files\\\\Demo\\\\file$N$.tar.gz\n"
        "Extract Path | P | 1\n"
        "Convert Case | P | TRUE\n"
        "Mathematics | $N$ | 10000 | 1 | LEFT\n"
        "If | LEFT | 0 | 0 | TRUE\n"
        "  GoTo Label | again\n"
        "End\n";
    // Label and eight statements a turn, then GoTo (the last turn: End).
    executed += 10000 * 10;
    return listing;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
        done == bytes.size();
    CloseHandle(file);
    return ok;
}

// A support folder with translation files for German: 2,000 lines in each list.
std::string MakeSupportFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "qor_runner_bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string scopes, keys, texts;
    for (int i = 0; i < 2000; ++i) {
        scopes += "dialog" + std::to_string(i % 20) + ".dfm\r\n";
        keys += "Label" + std::to_string(i) + "\r\n";
        texts += "Text number " + std::to_string(i) + " in German\r\n";
    }
    WriteFile(folder + "translations.Map", scopes);
    WriteFile(folder + "Demo.mtx", keys);
    WriteFile(folder + "translations.German", texts);
    return folder;
}

struct Result {
    std::int64_t executed = 0;
    double seconds = 0;
    std::string language;
};

Result RunOnce(const std::string& kind, bool language, const std::string& support) {
    Result result;
    const std::string listing = kind == "loops"      ? LoopListing(language, result.executed)
                                : kind == "commands" ? CommandsListing(language, result.executed)
                                                     : StraightListing(language, result.executed);
    const qorscript::Compiled compiled = qorscript::CompileListing(listing);
    ScriptLoad load = LoadScript(compiled.script);
    if (!load.image) {
        std::fprintf(stderr, "script does not load: %s\n", load.error.c_str());
        return result;
    }
    ScriptImage script = std::move(*load.image);

    ProgressState progress;
    VariableStore store(progress, WindowsStoreHooks());
    WindowsTranslationFiles files;
    Translations translations(files, WindowsStoreHooks().upper_case);
    SessionState session;
    session.support_folder = support;
    const std::string package = support + "Demo.msi";
    WriteFile(package, "");
    WindowsRunnerPlatform platform(progress);
    struct NoPlugins : PluginExecutor {
        std::string Execute(const PluginCall& call) override { return call.variables; }
    } plugins;
    struct NoDialogs : WizardDialogs {
        DialogResult ShowModal(const Statement&) override { return DialogResult::Next(); }
    } dialogs;
    struct NoLanguageDialog : LanguageDialog {
        std::optional<std::size_t> Choose(const std::vector<std::string>&, std::size_t) override {
            return 0;
        }
    } language_dialog;
    SessionSteps steps;
    const CommandBranches branches = BuiltCommandBranches();
    PredefinedFacts facts;
    facts.silent = "TRUE";
    facts.support_folder = support;
    facts.msi_file = package;
    RunEnvironment environment{
        store,
        progress,
        translations,
        session,
        facts,
        RunServices{
            platform, plugins, dialogs, steps, branches, WindowsStoreHooks().upper_case, files,
            [](const std::string&, const std::string&) { return std::vector<std::string>{}; },
            language_dialog, "English"},
    };

    const auto start = std::chrono::steady_clock::now();
    RunScript(script, package, environment);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.language = translations.SelectedLanguage();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string only_script = argc > 1 ? argv[1] : "";
    const std::string only_language = argc > 2 ? argv[2] : "";
    const std::string support = MakeSupportFolder();
    for (const std::string kind : {"straight", "loops", "commands"}) {
        if (!only_script.empty() && only_script != kind) continue;
        for (const bool language : {false, true}) {
            if (!only_language.empty() && only_language != (language ? "language" : "none")) {
                continue;
            }
            const Result result = RunOnce(kind, language, support);
            std::printf("%-8s %-8s language '%s': %lld statements in %.3f s = %.0f statements/s\n",
                        kind.c_str(), language ? "language" : "none", result.language.c_str(),
                        static_cast<long long>(result.executed), result.seconds,
                        result.executed / result.seconds);
        }
    }
    return 0;
}
