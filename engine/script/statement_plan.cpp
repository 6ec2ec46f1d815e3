#include "statement_plan.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace {

using R = StatementRole;

// The statements the runner handles itself, by exact command name.
constexpr std::array<std::pair<std::string_view, StatementRole>, 9> kRunnerRoles = {{
    {"If", R::kIf},
    {"Else If", R::kElseIf},
    {"Else", R::kElse},
    {"End", R::kEnd},
    {"Wizard Loop", R::kWizardLoop},
    {"Label", R::kLabel},
    {"GoTo Label", R::kGoToLabel},
    {"Display Dialog", R::kDisplayDialog},
    {"Ignore", R::kIgnore},
}};

// Families whose commands never change files or the registry.
constexpr std::array<CommandFamily, 6> kQuietFamilies = {
    CommandFamily::kNothing,   CommandFamily::kRunner,        CommandFamily::kConditions,
    CommandFamily::kVariables, CommandFamily::kSystemQueries, CommandFamily::kMessages,
};

StatementPlan Plan(const Statement& statement, const CommandLookup& commands,
                   const CommandBranches& branches) {
    StatementPlan plan;
    plan.active = !statement.Disabled;
    const CommandRow* row = commands.Find(statement.Command);
    if (!row) return plan;  // unknown: does nothing
    if (row->kind == CommandKind::kPlugin) {
        plan.role = R::kPlugin;
        plan.quiet = false;
        return plan;
    }
    const auto runner = std::find_if(kRunnerRoles.begin(), kRunnerRoles.end(),
                                     [&](const auto& entry) { return entry.first == row->name; });
    if (runner != kRunnerRoles.end()) plan.role = runner->second;
    plan.branch = branches.Find(*row);
    plan.quiet = std::find(kQuietFamilies.begin(), kQuietFamilies.end(), row->family) !=
                 kQuietFamilies.end();
    return plan;
}

}  // namespace

std::vector<StatementPlan> PlanStatements(const ScriptImage& script, const CommandLookup& commands,
                                          const CommandBranches& branches) {
    std::vector<StatementPlan> plans;
    plans.reserve(script.Statements.size());
    for (const Statement& statement : script.Statements) {
        plans.push_back(Plan(statement, commands, branches));
    }
    return plans;
}
