// The one test every scanner applies before it reads a page.
#pragma once

#include <cstddef>
#include <string_view>

// Anything shorter counts as a page without data. Which fetched pages reach
// the scanners at all (status and markers) is decided before, by
// IsQuotePage (quote_page.h).
constexpr std::size_t MinimumPageLength = 1000;

inline bool PageHasData(std::string_view page)
{
    return page.size() >= MinimumPageLength;
}
