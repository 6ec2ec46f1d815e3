#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "run_context.h"
#include "script_image.h"

// What the command branches share when they read a statement: its parameters, the variable a
// parameter names, and integer parameters.

// Parameter `number` (1-based) of the statement, unexpanded; empty when it has none.
const std::string& Parameter(const RunContext& run, const Statement& statement, int number);

// The variable a parameter names when the name may be written between dollar signs: X for
// "$X$", otherwise the parameter itself.
std::string NamedVariable(std::string_view parameter);

// The name upper-cased in ASCII, as the commands declare their result variables.
std::string UpperCaseName(std::string_view name);

// The integer of an integer text (integer_text.h); a ScriptError with the conversion message
// ("'" + text + "' is not a valid integer value") when it is none.
std::int32_t IntegerOrScriptError(std::string_view text);
