#include "download/option_page.h"

#include "download/option_page_markers.h"
#include "download/page_length.h"
#include "download/page_scanner.h"
#include "support/text.h"

using namespace OptionPageMarkers;

namespace {

// The search key for the underlying's own row: a name such as
// "Philips (PHIA)" stands on the page as "Philips", so everything from the
// blank before the parenthesis on is dropped.
std::string_view PriceSearchKey(std::string_view name)
{
    const auto parenthesis = name.find('(');
    if (parenthesis == std::string_view::npos) return name;
    return name.substr(0, parenthesis == 0 ? 0 : parenthesis - 1);
}

std::string PadFront(std::string text, std::size_t width, std::string_view padding)
{
    // Built anew rather than with insert(0, ...), which GCC 12 for i686
    // wrongly reports as an overlapping copy.
    if (text.size() < width) return std::string(padding) + text;
    return text;
}

// The row's date as day-month-year with two-digit day and month and a
// four-digit year; parts that are missing stay empty before the padding,
// so a date without "-" comes out as 0-0-20.
std::string RebuildDate(std::string_view raw)
{
    const std::string rest = TextAfter('-', raw);
    const std::string day = PadFront(TextBefore('-', raw), 2, "0");
    const std::string month = PadFront(TextBefore('-', rest), 2, "0");
    const std::string year = PadFront(TextAfter('-', rest), 4, "20");
    return day + "-" + month + "-" + year;
}

// Cuts after the selection label and the three dividers, where the option
// table's headings begin.
void FindTable(PageScanner& scan)
{
    Marker label(SelectionLabel);
    Marker divider(Divider);
    scan.CutAfter(label);
    for (int i = 0; i < 3; ++i) scan.CutAfter(divider);
}

// The part of a page that broke off up to the end of its last whole row;
// empty when no row ended on it.
std::string_view UpToTheLastRowEnd(std::string_view page)
{
    const auto at = page.rfind(RowEnd);
    return at == std::string_view::npos ? std::string_view() : page.substr(0, at + RowEnd.size());
}

} // namespace

bool CarriesTableEnd(std::string_view page)
{
    Marker tableEnd(TableEnd);
    PageScanner scan(page);
    FindTable(scan);
    return scan.Find(tableEnd) != std::string_view::npos;
}

std::string ReadUnderlyingPrice(std::string_view page, std::string_view name)
{
    if (!PageHasData(page)) return {};
    Marker label(SelectionLabel);
    Marker key(PriceSearchKey(name));
    PageScanner scan(page);
    scan.CutAfter(label);
    scan.CutAfter(key);
    return scan.NextCell();
}

void ParseOptionPage(std::string_view page, std::string_view kind, std::string_view name, std::string_view price,
                     QuoteSink& sink, PageArrival arrival)
{
    if (!PageHasData(page)) return;
    const bool whole = arrival == PageArrival::Whole;

    Marker tableEnd(TableEnd);
    Marker heading(Heading);
    Marker dateCell(DateCell);
    Marker percentage(Percentage);
    Marker lastCell(LastCell);

    // Every date cell left in a page that broke off begins a whole row.
    PageScanner scan(whole ? page : UpToTheLastRowEnd(page));
    FindTable(scan);
    scan.EndAt(tableEnd);
    if (!whole && scan.Find(dateCell) == std::string_view::npos) return;

    HeadingRecord headingRecord;
    for (auto& text : headingRecord.headings) {
        scan.CutAfter(heading);
        text = scan.TextBefore('<');
    }
    if (std::string& h7 = headingRecord.headings[6]; h7.size() >= 4) h7[3] = ' ';
    if (sink.HeaderPending()) sink.WriteHeaderLine(headingRecord, name);

    QuoteRecord quote;
    quote.kind = kind;
    quote.name = name;
    quote.price = price;
    auto& c = quote.cells;
    // A whole page with data always gives at least one record, rows or not.
    do {
        quote.series = scan.CutAfter(dateCell);
        c[0] = RebuildDate(scan.TextBefore('<'));
        for (int i = 1; i <= 5; ++i) c[i] = scan.NextCell();
        c[2] = PadFront(std::move(c[2]), 6, "0");

        // The percentage cell is found by its markup: the scan backs up to
        // ten characters before the word and takes the text after the
        // second ">" from there.
        if (const auto at = scan.Find(percentage); at != std::string_view::npos) scan.Skip(at < 10 ? 0 : at - 10);
        scan.SkipPast('>');
        scan.SkipPast('>');
        c[6] = scan.TextBefore('<');

        for (int i = 7; i <= 11; ++i) c[i] = scan.NextCell();

        // The last cell's text stands on the next source line.
        scan.CutAfter(lastCell);
        scan.SkipPast('>');
        scan.SkipPast('\n');
        c[12] = TrimLeadingBlanks(scan.TextBefore('\r'));

        sink.AppendQuoteLine(quote);
    } while (whole ? scan.Remaining() >= 200 : scan.Find(dateCell) != std::string_view::npos);
}
