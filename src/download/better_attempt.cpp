#include "download/better_attempt.h"

#include "download/option_page.h"
#include "download/quote_page.h"

#include <cstddef>
#include <tuple>

namespace {

class RowCounter : public QuoteSink {
public:
    bool HeaderPending() override { return false; }
    void WriteHeaderLine(const HeadingRecord&, std::string_view) override {}
    void AppendQuoteLine(const QuoteRecord&) override { ++rows; }
    std::size_t rows = 0;
};

auto Worth(const FetchedPage& page, std::string_view kind, std::string_view name)
{
    if (page.unanswered || !IsQuotePage(page)) return std::make_tuple(false, false, std::size_t{0});
    const PageArrival arrival = Arrival(page);
    RowCounter counter;
    ParseOptionPage(page.body, kind, name, "", counter, arrival);
    return std::make_tuple(true, arrival == PageArrival::Whole, counter.rows);
}

} // namespace

const FetchedPage& BetterAttempt(const FetchedPage& first, const FetchedPage& later, std::string_view kind,
                                 std::string_view name)
{
    return Worth(first, kind, name) > Worth(later, kind, name) ? first : later;
}
