#include "download/run_log.h"
#include "download/run_log_status.h"

#include <gtest/gtest.h>

#include <string>

namespace {

RunRecord Downloaded(DayFilePlace place, const std::string& fileName)
{
    RunRecord record;
    record.start = {{2009, 3, 13}, 22, 0, 7};
    record.automatic = true;
    record.tradingDate = {2009, 3, 13};
    record.downloaded = true;
    record.file.place = place;
    record.file.fileName = fileName;
    record.file.lines = 12347;
    record.withData = 28;
    record.exitCode = 0;
    record.milliseconds = 41499;
    return record;
}

} // namespace

TEST(RunLog, OneLineSaysWhereTheQuotesWentAndHowTheRunEnded)
{
    const std::string start = "13-03-2009 22:00:07; automatisch; handelsdag 13-03-2009; ";
    struct Case {
        const char* name;
        RunRecord record;
        std::string line;
    };
    RunRecord beside = Downloaded(DayFilePlace::Beside, "13-03-2009.nieuw.csv");
    beside.file.blocked = "13-03-2009.csv";
    beside.file.reason = "het is geopend in een ander programma (in gebruik)";
    beside.exitCode = 6;
    RunRecord partial = Downloaded(DayFilePlace::Partial, "13-03-2009.onvolledig.csv");
    partial.file.lines = 500;
    partial.withData = 27;
    // Names come from the pages: a line break must not split the record.
    partial.withoutData = {"Philips", "ING\r\nGroep"};
    partial.exitCode = 1;
    RunRecord failed = Downloaded(DayFilePlace::Failed, "13-03-2009.csv");
    failed.file.reason = "Er is geen ruimte meer op de schijf.";
    failed.file.rescued = "13-03-2009.onvolledig.csv";
    failed.exitCode = 3;
    RunRecord busy;
    busy.start = {{2009, 3, 13}, 22, 0, 7};
    busy.tradingDate = {2009, 3, 13};
    busy.exitCode = 7;
    busy.milliseconds = 400;
    const Case cases[] = {
        {"complete", Downloaded(DayFilePlace::DayName, "13-03-2009.csv"),
         start + "13-03-2009.csv, 12347 regels; 28 fondsen met alle koersen, 0 zonder; exitcode 0 compleet; 41 s\r\n"},
        {"beside", beside,
         start + "13-03-2009.nieuw.csv, 12347 regels (13-03-2009.csv kon niet worden vervangen: het is geopend in een "
                 "ander programma (in gebruik)); 28 fondsen met alle koersen, 0 zonder; exitcode 6 koersen niet onder "
                 "de naam van de dag; 41 s\r\n"},
        {"partial", partial,
         start + "13-03-2009.onvolledig.csv, 500 regels; 27 fondsen met alle koersen, 2 zonder: Philips, ING  Groep; "
                 "exitcode 1 niet alle koersen ontvangen; 41 s\r\n"},
        {"failed", failed,
         start + "niets geschreven: Er is geen ruimte meer op de schijf.; 28 fondsen met alle koersen, 0 zonder; "
                 "koersen van een afgebroken download bewaard in 13-03-2009.onvolledig.csv; exitcode 3 "
                 "koersbestand niet geschreven; 41 s\r\n"},
        {"another run on the folder, by the button", busy,
         "13-03-2009 22:00:07; knop; handelsdag 13-03-2009; exitcode 7 een andere download liep in deze map; 0 s\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunLogLine(c.record), c.line);
    }

    // A hostile list of thousands of names still gives a line of bounded length.
    RunRecord many = partial;
    many.withoutData.assign(5000, std::string(40, 'n'));
    const std::string line = RunLogLine(many);
    EXPECT_LT(line.size(), 2500u);
    EXPECT_NE(line.find(", ...; exitcode 1"), std::string::npos);
}

TEST(RunLog, StaysBoundedByDroppingItsOldestLines)
{
    EXPECT_TRUE(FitsInRunLog(RunLogLimit - 100, 100));
    EXPECT_FALSE(FitsInRunLog(RunLogLimit - 99, 100));
    EXPECT_FALSE(FitsInRunLog(5'000'000'000ull, 1));

    struct Case {
        const char* name;
        std::string tail;
        std::string text;
    };
    const Case cases[] = {
        {"cut inside a line", "ne 1\r\nline 2\r\nline 3\r\n", "line 2\r\nline 3\r\nnew\r\n"},
        {"cut at a line's start", "\nline 2\r\n", "line 2\r\nnew\r\n"},
        {"no line break at all", std::string(RunLogKept, 'x'), "new\r\n"},
        {"empty", "", "new\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrimmedRunLog(c.tail, "new\r\n"), c.text);
    }
}

TEST(RunLog, TheFallbackLineNamesTheDataFolderAndWhy)
{
    EXPECT_EQ(FallbackRunLogLine("13-03-2009 22:00:07; automatisch; exitcode 3 x; 2 s\r\n", "Q:\\Koersen\\",
                                 "Het systeem kan het pad niet vinden.\r\n"),
              "13-03-2009 22:00:07; automatisch; exitcode 3 x; 2 s; gegevensmap Q:\\Koersen\\ niet beschrijfbaar: "
              "Het systeem kan het pad niet vinden.  \r\n");
}

TEST(RunLog, TheStatusLineTellsWhatTheLastAutomaticRunDid)
{
    const std::string started = RunLogStartLine({{2026, 12, 8}, 22, 0, 7});
    ASSERT_EQ(started, "08-12-2026 22:00:07; automatisch; gestart\r\n");
    RunRecord complete = Downloaded(DayFilePlace::DayName, "08-12-2026.csv");
    complete.start = {{2026, 12, 8}, 22, 0, 7};
    const std::string completeLine = RunLogLine(complete);
    auto ended = [&](int exitCode) {
        RunRecord record = complete;
        record.exitCode = exitCode;
        record.withoutData = {"Philips; exitcode 0 compleet"};
        return started + RunLogLine(record);
    };
    const std::string button = "09-12-2026 10:00:00; knop; handelsdag 09-12-2026; exitcode 2 geen lijst met fondsen; 1 s\r\n";
    const std::string when = "Laatste automatische download: di 08-12-2026 22:00";
    struct Case {
        const char* name;
        std::vector<std::string> logs;
        std::string status;
    };
    const Case cases[] = {
        {"no log", {}, ""},
        {"empty logs", {"", ""}, ""},
        {"only button runs", {button}, ""},
        {"complete", {started + completeLine + button}, when + ", alle koersen van 28 fondsen"},
        {"complete, before start lines were written", {completeLine}, when + ", alle koersen van 28 fondsen"},
        {"missing data", {ended(1)}, when + ", niet alle koersen: zie Kestrom.log"},
        {"no list", {ended(2)}, when + ", geen lijst met fondsen: zie Kestrom.log"},
        {"file failure", {ended(3)}, when + ", het koersbestand kon niet worden geschreven: zie Kestrom.log"},
        {"declined", {ended(4)}, when + " is niet gestart (Nee op de vraag van zondag)"},
        {"beside", {ended(6)}, when + ", de koersen staan niet onder de naam van de dag: zie Kestrom.log"},
        {"folder busy", {ended(7)}, when + " is niet gestart: er liep al een download in de map"},
        {"server gone", {ended(8)}, when + ", de koersenserver antwoordde niet meer: zie Kestrom.log"},
        {"missed", {ended(11)}, when + " is gemist"},
        {"unknown code", {ended(42)}, when + ", exitcode 42: zie Kestrom.log"},
        {"never ended",
         {started + completeLine + RunLogStartLine({{2026, 12, 9}, 22, 0, 0})},
         "Laatste automatische download: wo 09-12-2026 22:00 is niet afgemaakt (afgebroken, of de computer ging uit)"},
        {"an earlier run ended after a later one started",
         {started + RunLogStartLine({{2026, 12, 7}, 22, 0, 0}) + ended(1).substr(started.size())},
         when + ", niet alle koersen: zie Kestrom.log"},
        {"the newer run is in the fallback log",
         {"07-12-2026 22:00:00; automatisch; handelsdag 07-12-2026; exitcode 0 compleet; 9 s\r\n",
          FallbackRunLogLine(ended(3).substr(started.size()), "Q:\\", "Toegang geweigerd")},
         when + ", het koersbestand kon niet worden geschreven: zie Kestrom.log"},
        {"damaged lines", {"xx-12-2026 22:00:07; automatisch; gestart\r\n08-13-2026 22:00:07; automatisch; gestart\n" +
                           completeLine.substr(3)}, ""},
        {"lines ending in LF only", {"08-12-2026 22:00:07; automatisch; gestart\n"}, when + " is niet afgemaakt (afgebroken, of de computer ging uit)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LastAutomaticRunStatus(c.logs), c.status);
    }
}
