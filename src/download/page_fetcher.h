// Where the download run gets its pages from.
#pragma once

#include <cstdint>
#include <string>

// The only status whose body the run reads.
inline constexpr unsigned long HttpOk = 200;

// One page as the server answered it. Nothing of it is trusted: the run
// reads a page only when it is a quote page (quote_page.h).
struct FetchedPage {
    // The response body exactly as received, whatever the status; empty or
    // short when the page could not be fetched.
    std::string body;
    // The response's HTTP status; 0 when no response came.
    unsigned long status = 0;
    // False when the transport shows that the body ended before its end:
    // the connection was lost or the body is shorter than the server
    // announced. True says less: a body sent in chunks or ended by closing
    // the connection can break off without a sign (ArrivedWhole,
    // quote_page.h, looks at the page itself as well).
    bool complete = true;
    // True when the server could not be reached or did not answer within
    // the page's time: what a server that stopped answering shows. Such a
    // page gives nothing and is worth asking for again; a page the server
    // did answer (an error page, junk) is not.
    bool unanswered = false;
    // True when the page's time ran out while its body was still arriving
    // (a slow line): what came is the body, not complete. Its server does
    // answer, and the page is worth asking for again.
    bool stillArriving = false;
    // How long the fetch took; a run's pages together have a bound.
    std::uint32_t milliseconds = 0;
};

class PageFetcher {
public:
    virtual ~PageFetcher() = default;

    virtual FetchedPage FetchPage(const std::string& url) = 0;
};
