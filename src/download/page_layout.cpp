#include "download/page_layout.h"

#include "download/option_page_markers.h"
#include "download/page_length.h"
#include "download/quote_page.h"

using namespace OptionPageMarkers;

namespace {

// The markers where the option page scanner cuts at them: after the label
// a divider (it cuts after up to three), the headings after the last of
// them, and the end of a table.
bool TableWhereItIsRead(std::string_view body)
{
    const std::size_t label = body.find(SelectionLabel);
    std::size_t at = label;
    int dividers = 0;
    for (; dividers < 3; ++dividers) {
        const std::size_t divider = body.find(Divider, at);
        if (divider == std::string_view::npos) break;
        at = divider + Divider.size();
    }
    return dividers > 0 && body.find(Heading, at) != std::string_view::npos &&
           body.find(TableEnd, label) != std::string_view::npos;
}

} // namespace

bool CarriesSelection(std::string_view body)
{
    if (body.find(SelectionLabel) == std::string_view::npos) return false;
    const std::size_t select = body.find(SelectStart);
    return select != std::string_view::npos && body.find(OptionValue, select + SelectStart.size()) != std::string_view::npos;
}

PageJudgement JudgePage(const FetchedPage& page)
{
    const std::string& body = page.body;
    // A page the transport saw break off may lack its table for that
    // reason alone.
    if (page.status == HttpOk && page.complete && PageHasData(body) && CarriesSelection(body) &&
        !TableWhereItIsRead(body))
        return PageJudgement::ChangedLayout;
    return IsQuotePage(page) ? PageJudgement::QuotePage : PageJudgement::NoData;
}
