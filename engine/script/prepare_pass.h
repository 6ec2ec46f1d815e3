#pragma once

#include <cstdint>
#include <string>

#include "command_table.h"
#include "script_image.h"
#include "variable_store.h"

// The prepare pass: the check of the whole script before anything runs. It works on a store of
// its own making (cleared, then the predefined names declared empty with the tag "Compilation")
// and declares result variables in statement order, so that a statement may only name a
// variable that is predefined, declared by an earlier statement, or a persistent Set Variable.
// The store is cleared again before the run.
//
// In order, the first failure ending the pass:
// 1. Nesting, over the active statements: openers ("If", "Wizard Loop") and closers ("End")
//    are counted; a "Label" met inside a block fails.
// 2. Unbalanced openers and closers fail, with the index kPrepareUnbalancedIndex.
// 3. Labels, disabled statements included: a name given twice fails.
// 4. Persistent Set Variable names, disabled statements included, are declared.
// 5. The checks of each active statement's command, in statement order (CheckStatement).
// 6. Between an active "Wizard Loop" and the next active "End" only "Display Dialog", "Comment",
//    "Ignore" and disabled statements may stand.
// Which command opens, closes, names a label or holds dialogs is read from the command table.

inline constexpr std::int32_t kPrepareAccepted = -1;

struct PrepareResult {
    // kPrepareAccepted, the index of the offending statement, or kPrepareUnbalancedIndex.
    std::int32_t index = kPrepareAccepted;
    std::string message;  // "Script compiled successfully" or the message of the failure

    bool Accepted() const { return index == kPrepareAccepted; }
};

// PrepareScript. `commands` is the lookup of the script's plug-in list and the command table.
PrepareResult PrepareScript(const ScriptImage& script, const CommandLookup& commands,
                            VariableStore& store);
