#include "support/language.h"

std::string Language = "ENU";

std::string LanguageForLangId(std::uint16_t langId)
{
    switch (langId) {
    case 0x0413: // Dutch (Netherlands)
    case 0x0813: // Dutch (Belgium)
    case 0x0436: // Afrikaans (South Africa)
        return "NLD";
    default:
        return "ENU";
    }
}

bool IsDutch() { return Language == "NLD"; }
