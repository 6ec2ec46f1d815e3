#pragma once

#include <string>

#include "translations.h"

// The translation files on Windows: stamps from GetFileAttributesExA (existence, size, last
// write time), contents read with CreateFileA and ReadFile. Paths are in the ANSI code page.
class WindowsTranslationFiles : public TranslationFiles {
public:
    FileStamp Stamp(const std::string& path) const override;
    FileRead Read(const std::string& path, std::uint64_t limit) const override;
};

// The user's default language: GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTLANGUAGE)
// read as a hexadecimal number, 0 when that fails.
int UserLanguage();
// Its display name in the language table, or empty.
std::string UserLanguageName();
