// Whether a page the server answered is laid out as this version reads it.
// Sites lay their pages out anew now and then; a page that still carries
// the site's selection of underlyings but not the option table where the
// scanner looks for it is such a page, and must be told apart from a
// server that is down, in maintenance or behind a log-in page: the user
// needs a new version then, not another try.
#pragma once

#include "download/page_fetcher.h"

#include <string_view>

enum class PageJudgement {
    // Nothing to read: no answer, an error, a short page, a page of
    // something else (maintenance, log-in).
    NoData,
    // An option page of the layout the scanners read (IsQuotePage).
    QuotePage,
    // Answered with 200 OK, long enough and arrived whole, with the label
    // and a select list of codes, but without a divider after the label, a
    // heading after the dividers or the end of a table after the label.
    // A page with every marker and an empty table is a quote page.
    ChangedLayout,
};

PageJudgement JudgePage(const FetchedPage& page);

// The selection label and, after the start of a select list, an option
// value: what the list of underlyings is read from.
bool CarriesSelection(std::string_view body);
