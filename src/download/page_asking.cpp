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
    return page;
}

UnderlyingPages::UnderlyingPages(const std::string& entry) : code(TextBefore(' ', entry)), name(TextAfter(' ', entry))
{
}
