#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "command_table.h"
#include "run_context.h"

// The branches of the commands: what a statement of a command does when it runs. The runner
// finds the row of a statement in the command table (by its exact name) and calls the branch
// that belongs to that row; a row without a branch does nothing.
//
// A branch reads its parameters with GetParameter and the store, and either returns (kContinue
// or kEndRun, for the commands that end the setup) or raises a ScriptError.

enum class BranchOutcome {
    kContinue,  // go on with the next statement
    kEndRun,    // end the run now (Terminate Install, the reboot commands)
};

using CommandBranch = std::function<BranchOutcome(RunContext&, const Statement&)>;

// A branch with the exact name of its command, as a family of commands lists its branches.
struct NamedBranch {
    std::string_view command;
    CommandBranch branch;
};

class CommandBranches {
  public:
    CommandBranches();

    // Sets the branch of the command with exactly this name. False when the name is not a row
    // of the command table (plug-in commands and block statements are the runner's own).
    bool Set(std::string_view command, CommandBranch branch);

    // The branch of a row of the command table, or null when none was set. Constant time.
    const CommandBranch* Find(const CommandRow& row) const;

  private:
    std::vector<CommandBranch> by_row_;  // indexed by the row's position in CommandTable()
};

// The branches that exist, one entry per command whose family is built: Evaluate Expression and
// the variable, string and arithmetic commands (variable_commands.h). This is the one list to
// extend when a family of commands is built, together with the built families of the command
// table (IsFamilyBuilt); every other command does nothing when it runs.
CommandBranches BuiltCommandBranches();
