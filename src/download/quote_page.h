// Which fetched pages the download run reads. A server in maintenance, a
// hotel's log-in page in front of the network or a long error page must not
// pass for quotes: whatever the scanners would make of such a page would
// replace the day's quote file with empty or made-up fields.
#pragma once

#include "download/option_page.h"
#include "download/page_fetcher.h"

// True for a page that the server answered with 200 OK, that passes the
// scanners' length test and that carries the option page's selection label,
// its dividers and the option table's headings. A page cut off within its
// table still is one: the rows that arrived whole are real.
bool IsQuotePage(const FetchedPage& page);

// Whole when the transport says so where it can (no lost connection, the
// announced length reached) and the page carries the end of its option
// table after its rows. Wine ends a body sent in chunks that breaks off,
// and a body ended by closing the connection, like a complete one: only
// the page itself then tells.
PageArrival Arrival(const FetchedPage& page);
