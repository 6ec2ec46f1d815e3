#include "expression.h"

#include <algorithm>
#include <optional>

// Grammar of an expression (the text is first enclosed in "(" and ")", then one term is parsed
// and only blanks may follow it):
//
//   term        = blank* ( "(" expression ")" | comparison )
//   expression  = term { blank* connective term } blank*
//   connective  = word, which must be "and" or "or" (lower case)
//   comparison  = string blank* operator blank* string
//   operator    = word, which must be "=", "<>", "<=", "<", ">=" or ">"
//   string      = '"' { any character but '"' | '""' } '"'      ('""' stands for one '"')
//   word        = the run of characters up to the next blank or '"' (or the end)
//   blank       = " "
//
// An expression ends where, after a term and its blanks, a ")" or the end of the text follows.
// Connectives have no precedence: a and b or c is (a and b) or c, a or b and c is (a or b) and c.
// Because a word runs to the next blank or double quote, "a"="a"and"b"="b" is valid while
// "a"="a" and("b"="b") is not (its word is "and(").
//
// Parentheses nest at most kNestingLimit deep; deeper nesting is an invalid expression rather
// than a recursion as deep as the text is long.

namespace {

constexpr int kNestingLimit = 256;

enum class Compare { kEqual, kNotEqual, kLessOrEqual, kLess, kGreaterOrEqual, kGreater };

struct OperatorRow {
    std::string_view word;
    Compare compare;
};

constexpr OperatorRow kOperators[] = {
    {"=", Compare::kEqual},         {"<>", Compare::kNotEqual}, {"<=", Compare::kLessOrEqual},
    {"<", Compare::kLess},          {">=", Compare::kGreaterOrEqual},
    {">", Compare::kGreater},
};

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    // The value of the whole text, or nothing when it is not one term followed by blanks.
    std::optional<bool> Whole() {
        const std::optional<bool> value = Term(0);
        SkipBlanks();
        if (!value || at_ != text_.size()) return {};
        return value;
    }

private:
    std::optional<bool> Term(int depth) {
        SkipBlanks();
        if (!Next('(')) return Comparison();
        if (depth >= kNestingLimit) return {};
        ++at_;
        const std::optional<bool> value = Expression(depth + 1);
        if (!value || !Next(')')) return {};
        ++at_;
        return value;
    }

    std::optional<bool> Expression(int depth) {
        std::optional<bool> value = Term(depth);
        if (!value) return {};
        for (;;) {
            SkipBlanks();
            if (at_ == text_.size() || Next(')')) return value;
            const std::string_view connective = Word();
            if (connective != "and" && connective != "or") return {};
            const std::optional<bool> right = Term(depth);
            if (!right) return {};
            value = connective == "and" ? (*value && *right) : (*value || *right);
        }
    }

    std::optional<bool> Comparison() {
        const std::optional<std::string> left = String();
        if (!left) return {};
        SkipBlanks();
        const std::string_view word = Word();
        const auto row = std::find_if(std::begin(kOperators), std::end(kOperators),
                                      [&](const OperatorRow& r) { return r.word == word; });
        if (row == std::end(kOperators)) return {};
        SkipBlanks();
        const std::optional<std::string> right = String();
        if (!right) return {};
        // std::string compares bytes as unsigned characters; a proper prefix is smaller.
        const int order = left->compare(*right);
        switch (row->compare) {
            case Compare::kEqual: return order == 0;
            case Compare::kNotEqual: return order != 0;
            case Compare::kLessOrEqual: return order <= 0;
            case Compare::kLess: return order < 0;
            case Compare::kGreaterOrEqual: return order >= 0;
            case Compare::kGreater: return order > 0;
        }
        return {};
    }

    std::optional<std::string> String() {
        if (!Next('"')) return {};
        ++at_;
        std::string value;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c != '"') {
                value += c;
            } else if (Next('"')) {
                value += '"';
                ++at_;
            } else {
                return value;
            }
        }
        return {};  // no closing double quote
    }

    std::string_view Word() {
        const std::size_t end = std::min(text_.find_first_of(" \"", at_), text_.size());
        const std::string_view word = text_.substr(at_, end - at_);
        at_ = end;
        return word;
    }

    bool Next(char c) const { return at_ < text_.size() && text_[at_] == c; }

    void SkipBlanks() {
        while (Next(' ')) ++at_;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

std::string EvaluateExpression(std::string_view text) {
    const std::string enclosed = "(" + std::string(text) + ")";
    const std::optional<bool> value = Parser(enclosed).Whole();
    if (!value) return "ERROR";
    return *value ? "TRUE" : "FALSE";
}

bool ExpressionSyntaxOk(std::string_view text) {
    std::string shaped(text);
    std::replace(shaped.begin(), shaped.end(), '$', '"');
    return EvaluateExpression(shaped) != "ERROR";
}
