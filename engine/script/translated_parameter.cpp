#include "translated_parameter.h"

#include "script_error.h"

std::string TranslatedParameter(const Translations& translations, std::string_view text,
                                std::string_view statement_id, int number) {
    try {
        return translations.TranslateParameter(text, statement_id, number);
    } catch (const TranslationIndexError& error) {
        throw ScriptError(error.what());
    }
}
