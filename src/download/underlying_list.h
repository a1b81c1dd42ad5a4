// The list of underlying values, read from the selection list of the list
// page. Each entry is the code, one blank and the display name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

using UnderlyingList = std::vector<std::string>;

// Replaces underlyings by the entries of page; with selectionAll false only
// the first three are kept. A page without data leaves underlyings as it is
// (absent before the first list page with data).
void ReadUnderlyings(std::string_view page, bool selectionAll, std::optional<UnderlyingList>& underlyings);
