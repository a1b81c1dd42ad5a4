// Layer support, the ground: platform helpers, text and calendar rules,
// product identity and resource ids. Includes nothing else of src/.
//
// The program's name, version and copyright notice, in one place. The
// version itself is the build's (support/version.h, written from one option).
#pragma once

#include "support/version.h"

inline constexpr const char* ProductNameText = "Kestrom";
inline constexpr const char* VersionTextValue = "versie " KESTROM_VERSION;
inline constexpr const char* CopyrightTextValue = "Copyright \xA9 2009-2026 Kestrom Software, Haarlem";
