#include "download/day_file_naming.h"

#include <gtest/gtest.h>

namespace {

using Names = std::set<std::string, std::less<>>;

const std::string Header = "Expiratie; Uitoefenprijs; Philips; C/P; +/- ; Laatste; Tijd; Volume; Bied; Open int.; Hoog; Laag; "
                           "Omzet; Koers\r\n";

std::string Line(const std::string& expiry, const std::string& strike, const std::string& name)
{
    return expiry + "; " + strike + "; " + name + "; Call; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; "
                                                  "21,35\r\n";
}

QuoteContent Content(Names series, Names whole)
{
    return QuoteContent{std::move(series), std::move(whole)};
}

NameHolder Holding(Names series)
{
    return NameHolder{NameHolder::State::Read, Content(series, series)};
}

// What the scan makes of an empty table is kept in the file, but is no
// series; everything a row gives is, whatever its date cell held.
TEST(DayFileNaming, ReadsTheUnderlyingsWithSeriesOfAFileOnDisk)
{
    const struct {
        const char* name;
        std::string text;
        bool leftover;
        Names series;
        Names whole;
    } cases[] = {
        {"rows of two underlyings", Header + Line("20-03-2009", "100,00", "Philips") + Line("20-03-2009", "0105,25", "ING"),
         false, {"Philips", "ING"}, {"Philips", "ING"}},
        {"an empty table's record", Header + Line("0-0-20", "0", "Philips"), false, {}, {}},
        {"an empty table's record, a blank in its strike", Header + Line("0-0-20", "0 ", "Philips"), false, {}, {}},
        {"the record after a table's last row", Header + Line("0-0-20", "      ", "Philips"), false, {}, {}},
        {"a row with an odd date cell", Header + Line("0-0-20", "0100,00", "Philips"), false, {"Philips"}, {"Philips"}},
        {"a row with an odd date cell, strike 0", Header + Line("0-0-20", "00", "Philips"), false, {"Philips"}, {"Philips"}},
        {"a row without a strike", Header + Line("20-03-2009", "0", "Philips"), false, {"Philips"}, {"Philips"}},
        {"series beside an empty table", Header + Line("0-0-20", "0", "ING") + Line("20-03-2009", "100,00", "Philips"),
         false, {"Philips"}, {"Philips"}},
        {"the header alone", Header, false, {}, {}},
        {"no lines at all", "", false, {}, {}},
        {"lines of fewer than three fields", Header + "killed run\r\n20-03-2009; 100,00\r\n", false, {}, {}},
        {"a line without its line end", Header + "20-03-2009; 100,00; Philips; Ca", false, {"Philips"}, {"Philips"}},
        // The run was ended while its last underlying arrived.
        {"a leftover work file", Header + Line("20-03-2009", "100,00", "ING") + Line("20-03-2009", "100,00", "Philips"),
         true, {"ING", "Philips"}, {"ING"}},
        {"a leftover whose last line has no series",
         Header + Line("20-03-2009", "100,00", "ING") + Line("20-03-2009", "100,00", "Philips") + Line("0-0-20", "0", "AEX"),
         true, {"ING", "Philips"}, {"ING"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QuoteContent content = ContentOfFile(c.text, c.leftover);
        EXPECT_EQ(content.series, c.series);
        EXPECT_EQ(content.whole, c.whole);
    }
}

TEST(DayFileNaming, TheDaysNameGoesToAFileWithEveryUnderlyingOfTheDaysFileWhole)
{
    const NameHolder free;
    const NameHolder unreadable{NameHolder::State::Unreadable, {}};
    const struct {
        const char* name;
        QuoteContent newcomer;
        NameHolder day;
        DayNameVerdict verdict;
    } cases[] = {
        {"no day's file", Content({"Philips"}, {"Philips"}), free, DayNameVerdict::Takes},
        {"no day's file, nothing whole", Content({"Philips"}, {}), free, DayNameVerdict::Takes},
        {"no series never takes it", Content({}, {}), free, DayNameVerdict::Lacks},
        {"no series against an empty table's file", Content({}, {}), Holding({}), DayNameVerdict::Lacks},
        {"series against an empty table's file", Content({"Philips"}, {}), Holding({}), DayNameVerdict::Takes},
        {"every underlying whole", Content({"Philips", "ING"}, {"Philips", "ING"}), Holding({"Philips", "ING"}),
         DayNameVerdict::Takes},
        {"more than the day's file", Content({"Philips", "ING"}, {"Philips", "ING"}), Holding({"Philips"}),
         DayNameVerdict::Takes},
        {"one missing", Content({"Philips"}, {"Philips"}), Holding({"Philips", "ING"}), DayNameVerdict::Lacks},
        {"one not whole", Content({"Philips", "ING"}, {"Philips"}), Holding({"Philips", "ING"}), DayNameVerdict::Lacks},
        {"an unreadable day's file is kept", Content({"Philips"}, {"Philips"}), unreadable, DayNameVerdict::Unread},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JudgeDayName(c.newcomer, c.day), c.verdict);
    }
}

// A name beside the day's file is taken when it is free or its file holds
// nothing the newcomer lacks; otherwise the next numbered name is tried.
TEST(DayFileNaming, ANameBesideTheDaysFileGoesOnlyToAFileWithAtLeastItsQuotes)
{
    const struct {
        const char* name;
        QuoteContent newcomer;
        NameHolder holder;
        bool mayTake;
    } cases[] = {
        {"free", Content({}, {}), NameHolder{}, true},
        {"its file has no series", Content({"Philips"}, {}), Holding({}), true},
        {"the newcomer has all of it whole", Content({"Philips", "ING"}, {"Philips", "ING"}), Holding({"ING"}), true},
        {"the newcomer has it, not whole", Content({"Philips", "ING"}, {"Philips"}), Holding({"ING"}), false},
        {"the newcomer lacks one", Content({"Philips"}, {"Philips"}), Holding({"Philips", "ING"}), false},
        {"unreadable", Content({"Philips"}, {"Philips"}), NameHolder{NameHolder::State::Unreadable, {}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MayTake(c.newcomer, c.holder), c.mayTake);
    }

    const struct {
        const char* name;
        int number;
        const char* numbered;
    } names[] = {
        {"13-03-2009.onvolledig.csv", 1, "13-03-2009.onvolledig.csv"},
        {"13-03-2009.onvolledig.csv", 2, "13-03-2009.onvolledig-2.csv"},
        {"13-03-2009.nieuw.csv", 12, "13-03-2009.nieuw-12.csv"},
        {"13-03-2009.csv.tmp", 3, "13-03-2009.csv-3.tmp"},
        {"Kestrom", 2, "Kestrom-2"},
    };
    for (const auto& n : names) {
        SCOPED_TRACE(n.numbered);
        EXPECT_EQ(NumberedName(n.name, n.number), n.numbered);
    }
}

} // namespace
