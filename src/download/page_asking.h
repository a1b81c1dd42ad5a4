// How a run asks the quotes server for its pages when the server stops
// answering. A page that timed out or could not be reached gives nothing
// and is asked for once more before the run ends, since the evening's
// quotes cannot be fetched later; after UnansweredInARow such pages in a
// row, or UnansweredInAll in the whole run, the server is taken to be gone
// and nothing more is asked of it, so that an unattended run that meets a
// dead, trickling or mostly silent server ends within minutes. A page that
// the server did answer (an error page, junk), or that was still arriving
// when its time ran out (a slow line), counts for neither. However slowly a
// server answers, the pages of one run together get AskingTimeMs; then
// nothing more is asked either.
#pragma once

#include "download/page_fetcher.h"

#include <cstdint>
#include <optional>
#include <string>

class PageAsking {
public:
    static constexpr int UnansweredInARow = 3;
    static constexpr int UnansweredInAll = 10;
    static constexpr std::uint32_t AskingTimeMs = 30 * 60 * 1000;

    explicit PageAsking(PageFetcher& fetcher) : fetcher_(fetcher) {}

    // The page at url; once the server is taken to be gone, an unanswered
    // page without asking.
    FetchedPage Ask(const std::string& url);

    // False once the server is taken to be gone.
    bool Asking() const
    {
        return inARow_ < UnansweredInARow && inAll_ < UnansweredInAll && askedMs_ < AskingTimeMs;
    }

private:
    PageFetcher& fetcher_;
    int inARow_ = 0;
    int inAll_ = 0;
    std::uint32_t askedMs_ = 0;
};

// One underlying's two pages as far as the run got them. A page that went
// unanswered is left for the second pass; when that is the call page, the
// put page waits with it, so that the put lines get the price the call
// page gives.
struct UnderlyingPages {
    // From an entry of the list: the code, a blank and the display name.
    explicit UnderlyingPages(const std::string& entry);

    std::string code;
    std::string name;
    // Read from the call page; empty until it answered with quotes.
    std::string price;
    bool callAnswered = false;
    bool putAnswered = false;
    // A page answered without quotes, or with a table that broke off.
    bool lacking = false;
    // At least one page answered with quotes.
    bool quotes = false;
    // A page still arriving at its time in the first pass waits here for
    // the second, which writes the better of its two attempts.
    std::optional<FetchedPage> heldCall;
    std::optional<FetchedPage> heldPut;
    bool askedAgain = false;

    bool AskAgain() const { return !callAnswered || !putAnswered; }
    bool GotAll() const { return !AskAgain() && !lacking; }
};
