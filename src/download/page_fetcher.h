// Where the download run gets its pages from.
#pragma once

#include <string>

class PageFetcher {
public:
    virtual ~PageFetcher() = default;

    // The response body of url; an empty or short text when the page could
    // not be fetched.
    virtual std::string FetchPage(const std::string& url) = 0;
};
