#include "prepare_checks.h"

#include "conditions.h"
#include "source_tags.h"

namespace {

using C = PrepareCheckKind;

constexpr std::string_view kIllegalNameCharacters = "/*?\"<>|";

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// The variable a parameter names: X for "$X$", otherwise the parameter itself.
std::string NamedVariable(std::string_view parameter) {
    std::string name = VariableStore::ReferenceName(parameter);
    return name.empty() ? std::string(parameter) : name;
}

// The name part of Set Variable's parameter 1: the text before the persistence marker, or the
// whole parameter when it has none.
std::string_view BeforeMarker(std::string_view parameter) {
    return parameter.substr(0, parameter.find(kPersistenceMarker));
}

void DeclareResult(VariableStore& store, std::string_view parameter) {
    const std::string name = NamedVariable(parameter);
    if (!name.empty() && !store.IsDefined(name)) store.Define(name, kTagCompilation);
}

PrepareVerdict Fail(std::string_view message, std::string_view text = {}) {
    return {false, std::string(message) + std::string(text)};
}

// One check of one statement; an ok verdict when it passes.
PrepareVerdict Apply(const PrepareContext& context, const Statement& statement,
                     const PrepareCheck& check) {
    const auto parameter = [&](int n) -> const std::string& {
        return context.script.GetParameter(statement.Id, n);
    };
    const std::string& text = parameter(check.parameter);
    switch (check.kind) {
        case C::kDeclares:
            DeclareResult(context.store, text);
            return {};
        case C::kDeclaresBeforeMarker:
            DeclareResult(context.store, BeforeMarker(text));
            return {};
        case C::kRequires:
            return text.empty() ? Fail(kPrepareVariableRequired) : PrepareVerdict{};
        case C::kDefined: {
            const std::string name = NamedVariable(text);
            const bool defined = !name.empty() && context.store.IsDefined(name);
            return defined ? PrepareVerdict{} : Fail(kPrepareVariableNotDefined, text);
        }
        case C::kDefinedWhenReference: {
            const std::string name = VariableStore::ReferenceName(text);
            const bool fails = !name.empty() && !context.store.IsDefined(name);
            return fails ? Fail(kPrepareVariableNotDefined, text) : PrepareVerdict{};
        }
        case C::kDefinedWhenNotEmpty: {
            const bool fails = !text.empty() && !context.store.IsDefined(NamedVariable(text));
            return fails ? Fail(kPrepareVariableNotDefined, text) : PrepareVerdict{};
        }
        case C::kExpressionSyntax:
            return ExpressionSyntaxOk(text) ? PrepareVerdict{} : Fail(kPrepareExpressionSyntax);
        case C::kDialogName:
            return text.empty() ? Fail(kPrepareDialogName) : PrepareVerdict{};
        case C::kTargetFolder:
            return text.empty() ? Fail(kPrepareTargetFolder) : PrepareVerdict{};
        case C::kDeleteMode: {
            const bool chosen =
                VariableStore::Truth(text) || VariableStore::Truth(parameter(check.other));
            return chosen ? PrepareVerdict{} : Fail(kPrepareDeleteMode);
        }
        case C::kLegalFileName:
            return IsLegalFileName(text) ? PrepareVerdict{} : Fail(kPrepareWebMediaName);
        case C::kDownloadAddress: {
            const bool fails = !text.empty() && parameter(check.other).empty();
            return fails ? Fail(kPrepareWebMediaAddress) : PrepareVerdict{};
        }
        case C::kLabelExists:
            return context.labels.contains(AsciiUpper(text)) ? PrepareVerdict{}
                                                             : Fail(kPrepareLabelUndefined, text);
        case C::kEmpty:
        case C::kOpener:
        case C::kCloser:
        case C::kUniqueLabel:
        case C::kOutsideBlocks:
        case C::kWizardContents:
            return {};
    }
    return {};
}

}  // namespace

PrepareVerdict CheckStatement(const PrepareContext& context, const Statement& statement) {
    const CommandRow* row = context.commands.Find(statement.Command);
    if (!row) return {};
    for (const PrepareCheck& check : row->Checks()) {
        if (IsScriptWideCheck(check.kind)) continue;
        PrepareVerdict verdict = Apply(context, statement, check);
        if (!verdict.ok) return verdict;
    }
    return {};
}

bool IsLegalFileName(std::string_view name) {
    const std::size_t separator = name.find_last_of("\\:");
    const std::string_view file =
        separator == std::string_view::npos ? name : name.substr(separator + 1);
    return file.find_first_of(kIllegalNameCharacters) == std::string_view::npos;
}

void DeclarePersistentName(VariableStore& store, std::string_view parameter) {
    const std::size_t marker = parameter.find(kPersistenceMarker);
    if (marker == std::string_view::npos) return;
    if (parameter.substr(marker + kPersistenceMarker.size()) != "TRUE") return;
    DeclareResult(store, parameter.substr(0, marker));
}
