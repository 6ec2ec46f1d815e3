#pragma once

// The option texts the Java VM is created with, in table order:
//   0   "-Djava.class.path=" + the class path
//   1   "-Djava.library.path=" + the library path
//   2   "exit"   (its extra is the exit hook)
//   3   "abort"  (its extra is the abort hook)
//   4   "-Xmx" + the heap setting + "m"
//   5.. each token of the "jop" setting
#include <optional>
#include <string_view>

#include "counted_memory.h"
#include "messages.h"

namespace pantrix {

constexpr int kMaxVmOptions = 100;
constexpr int kFixedVmOptions = 5;
constexpr int kMaxJopTokens = kMaxVmOptions - kFixedVmOptions;
constexpr int kExitHookOption = 2;
constexpr int kAbortHookOption = 3;

struct VmOptionTexts {
    CountedBuffer class_path;
    CountedBuffer library_path;
    CountedBuffer heap;
    CountedBuffer jop;  // a tokenized copy of the setting; the tokens point into it
    const char* texts[kMaxVmOptions] = {};
    int count = 0;
    int jop_first = kFixedVmOptions;  // texts[jop_first..count) are the "jop" tokens
};

// Fills the table. A "jop" setting with more than kMaxJopTokens tokens is error 50.
bool BuildVmOptionTexts(std::string_view class_path, std::string_view library_path,
                        std::string_view heap, std::optional<std::string_view> jop,
                        VmOptionTexts* options, LaunchError* error);

}  // namespace pantrix
