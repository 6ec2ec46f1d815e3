#pragma once

// The leading options of the launcher's command line.
namespace pantrix {

struct RunOptions {
    bool log_enabled = false;          // -D*
    bool quiet = false;                // -Q*: no message boxes, nothing written by Fail
    bool stderr_fix = false;           // -E*
    bool no_output_pipe = false;       // -W*
    char heap[8] = {};                 // -1* .. -9* (digit x 128) or -H* (1024); empty when unset
    const char* forced_jvm = nullptr;  // -jvm:PATH (points into the token); null when unset
    // -deltree*: the walk stops there. A folder and an identifier are carried only when
    // exactly two more tokens follow.
    bool cleanup_request = false;
    const char* cleanup_folder = nullptr;
    const char* cleanup_identifier = nullptr;
};

// Walks the tokens from the first, consuming options; the first token that is not an option
// ends the walk. Returns the index of the first application argument (count when none).
int ProcessOptions(char* const* tokens, int count, RunOptions* options);

}  // namespace pantrix
