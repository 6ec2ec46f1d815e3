#pragma once

#include <string>
#include <string_view>

#include "expression.h"
#include "script_image.h"
#include "translations.h"
#include "variable_store.h"

// The two ways a script decides: the If / Else If test, which compares one variable with one
// value by a numbered operator, and Evaluate Expression, which computes a boolean from quoted
// texts, six comparison operators, "and", "or" and parentheses (the evaluator itself is in
// expression.h).

// The operator of an If / Else If compared on two texts. `code` is parameter 2 ("0" to "4";
// any other text is false). The comparison is numeric when both texts are integer texts
// (integer_text.h), otherwise byte-wise on the texts:
//   "0" equal            | texts equal byte for byte
//   "1" equal            | value contains comparison, letter case significant
//   "2" value greater    | value greater, byte-wise unsigned, a proper prefix is smaller
//   "3" equal            | value contains comparison, ignoring case (upper_case mapping)
//   "4" equal            | texts equal ignoring the case of ASCII A-Z
// A containment test with an empty comparison text is false. `upper_case` upper-cases in place
// with the system code page's mapping (null: ASCII letters only).
bool CompareByOperator(std::string_view code, std::string_view value,
                       std::string_view comparison, Translations::UpperCaseFunction upper_case);

// *evaluate-condition*: the If / Else If test of `statement` (parameters: 1 the variable, as
// NAME or $NAME$; 2 the operator code; 3 the comparison, expanded; 4 the negation flag, by
// truth). While a language is in effect (LANGUAGE not empty) parameters 1 and 3 are first
// replaced by their translations (translation parameters 1 and 2 of the statement).
// Raises ScriptError when the variable is not defined, and when a translation look-up reaches
// beyond the text list.
bool EvaluateCondition(const ScriptImage& script, const Statement& statement,
                       const VariableStore& store, const Translations& translations,
                       Translations::UpperCaseFunction upper_case);

// Evaluate Expression at run time (parameters: 1 the expression, 2 the result variable): the
// result variable is declared upper-cased when missing, the expression expanded with each
// variable's value between double quotes, evaluated, and the result assigned; the tag of both
// is the command name + " Action".
void RunEvaluateExpression(const ScriptImage& script, const Statement& statement,
                           VariableStore& store);
