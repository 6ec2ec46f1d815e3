#include "run_options.h"

#include <cstdio>
#include <cstring>

namespace pantrix {
namespace {

constexpr char kCleanupOption[] = "-deltree*";
constexpr char kForcedJvmOption[] = "-jvm:";

// The single-letter options "-X*"; any other character after "-" is consumed with no effect.
struct LetterOption {
    char letter;
    bool RunOptions::*flag;
};
constexpr LetterOption kLetterOptions[] = {
    {'D', &RunOptions::log_enabled},
    {'E', &RunOptions::stderr_fix},
    {'Q', &RunOptions::quiet},
    {'W', &RunOptions::no_output_pipe},
};

void ApplyLetterOption(char letter, RunOptions* options) {
    if (letter >= '1' && letter <= '9') {
        std::snprintf(options->heap, sizeof(options->heap), "%d", (letter - '0') * 128);
        return;
    }
    if (letter == 'H') {
        std::snprintf(options->heap, sizeof(options->heap), "%s", "1024");
        return;
    }
    for (const LetterOption& option : kLetterOptions)
        if (option.letter == letter) options->*option.flag = true;
}

}  // namespace

int ProcessOptions(char* const* tokens, int count, RunOptions* options) {
    int i = 0;
    for (; i < count; ++i) {
        const char* token = tokens[i];
        if (std::strcmp(token, kCleanupOption) == 0) {
            options->cleanup_request = true;
            if (count - (i + 1) == 2) {
                options->cleanup_folder = tokens[i + 1];
                options->cleanup_identifier = tokens[i + 2];
            }
            return count;
        }
        if (std::strncmp(token, kForcedJvmOption, sizeof(kForcedJvmOption) - 1) == 0) {
            options->forced_jvm = token + sizeof(kForcedJvmOption) - 1;
            continue;
        }
        // Only the first three characters are looked at: "-", the option letter, "*".
        if (token[0] == '-' && token[1] != '\0' && token[2] == '*') {
            ApplyLetterOption(token[1], options);
            continue;
        }
        break;
    }
    return i;
}

}  // namespace pantrix
