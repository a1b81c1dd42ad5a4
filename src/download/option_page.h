// The call and put pages of one underlying value: its price and the rows of
// the quote table.
#pragma once

#include "download/quote_sink.h"

#include <string>
#include <string_view>

// The text of the first table cell after the underlying's name below the
// selection label; empty for a page without data.
std::string ReadUnderlyingPrice(std::string_view page, std::string_view name);

// Hands the page's headings (while the sink's header is pending) and one
// record per table row to sink. A page without data gives nothing.
void ParseOptionPage(std::string_view page, std::string_view kind, std::string_view name, std::string_view price,
                     QuoteSink& sink);
