// The call and put pages of one underlying value: its price and the rows of
// the quote table.
#pragma once

#include "download/quote_sink.h"

#include <string>
#include <string_view>

// The text of the first table cell after the underlying's name below the
// selection label; empty for a page without data.
std::string ReadUnderlyingPrice(std::string_view page, std::string_view name);

// Whether a page came in whole (ArrivedWhole, quote_page.h).
enum class PageArrival { Whole, BrokenOff };

// Hands the page's headings (while the sink's header is pending) and one
// record per table row to sink. A page without data gives nothing.
//
// A whole page is scanned as it always has been, quirks included: an empty
// table still gives one record, and a tail of 200 characters or more
// before the table's end gives another; neither is a record with series
// (QuoteRecord::series). Of a page that broke off only the
// rows that arrived whole are read (their date cell and everything up to
// their row's end), and the headings only when there is such a row: the
// scan's quirks would make up a record from the half row at the break.
void ParseOptionPage(std::string_view page, std::string_view kind, std::string_view name, std::string_view price,
                     QuoteSink& sink, PageArrival arrival = PageArrival::Whole);

// True when the end of the option table stands on the page after its rows:
// the page's own sign that its table arrived to the end. A body sent in
// chunks or ended by closing the connection has no other.
bool CarriesTableEnd(std::string_view page);
