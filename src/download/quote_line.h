// The lines of the quote file that the user's other programs read: 14
// fields joined by "; ", ending in CR LF, bytes as they came from the page.
// Nothing is quoted or escaped, so a cell holding "; " gives its line more
// than 14 fields; readers of the file expect exactly that.
// A line break inside a field is the one exception: it becomes a blank, so
// that every record stays on one line.
#pragma once

#include "download/quote_records.h"

#include <string>
#include <string_view>

// The first line of the file; name is the underlying whose page gave the
// headings.
std::string HeaderLine(const HeadingRecord& heading, std::string_view name);

std::string QuoteLine(const QuoteRecord& quote);
