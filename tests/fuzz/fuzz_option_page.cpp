// The option page scan, as the download run uses it: the underlying's price,
// then the records, written as quote file lines. The input's first line is
// the underlying's name, the rest the page.
#include "download/option_page.h"
#include "download/option_page_markers.h"
#include "download/page_length.h"
#include "download/quote_line.h"
#include "fuzz_require.h"
#include "quote_recorder.h"
#include "reference_scanners.h"

#include <string>

namespace {

// Writes each record as the quote file's line and checks the line.
class LineSink : public QuoteSink {
public:
    bool HeaderPending() override { return pending; }

    void WriteHeaderLine(const HeadingRecord& heading, std::string_view name) override
    {
        Check(HeaderLine(heading, name));
        pending = false;
    }

    void AppendQuoteLine(const QuoteRecord& quote) override
    {
        Check(QuoteLine(quote));
        ++quotes;
    }

    bool pending = true;
    int quotes = 0;

private:
    static void Check(const std::string& line)
    {
        // The file's readers count on one record per line: CR LF (or any
        // LF) only at its end, and at least the 14 fields (a cell may add
        // more).
        Require(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0, "a line ends in CR LF");
        Require(line.find('\n') == line.size() - 1, "a line holds no other line break");
        std::size_t separators = 0;
        for (auto at = line.find("; "); at != std::string::npos; at = line.find("; ", at + 1)) ++separators;
        Require(separators >= 13, "a line has 14 fields at least");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto [nameText, pageText] = FirstLine(InputText(data, size));
    const std::string name(nameText);
    const std::string page(pageText);

    const std::string price = ReadUnderlyingPrice(page, name);
    Require(price == ReferenceReadUnderlyingPrice(page, name), "the price equals the reference's");

    LineSink lines;
    ParseOptionPage(page, "Call", name, price, lines);
    Require(PageHasData(page) ? lines.quotes >= 1 && !lines.pending : lines.quotes == 0 && lines.pending,
            "a page with data gives the header and a record, any other page nothing");

    // Of a page that broke off, well-formed lines, and nothing from after
    // its last ended row: no more records than date cells before that
    // row's end (one per row on the site's pages; damaged markup may hold
    // more in a row).
    LineSink broken;
    ParseOptionPage(page, "Call", name, price, broken, PageArrival::BrokenOff);
    const auto lastRowEnd = page.rfind(OptionPageMarkers::RowEnd);
    const std::string ended = lastRowEnd == std::string::npos ? std::string() : page.substr(0, lastRowEnd);
    int dateCells = 0;
    for (auto at = ended.find(OptionPageMarkers::DateCell); at != std::string::npos;
         at = ended.find(OptionPageMarkers::DateCell, at + 1))
        ++dateCells;
    Require(broken.quotes <= dateCells, "a page that broke off gives nothing from after its last ended row");

    // Both header states, against the reference, record by record.
    for (const bool headerPending : {true, false}) {
        QuoteRecorder scanned(headerPending);
        ParseOptionPage(page, "Put", name, price, scanned);
        QuoteRecorder reference(headerPending);
        ReferenceParseOptionPage(page, "Put", name, price, reference);
        Require(scanned.events == reference.events, "the records equal the reference's");
    }
    return 0;
}
