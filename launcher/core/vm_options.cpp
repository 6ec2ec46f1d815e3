#include "vm_options.h"

#include <cstring>

#include "tokenizer.h"

namespace pantrix {
namespace {

CountedBuffer Joined(std::string_view prefix, std::string_view value, std::string_view suffix) {
    CountedBuffer text(prefix.size() + value.size() + suffix.size() + 1);
    char* out = text.get();
    std::memcpy(out, prefix.data(), prefix.size());
    out += prefix.size();
    if (!value.empty()) std::memcpy(out, value.data(), value.size());
    out += value.size();
    std::memcpy(out, suffix.data(), suffix.size());
    out[suffix.size()] = '\0';
    return text;
}

}  // namespace

bool BuildVmOptionTexts(std::string_view class_path, std::string_view library_path,
                        std::string_view heap, std::optional<std::string_view> jop,
                        VmOptionTexts* options, LaunchError* error) {
    options->class_path = Joined("-Djava.class.path=", class_path, "");
    options->library_path = Joined("-Djava.library.path=", library_path, "");
    options->heap = Joined("-Xmx", heap, "m");
    options->texts[0] = options->class_path.get();
    options->texts[1] = options->library_path.get();
    options->texts[kExitHookOption] = "exit";
    options->texts[kAbortHookOption] = "abort";
    options->texts[4] = options->heap.get();
    options->count = kFixedVmOptions;
    options->jop_first = kFixedVmOptions;
    if (!jop) return true;

    // One token more than fits tells a setting that is too long from one that just fits.
    options->jop = CopyText(jop->data(), jop->size());
    char* tokens[kMaxJopTokens + 1];
    const int count = Tokenize(options->jop.get(), tokens, kMaxJopTokens + 1);
    if (count > kMaxJopTokens) {
        SetLaunchError(error, kMsgTooManyVmOptions, kMaxJopTokens);
        return false;
    }
    for (int i = 0; i < count; ++i) options->texts[options->count++] = tokens[i];
    return true;
}

}  // namespace pantrix
