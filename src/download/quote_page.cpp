#include "download/quote_page.h"

#include "download/option_page_markers.h"
#include "download/page_length.h"

bool IsQuotePage(const FetchedPage& page)
{
    using namespace OptionPageMarkers;
    const std::string& body = page.body;
    if (page.status != HttpOk || !PageHasData(body)) return false;
    for (const std::string_view marker : {SelectionLabel, Divider, Heading}) {
        if (body.find(marker) == std::string::npos) return false;
    }
    return true;
}

PageArrival Arrival(const FetchedPage& page)
{
    return page.complete && CarriesTableEnd(page.body) ? PageArrival::Whole : PageArrival::BrokenOff;
}
