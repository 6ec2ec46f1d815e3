#pragma once

#include <string>
#include <string_view>

// Source tags: who declares or assigns a variable. Only kTagInjectOverride has an effect (the
// override rule of the variable store); the others say where a value came from.
inline constexpr std::string_view kTagCompilation = "Compilation";
inline constexpr std::string_view kTagPreInitialization = "Pre-Initialization";
inline constexpr std::string_view kTagBootstrap = "Bootstrap";
inline constexpr std::string_view kTagLoadComponents = "LoadComponents";
inline constexpr std::string_view kTagInitialization = "Initialization";
inline constexpr std::string_view kTagInjectOverride = "Inject Override Command Line";
inline constexpr std::string_view kTagCancelState = "Cancel State";
inline constexpr std::string_view kTagDisplayDialog = "Display Dialog";
inline constexpr std::string_view kTagHideDialog = "Hide Dialog";

// The tag of a statement's results: the command name + " Action", e.g. "Set Variable Action".
inline std::string ActionTag(std::string_view command) {
    return std::string(command) + " Action";
}
