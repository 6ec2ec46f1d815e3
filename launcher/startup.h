#pragma once

// Start-up: command line and options, output pipe, stderr fix, the first log lines and the
// program's own path.
#include <windows.h>

#include "counted_memory.h"
#include "messages.h"
#include "run_options.h"
#include "tokenizer.h"

namespace pantrix {

struct StartupResult {
    RunOptions options;
    CountedBuffer command_line;  // the tokens point into it
    char* tokens[kMaxTokens] = {};
    int token_count = 0;
    int first_argument = 0;  // application arguments: tokens[first_argument..token_count)
    char module_path[MAX_PATH + 1] = {};
    char current_exe_name[MAX_PATH + 1] = {};
    char program_folder[MAX_PATH + 1] = {};
};

// Runs the start-up steps. Returns false with error 20 when the program's path cannot be read.
// A clean-up request ("-deltree*") ends the start-up early with options.cleanup_request set.
bool Startup(StartupResult* result, LaunchError* error);

}  // namespace pantrix
