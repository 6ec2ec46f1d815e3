#pragma once

#include <cstdint>
#include <vector>

#include "command_branches.h"
#include "command_table.h"
#include "script_image.h"

// What the runner needs to know of each statement, worked out once per run so that the cycle
// and the scans look at an array instead of comparing command names.

enum class StatementRole : std::uint8_t {
    kCommand,  // goes to the branch of its command (or does nothing)
    kIf,
    kElseIf,
    kElse,
    kEnd,
    kWizardLoop,
    kLabel,
    kGoToLabel,
    kDisplayDialog,  // a command, except inside a Wizard Loop, where the runner shows it
    kIgnore,         // never executed, transparent to every scan
    kPlugin,         // carried out by a plug-in library
};

struct StatementPlan {
    StatementRole role = StatementRole::kCommand;
    bool active = true;                     // not disabled
    const CommandBranch* branch = nullptr;  // kCommand, kDisplayDialog: the branch, if any
    // The statement cannot change files or the registry: no command, a block statement, or a
    // command of the variable, condition, query or message families.
    bool quiet = true;

    // Seen by a scan: active and not "Ignore".
    bool Counts() const { return active && role != StatementRole::kIgnore; }
};

// One plan per statement, in statement order. A plug-in list entry wins over a command of the
// same name, as in dispatch.
std::vector<StatementPlan> PlanStatements(const ScriptImage& script, const CommandLookup& commands,
                                          const CommandBranches& branches);
