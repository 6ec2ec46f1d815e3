#pragma once

// The control channel's requests and replies. A client writes a zero-terminated request into
// the first half of a 2048-byte shared memory block and reads the zero-terminated reply from
// the second half:
//   "status"               reply: ExeName + " [PID=" + process number + "]"
//   "dumpAllStacks" PATH   the VM's thread dump written to PATH; reply "OK"
//   anything else          no reply (the reply is the empty text)
#include <cstddef>
#include <cstdint>

#include "tokenizer.h"

namespace pantrix {

constexpr size_t kControlMemorySize = 2048;
constexpr size_t kControlReplyOffset = 1024;
constexpr size_t kControlTextSize = 1024;  // request and reply, each with its zero byte

enum class ControlRequestKind { kNone, kStatus, kDumpAllStacks };

struct ControlRequest {
    ControlRequestKind kind = ControlRequestKind::kNone;
    const char* dump_path = nullptr;  // the second token of "dumpAllStacks", or null
    char text[kControlTextSize + 1];  // the tokenized copy the pointers point into
};

// Reads the request area (kControlTextSize bytes). The request is copied and tokenized in the
// copy, so a request without a zero byte ends at the area's end instead of running into the
// reply, and a client that writes while it is read cannot change what is parsed.
void ParseControlRequest(const unsigned char* area, ControlRequest* request);

// The reply to "status": ExeName + " [PID=%d]", cut to the reply area.
void FormatStatusReply(const char* exe_name, uint32_t process_id, char* reply, size_t size);

}  // namespace pantrix
