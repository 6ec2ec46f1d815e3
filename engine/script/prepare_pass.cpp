#include "prepare_pass.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_set>

#include "prepare_checks.h"
#include "source_tags.h"

namespace {

using C = PrepareCheckKind;

// The names the prepare pass declares empty before it checks anything.
constexpr std::array<std::string_view, 50> kCompilationNames = {
    "ZONDLOGO",     "TIME",        "DATE",         "NEWINSTANCE",    "SELECTED",
    "WINDOWHANDLE", "EXEDIR",      "EXEFILE",      "UNINSTALLLINK",  "ABORT",
    "SILENT",       "LOGGED",      "CMDLINE",      "REBOOTNOW",      "SFXPATH",
    "SFXFILE",      "LASTERROR",   "PROGRESSMODE", "PROGRESSTEXT",   "PROGRESS",
    "LICENSE",      "USERNAME",    "USERCOMPANY",  "REBOOTCOMPUTER", "RUNAPP",
    "WIZARD",       "VERSION",     "TARGETDIR",    "STARTMENU",      "ADVERTISE",
    "ALLUSERS",     "COMPLETE",    "MINIMUM",      "PERSONALIZED",   "MODIFY",
    "REPAIR",       "REMOVE",      "DATADIR",      "PRODUCTCODE",    "REVISIONCODE",
    "ROOTDIR",      "MAINTENANCE", "NEWLINE",      "NEEDSUPGRADE",   "TITLE",
    "COMPANY",      "TEMPDIR",     "SUPPORTDIR",   "MSIFILE",        "LANGUAGE",
};

// What may stand between a Wizard Loop and its End, besides disabled statements.
constexpr std::array<std::string_view, 3> kWizardContents = {"Display Dialog", "Comment", "Ignore"};

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

PrepareResult Fail(std::int32_t index, std::string message) {
    return {index, std::move(message)};
}

class PreparePass {
  public:
    PreparePass(const ScriptImage& script, const CommandLookup& commands, VariableStore& store)
        : script_(script), commands_(commands), store_(store) {}

    PrepareResult Run() {
        store_.Clear();
        for (std::string_view name : kCompilationNames) store_.Declare(name, "", kTagCompilation);
        PrepareResult result = CheckNesting();
        if (result.Accepted()) result = CollectLabels();
        if (!result.Accepted()) return result;
        DeclarePersistentNames();
        result = CheckStatements();
        if (result.Accepted()) result = CheckWizardLoops();
        if (result.Accepted()) result.message = kPrepareSuccess;
        return result;
    }

  private:
    // The check of a kind in a statement's row, or null when its row has none.
    const PrepareCheck* RowCheck(const Statement& statement, PrepareCheckKind kind) const {
        const CommandRow* row = commands_.Find(statement.Command);
        if (!row) return nullptr;
        for (const PrepareCheck& check : row->Checks()) {
            if (check.kind == kind) return &check;
        }
        return nullptr;
    }
    bool Has(const Statement& statement, PrepareCheckKind kind) const {
        return RowCheck(statement, kind) != nullptr;
    }

    PrepareResult CheckNesting() const {
        std::int64_t depth = 0;
        std::int64_t openers = 0;
        std::int64_t closers = 0;
        for (const Statement& statement : script_.Statements) {
            if (statement.Disabled) continue;
            if (Has(statement, C::kOpener)) {
                ++depth;
                ++openers;
            }
            if (Has(statement, C::kCloser)) {
                --depth;
                ++closers;
            }
            if (Has(statement, C::kOutsideBlocks) && depth != 0) {
                return Fail(statement.Index, std::string(kPrepareLabelNested));
            }
        }
        if (openers > closers) {
            return Fail(kPrepareUnbalancedIndex, std::string(kPrepareInsufficientEnd));
        }
        if (openers < closers)
            return Fail(kPrepareUnbalancedIndex, std::string(kPrepareTooManyEnd));
        return {};
    }

    PrepareResult CollectLabels() {
        for (const Statement& statement : script_.Statements) {
            const PrepareCheck* check = RowCheck(statement, C::kUniqueLabel);
            if (!check) continue;
            const std::string& name = script_.GetParameter(statement.Id, check->parameter);
            if (!labels_.insert(AsciiUpper(name)).second) {
                return Fail(statement.Index, std::string(kPrepareLabelRedefined) + name);
            }
        }
        return {};
    }

    void DeclarePersistentNames() {
        for (const Statement& statement : script_.Statements) {
            const PrepareCheck* check = RowCheck(statement, C::kDeclaresBeforeMarker);
            if (check)
                DeclarePersistentName(store_, script_.GetParameter(statement.Id, check->parameter));
        }
    }

    PrepareResult CheckStatements() {
        const PrepareContext context{script_, commands_, store_, labels_};
        for (const Statement& statement : script_.Statements) {
            if (statement.Disabled) continue;
            const PrepareVerdict verdict = CheckStatement(context, statement);
            if (!verdict.ok) return Fail(statement.Index, verdict.message);
        }
        return {};
    }

    PrepareResult CheckWizardLoops() const {
        const std::vector<Statement>& statements = script_.Statements;
        for (std::size_t i = 0; i < statements.size(); ++i) {
            if (statements[i].Disabled || !Has(statements[i], C::kWizardContents)) continue;
            for (std::size_t j = i + 1; j < statements.size(); ++j) {
                const Statement& inside = statements[j];
                if (inside.Disabled) continue;
                if (Has(inside, C::kCloser)) break;
                const bool allowed = std::find(kWizardContents.begin(), kWizardContents.end(),
                                               inside.Command) != kWizardContents.end();
                if (!allowed) return Fail(inside.Index, std::string(kPrepareWizardContents));
            }
        }
        return {};
    }

    const ScriptImage& script_;
    const CommandLookup& commands_;
    VariableStore& store_;
    std::unordered_set<std::string> labels_;
};

}  // namespace

PrepareResult PrepareScript(const ScriptImage& script, const CommandLookup& commands,
                            VariableStore& store) {
    return PreparePass(script, commands, store).Run();
}
