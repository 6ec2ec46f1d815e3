#pragma once

// Splits a command line (or the "jop" setting, or a control request) into tokens in place.
namespace pantrix {

constexpr int kMaxTokens = 99;

// Repeats while the text is not at its end and fewer than max_tokens were taken: skips blanks
// (character 32 only); a token that starts with a double quote runs to the next double quote
// (or the end of the text), any other token to the next blank (or the end). The character
// that ends a token is replaced by a zero byte. There is no escape; "" is an empty token.
// Returns the number of tokens stored in tokens[0..max_tokens).
int Tokenize(char* text, char** tokens, int max_tokens = kMaxTokens);

}  // namespace pantrix
