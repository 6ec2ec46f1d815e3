#include "command_line.h"

namespace {

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// Whether the argument is "/" or "-" followed by the switch, letter case ignored.
bool IsSwitch(std::string_view argument, std::string_view name) {
    if (argument.empty() || (argument.front() != '/' && argument.front() != '-')) return false;
    return AsciiLower(argument.substr(1)) == name;
}

// Fills `value` from the first argument whose lower-case form contains one of the markers.
void TakeValue(const std::string& lower, std::initializer_list<std::string_view> markers,
               bool& taken, std::string& value) {
    if (taken) return;
    for (std::string_view marker : markers) {
        if (lower.find(marker) == std::string::npos) continue;
        taken = true;
        value = lower.size() > 3 ? lower.substr(3) : std::string();
        return;
    }
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view command_line) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    for (;;) {
        while (at < command_line.size() && IsSeparator(command_line[at])) ++at;
        if (at == command_line.size()) break;
        std::string argument;
        bool quoted = false;
        for (; at < command_line.size() && (quoted || !IsSeparator(command_line[at])); ++at) {
            if (command_line[at] == '"') {
                quoted = !quoted;
            } else {
                argument += command_line[at];
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string RawArguments(std::string_view command_line) {
    if (!command_line.empty() && command_line.front() == '"') {
        const std::size_t closing = command_line.find('"', 1);
        if (closing == std::string_view::npos || closing + 2 > command_line.size()) return {};
        return std::string(command_line.substr(closing + 2));
    }
    const std::size_t blank = command_line.find(' ');
    if (blank == std::string_view::npos) return {};
    return std::string(command_line.substr(blank + 1));
}

CommandLineSettings ReadCommandLine(std::string_view command_line) {
    CommandLineSettings settings;
    settings.raw_arguments = RawArguments(command_line);
    const std::vector<std::string> arguments = SplitArguments(command_line);
    bool sfx_taken = false;
    bool log_taken = false;
    bool source_taken = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (IsSwitch(argument, "s")) settings.silent = true;
        if (IsSwitch(argument, "update") || IsSwitch(argument, "updatesetup")) {
            settings.no_startup_windows = true;
        }
        const std::string lower = AsciiLower(argument);
        TakeValue(lower, {"/m="}, sfx_taken, settings.sfx_path);
        TakeValue(lower, {"/l=", "-l="}, log_taken, settings.log_setting);
        TakeValue(lower, {"/p=", "-p="}, source_taken, settings.source_path);
        if (argument.empty() || argument.front() == '/' || argument.front() == '-') continue;
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos) continue;
        settings.overrides.emplace_back(argument.substr(0, equals), argument.substr(equals + 1));
    }
    return settings;
}

SelfExtractorParts SplitSelfExtractorPath(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\:");
    if (separator == std::string_view::npos) return {{}, std::string(path)};
    return {std::string(path.substr(0, separator + 1)), std::string(path.substr(separator + 1))};
}
