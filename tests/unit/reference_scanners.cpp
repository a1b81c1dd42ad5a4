#include "reference_scanners.h"

#include "support/text.h"

namespace {

// 1-based position of the first occurrence, 0 when there is none (also for
// an empty needle).
std::size_t Pos(const std::string& needle, const std::string& text)
{
    if (needle.empty()) return 0;
    const auto at = text.find(needle);
    return at == std::string::npos ? 0 : at + 1;
}

// Copy(text, index, count) with 1-based index.
std::string Copy(const std::string& text, std::size_t index, std::size_t count)
{
    if (index < 1) index = 1;
    if (index > text.size()) return {};
    return text.substr(index - 1, count);
}

void CutAfter(std::string& working, const std::string& marker)
{
    const auto p = Pos(marker, working);
    if (p > 0) working = Copy(working, p + marker.size(), working.size());
}

std::string CellStep(std::string& working)
{
    CutAfter(working, "<td ");
    working = TextAfter('>', working);
    return TextBefore('<', working);
}

} // namespace

void ReferenceReadUnderlyings(const std::string& page, bool selectionAll, std::optional<std::vector<std::string>>& list)
{
    if (page.size() < 1000) return;
    list = std::vector<std::string>();
    std::string working = page;
    CutAfter(working, "<select name=");
    CutAfter(working, "value=\"");
    int counter = 0;
    for (;;) {
        const std::string code = TextBefore('"', working);
        working = TextAfter('>', working);
        const std::string name = TextBefore('<', working);
        list->push_back(code + " " + name);
        counter = counter + 1;
        if (counter >= 3 && !selectionAll) break;
        if (Pos("value=\"", working) == 0) break;
        CutAfter(working, "value=\"");
    }
}

std::string ReferenceReadUnderlyingPrice(const std::string& page, const std::string& name)
{
    if (page.size() < 1000) return {};
    std::string working = page;
    CutAfter(working, "Kies onderliggende waarde:");
    std::string key = name;
    const auto p = Pos("(", name);
    if (p > 0) key = p >= 2 ? Copy(name, 1, p - 2) : std::string();
    CutAfter(working, key);
    return CellStep(working);
}

void ReferenceParseOptionPage(const std::string& page, const std::string& kind, const std::string& name,
                              const std::string& price, QuoteSink& sink)
{
    if (page.size() < 1000) return;
    std::string working = page;
    CutAfter(working, "Kies onderliggende waarde:");
    CutAfter(working, "quoteLine bottomDivider\"");
    CutAfter(working, "quoteLine bottomDivider\"");
    CutAfter(working, "quoteLine bottomDivider\"");
    if (const auto p = Pos("</table>", working); p > 0) working = Copy(working, 1, p);

    HeadingRecord heading;
    for (int i = 0; i < 13; ++i) {
        CutAfter(working, "\"col\">");
        heading.headings[i] = TextBefore('<', working);
    }
    if (heading.headings[6].size() >= 4) heading.headings[6][3] = ' ';
    if (sink.HeaderPending()) sink.WriteHeaderLine(heading, name);

    do {
        QuoteRecord quote;
        auto& c = quote.cells;
        CutAfter(working, "px;\">");
        const std::string raw = TextBefore('<', working);
        std::string day = TextBefore('-', raw);
        const std::string rest = TextAfter('-', raw);
        std::string month = TextBefore('-', rest);
        std::string year = TextAfter('-', rest);
        if (day.size() < 2) day = "0" + day;
        if (month.size() < 2) month = "0" + month;
        if (year.size() < 4) year = "20" + year;
        c[0] = day + "-" + month + "-" + year;

        for (int i = 1; i <= 5; ++i) c[i] = CellStep(working);
        if (c[2].size() < 6) c[2] = "0" + c[2];

        if (const auto p = Pos("percentage", working); p > 0) {
            working = p < 11 ? working : Copy(working, p - 10, working.size());
        }
        working = TextAfter('>', working);
        working = TextAfter('>', working);
        c[6] = TextBefore('<', working);

        for (int i = 7; i <= 11; ++i) c[i] = CellStep(working);

        CutAfter(working, "<td ");
        working = TextAfter('>', working);
        working = TextAfter('\n', working);
        c[12] = TrimLeadingBlanks(TextBefore('\r', working));

        quote.kind = kind;
        quote.name = name;
        quote.price = price;
        sink.AppendQuoteLine(quote);
    } while (working.size() >= 200);
}
