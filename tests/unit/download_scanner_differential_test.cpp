// The program's scanners against the step-by-step reference over generated
// and damaged pages: every record, every entry and every price must come
// out byte for byte the same.
#include "download/option_page.h"
#include "download/underlying_list.h"
#include "quote_recorder.h"
#include "reference_scanners.h"
#include "sample_option_page.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const char* const Markers[] = {"Kies onderliggende waarde:", "quoteLine bottomDivider\"", "</table>", "\"col\">",
                               "px;\">", "percentage", "<td ", ">", "<", "\n", "\r", "-", "\"", "value=\"",
                               "<select name=", "</td>", "; "};

class PageMaker {
public:
    explicit PageMaker(unsigned seed) : random_(seed) {}

    std::size_t Below(std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    bool OneIn(std::size_t n) { return Below(n) == 0; }

    std::string Text(std::size_t maxLength)
    {
        static const std::string pieces[] = {"1", "23", ",", "-", " ", "; ", "\t", "<", ">", "\"", "\r", "\n",
                                             "\xe9", "px;\">", "<td ", "percentage", "abc", "-2014", "95,00"};
        std::string text;
        const auto count = Below(maxLength + 1);
        for (std::size_t i = 0; i < count; ++i) text += pieces[Below(std::size(pieces))];
        return text;
    }

    std::string CellText(int row, int column)
    {
        switch (Below(8)) {
        case 0: return Text(4);
        case 1: return std::to_string(Below(32)) + "-" + std::to_string(Below(13)) + "-" + std::to_string(Below(2100));
        case 2: return "4,50; 5,00";
        case 3: return "";
        default: return SampleCell(row, column);
        }
    }

    std::string OptionPage()
    {
        SamplePage p;
        p.rows = static_cast<int>(Below(12));
        p.lineEnd = OneIn(4) ? "\n" : "\r\n";
        p.lastCellIndent = std::string(Below(12), OneIn(3) ? '\t' : ' ');
        if (OneIn(2)) p.tail = std::string(Below(420), OneIn(2) ? ' ' : 'x');
        p.tableEnd = !OneIn(6);
        if (OneIn(3)) p.name = Text(3) + (OneIn(2) ? " (X)" : "");
        if (OneIn(2)) p.cell = [this](int row, int column) { return CellText(row, column); };
        if (OneIn(3)) p.heading = [this](int column) { return column == 7 ? Text(2) : SampleHeading(column); };
        return SampleOptionPage(p);
    }

    std::string ListPage()
    {
        std::vector<std::pair<std::string, std::string>> options;
        const auto count = Below(12);
        for (std::size_t i = 0; i < count; ++i) options.emplace_back("C" + std::to_string(i) + Text(1), Text(3));
        std::string page = SampleListPage(options, 900 + Below(300));
        if (OneIn(2)) page += "<input type=\"hidden\" name=\"x\" value=\"" + Text(3) + "\">" + Text(3) + "<";
        return page;
    }

    void Damage(std::string& page)
    {
        const std::string marker = Markers[Below(std::size(Markers))];
        switch (Below(8)) {
        case 0: page.resize(Below(page.size() + 1)); break;
        case 1: page.resize(std::min(page.size(), 990 + Below(20))); break;
        case 2:
            if (const auto at = page.find(marker, Below(page.size())); at != std::string::npos) page.erase(at, marker.size());
            break;
        case 3: page.insert(Below(page.size() + 1), marker); break;
        case 4: page.insert(Below(page.size() + 1), Text(6)); break;
        case 5:
            for (auto at = page.find("\r\n"); at != std::string::npos; at = page.find("\r\n", at)) page.erase(at, 1);
            break;
        case 6: {
            const auto at = Below(page.size() + 1);
            page.erase(at, Below(400));
            break;
        }
        default:
            for (int i = 0; i < 5 && !page.empty(); ++i) page[Below(page.size())] = static_cast<char>(Below(256));
        }
    }

    std::string PriceName(const std::string& page)
    {
        switch (Below(6)) {
        case 0: return "(";
        case 1: return "a(b";
        case 2: return "";
        case 3: return "Philips (PHIA)";
        case 4: return page.empty() ? "x" : page.substr(Below(page.size()), 1 + Below(6));
        default: return "Philips";
        }
    }

private:
    std::mt19937 random_;
};

// Returns how many records the page gave.
std::size_t ExpectSameScan(const std::string& page, PageMaker& maker)
{
    std::size_t records = 0;
    for (const bool pending : {true, false}) {
        QuoteRecorder scanned(pending), reference(pending);
        ParseOptionPage(page, "Put", "ING Groep (ING)", "7,12", scanned);
        ReferenceParseOptionPage(page, "Put", "ING Groep (ING)", "7,12", reference);
        EXPECT_EQ(scanned.events, reference.events);
        records = reference.quotes.size();
    }
    for (int i = 0; i < 2; ++i) {
        const std::string name = maker.PriceName(page);
        SCOPED_TRACE("price of " + name);
        EXPECT_EQ(ReadUnderlyingPrice(page, name), ReferenceReadUnderlyingPrice(page, name));
    }
    for (const bool selectionAll : {true, false}) {
        std::optional<UnderlyingList> scanned, reference;
        if (maker.OneIn(2)) scanned = reference = UnderlyingList{"OLD.AGN/O Oud"};
        ReadUnderlyings(page, selectionAll, scanned);
        ReferenceReadUnderlyings(page, selectionAll, reference);
        EXPECT_EQ(scanned, reference);
    }
    return records;
}

TEST(ScannerDifferential, GeneratedAndDamagedOptionPages)
{
    std::size_t shortPages = 0, pagesWithRows = 0;
    for (unsigned seed = 1; seed <= 5000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        PageMaker maker(seed);
        std::string page = maker.OptionPage();
        const auto damages = maker.Below(4);
        for (std::size_t i = 0; i < damages; ++i) maker.Damage(page);
        const auto records = ExpectSameScan(page, maker);
        if (HasFailure()) return;
        shortPages += page.size() < 1000;
        pagesWithRows += records >= 2;
    }
    // The pages must reach both sides of the length test and real tables.
    EXPECT_GT(shortPages, 250u);
    EXPECT_GT(pagesWithRows, 2500u);
}

TEST(ScannerDifferential, GeneratedAndDamagedListPages)
{
    for (unsigned seed = 1; seed <= 1500; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        PageMaker maker(seed);
        std::string page = maker.ListPage();
        const auto damages = maker.Below(3);
        for (std::size_t i = 0; i < damages; ++i) maker.Damage(page);
        ExpectSameScan(page, maker);
        if (HasFailure()) return;
    }
}

TEST(ScannerDifferential, RandomBytes)
{
    PageMaker maker(77);
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE("page " + std::to_string(i));
        std::string page;
        const auto length = 950 + maker.Below(3000);
        while (page.size() < length) page += maker.OneIn(3) ? Markers[maker.Below(std::size(Markers))] : maker.Text(3);
        ExpectSameScan(page, maker);
        if (HasFailure()) return;
    }
}

} // namespace
