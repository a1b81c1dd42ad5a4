#include "download/option_page.h"
#include "download/page_layout.h"
#include "download/quote_page.h"

#include "quote_recorder.h"
#include "sample_option_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::string PageWithCell(int column, std::string text, std::string lineEnd = "\r\n")
{
    SamplePage p;
    p.rows = 1;
    p.lineEnd = lineEnd;
    p.cell = [column, text](int row, int c) { return c == column ? text : SampleCell(row, c); };
    return SampleOptionPage(p);
}

TEST(ParseOptionPage, ReadsHeadingsAndRowsInPageOrder)
{
    SamplePage p;
    p.rows = 2;
    QuoteRecorder sink;
    ParseOptionPage(SampleOptionPage(p), "Call", "Philips", "21,35", sink);
    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_EQ(sink.events[0], "header|Expiratie|Soort|Uitoefenprijs|Bied|Laat|Laatste|+/- |Tijd|Volume|Open int.|Hoog|Laag|"
                              "Omzet|Philips");
    EXPECT_EQ(sink.events[1], "quote|20-03-2009|C|100,00|52,04|65,05|78,06|-8,0%|09:00|27,09|40,10|53,11|66,12|"
                              "79,13|Call|Philips|21,35");
    EXPECT_EQ(sink.events[2], "quote|20-03-2009|P|105,25|59,05|72,06|85,07|-7,1%|10:01|34,10|47,11|60,12|73,13|"
                              "86,14|Call|Philips|21,35");
    EXPECT_FALSE(sink.pending);
}

TEST(ParseOptionPage, NormalisesDatesAndStrikes)
{
    struct Case {
        int column;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {1, "15-3-13", "15-03-2013"}, {1, "5-12-2014", "05-12-2014"}, {1, "20-03-2009", "20-03-2009"},
        {1, "3-6-2014", "03-06-2014"}, {1, "3-6-14", "03-06-2014"},   {1, "2014", "0-0-20"},
        {1, "15-3", "15-0-20"},        {1, "", "0-0-20"},             {3, "95,00", "095,00"},
        {3, "4,50", "04,50"},          {3, "100,00", "100,00"},       {3, "", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QuoteRecorder sink(false);
        ParseOptionPage(PageWithCell(c.column, c.text), "Call", "X", "1", sink);
        ASSERT_EQ(sink.quotes.size(), 1u);
        EXPECT_EQ(sink.quotes[0][c.column - 1], c.expected);
    }
}

TEST(ParseOptionPage, LastCellComesFromTheNextSourceLine)
{
    struct Case {
        const char* name;
        std::string page;
        const char* expected;
    };
    SamplePage tabs;
    tabs.rows = 1;
    tabs.lastCellIndent = "\t  ";
    SamplePage blanks;
    blanks.rows = 1;
    blanks.lastCellIndent = "      ";
    const Case cases[] = {
        {"blanks removed", SampleOptionPage(blanks), "79,13"},
        {"tabs kept", SampleOptionPage(tabs), "\t  79,13"},
        {"line feeds only", PageWithCell(13, "1.234", "\n"), ""},
        {"cell holding \"; \"", PageWithCell(13, "1; 2"), "1; 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QuoteRecorder sink(false);
        ParseOptionPage(c.page, "Put", "X", "1", sink);
        ASSERT_EQ(sink.quotes.size(), 1u);
        EXPECT_EQ(sink.quotes[0][12], c.expected);
    }
}

TEST(ParseOptionPage, SeventhHeadingLosesItsFourthCharacter)
{
    const std::pair<std::string, std::string> cases[] = {
        {"+/-%", "+/- "}, {"Perc.", "Per ."}, {"abc", "abc"}, {"", ""}, {"\xe9\xe9\xe9\xe9", "\xe9\xe9\xe9 "}};
    for (const auto& [heading, expected] : cases) {
        SCOPED_TRACE(heading);
        SamplePage p;
        p.heading = [heading](int column) { return column == 7 ? heading : SampleHeading(column); };
        QuoteRecorder sink;
        ParseOptionPage(SampleOptionPage(p), "Call", "X", "1", sink);
        ASSERT_EQ(sink.headings.size(), 1u);
        EXPECT_EQ(sink.headings[0].headings[6], expected);
        EXPECT_EQ(sink.headings[0].headings[5], "Laatste");
        EXPECT_EQ(sink.headings[0].headings[7], "Tijd");
    }
}

// The quirks stay for a page taken as whole; a page that broke off gives
// its whole rows and nothing else.
TEST(ParseOptionPage, RowCountFollowsTheTailBeforeTheTableEnd)
{
    constexpr auto Whole = PageArrival::Whole;
    constexpr auto BrokenOff = PageArrival::BrokenOff;
    struct Case {
        const char* name;
        int rows;
        std::string tail;
        bool tableEnd;
        PageArrival arrival;
        std::size_t quotes;
        // Of those, the records made from a row: the quirks' are not.
        std::size_t series;
    };
    const Case cases[] = {
        {"no rows still gives one record", 0, "", true, Whole, 1, 0},
        {"rows only", 5, "", true, Whole, 5, 5},
        {"short tail", 5, std::string(150, ' '), true, Whole, 5, 5},
        {"tail of 200 characters or more", 5, std::string(240, ' '), true, Whole, 6, 5},
        {"no table end: the page's rest is the tail", 5, std::string(150, ' '), false, Whole, 6, 5},
        {"broken off, no rows", 0, "", true, BrokenOff, 0, 0},
        {"broken off, long tail", 5, std::string(240, ' '), true, BrokenOff, 5, 5},
        {"broken off, no table end", 5, std::string(150, ' '), false, BrokenOff, 5, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SamplePage p;
        p.rows = c.rows;
        p.tail = c.tail;
        p.tableEnd = c.tableEnd;
        QuoteRecorder sink(false);
        ParseOptionPage(SampleOptionPage(p), "Call", "X", "1", sink, c.arrival);
        EXPECT_EQ(sink.quotes.size(), c.quotes);
        EXPECT_EQ(sink.series, c.series);
        EXPECT_TRUE(sink.headings.empty());
    }
}

// The page cut at every byte from its third row to its end, as a lost
// connection or a body shorter than announced leaves it (the transport
// tells) and as a body sent in chunks or ended by closing leaves it (only
// the page tells): the lines are those of the whole page's first rows, as
// many as ended before the cut, and never one more.
TEST(ParseOptionPage, APageThatBrokeOffGivesOnlyItsWholeRows)
{
    SamplePage p;
    p.rows = 6;
    const std::string page = SampleOptionPage(p);
    QuoteRecorder whole;
    ParseOptionPage(page, "Call", "Philips", "21,35", whole);
    ASSERT_EQ(whole.events.size(), 7u);

    std::vector<std::size_t> rowStarts, rowEnds;
    for (auto at = page.find("<tr class="); at != std::string::npos; at = page.find("<tr class=", at + 1)) {
        rowStarts.push_back(at);
        rowEnds.push_back(page.find("</tr>", at) + 5);
    }
    ASSERT_EQ(rowEnds.size(), 6u);

    for (const bool transportTells : {true, false}) {
        for (std::size_t cut = rowStarts[2]; cut <= page.size(); ++cut) {
            SCOPED_TRACE((transportTells ? "transport tells, cut at " : "only the page tells, cut at ")
                         + std::to_string(cut));
            const FetchedPage fetched{page.substr(0, cut), 200, !transportTells || cut == page.size()};
            ASSERT_TRUE(IsQuotePage(fetched));
            QuoteRecorder sink;
            ParseOptionPage(fetched.body, "Call", "Philips", "21,35", sink, Arrival(fetched));
            const auto wholeRows = static_cast<std::size_t>(
                std::count_if(rowEnds.begin(), rowEnds.end(), [cut](std::size_t end) { return end <= cut; }));
            ASSERT_EQ(sink.events, std::vector<std::string>(whole.events.begin(), whole.events.begin() + 1 + wholeRows));
        }
    }
}

TEST(Arrival, WholeOnlyWhenTheTransportAndThePageSaySo)
{
    SamplePage p;
    const std::string page = SampleOptionPage(p);
    const std::string upToTableEnd = page.substr(0, page.find("</table>", page.find("optionTable")));
    SamplePage noEnd;
    noEnd.tableEnd = false;
    const struct {
        const char* name;
        FetchedPage fetched;
        PageArrival arrival;
    } cases[] = {
        {"the whole page", {page, 200, true}, PageArrival::Whole},
        {"cut in the footer, the transport tells", {page.substr(0, page.size() - 20), 200, false},
         PageArrival::BrokenOff},
        {"cut in the footer, no sign from the transport", {page.substr(0, page.size() - 20), 200, true},
         PageArrival::Whole},
        {"cut before the table's end", {upToTableEnd, 200, true}, PageArrival::BrokenOff},
        {"no table end at all", {SampleOptionPage(noEnd), 200, true}, PageArrival::BrokenOff},
        {"a table end only before the dividers", {page.substr(0, page.find("<tr class=")), 200, true},
         PageArrival::BrokenOff},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Arrival(c.fetched), c.arrival);
    }
}

TEST(ParseOptionPage, ShortPagesGiveNothing)
{
    SamplePage p;
    p.rows = 1;
    std::string page = SampleOptionPage(p);
    page.resize(999);
    QuoteRecorder sink;
    ParseOptionPage(page, "Call", "Philips", "1", sink);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_TRUE(sink.pending);
    EXPECT_EQ(ReadUnderlyingPrice(page, "Philips"), "");

    page.resize(1000);
    ParseOptionPage(page, "Call", "Philips", "1", sink);
    EXPECT_FALSE(sink.events.empty());
    EXPECT_EQ(ReadUnderlyingPrice(page, "Philips"), "21,35");
}

TEST(IsQuotePage, OnlyA200AnswerWithTheOptionPagesMarkers)
{
    SamplePage p;
    const std::string page = SampleOptionPage(p);
    const auto without = [&page](std::string_view marker) {
        std::string text = page;
        for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker)) text.erase(at, marker.size());
        return text;
    };
    const std::string filler(2000, ' ');
    const struct {
        const char* name;
        FetchedPage fetched;
        bool quotes;
    } cases[] = {
        {"the site's page", {page, 200}, true},
        {"cut off within the table", {page.substr(0, page.rfind("</table>")), 200, false}, true},
        {"cut off before the headings", {page.substr(0, page.find("\"col\">")) + filler, 200, false}, false},
        {"the site's page with a 503", {page, 503}, false},
        {"the site's page with a 404", {page, 404}, false},
        {"no response", {page, 0}, false},
        {"shorter than 1000 characters", {page.substr(0, page.find("quoteLine")), 200}, false},
        {"a long page of something else", {"<html><body><p>Wegens onderhoud niet beschikbaar.</p>" + filler, 200},
         false},
        {"without the selection label", {without("Kies onderliggende waarde:"), 200}, false},
        {"without the dividers", {without("quoteLine bottomDivider\""), 200}, false},
        {"without the headings", {without("\"col\">"), 200}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsQuotePage(c.fetched), c.quotes);
    }
}

TEST(ReadUnderlyingPrice, TakesTheFirstCellAfterTheNameBelowTheLabel)
{
    const std::string page = "Aegon <td z>before the label</td>Kies onderliggende waarde:<td a>first</td> Aegon "
                             "<td b>aegon</td> Philips <td c>philips</td>" +
                             std::string(1000, ' ');
    struct Case {
        const char* name;
        const char* price;
    };
    const Case cases[] = {
        {"Philips", "philips"},
        {"Philips (PHIA)", "philips"},
        {"PhilipsX(PHIA)", "philips"},
        {"Aegon", "aegon"},
        {"Unknown", "first"},
        {"(x)", "first"},
        {"A(x)", "first"},
        {"AB(x)", "aegon"},
        {"", "first"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadUnderlyingPrice(page, c.name), c.price);
    }
    SamplePage p;
    p.name = "ING Groep (ING)";
    p.price = "7,12";
    EXPECT_EQ(ReadUnderlyingPrice(SampleOptionPage(p), "ING Groep (ING)"), "7,12");
}

} // namespace

namespace {

// The page with its text from the first occurrence of from up to the first
// occurrence of to after it moved to the end of the page.
std::string Moved(const std::string& page, std::string_view from, std::string_view to)
{
    const auto begin = page.find(from);
    const auto end = page.find(to, begin);
    return page.substr(0, begin) + page.substr(end) + page.substr(begin, end - begin);
}

// The page without the source line where marker first stands.
std::string WithoutFirst(std::string page, std::string_view marker)
{
    const auto at = page.find(marker);
    return page.erase(at, page.find('\n', at) + 1 - at);
}

std::string Replaced(std::string page, std::string_view marker, std::string_view by)
{
    for (auto at = page.find(marker); at != std::string::npos; at = page.find(marker, at + by.size()))
        page.replace(at, marker.size(), by);
    return page;
}

} // namespace

TEST(JudgePage, ALayoutChangedOnlyWhereTheSelectionStaysAndTheTableMoved)
{
    using enum PageJudgement;
    SamplePage p;
    const std::string page = SampleOptionPage(p);
    SamplePage empty;
    empty.rows = 0;
    SamplePage noOptions;
    noOptions.options.clear();
    const std::string filler(2000, ' ');
    const std::string newTable = Replaced(Replaced(page, "quoteLine bottomDivider\"", "koersregel\""), "\"col\">",
                                          "\"kolom\">");
    const struct {
        const char* name;
        FetchedPage fetched;
        PageJudgement judgement;
    } cases[] = {
        {"the site's page", {page, 200}, QuotePage},
        {"an empty table", {SampleOptionPage(empty), 200}, QuotePage},
        {"cut off within the table", {page.substr(0, page.rfind("</table>")), 200, false}, QuotePage},
        {"cut off before the headings", {page.substr(0, page.find("\"col\">")) + filler, 200, false}, NoData},
        {"without a select list", {SampleOptionPage(noOptions), 200}, QuotePage},
        {"dividers and headings laid anew", {newTable, 200}, ChangedLayout},
        {"no dividers", {Replaced(page, "quoteLine bottomDivider\"", "koersregel\""), 200}, ChangedLayout},
        {"no headings", {Replaced(page, "\"col\">", "\"kolom\">"), 200}, ChangedLayout},
        {"no table end", {Replaced(page, "</table>", "</div>"), 200}, ChangedLayout},
        {"two dividers, as the scanner reads them", {WithoutFirst(page, "<div class=\"quoteLine"), 200}, QuotePage},
        {"the table before the selection", {Moved(page, "<label", "<div class=\"quoteLine"), 200}, ChangedLayout},
        {"the headings before the dividers", {Moved(page, "<div class=\"quoteLine", "<table class=\"optionTable"), 200},
         ChangedLayout},
        {"laid anew, sent with a 503", {newTable, 503}, NoData},
        {"laid anew, broke off", {newTable, 200, false}, NoData},
        {"laid anew, under 1000 characters", {newTable.substr(0, 999), 200}, NoData},
        {"laid anew, without the label", {Replaced(newTable, "Kies onderliggende waarde:", "Kies:"), 200}, NoData},
        {"laid anew, without a select list", {Replaced(newTable, "<select name=", "<select id="), 200}, NoData},
        {"a maintenance notice", {"<html><body><p>Wegens onderhoud niet beschikbaar.</p>" + filler, 200}, NoData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JudgePage(c.fetched), c.judgement);
    }
}
