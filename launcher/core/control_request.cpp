#include "control_request.h"

#include <cstdio>
#include <cstring>

namespace pantrix {

void ParseControlRequest(const unsigned char* area, ControlRequest* request) {
    size_t length = 0;
    while (length < kControlTextSize && area[length] != 0) {
        request->text[length] = static_cast<char>(area[length]);
        ++length;
    }
    request->text[length] = '\0';
    request->kind = ControlRequestKind::kNone;
    request->dump_path = nullptr;

    char* tokens[kMaxTokens];
    const int count = Tokenize(request->text, tokens);
    if (count == 0) return;
    if (std::strcmp(tokens[0], "status") == 0) {
        request->kind = ControlRequestKind::kStatus;
    } else if (std::strcmp(tokens[0], "dumpAllStacks") == 0) {
        request->kind = ControlRequestKind::kDumpAllStacks;
        if (count > 1) request->dump_path = tokens[1];
    }
}

void FormatStatusReply(const char* exe_name, uint32_t process_id, char* reply, size_t size) {
    std::snprintf(reply, size, "%s [PID=%d]", exe_name, static_cast<int>(process_id));
}

}  // namespace pantrix
