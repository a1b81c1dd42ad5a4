// How fast the option page parser reads a large page, with and without
// formatting the quote lines, and how its time grows with the page.
#include "download/option_page.h"
#include "download/quote_line.h"

#include "../unit/sample_option_page.h"

#include <benchmark/benchmark.h>

namespace {

class CountingSink : public QuoteSink {
public:
    explicit CountingSink(bool formatLines) : formatLines_(formatLines) {}
    bool HeaderPending() override { return pending_; }
    void WriteHeaderLine(const HeadingRecord& heading, std::string_view name) override
    {
        bytes += HeaderLine(heading, name).size();
        pending_ = false;
    }
    void AppendQuoteLine(const QuoteRecord& quote) override
    {
        ++lines;
        if (formatLines_) bytes += QuoteLine(quote).size();
    }
    std::size_t lines = 0;
    std::size_t bytes = 0;

private:
    bool formatLines_;
    bool pending_ = true;
};

// A page of the given number of rows: the rows of about 1 MB for 2,000
// rows, wide enough to look like the site's.
std::string LargePage(int rows, const char* lineEnd)
{
    SamplePage p;
    p.rows = rows;
    p.lineEnd = lineEnd;
    p.name = "AEX";
    p.price = "345,67";
    return SampleOptionPage(p);
}

void Run(benchmark::State& state, bool formatLines, const char* lineEnd = "\r\n")
{
    const std::string page = LargePage(static_cast<int>(state.range(0)), lineEnd);
    std::size_t lines = 0;
    for (auto _ : state) {
        CountingSink sink(formatLines);
        ParseOptionPage(page, "Call", "AEX", "345,67", sink);
        benchmark::DoNotOptimize(sink.bytes);
        lines = sink.lines;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
    state.counters["lines"] = static_cast<double>(lines);
}

void ParseOptionPageWithLines(benchmark::State& state) { Run(state, true); }
void ParseOptionPageOnly(benchmark::State& state) { Run(state, false); }
// Without a single carriage return every row's last cell looks for one to
// the end of the page: the case that must not make the time grow with the
// square of the page.
void ParseOptionPageLineFeedsOnly(benchmark::State& state) { Run(state, true, "\n"); }

} // namespace

BENCHMARK(ParseOptionPageWithLines)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseOptionPageOnly)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseOptionPageLineFeedsOnly)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
