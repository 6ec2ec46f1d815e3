#pragma once

#include <string>
#include <string_view>

#include "translations.h"

// TranslateParameter for a running statement: a look-up beyond the end of the text list (a
// text list shorter than the key list) is raised as a ScriptError with the index error's text,
// which ends the run with the statement number. The text itself while no language is selected.
std::string TranslatedParameter(const Translations& translations, std::string_view text,
                                std::string_view statement_id, int number);
