#pragma once

#include <vector>

#include "command_branches.h"

// The variable, string and arithmetic commands: "Set Variable", "Localization Variable", "Get
// Temporary File", "Convert Path", "Convert Case", "Replace String", "Extract Path", "Parse
// String" and "Mathematics". They read their parameters and the variable store and write their
// results into the store, with the source tag of the command name + " Action"; none shows
// anything. Result variables that they create get upper-cased names.
//
// A parameter that names a variable is taken as written ("bare") by Convert Path, Convert Case
// and Extract Path, whose variable must exist; the others also accept it written $NAME$. Reading or
// assigning a variable that does not exist, and a mode of Extract Path or Parse String that is not
// an integer text, are script errors. Get Temporary File and Convert Path work under the
// redirection guard (RunnerPlatform::GuardRedirection).
//
// The branches of one call share one Mathematics generator, which lives as long as they do: the
// engine builds its branches once, so the generator lasts for the whole run.
std::vector<NamedBranch> VariableCommandBranches();
