// How running processes are matched to a path: both the path looked for and
// each process's executable path become a key, and only equal keys match.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Longest path the terminator looks for: Windows paths of processes are read
// into buffers of 260 characters.
constexpr std::size_t MaxProcessPathLength = 259;

// The system's upper-case mapping of the ANSI code page.
using UpperCaseMapping = std::string (*)(std::string_view text);

// path without leading and trailing blanks and control characters (every
// byte up to 32), in upper case; none for a path of more than
// MaxProcessPathLength characters once trimmed, or an empty one, so that
// neither can match a cut-off or missing process path.
std::optional<std::string> ProcessPathKey(std::string_view path, UpperCaseMapping upperCase);
