// The program's name, version and copyright notice, in one place.
#pragma once

inline constexpr const char* ProductNameText = "Kestrom";
inline constexpr const char* VersionTextValue = "versie 1.00c";
inline constexpr const char* CopyrightTextValue = "Copyright \xA9 2009-2026 Kestrom Software, Haarlem";
