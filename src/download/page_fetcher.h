// Where the download run gets its pages from.
#pragma once

#include <string>

class PageFetcher {
public:
    virtual ~PageFetcher() = default;

    // The response body of url; an empty or short text when the page could
    // not be fetched.
    virtual std::string FetchPage(const std::string& url) = 0;

    // False when the last page's body ended before its end: the connection
    // was lost or the body is shorter than the server announced. Its rows so
    // far are written, but the run does not count the page as complete.
    virtual bool LastPageComplete() const { return true; }
};
