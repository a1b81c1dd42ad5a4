// Growing a fetched page up to a size limit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Appends chunk to text when the result stays within limit bytes; otherwise
// leaves text as it is and returns false. The buffer grows by doubling but
// never beyond limit, so a page near the limit never asks for one block of
// twice its size (a 32-bit process may not have one).
bool AppendWithinLimit(std::string& text, std::string_view chunk, std::size_t limit);
