#include "script_runner.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "conditions.h"
#include "integer_text.h"
#include "prepare_pass.h"
#include "script_error.h"
#include "source_tags.h"
#include "statement_plan.h"

namespace {

using R = StatementRole;

// The user interface processes its pending messages before the first statement and then after
// every this many cycles. Counted in cycles, not by statement position, so that a GoTo loop over
// a few statements keeps the user interface alive as well.
constexpr std::int64_t kMessageInterval = 314;

// A scan that runs past the last statement (a block the script never closes, such as an Else
// outside any If).
constexpr std::string_view kScanPastEnd = "END statement not found";

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// The patch package beside the installer package: same folder and base name, extension ".msp".
std::string PatchPackagePath(const std::string& package) {
    const std::size_t dot = package.find_last_of('.');
    const std::size_t separator = package.find_last_of("\\/:");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) {
        return package + ".msp";
    }
    return package.substr(0, dot) + ".msp";
}

template <typename Step>
void IgnoringFailures(Step step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

class ScriptRunner {
  public:
    ScriptRunner(RunContext& run, RunServices& services, PredefinedFacts facts,
                 std::string package_path)
        : run_(run),
          services_(services),
          facts_(std::move(facts)),
          package_path_(std::move(package_path)),
          commands_(run.script.PluginCommands),
          count_(static_cast<std::int64_t>(run.script.Statements.size())) {}

    void Run() {
        run_.session.cached_in_run = false;
        run_.session.removed_in_run = false;
        run_.session.caption_branding = false;
        run_.session.platform_mode = "Win32";
        run_.script.CompiledProductCode = run_.script.ProductCode;
        if (!PrepareScript(run_.script, commands_, run_.store).Accepted()) return;

        plans_ = PlanStatements(run_.script, commands_, services_.branches);
        try {
            if (Prologue()) Cycle();
        } catch (const ScriptError& error) {
            ReportScriptError(error.what());
        }
        EndOfRun();
    }

  private:
    enum class EndReached { kNone, kBranchScan, kEndScan };

    struct TranslationInputs {
        std::string support_folder;
        std::string title;
        std::string language;
        bool operator==(const TranslationInputs&) const = default;
    };

    struct ShownProgress {
        std::string text;
        std::int32_t position = 0;
    };

    // ---- Prologue ---------------------------------------------------------------------------

    // False when the run ends before the first statement.
    bool Prologue() {
        VariableStore& store = run_.store;
        store.Clear();
        services_.steps.ClearComponents(run_);
        facts_.product_title = run_.script.ProductTitle;
        DeclarePredefined(store, facts_, "TARGETDIR", "ALLUSERS");
        services_.steps.Bootstrap(run_);
        BuildLabels();

        const bool patch = services_.platform.FileExists(PatchPackagePath(package_path_));
        if (!patch && !services_.platform.FileExists(package_path_)) return false;

        pointer_ = 0;
        services_.steps.DefinePredefinedComponent(run_);
        FillRunFacts();
        DeclarePredefined(store, facts_, "ZONDLOGO", "MSIFILE");
        run_.session.temp_folder = facts_.temp_folder;
        if (patch) services_.steps.PatchMode(run_);
        services_.steps.ResumeCleanup(run_);
        run_.recorder.RegisterHeaders();
        if (ChooseLanguage() == LanguageChoice::kCancelled) return false;
        InjectOverrides();
        return true;
    }

    void BuildLabels() {
        labels_.clear();
        for (const Statement& statement : run_.script.Statements) {
            if (plans_[static_cast<std::size_t>(statement.Index)].role != R::kLabel) continue;
            labels_.emplace(AsciiUpper(run_.script.GetParameter(statement.Id, 1)), statement.Index);
        }
    }

    void FillRunFacts() {
        facts_.product_title = run_.script.ProductTitle;
        facts_.company = run_.script.Company;
        facts_.product_version = run_.script.ProductVersion;
        const DateTimeTexts now = services_.platform.CurrentDateTime();
        facts_.date = now.date;
        facts_.time = now.time;
    }

    LanguageChoice ChooseLanguage() {
        const LanguageSelectionInput input{
            run_.session.support_folder,         run_.script.ProductTitle,
            run_.script.DefaultLanguage,         run_.script.OfferLanguageChoice,
            run_.session.instance_language_file, services_.user_language_name,
        };
        LanguageSelectionContext context{
            run_.store,           run_.translations,
            run_.progress,        services_.translation_files,
            services_.list_files, services_.language_dialog,
        };
        return SelectLanguage(input, context);
    }

    void InjectOverrides() {
        VariableStore& store = run_.store;
        for (const auto& [name, value] : store.Overrides()) {
            const std::string upper = AsciiUpper(name);
            if (store.IsDefined(upper)) {
                store.Assign(upper, value, kTagInjectOverride);
            } else {
                store.Declare(upper, value, kTagInjectOverride);
            }
        }
    }

    // ---- Statement cycle --------------------------------------------------------------------

    void Cycle() {
        while (pointer_ < count_) {
            if (cycles_++ % kMessageInterval == 0) services_.platform.ProcessPendingMessages();
            Refresh();
            if (skip_to_branch_) {
                skip_to_branch_ = false;
                BranchScan();
            }
            if (skip_to_end_) {
                skip_to_end_ = false;
                EndScan();
            }
            const bool designated = in_wizard_ ? Navigate() : Advance();
            if (!designated) continue;

            const std::size_t index = static_cast<std::size_t>(pointer_ - 1);
            const Statement& statement = run_.script.Statements[index];
            const StatementPlan& plan = plans_[index];
            RefreshAbort();
            if (run_.session.dialog_window != 0) StoreScriptProgress();
            if (plan.role == R::kPlugin) {
                PluginServices plugin{services_.platform, services_.plugins, services_.steps};
                RunPluginStatement(run_, statement, plugin);
                SystemMayHaveChanged();
                continue;
            }
            const BranchOutcome outcome = Execute(statement, plan);
            if (!plan.quiet) SystemMayHaveChanged();
            if (outcome == BranchOutcome::kEndRun) return;
        }
    }

    // Step 5 outside a wizard: moves to the next statement that is neither disabled nor "Ignore",
    // or to the end. False when the statement reached is disabled (the cycle starts again).
    bool Advance() {
        do {
            ++pointer_;
        } while (pointer_ < count_ && !plans_[static_cast<std::size_t>(pointer_ - 1)].Counts());
        return plans_[static_cast<std::size_t>(pointer_ - 1)].active;
    }

    // Moves the pointer one statement on (+1) or back (-1) and returns the statement's plan. A
    // scan that would leave the script is a script error, reported at the statement where the
    // scan started.
    const StatementPlan& Step(int direction, std::int64_t scan_start) {
        const std::int64_t next = pointer_ + direction;
        if (next < 1 || next > count_) {
            pointer_ = scan_start;
            throw ScriptError(std::string(kScanPastEnd));
        }
        pointer_ = next;
        return plans_[static_cast<std::size_t>(pointer_ - 1)];
    }

    // After a false condition: on to the Else, Else If or End of the same block.
    void BranchScan() {
        const std::int64_t start = pointer_;
        std::int64_t depth = 0;
        for (;;) {
            const StatementPlan& plan = Step(+1, start);
            if (!plan.Counts()) continue;
            bool marker = false;
            if (plan.role == R::kIf || plan.role == R::kWizardLoop) {
                ++depth;
                marker = true;
            } else if (plan.role == R::kEnd) {
                --depth;
                marker = depth >= 0;
            }
            if (marker || depth >= 1) continue;
            switch (plan.role) {
                case R::kElseIf:  // taken back: the cycle designates and evaluates it
                    --pointer_;
                    evaluate_else_if_ = true;
                    return;
                case R::kEnd:  // taken back: the block is finished when it is processed
                    --pointer_;
                    end_reached_ = EndReached::kBranchScan;
                    return;
                case R::kElse:  // the else branch runs
                    ++open_branches_;
                    return;
                default:
                    break;
            }
        }
    }

    // After an executed branch reached Else or Else If: on to the End of the block.
    void EndScan() {
        const std::int64_t start = pointer_;
        std::int64_t depth = 0;
        for (;;) {
            const StatementPlan& plan = Step(+1, start);
            if (!plan.Counts()) continue;
            if (plan.role == R::kIf || plan.role == R::kWizardLoop) {
                ++depth;
            } else if (plan.role == R::kEnd && --depth < 0) {
                break;
            }
        }
        --pointer_;
        end_reached_ = EndReached::kEndScan;
    }

    // Step 5 inside a Wizard Loop. True when a "Display Dialog" is designated to run.
    bool Navigate() {
        if (direction_ != 1 && direction_ != -1) {
            LeaveWizard();
            return false;
        }
        const std::int64_t start = pointer_;
        for (;;) {
            const StatementPlan& plan = Step(direction_, start);
            if (!plan.Counts()) continue;
            switch (plan.role) {
                case R::kDisplayDialog:
                    return true;
                case R::kEnd:         // forward past the last dialog
                case R::kWizardLoop:  // back past the first dialog
                    LeaveWizard();
                    return false;
                default:
                    break;
            }
        }
    }

    // On to the loop's End (the designated statement if it is one), taken back so that the next
    // cycle processes it as the End of the loop, not of an If block.
    void LeaveWizard() {
        const std::int64_t start = pointer_;
        for (;;) {
            const StatementPlan& plan = plans_[static_cast<std::size_t>(pointer_ - 1)];
            if (plan.active && plan.role == R::kEnd) break;
            Step(+1, start);
        }
        in_wizard_ = false;
        leaving_wizard_ = true;
        --pointer_;
    }

    BranchOutcome Execute(const Statement& statement, const StatementPlan& plan) {
        switch (plan.role) {
            case R::kIf:
                RunCondition(statement);
                break;
            case R::kElseIf:
                if (evaluate_else_if_) {
                    evaluate_else_if_ = false;
                    RunCondition(statement);
                } else {
                    skip_to_end_ = true;  // the running branch is complete
                }
                break;
            case R::kElse:
                skip_to_end_ = true;
                break;
            case R::kEnd:
                RunEnd();
                break;
            case R::kWizardLoop:
                in_wizard_ = true;
                direction_ = 1;
                break;
            case R::kGoToLabel:
                RunGoToLabel(statement);
                break;
            case R::kDisplayDialog:
                if (in_wizard_) {
                    RunWizardDialog(statement);
                    break;
                }
                return RunBranch(statement, plan);
            case R::kCommand:
                return RunBranch(statement, plan);
            case R::kLabel:
            case R::kIgnore:
            case R::kPlugin:
                break;
        }
        return BranchOutcome::kContinue;
    }

    BranchOutcome RunBranch(const Statement& statement, const StatementPlan& plan) {
        if (!plan.branch) return BranchOutcome::kContinue;
        return (*plan.branch)(run_, statement);
    }

    void RunCondition(const Statement& statement) {
        if (EvaluateCondition(run_.script, statement, run_.store, run_.translations,
                              services_.upper_case)) {
            ++open_branches_;
        } else {
            skip_to_branch_ = true;
        }
    }

    void RunEnd() {
        switch (end_reached_) {
            case EndReached::kBranchScan:
                break;
            case EndReached::kEndScan:
                if (open_branches_ > 0) --open_branches_;
                break;
            case EndReached::kNone:
                if (open_branches_ > 0 && !leaving_wizard_) --open_branches_;
                break;
        }
        end_reached_ = EndReached::kNone;
        leaving_wizard_ = false;
    }

    void RunGoToLabel(const Statement& statement) {
        const std::string& name = run_.script.GetParameter(statement.Id, 1);
        const auto label = labels_.find(AsciiUpper(name));
        if (label == labels_.end()) throw ScriptError("LABEL undefined: " + name);
        pointer_ = label->second;
        open_branches_ = 0;
        skip_to_branch_ = false;
        skip_to_end_ = false;
        evaluate_else_if_ = false;
        end_reached_ = EndReached::kNone;
        in_wizard_ = false;
        leaving_wizard_ = false;
    }

    void RunWizardDialog(const Statement& statement) {
        if (!DisplayConditionHolds(run_.script, statement, run_.store)) return;  // passed over
        const DialogResult result = services_.dialogs.ShowModal(statement);
        WriteDialogResult(run_.script, statement, run_.store, DialogResultText(result));
        switch (result.button) {
            case DialogResult::Button::kNext:
                direction_ = 1;
                break;
            case DialogResult::Button::kBack:
                direction_ = -1;
                break;
            case DialogResult::Button::kCancel:
                direction_ = 0;
                break;
            case DialogResult::Button::kCustom:
                break;
        }
    }

    // ---- Refreshes --------------------------------------------------------------------------

    void Refresh() {
        VariableStore& store = run_.store;
        SessionState& session = run_.session;
        session.log_setting = store.Read("LOGGED");
        run_.progress.SetSilent(VariableStore::Truth(store.Read("SILENT")));
        session.caption_title = store.Read("TITLE");
        session.caption_branding = store.Read("ZONDLOGO") == "TRUE";
        const DateTimeTexts now = services_.platform.CurrentDateTime();
        store.Declare("DATE", now.date, kTagInitialization);
        store.Declare("TIME", now.time, kTagInitialization);
        store.Declare("LANGUAGE", RefreshLanguage(), kTagInitialization);
        RefreshUninstallLink();
    }

    // LANGUAGE, with the translations loaded for it; empty when it cannot be read or its
    // translations cannot be loaded.
    std::string RefreshLanguage() {
        std::string language;
        try {
            language = run_.store.Read("LANGUAGE");
        } catch (const ScriptError&) {
            language.clear();
        }
        if (!language.empty()) {
            TranslationInputs inputs{run_.session.support_folder, run_.script.ProductTitle,
                                     language};
            if (loaded_translations_ == inputs) return language;
            const TranslationLoad load =
                run_.translations.LoadTranslations(inputs.support_folder, inputs.title, language);
            if (load.ok) {
                loaded_translations_ = std::move(inputs);
                return language;
            }
            language.clear();
        }
        loaded_translations_.reset();
        run_.translations.SetSelectedLanguage(language);
        return language;
    }

    void RefreshUninstallLink() {
        SessionSteps::UninstallLinkInputs inputs{run_.store.ReadOrEmpty("ALLUSERS"),
                                                 run_.session.caption_title};
        if (uninstall_inputs_ != inputs) {
            uninstall_link_ = services_.steps.RefreshUninstallLink(run_, inputs);
            uninstall_inputs_ = std::move(inputs);
        }
        if (uninstall_link_)
            run_.store.Declare("UNINSTALLLINK", *uninstall_link_, kTagInitialization);
    }

    // A statement may have changed files or the registry: look at translations and UNINSTALLLINK
    // again before the next statement.
    void SystemMayHaveChanged() {
        loaded_translations_.reset();
        uninstall_inputs_.reset();
    }

    void RefreshAbort() {
        const bool cancelled = run_.progress.CancelState() == -1;
        run_.store.Declare("ABORT", VariableStore::TruthText(cancelled), kTagCancelState);
    }

    // While a dialog window is shown: hands a changed PROGRESSTEXT or PROGRESS to the display.
    void StoreScriptProgress() {
        const std::string text = run_.store.Read("PROGRESSTEXT");
        const std::string position_text = run_.store.Read("PROGRESS");
        const std::optional<std::int32_t> position = ParseIntegerText(position_text);
        if (!position) throw ScriptError("'" + position_text + "' is not a valid integer value");
        if (shown_progress_ && shown_progress_->text == text &&
            shown_progress_->position == *position) {
            return;
        }
        run_.progress.StoreProgress(text, 0, 100, *position);
        shown_progress_ = ShownProgress{text, *position};
        if (!run_.progress.IsSilent()) services_.platform.ProcessOneMessage();
    }

    // ---- Errors and the end of the run ------------------------------------------------------

    void ReportScriptError(const std::string& text) {
        if (run_.progress.IsSilent()) return;
        const std::string message = run_.translations.Message("Runtime error in setup script:") +
                                    "\r\rLine " + std::to_string(pointer_) + ": " + text;
        services_.platform.ShowError(message, run_.session.MessageCaption(), 0);
    }

    void EndOfRun() {
        SessionSteps& steps = services_.steps;
        IgnoringFailures([&] { steps.CloseTextFile(run_); });
        IgnoringFailures([&] { steps.HideTrayIcon(run_); });
        steps.FreeDialogs(run_);
        run_.property_list = PropertyList();
        steps.WriteInstanceData(run_);
    }

    RunContext& run_;
    RunServices& services_;
    PredefinedFacts facts_;
    const std::string package_path_;
    const CommandLookup commands_;
    const std::int64_t count_;
    std::vector<StatementPlan> plans_;
    std::unordered_map<std::string, std::int32_t> labels_;  // upper-cased name -> index

    // Run state.
    std::int64_t pointer_ = 0;  // statements consumed; the current one is pointer_ - 1
    std::int64_t cycles_ = 0;
    std::int64_t open_branches_ = 0;
    bool skip_to_branch_ = false;
    bool skip_to_end_ = false;
    bool evaluate_else_if_ = false;  // the branch scan took an Else If back to evaluate it
    EndReached end_reached_ = EndReached::kNone;
    bool in_wizard_ = false;
    int direction_ = 1;
    bool leaving_wizard_ = false;

    // Refresh caches.
    std::optional<TranslationInputs> loaded_translations_;
    std::optional<SessionSteps::UninstallLinkInputs> uninstall_inputs_;
    std::optional<std::string> uninstall_link_;
    std::optional<ShownProgress> shown_progress_;
};

}  // namespace

void RunScript(ScriptImage& script, const std::string& package_path, RunEnvironment& environment) {
    InstallerPropertyTable property_table;
    PropertyList property_list;
    ChangeRecorder recorder(script, environment.store, environment.translations, property_table,
                            property_list);
    RunContext run{script,
                   environment.store,
                   environment.progress,
                   environment.translations,
                   environment.session,
                   property_table,
                   property_list,
                   recorder,
                   environment.services.platform};
    ScriptRunner(run, environment.services, environment.facts, package_path).Run();
}
