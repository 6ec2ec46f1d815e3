#include "run_identifier.h"

#include <cstdio>

namespace pantrix {

void FormatRunIdentifier(uint32_t tick_count, uint32_t process_id, char* out, size_t size) {
    std::snprintf(out, size, "JX%X%X", static_cast<unsigned>((tick_count / 1000) % 65536),
                  static_cast<unsigned>(process_id));
}

bool IsRunIdentifier(const char* text) {
    if (text[0] != 'J' || text[1] != 'X') return false;
    int digits = 0;
    for (const char* c = text + 2; *c; ++c, ++digits) {
        const bool hex = (*c >= '0' && *c <= '9') || (*c >= 'A' && *c <= 'F');
        if (!hex || digits >= 12) return false;
    }
    return digits >= 2;
}

}  // namespace pantrix
