#include "predefined_variables.h"

#include <algorithm>
#include <array>

#include "source_tags.h"
#include "variable_store.h"

namespace {

using F = PredefinedFacts;
constexpr bool kRefreshed = true;
constexpr bool kOnce = false;

// Name, literal value, fact, tag of the first declaration, refreshed before every statement.
const std::array kPredefined = {
    PredefinedVariable{"TARGETDIR", "", nullptr, kTagPreInitialization, kOnce},
    PredefinedVariable{"STARTMENU", "", &F::product_title, kTagPreInitialization, kOnce},
    PredefinedVariable{"ALLUSERS", "", &F::all_users, kTagPreInitialization, kOnce},
    PredefinedVariable{"PRODUCTCODE", "", &F::product_code, kTagBootstrap, kOnce},
    PredefinedVariable{"REVISIONCODE", "", &F::revision_code, kTagBootstrap, kOnce},
    PredefinedVariable{"UNINSTALLLINK", "", &F::uninstall_link, kTagBootstrap, kRefreshed},
    PredefinedVariable{"DATADIR", "", &F::data_folder, kTagBootstrap, kOnce},
    PredefinedVariable{"NEEDSUPGRADE", "", &F::needs_upgrade, kTagBootstrap, kOnce},
    PredefinedVariable{"MAINTENANCE", "", &F::maintenance, kTagBootstrap, kOnce},
    PredefinedVariable{"NEWINSTANCE", "", &F::new_instance, kTagInitialization, kOnce},
    PredefinedVariable{"ZONDLOGO", "", nullptr, kTagInitialization, kRefreshed},
    PredefinedVariable{"SELECTED", "0", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"WINDOWHANDLE", "0", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"EXEFILE", "", &F::exe_file, kTagInitialization, kOnce},
    PredefinedVariable{"EXEDIR", "", &F::exe_folder, kTagInitialization, kOnce},
    PredefinedVariable{"PROGRESSTEXT", "", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"PROGRESSMODE", "", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"ABORT", "FALSE", nullptr, kTagInitialization, kRefreshed},
    PredefinedVariable{"PROGRESS", "0", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"LASTERROR", "", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"LICENSE", "FALSE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"USERNAME", "", &F::user_name, kTagInitialization, kOnce},
    PredefinedVariable{"USERCOMPANY", "", &F::user_company, kTagInitialization, kOnce},
    PredefinedVariable{"REBOOTCOMPUTER", "FALSE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"RUNAPP", "TRUE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"WIZARD", "NEXT", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"VERSION", "", &F::product_version, kTagInitialization, kOnce},
    PredefinedVariable{"SILENT", "", &F::silent, kTagInitialization, kOnce},
    PredefinedVariable{"LOGGED", "", &F::logged, kTagInitialization, kOnce},
    PredefinedVariable{"CMDLINE", "", &F::command_line, kTagInitialization, kOnce},
    PredefinedVariable{"REBOOTNOW", "OK", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"SFXPATH", "", &F::sfx_path, kTagInitialization, kOnce},
    PredefinedVariable{"SFXFILE", "", &F::sfx_file, kTagInitialization, kOnce},
    PredefinedVariable{"COMPLETE", "TRUE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"NEWLINE", "\r\n", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"MINIMUM", "FALSE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"PERSONALIZED", "FALSE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"MODIFY", "TRUE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"REPAIR", "FALSE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"REMOVE", "FALSE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"ROOTDIR", "", &F::exe_folder, kTagInitialization, kOnce},
    PredefinedVariable{"TITLE", "", &F::product_title, kTagInitialization, kOnce},
    PredefinedVariable{"COMPANY", "", &F::company, kTagInitialization, kOnce},
    PredefinedVariable{"ADVERTISE", "FALSE", nullptr, kTagInitialization, kOnce},
    PredefinedVariable{"DATE", "", &F::date, kTagInitialization, kRefreshed},
    PredefinedVariable{"TIME", "", &F::time, kTagInitialization, kRefreshed},
    PredefinedVariable{"TEMPDIR", "", &F::temp_folder, kTagInitialization, kOnce},
    PredefinedVariable{"SUPPORTDIR", "", &F::support_folder, kTagInitialization, kOnce},
    PredefinedVariable{"MSIFILE", "", &F::msi_file, kTagInitialization, kOnce},
    PredefinedVariable{"LANGUAGE", "", nullptr, kTagInitialization, kRefreshed},
};

}  // namespace

std::span<const PredefinedVariable> PredefinedVariables() {
    return kPredefined;
}

std::string PredefinedValue(const PredefinedVariable& row, const PredefinedFacts& facts) {
    return row.fact ? facts.*row.fact : std::string(row.literal);
}

bool DeclarePredefined(VariableStore& store, const PredefinedFacts& facts, std::string_view first,
                       std::string_view last) {
    const auto named = [](std::string_view name) {
        return [name](const PredefinedVariable& row) { return row.name == name; };
    };
    const auto begin = std::find_if(kPredefined.begin(), kPredefined.end(), named(first));
    const auto end = std::find_if(kPredefined.begin(), kPredefined.end(), named(last));
    if (begin == kPredefined.end() || end == kPredefined.end() || end < begin) return false;
    for (auto row = begin; row <= end; ++row) {
        store.Declare(row->name, PredefinedValue(*row, facts), row->tag);
    }
    return true;
}
