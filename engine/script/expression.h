#pragma once

#include <string>
#include <string_view>

// The expression language of Evaluate Expression: quoted texts compared with "=", "<>", "<=",
// "<", ">=", ">" (byte-wise, unsigned, a proper prefix is smaller), combined with "and" and
// "or" strictly from left to right, and parentheses. The grammar is given over the parser in
// expression.cpp.

// *evaluate-expression*: "TRUE", "FALSE", or "ERROR" when the text is not a valid expression.
std::string EvaluateExpression(std::string_view text);

// *expression-syntax-ok*, the prepare pass's check of Evaluate Expression's parameter 1: the
// text with every "$" replaced by a double quote does not evaluate to "ERROR" (a reference
// $NAME$ then reads as the quoted text of its name, the shape it has at run time).
bool ExpressionSyntaxOk(std::string_view text);
