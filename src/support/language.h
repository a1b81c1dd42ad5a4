// The process-wide language code: "NLD" or "ENU". A text that exists in
// Dutch and English shows its Dutch form exactly when the code is "NLD".
#pragma once

#include <cstdint>
#include <string>

extern std::string Language;

// The code for a Windows language identifier (primary and sublanguage
// compared together): Dutch (Netherlands, Belgium) and Afrikaans give "NLD".
std::string LanguageForLangId(std::uint16_t langId);

// The one language test every window makes.
bool IsDutch();

// Picks the Dutch or the English form at the moment a text is set.
inline const char* Bilingual(const char* dutch, const char* english)
{
    return IsDutch() ? dutch : english;
}

// Sets Language from the user's default language (Windows only).
void DetectLanguage();
