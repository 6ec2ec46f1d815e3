#include "comma_text.h"

namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool NeedsQuotes(std::string_view element) {
    for (const char c : element) {
        if (IsBlankOrControl(c) || c == ',' || c == '"') return true;
    }
    return false;
}

// Reads a quoted element starting at text[position] == '"'; moves position behind it.
std::string ReadQuoted(std::string_view text, std::size_t& position) {
    std::string element;
    ++position;
    while (position < text.size()) {
        const char c = text[position++];
        if (c != '"') {
            element += c;
        } else if (position < text.size() && text[position] == '"') {
            element += '"';
            ++position;
        } else {
            break;
        }
    }
    return element;
}

void SkipBlanks(std::string_view text, std::size_t& position) {
    while (position < text.size() && IsBlankOrControl(text[position])) ++position;
}

}  // namespace

std::string ToCommaText(const std::vector<std::string>& elements) {
    if (elements.size() == 1 && elements[0].empty()) return "\"\"";
    std::string text;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i > 0) text += ',';
        const std::string& element = elements[i];
        if (!NeedsQuotes(element)) {
            text += element;
            continue;
        }
        text += '"';
        for (const char c : element) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

std::vector<std::string> FromCommaText(std::string_view text) {
    std::vector<std::string> elements;
    std::size_t position = 0;
    SkipBlanks(text, position);
    while (position < text.size()) {
        if (text[position] == '"') {
            elements.push_back(ReadQuoted(text, position));
        } else {
            const std::size_t start = position;
            while (position < text.size() && !IsBlankOrControl(text[position]) &&
                   text[position] != ',') {
                ++position;
            }
            elements.emplace_back(text.substr(start, position - start));
        }
        SkipBlanks(text, position);
        if (position < text.size() && text[position] == ',') {
            ++position;
            if (position == text.size()) elements.emplace_back();
            SkipBlanks(text, position);
        }
    }
    return elements;
}
