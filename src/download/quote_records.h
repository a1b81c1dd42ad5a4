// What the option page parser hands to the quote file: the table's column
// headings once, then one record per table row.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

constexpr std::size_t OptionColumnCount = 13;

// H1 to H13 in page order; H7 already has its fourth character blanked.
struct HeadingRecord {
    std::array<std::string, OptionColumnCount> headings;
};

// C1 to C13 in page order, normalised as the parser leaves them; kind, name
// and price refer to the caller's texts and are valid during the hand-over
// only.
struct QuoteRecord {
    std::array<std::string, OptionColumnCount> cells;
    std::string_view kind;
    std::string_view name;
    std::string_view price;
    // A record with series: the scan made it from a row of the option
    // table (it found the row's date cell). The scan also makes records
    // without one, kept in the file as they always were: from a table
    // without rows (its first pass) and from the text after the last row.
    // A page with series is a page that gave at least one record with
    // series; a page with every marker of an option page and an empty
    // table is a page without series. Only series count as quotes of their
    // underlying: for the day's name, the memo and the exit code.
    bool series = false;
};
