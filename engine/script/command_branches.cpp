#include "command_branches.h"

#include <functional>
#include <utility>

#include "conditions.h"
#include "variable_commands.h"

namespace {

// The position of a row in the command table, or -1 for a row that is not in it (the plug-in
// row).
std::ptrdiff_t RowPosition(const CommandRow& row) {
    const std::span<const CommandRow> table = CommandTable();
    const std::less<const CommandRow*> before;
    if (before(&row, table.data()) || !before(&row, table.data() + table.size())) return -1;
    return &row - table.data();
}

BranchOutcome EvaluateExpressionBranch(RunContext& run, const Statement& statement) {
    RunEvaluateExpression(run.script, statement, run.store);
    return BranchOutcome::kContinue;
}

}  // namespace

CommandBranches::CommandBranches() : by_row_(CommandTable().size()) {}

bool CommandBranches::Set(std::string_view command, CommandBranch branch) {
    const CommandRow* row = FindCommand(command);
    if (!row || row->kind == CommandKind::kBlock) return false;
    by_row_[static_cast<std::size_t>(RowPosition(*row))] = std::move(branch);
    return true;
}

const CommandBranch* CommandBranches::Find(const CommandRow& row) const {
    const std::ptrdiff_t position = RowPosition(row);
    if (position < 0) return nullptr;
    const CommandBranch& branch = by_row_[static_cast<std::size_t>(position)];
    return branch ? &branch : nullptr;
}

CommandBranches BuiltCommandBranches() {
    CommandBranches branches;
    branches.Set("Evaluate Expression", EvaluateExpressionBranch);
    for (NamedBranch& named : VariableCommandBranches()) {
        branches.Set(named.command, std::move(named.branch));
    }
    return branches;
}
