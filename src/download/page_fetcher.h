// Where the download run gets its pages from.
#pragma once

#include <string>

// One page as the server answered it. Nothing of it is trusted: the run
// reads a page only when it is a quote page (quote_page.h).
struct FetchedPage {
    // The response body exactly as received, whatever the status; empty or
    // short when the page could not be fetched.
    std::string body;
    // The response's HTTP status; 0 when no response came.
    unsigned long status = 0;
    // False when the body ended before its end: the connection was lost or
    // the body is shorter than the server announced. Its rows so far are
    // written, but the run does not count the page as complete.
    bool complete = true;
};

class PageFetcher {
public:
    virtual ~PageFetcher() = default;

    virtual FetchedPage FetchPage(const std::string& url) = 0;
};
