// The one test every scanner applies before it reads a fetched page.
#pragma once

#include <cstddef>
#include <string_view>

// A failed fetch, an error page or a cut-off body is recognised only by its
// length: anything shorter counts as a page without data.
constexpr std::size_t MinimumPageLength = 1000;

inline bool PageHasData(std::string_view page)
{
    return page.size() >= MinimumPageLength;
}
