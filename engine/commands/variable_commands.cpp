#include "variable_commands.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_parameters.h"
#include "mathematics.h"
#include "parse_string.h"
#include "path_parts.h"
#include "prepare_checks.h"
#include "source_tags.h"
#include "translated_parameter.h"

namespace {

constexpr BranchOutcome kContinue = BranchOutcome::kContinue;

// The prefix of Get Temporary File's file names.
constexpr std::string_view kTemporaryFilePrefix = "qor";

bool LanguageInEffect(const RunContext& run) {
    return !run.translations.SelectedLanguage().empty();
}

// The text translated for the statement's key, expanded again, while a language is in effect;
// otherwise the text itself.
std::string Translated(RunContext& run, std::string text, std::string_view key) {
    if (!LanguageInEffect(run)) return text;
    return run.store.Expand(TranslatedParameter(run.translations, text, key, 1));
}

// Declares the variable, upper-cased and empty, when no variable of that name exists.
void DeclareWhenMissing(RunContext& run, std::string_view name, std::string_view tag) {
    if (!run.store.IsDefined(name)) run.store.Declare(UpperCaseName(name), "", tag);
}

// ---- Set Variable, Localization Variable, Get Temporary File ----------------------------

// Parameter 1 is NAME or $NAME$, optionally followed by "$ZOND$ZOND$" and a flag; the name is
// made persistent (written to the instance data) when the flag is exactly "TRUE".
BranchOutcome SetVariable(RunContext& run, const Statement& statement) {
    const std::string tag = ActionTag(statement.Command);
    const std::string value =
        Translated(run, run.store.Expand(Parameter(run, statement, 2)), statement.Id);
    const std::string_view written = Parameter(run, statement, 1);
    const std::size_t marker = written.find(kPersistenceMarker);
    const bool persistent = marker != std::string_view::npos &&
                            written.substr(marker + kPersistenceMarker.size()) == "TRUE";
    const std::string name = NamedVariable(written.substr(0, marker));
    DeclareWhenMissing(run, name, tag);
    run.store.Assign(name, value, tag);
    if (persistent) run.store.AddPersistent(name);
    return kContinue;
}

// The translation key is "DOVUDODO$" + the name + "$DOVUDODO".
BranchOutcome LocalizationVariable(RunContext& run, const Statement& statement) {
    const std::string tag = ActionTag(statement.Command);
    const std::string name = NamedVariable(Parameter(run, statement, 1));
    DeclareWhenMissing(run, name, tag);
    const std::string value = Translated(run, run.store.Expand(Parameter(run, statement, 2)),
                                         "DOVUDODO$" + name + "$DOVUDODO");
    run.store.Assign(name, value, tag);
    return kContinue;
}

BranchOutcome GetTemporaryFile(RunContext& run, const Statement& statement) {
    const auto guard = run.platform.GuardRedirection(run.session.platform_mode);
    const std::string name = NamedVariable(Parameter(run, statement, 1));
    const std::optional<std::string> path = run.platform.CreateTemporaryFile(
        run.session.temp_folder, std::string(kTemporaryFilePrefix));
    run.store.Declare(UpperCaseName(name), path.value_or(""), ActionTag(statement.Command));
    return kContinue;
}

// ---- Convert Path, Convert Case ---------------------------------------------------------

std::string_view WithoutTrailingBackslash(std::string_view path) {
    if (path.ends_with('\\')) path.remove_suffix(1);
    return path;
}

// The long form of a path, built component by component: double quotes and one trailing
// backslash are dropped; a root (a path whose folder part is itself, such as "C:", or the
// server and share of a network path) is kept as it is; every component after it is looked up
// and spelt as the file system reports it. Empty when a component is not found. Done from the
// root outwards, without recursion, so that a long value cannot exhaust the stack.
//
// A share is a root because its server and share cannot be looked up as entries: without
// that, every network path would give the empty text.
std::string LongPathForm(RunnerPlatform& platform, std::string_view value) {
    std::string unquoted;
    for (const char c : value) {
        if (c != '"') unquoted += c;
    }
    std::vector<std::string_view> components;  // the path up to each component, innermost first
    std::string_view path = WithoutTrailingBackslash(unquoted);
    while (FolderOf(path) != path && DriveOf(path) != path) {
        components.push_back(path);
        path = WithoutTrailingBackslash(FolderOf(path));
    }
    std::string result(path);
    for (auto component = components.rbegin(); component != components.rend(); ++component) {
        const std::optional<std::string> name = platform.FoundName(std::string(*component));
        if (!name) return {};
        result += '\\';
        result += *name;
    }
    return result;
}

BranchOutcome ConvertPath(RunContext& run, const Statement& statement) {
    const auto guard = run.platform.GuardRedirection(run.session.platform_mode);
    const std::string& name = Parameter(run, statement, 1);
    const std::string path = run.store.PathNormalise(run.store.Read(name));
    const std::string converted = VariableStore::Truth(Parameter(run, statement, 2))
                                      ? run.platform.ShortPathName(path).value_or("")
                                      : LongPathForm(run.platform, path);
    run.store.Assign(name, converted, ActionTag(statement.Command));
    return kContinue;
}

BranchOutcome ConvertCase(RunContext& run, const Statement& statement) {
    const std::string& name = Parameter(run, statement, 1);
    const std::string value = run.store.PathNormalise(run.store.Read(name));
    const std::string converted = VariableStore::Truth(Parameter(run, statement, 2))
                                      ? run.platform.UpperCase(value)
                                      : run.platform.LowerCase(value);
    run.store.Assign(name, converted, ActionTag(statement.Command));
    return kContinue;
}

// ---- Replace String, Extract Path, Parse String -----------------------------------------

// Replaces the first match of `find`, or every match, scanning from the left without overlap.
// Ignoring case, matches are found in copies upper-cased with the code page's mapping while the
// text is copied in its own case. An empty value or find text, or a value shorter than the find
// text, stays as it is.
std::string Replaced(RunnerPlatform& platform, const std::string& value, const std::string& find,
                     const std::string& replacement, bool ignore_case, bool all) {
    if (value.empty() || find.empty() || value.size() < find.size()) return value;
    const std::string searched = ignore_case ? platform.UpperCase(value) : value;
    const std::string pattern = ignore_case ? platform.UpperCase(find) : find;
    std::string result;
    std::size_t copied = 0;
    for (std::size_t found = searched.find(pattern); found != std::string::npos;
         found = searched.find(pattern, copied)) {
        result.append(value, copied, found - copied);
        result += replacement;
        copied = found + pattern.size();
        if (!all) break;
    }
    result.append(value, std::min(copied, value.size()));
    return result;
}

BranchOutcome ReplaceString(RunContext& run, const Statement& statement) {
    const auto truth = [&](int n) { return VariableStore::Truth(Parameter(run, statement, n)); };
    const std::string name = NamedVariable(Parameter(run, statement, 1));
    const std::string value = run.store.Read(name);
    const std::string find = run.store.Expand(Parameter(run, statement, 2));
    const std::string replacement = run.store.Expand(Parameter(run, statement, 3));
    run.store.Declare(UpperCaseName(name),
                      Replaced(run.platform, value, find, replacement, truth(4), truth(5)),
                      ActionTag(statement.Command));
    return kContinue;
}

BranchOutcome ExtractPath(RunContext& run, const Statement& statement) {
    const std::string& name = Parameter(run, statement, 1);
    const std::string path = run.store.PathNormalise(run.store.Read(name));
    const std::int32_t mode = IntegerOrScriptError(Parameter(run, statement, 2));
    run.store.Assign(name, ExtractPathPart(path, mode), ActionTag(statement.Command));
    return kContinue;
}

BranchOutcome ParseStringBranch(RunContext& run, const Statement& statement) {
    const std::string tag = ActionTag(statement.Command);
    const auto parameter = [&](int n) -> const std::string& {
        return Parameter(run, statement, n);
    };
    const std::string source = run.store.PathNormalise(parameter(1));
    const std::string delimiter = run.store.PathNormalise(parameter(2));
    const std::string left_name = NamedVariable(parameter(3));
    const std::string right_name = NamedVariable(parameter(4));
    DeclareWhenMissing(run, left_name, tag);
    DeclareWhenMissing(run, right_name, tag);
    const std::int32_t mode = IntegerOrScriptError(parameter(5));
    const SplitText parts = ParseString(source, delimiter, mode, VariableStore::Truth(parameter(7)),
                                        VariableStore::Truth(parameter(6)));
    run.store.Declare(UpperCaseName(left_name), parts.left, tag);
    run.store.Declare(UpperCaseName(right_name), parts.right, tag);
    return kContinue;
}

// ---- Mathematics ------------------------------------------------------------------------

CommandBranch MathematicsBranch() {
    auto generator = std::make_shared<MathematicsGenerator>();
    return [generator](RunContext& run, const Statement& statement) {
        const std::string tag = ActionTag(statement.Command);
        const std::string result_name = NamedVariable(Parameter(run, statement, 4));
        DeclareWhenMissing(run, result_name, tag);
        const std::string result =
            Calculate(Parameter(run, statement, 3), run.store.Expand(Parameter(run, statement, 1)),
                      run.store.Expand(Parameter(run, statement, 2)), *generator);
        if (!result_name.empty()) run.store.Assign(result_name, result, tag);
        return kContinue;
    };
}

}  // namespace

std::vector<NamedBranch> VariableCommandBranches() {
    return {
        {"Set Variable", SetVariable},
        {"Localization Variable", LocalizationVariable},
        {"Get Temporary File", GetTemporaryFile},
        {"Convert Path", ConvertPath},
        {"Convert Case", ConvertCase},
        {"Replace String", ReplaceString},
        {"Extract Path", ExtractPath},
        {"Parse String", ParseStringBranch},
        {"Mathematics", MathematicsBranch()},
    };
}
