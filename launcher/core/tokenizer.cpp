#include "tokenizer.h"

namespace pantrix {

int Tokenize(char* text, char** tokens, int max_tokens) {
    int count = 0;
    char* c = text;
    while (*c && count < max_tokens) {
        while (*c == ' ') ++c;
        if (!*c) break;
        char end = ' ';
        if (*c == '"') {
            end = '"';
            ++c;
        }
        tokens[count++] = c;
        while (*c && *c != end) ++c;
        if (*c) *c++ = '\0';
    }
    return count;
}

}  // namespace pantrix
