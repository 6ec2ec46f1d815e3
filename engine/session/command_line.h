#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The command line of the setup program, read once at start before anything is shown.
//
// Arguments are split as the program's runtime splits them: blanks and control characters
// separate arguments; a double quote switches quoting on or off and is itself dropped, so
// "C:\My Setup\x" is one argument. The first argument is the program and is skipped.
//
// Settings, each from the arguments in order:
//   silent               an argument that is "/s" or "-s" (either letter case), as a whole
//   self-extractor path  the first argument containing "/m=" (compared in lower case): the
//                        argument in lower case without its first three characters
//   log setting          the same for the first argument containing "/l=" or "-l="
//   source path          the same for the first argument containing "/p=" or "-p="
//   overrides            every argument that starts with neither "/" nor "-" and contains "=":
//                        NAME before the first "=", VALUE after it, in command-line order
//   no start-up windows  an argument "/update", "-update", "/updatesetup" or "-updatesetup"
//                        (either letter case)
//   raw arguments        the command line after the program name (RawArguments)
struct CommandLineSettings {
    bool silent = false;
    std::string sfx_path;
    std::string log_setting;
    std::string source_path;
    std::vector<std::pair<std::string, std::string>> overrides;
    std::string raw_arguments;
    bool no_startup_windows = false;
};

// The arguments of a whole command line, the program first.
std::vector<std::string> SplitArguments(std::string_view command_line);

// The command line without the program name: when it starts with a double quote, everything up
// to the closing quote and the one character after it is removed (all of it when no quote
// closes); otherwise everything up to and including the first blank (all of it when there is
// no blank).
std::string RawArguments(std::string_view command_line);

CommandLineSettings ReadCommandLine(std::string_view command_line);

// The self-extractor path split for SFXPATH and SFXFILE: the folder part up to and including the
// last "\" or ":" (so it ends with "\" unless it is a bare drive), and the file-name part after
// it. Both empty for an empty path.
struct SelfExtractorParts {
    std::string folder;
    std::string file;
};
SelfExtractorParts SplitSelfExtractorPath(std::string_view path);
