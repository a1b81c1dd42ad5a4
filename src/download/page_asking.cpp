#include "download/page_asking.h"

#include "support/text.h"

FetchedPage PageAsking::Ask(const std::string& url)
{
    if (!Asking()) {
        FetchedPage page;
        page.unanswered = true;
        return page;
    }
    FetchedPage page = fetcher_.FetchPage(url);
    inARow_ = page.unanswered ? inARow_ + 1 : 0;
    if (page.unanswered) ++inAll_;
    askedMs_ = page.milliseconds >= AskingTimeMs - askedMs_ ? AskingTimeMs : askedMs_ + page.milliseconds;
    return page;
}

UnderlyingPages::UnderlyingPages(const std::string& entry) : code(TextBefore(' ', entry)), name(TextAfter(' ', entry))
{
}
