#include "support/language.h"

#include <windows.h>

void DetectLanguage() { Language = LanguageForLangId(GetUserDefaultLangID()); }
