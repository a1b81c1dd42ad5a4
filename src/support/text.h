// Text helpers shared by the scanners, the update check and the dialogs.
// Texts are byte strings in the Windows ANSI code page; nothing here
// interprets character sets.
#pragma once

#include <string>
#include <string_view>

// The part of text after the first c; empty when c does not occur.
std::string TextAfter(char c, std::string_view text);

// The part of text before the first c; empty when c does not occur.
std::string TextBefore(char c, std::string_view text);

// text without its last c-separated component: "C:\a\b" gives "C:\a",
// "C:\a\" gives "C:\a", "readme" gives "".
std::string ParentPath(char c, std::string_view text);

// A folder name ready for a file name to follow: a final "\" is added
// unless the name is empty or already ends in "\" or "/". A folder typed
// in the settings without its final "\" still receives the files.
std::string FolderPrefix(std::string_view folder);

// Short-string filters: only the first 79 characters are looked at.
constexpr std::size_t ShortStringCapacity = 79;
std::string StripDigits(std::string_view s);
std::string NumberChars(std::string_view s);

// Blanks are code 32 only; tabs and other white space stay.
std::string RemoveBlanks(std::string_view text);
std::string TrimLeadingBlanks(std::string_view text);
std::string TrimTrailingBlanks(std::string_view text);
