#pragma once

#include <span>
#include <string>
#include <string_view>

class VariableStore;

// What the engine knows at the start of a run and gives to the predefined variables. Filled by
// start-up, Bootstrap and the platform layer; texts exactly as they are to be stored.
struct PredefinedFacts {
    std::string product_title;
    std::string product_code;   // from the instance data when present
    std::string revision_code;  // same source
    std::string product_version;
    std::string company;
    std::string all_users;       // "TRUE" on NT for an administrator, else "FALSE"
    std::string uninstall_link;  // path of the cached setup program
    std::string data_folder;
    std::string needs_upgrade;  // "TRUE" when installed with another revision
    std::string maintenance;    // "TRUE" when installed and no upgrade is needed
    std::string new_instance;   // "FALSE" or "TRUE"
    std::string exe_file;       // full path of the running setup program
    std::string exe_folder;     // its folder, trailing "\"
    std::string user_name;      // registered owner
    std::string user_company;   // registered organization
    std::string silent;         // "TRUE" with the switch "s", else "FALSE"
    std::string logged;         // the "l=" argument in lower case, or empty
    std::string command_line;   // after the program name
    std::string sfx_path;       // folder part of "m=", trailing "\", or empty
    std::string sfx_file;       // file-name part of "m=", or empty
    std::string date;           // user's short date format
    std::string time;           // user's long time format
    std::string temp_folder;    // trailing "\"
    std::string support_folder;
    std::string msi_file;  // support folder + setup base name + ".msi"
};

// One predefined variable: its initial value (a literal, or a fact), the tag of its first
// declaration, and whether the runner sets it again before every statement.
struct PredefinedVariable {
    std::string_view name;
    std::string_view literal;            // the value when `fact` is null
    std::string PredefinedFacts::*fact;  // where the value comes from, or null
    std::string_view tag;
    bool refreshed;
};

// The predefined variables in declaration order, which is also their substitution order.
// Not rows: the persistent variables (restored from the instance data after MAINTENANCE, tag
// "LoadComponents") and the command-line variables (after LANGUAGE, tag "Inject Override
// Command Line"), whose names come from the run.
std::span<const PredefinedVariable> PredefinedVariables();

// The initial value of a row.
std::string PredefinedValue(const PredefinedVariable& row, const PredefinedFacts& facts);

// Declares the rows from `first` through `last` (names of the table, in table order) with
// their initial values and tags, e.g. ZONDLOGO through MSIFILE at the start of a run. Returns
// false, declaring nothing, when either name is not a row or `last` comes before `first`.
bool DeclarePredefined(VariableStore& store, const PredefinedFacts& facts, std::string_view first,
                       std::string_view last);
