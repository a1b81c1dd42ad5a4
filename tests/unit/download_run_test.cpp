#include "download/download_run.h"

#include "download_run_fakes.h"
#include "sample_option_page.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

const std::string Base = "http://127.0.0.1:8123/derivaten/opties/";
const std::string FridayFile = "C:\\Data\\13-03-2009.csv";
const std::string FridayBackup = FridayFile + ".bak";
const std::string FridayWork = FridayFile + ".tmp";
const std::string FridayPartial = "C:\\Data\\13-03-2009.onvolledig.csv";
const std::string FridayBeside = "C:\\Data\\13-03-2009.nieuw.csv";
const std::string Header =
    "Expiratie; Uitoefenprijs; Philips; C/P; +/- ; Laatste; Tijd; Volume; Bied; Open int.; Hoog; Laag; Omzet; Koers\r\n";
const std::string PhilipsCall =
    "20-03-2009; 100,00; Philips; Call; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; 21,35\r\n";
const std::string PhilipsCall1 =
    "20-03-2009; 105,25; Philips; Call; -7,1%; 85,07; 10:01; 34,10; 59,05; 47,11; 60,12; 73,13; 86,14; 21,35\r\n";
const std::string PhilipsPut0 =
    "20-03-2009; 100,00; Philips; Put; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; 21,35\r\n";
const std::string PhilipsPut1 =
    "20-03-2009; 105,25; Philips; Put; -7,1%; 85,07; 10:01; 34,10; 59,05; 47,11; 60,12; 73,13; 86,14; 21,35\r\n";
const std::string IngCall =
    "20-03-2009; 100,00; ING Groep (ING); Call; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; 7,12\r\n";
const std::string IngPut =
    "20-03-2009; 100,00; ING Groep (ING); Put; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; 7,12\r\n";

// What stands in front of the network in a hotel: a page of its own for
// every address, with status 200, long enough and full of value attributes.
std::string LogInPage()
{
    std::string page = "<html><head><title>Welkom</title></head><body><form method=\"post\" action=\"/login\">"
                       "<select name=\"taal\"><option value=\"nl\">Nederlands</option>"
                       "<option value=\"en\">English</option></select>"
                       "<input type=\"hidden\" name=\"kamer\" value=\"\"><td class=\"x\">Kamernummer</td>";
    while (page.size() < 3000) page += "<p>Gebruik van het netwerk valt onder de voorwaarden van het hotel.</p>\r\n";
    return page + "</form></body></html>\r\n";
}

class DownloadRunTest : public ::testing::Test {
protected:
    // The list page is the first underlying's call page on the site.
    void ServeList(const Options& options)
    {
        SamplePage p;
        p.options = options;
        p.name = "AEX";
        p.price = "250,10";
        fetcher.pages[Base + "?call=AEX.AGN/O"] = SampleOptionPage(p);
    }

    // A list of Philips alone, with rows on its call page and on its put page.
    void ServePhilips(int callRows, int putRows)
    {
        ServeList({{"PHI.AGN/O", "Philips"}});
        ServePage("?call=PHI.AGN/O", "Philips", callRows);
        ServePage("?put=PHI.AGN/O", "Philips", putRows);
    }

    void ServePage(const std::string& query, const std::string& name, int rows, const std::string& price = "21,35")
    {
        SamplePage p;
        p.name = name;
        p.price = price;
        p.rows = rows;
        fetcher.pages[Base + query] = SampleOptionPage(p);
    }

    std::size_t Count(const std::string& prefix) const
    {
        return std::count_if(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }

    EventLog log;
    FakeFetcher fetcher{log};
    FakeClock clock;
    FakeView view{log};
    FakeStore store{log};
    FakeLock lock{log};
    FakeRunLog runLog;
    DownloadRun run{fetcher, clock, view, store, lock, runLog};
    RunSettings settings{"C:\\Data\\", true, "127.0.0.1:8123", "Kestrom", false, {}};
};

TEST_F(DownloadRunTest, OneUnderlyingStepByStep)
{
    ServePhilips(1, 2);

    EXPECT_EQ(run.Run(settings), RunOutcome::Complete);
    // The lines go into the work file in one write, which reaches the disk
    // once; then the file takes the day's name in one step.
    const EventLog expected = {
        "lock C:\\Data\\",
        "hourglass on",
        "status Bezig met verbinden",
        "process",
        "fetch " + Base + "?call=AEX.AGN/O",
        "status Bezig met downloaden",
        "clear",
        "fetch " + Base + "?call=PHI.AGN/O",
        "folder C:\\Data\\",
        "create " + FridayWork,
        "fetch " + Base + "?put=PHI.AGN/O",
        "process",
        "memo Gegevens van Philips gedownload",
        "append " + FridayWork,
        "flush " + FridayWork,
        "move " + FridayWork + " " + FridayFile,
        "status Downloaden is klaar",
        "memo ",
        "memo De optiekoersen van 1 fondsen zijn gedownload",
        "memo Ze zijn geschreven in: 13-03-2009.csv",
        "hourglass off",
        "unlock",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(store.files[FridayFile], Header + PhilipsCall + PhilipsPut0 + PhilipsPut1);
    EXPECT_EQ(run.QuoteFileName(), "13-03-2009.csv");
    EXPECT_EQ(run.Underlyings(), UnderlyingList{"PHI.AGN/O Philips"});
}

TEST_F(DownloadRunTest, AutomaticModeCountsDownAndClosesWithTheOutcome)
{
    ServeList({{"PHI.AGN/O", "Philips"}});
    ServePage("?call=PHI.AGN/O", "Philips", 1);
    settings.automatic = true;

    for (const bool putServed : {true, false}) {
        SCOPED_TRACE(putServed ? "complete" : "put page missing");
        if (putServed) ServePage("?put=PHI.AGN/O", "Philips", 1);
        else fetcher.pages.erase(Base + "?put=PHI.AGN/O");
        log.clear();
        const RunOutcome outcome = run.Run(settings);
        EXPECT_EQ(outcome, putServed ? RunOutcome::Complete : RunOutcome::MissingData);

        const auto closing = std::find(log.begin(), log.end(), "hourglass off");
        ASSERT_NE(closing, log.end());
        const EventLog expected = {
            "hourglass off", "unlock", "status Kestrom wordt afgesloten", "process", "memo ", "memo Kestrom wordt nu afgesloten.",
            "memo ", "memo *****", "wait 1000", "replace ****", "wait 1000", "replace ***", "wait 1000",
            "replace **", "wait 1000", "replace *", "wait 1000", "replace ", "wait 1000",
            "close " + std::string(putServed ? "0" : "1"),
        };
        EXPECT_EQ(EventLog(closing, log.end()), expected);
        EXPECT_EQ(view.memo.back(), "");
        EXPECT_EQ(Count("process"), 3u);
    }
}

TEST_F(DownloadRunTest, SundayQuestionOnlyAfterAnExpiryFriday)
{
    struct Case {
        const char* name;
        CalendarDate today;
        bool asked;
        const char* file;
    };
    const Case cases[] = {
        {"Sunday after the third Friday", {2009, 3, 22}, true, "C:\\Data\\20-03-2009.csv"},
        {"Sunday after Good Friday expiry", {2008, 3, 23}, false, "C:\\Data\\20-03-2008.csv"},
        {"another Sunday", {2009, 3, 15}, false, FridayFile.c_str()},
        {"Saturday after the third Friday", {2009, 3, 21}, false, "C:\\Data\\20-03-2009.csv"},
    };
    ServePhilips(1, 1);
    store.folders.insert("C:\\Data\\");
    for (const auto& c : cases) {
        for (const bool answer : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (answer ? ", Ja" : ", Nee"));
            log.clear();
            view.memo = {"earlier memo"};
            view.status = "earlier status";
            store.files = {{c.file, "earlier quotes\r\n"}};
            view.answer = answer;
            clock.now = {c.today, 12, 0};
            settings.automatic = true;

            const RunOutcome outcome = run.Run(settings);
            if (c.asked && !answer) {
                EXPECT_EQ(outcome, RunOutcome::Declined);
                EXPECT_EQ(log, EventLog{"ask Kestrom - Downloaden? | Als u op \"Ja\" klikt dan worden de "
                                        "expitatiekoersen van vrijdag gewist"});
                EXPECT_EQ(view.memo, std::vector<std::string>{"earlier memo"});
                EXPECT_EQ(view.status, "earlier status");
                EXPECT_EQ(store.files[c.file], "earlier quotes\r\n");
            } else {
                EXPECT_EQ(outcome, RunOutcome::Complete);
                EXPECT_EQ(Count("ask "), c.asked ? 1u : 0u);
                EXPECT_EQ(store.files[c.file], Header + PhilipsCall + PhilipsPut0);
                EXPECT_EQ(Count("close 0"), 1u);
            }
        }
    }
}

// A call page that is no quote page gives nothing: the header line comes
// from the put page, whose lines carry no price.
TEST_F(DownloadRunTest, HeaderFromTheFirstQuotePage)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    ServePage("?put=PHI.AGN/O", "Philips", 1);
    ServePage("?call=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
    ServePage("?put=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
    const std::string callUrl = Base + "?call=PHI.AGN/O";
    SamplePage p;
    const std::string sitePage = SampleOptionPage(p);
    const struct {
        const char* name;
        std::string body;
        unsigned long status;
    } cases[] = {
        {"a short page", std::string(999, 'x'), 200},
        {"the site's own page with a 503", sitePage, 503},
        {"a long 500 page", std::string(5000, 'x'), 500},
        {"a hotel's log-in page", LogInPage(), 200},
        {"the site's maintenance notice", sitePage.substr(0, sitePage.find("<div class=\"quoteLine"))
             + "<p>Wegens onderhoud zijn de optiekoersen tijdelijk niet beschikbaar.</p>" + std::string(1000, ' '), 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fetcher.pages[callUrl] = c.body;
        fetcher.status[callUrl] = c.status;
        store.files.clear();
        view.memo.clear();

        EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
        const std::string expected =
            Header +
            "20-03-2009; 100,00; Philips; Put; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; \r\n"
            "20-03-2009; 100,00; ING Groep (ING); Call; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; 7,12\r\n"
            "20-03-2009; 100,00; ING Groep (ING); Put; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; 7,12\r\n";
        EXPECT_EQ(store.files[FridayFile], expected);
        const std::vector<std::string> memo = {"Niet alle koersen van Philips ontvangen",
                                               "Gegevens van ING Groep (ING) gedownload",
                                               "",
                                               "De optiekoersen van 1 fondsen zijn gedownload",
                                               "Ze zijn geschreven in: 13-03-2009.csv",
                                               "Van 1 fonds zijn geen of niet alle koersen ontvangen",
                                               "Het gaat om Philips"};
        EXPECT_EQ(view.memo, memo);
    }
}

TEST_F(DownloadRunTest, SelectionDecidesHowManyUnderlyings)
{
    const Options options = {{"AEX.AGN/O", "AEX"}, {"AEX.AGN/W", "AEX week"}, {"AEX.AGN/D", "AEX dag"},
                             {"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}};
    for (const bool selectionAll : {false, true}) {
        SCOPED_TRACE(selectionAll ? "Alle opties" : "Alleen AEX-opties");
        ServeList(options);
        log.clear();
        settings.selectionAll = selectionAll;
        run.Run(settings);
        const std::size_t funds = selectionAll ? 5 : 3;
        EventLog requests;
        std::copy_if(log.begin(), log.end(), std::back_inserter(requests),
                     [](const std::string& e) { return e.rfind("fetch ", 0) == 0; });
        EventLog expected = {"fetch " + Base + "?call=AEX.AGN/O"};
        for (std::size_t i = 0; i < funds; ++i) {
            expected.push_back("fetch " + Base + "?call=" + options[i].first);
            expected.push_back("fetch " + Base + "?put=" + options[i].first);
        }
        EXPECT_EQ(requests, expected);
        // No page was served: the memo counts none as downloaded, and every
        // one as without quotes.
        EXPECT_EQ(view.memo[funds + 1], "De optiekoersen van 0 fondsen zijn gedownload");
        EXPECT_EQ(std::count(view.memo.begin(), view.memo.end(),
                             "Van " + std::to_string(funds) + " fondsen zijn geen of niet alle koersen ontvangen"),
                  1);
        EXPECT_EQ(Count("process"), 1 + funds);
    }
}

// The day's name goes to the file with the fullest quotes: the file it
// replaces is kept as the backup, one generation, and a run with less keeps
// its quotes under the partial name, so that runs cut short never cost the
// quotes of a complete one.
TEST_F(DownloadRunTest, TheDaysNameHoldsTheFullestQuotesOfTheDay)
{
    const std::string first = Header + PhilipsCall + PhilipsCall1 + PhilipsPut0 + PhilipsPut1;
    const std::string second = Header + PhilipsCall + PhilipsPut0;
    struct Step {
        const char* name;
        int rows;
        bool putCut;
        RunOutcome outcome;
        const char* memo;
        std::map<std::string, std::string> files;
    };
    // A page cut short keeps the rows that arrived; here they are all of
    // them, so that each file shows which run wrote it.
    const Step steps[] = {
        {"complete", 2, false, RunOutcome::Complete, "Ze zijn geschreven in: 13-03-2009.csv", {{FridayFile, first}}},
        // Later that evening the site has one row less on each page.
        {"complete, fewer rows", 1, false, RunOutcome::Complete, "Ze zijn geschreven in: 13-03-2009.csv",
         {{FridayFile, second}, {FridayBackup, first}}},
        {"put page cut short", 2, true, RunOutcome::MissingData, "Ze zijn geschreven in: 13-03-2009.onvolledig.csv",
         {{FridayFile, second}, {FridayBackup, first}, {FridayPartial, first}}},
        {"cut short once more", 1, true, RunOutcome::MissingData, "Ze zijn geschreven in: 13-03-2009.onvolledig.csv",
         {{FridayFile, second}, {FridayBackup, first}, {FridayPartial, second}}},
        {"complete again", 2, false, RunOutcome::Complete, "Ze zijn geschreven in: 13-03-2009.csv",
         {{FridayFile, first}, {FridayBackup, second}, {FridayPartial, second}}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        ServePhilips(step.rows, step.rows);
        fetcher.cutOff.clear();
        if (step.putCut) fetcher.cutOff.insert(Base + "?put=PHI.AGN/O");
        EXPECT_EQ(run.Run(settings), step.outcome);
        EXPECT_EQ(store.files, step.files);
        ASSERT_GE(view.memo.size(), 4u);
        EXPECT_EQ(view.memo[3], step.memo);
        if (step.putCut) {
            EXPECT_EQ(view.memo[4], "13-03-2009.csv heeft koersen die deze download niet kreeg en is gebleven zoals het was");
            EXPECT_EQ(view.memo[0], "Niet alle koersen van Philips ontvangen");
        }
    }
}

// Judged by content: whether every underlying the day's file has quotes of
// came whole, not how the run went.
TEST_F(DownloadRunTest, ANewFileTakesTheDaysNameWhenItHasEveryUnderlyingOfTheDaysFile)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    const std::string both = Header + PhilipsCall + PhilipsPut0 + IngCall + IngPut;
    const std::string philips = Header + PhilipsCall + PhilipsPut0;
    struct Case {
        const char* name;
        const char* current;  // the day's file before the run; nullptr: none
        bool ingServed;
        bool ingPutCut;
        bool unreadable;
        bool takesName;
    };
    const Case cases[] = {
        {"no file of the day yet, ING missing", nullptr, false, false, false, true},
        {"an empty file of the day, ING missing", "", false, false, false, true},
        {"the day's file has ING, which gives nothing now", "both", false, false, false, false},
        {"the day's file has ING, whose put page is cut short", "both", true, true, false, false},
        {"ING has given nothing all day", "philips", false, false, false, true},
        {"every underlying whole", "both", true, false, false, true},
        {"a day's file that cannot be read", "both", false, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store.files.clear();
        store.unreadable.clear();
        fetcher.cutOff.clear();
        ServePage("?call=PHI.AGN/O", "Philips", 1);
        ServePage("?put=PHI.AGN/O", "Philips", 1);
        fetcher.pages.erase(Base + "?call=INGA.AGN/O");
        fetcher.pages.erase(Base + "?put=INGA.AGN/O");
        if (c.ingServed) {
            ServePage("?call=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
            ServePage("?put=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
        }
        if (c.ingPutCut) fetcher.cutOff.insert(Base + "?put=INGA.AGN/O");
        std::string current;
        if (c.current) {
            current = std::string(c.current) == "both" ? both : std::string(c.current) == "philips" ? philips : "";
            store.folders.insert("C:\\Data\\");
            store.files[FridayFile] = current;
        }
        if (c.unreadable) store.unreadable.insert(FridayFile);
        const std::string fresh = c.ingServed ? both : philips;

        run.Run(settings);
        if (c.takesName) {
            EXPECT_EQ(store.files[FridayFile], fresh);
            EXPECT_EQ(store.files.count(FridayPartial), 0u);
            // An empty file holds nothing worth a backup.
            const auto backup = store.files.find(FridayBackup);
            EXPECT_EQ(backup == store.files.end() ? "none" : backup->second, current.empty() ? "none" : current);
        } else {
            EXPECT_EQ(store.files[FridayFile], current);
            EXPECT_EQ(store.files[FridayPartial], fresh);
            EXPECT_EQ(store.files.count(FridayBackup), 0u);
        }
        EXPECT_EQ(store.files.count(FridayWork), 0u);
    }
}

// A spreadsheet that shows the day's file lets others read it, not rename or
// replace it: the complete new quotes are kept beside it under a name of
// their own, and the memo says where and why.
TEST_F(DownloadRunTest, QuotesThatCannotTakeTheirNameAreKeptBeside)
{
    ServePhilips(1, 1);
    settings.automatic = true;
    const std::string fresh = Header + PhilipsCall + PhilipsPut0;
    const std::string earlier = Header + PhilipsCall1 + PhilipsPut1;
    struct Case {
        const char* name;
        bool putCut;
        std::set<std::string> held;
        std::map<std::string, std::string> files;
        std::vector<std::string> memo;
    };
    const Case cases[] = {
        {"the day's file held open", false, {FridayFile},
         {{FridayFile, earlier}, {FridayBeside, fresh}},
         {"Ze zijn geschreven in: 13-03-2009.nieuw.csv",
          "13-03-2009.csv kon niet worden vervangen: " + std::string(FakeStore::InUse),
          "Hernoem 13-03-2009.nieuw.csv naar 13-03-2009.csv zodra dat kan, of download opnieuw"}},
        {"the partial file held open", true, {FridayPartial},
         {{FridayFile, earlier}, {FridayPartial, "partial\r\n"}, {FridayBeside, fresh}},
         {"Ze zijn geschreven in: 13-03-2009.nieuw.csv",
          "13-03-2009.onvolledig.csv kon niet worden vervangen: " + std::string(FakeStore::InUse),
          "Hernoem 13-03-2009.nieuw.csv naar 13-03-2009.onvolledig.csv zodra dat kan, of download opnieuw"}},
        {"the day's file and the name beside it held open", false, {FridayFile, FridayBeside},
         {{FridayFile, earlier}, {FridayBeside, "older new\r\n"}, {FridayWork, fresh}},
         {"Ze staan in: 13-03-2009.csv.tmp",
          "13-03-2009.csv kon niet worden vervangen: " + std::string(FakeStore::InUse),
          "Hernoem 13-03-2009.csv.tmp naar 13-03-2009.csv zodra dat kan, of download opnieuw"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        store.folders = {"C:\\Data\\"};
        store.files = {{FridayFile, earlier}};
        if (c.held.count(FridayPartial)) store.files[FridayPartial] = "partial\r\n";
        if (c.held.count(FridayBeside)) store.files[FridayBeside] = "older new\r\n";
        store.held = c.held;
        fetcher.cutOff.clear();
        if (c.putCut) fetcher.cutOff.insert(Base + "?put=PHI.AGN/O");

        EXPECT_EQ(run.Run(settings), RunOutcome::NotInPlace);
        EXPECT_EQ(store.files, c.files);
        ASSERT_GE(view.memo.size(), 6u);
        EXPECT_EQ(std::vector<std::string>(view.memo.begin() + 3, view.memo.begin() + 6), c.memo);
        EXPECT_EQ(Count("close 6"), 1u);
        // No question waits for anyone.
        EXPECT_EQ(Count("ask "), 0u);
    }
}

// A run ended by force leaves its work file; the next run that writes keeps
// those quotes under the partial name, never deleting them unread.
TEST_F(DownloadRunTest, AWorkFileLeftBehindIsKeptUnderThePartialName)
{
    ServePhilips(1, 1);
    const std::string fresh = Header + PhilipsCall + PhilipsPut0;
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty work file" : "work file with quotes");
        store.folders = {"C:\\Data\\"};
        store.files = {{FridayWork, empty ? "" : "killed run\r\n"}};
        EXPECT_EQ(run.Run(settings), RunOutcome::Complete);
        std::map<std::string, std::string> files = {{FridayFile, fresh}};
        if (!empty) files[FridayPartial] = "killed run\r\n";
        EXPECT_EQ(store.files, files);
        const std::string rescued = "De koersen van een afgebroken eerdere download staan in: 13-03-2009.onvolledig.csv";
        EXPECT_EQ(view.memo.back() == rescued, !empty);
        EXPECT_EQ(runLog.lines.back().second.find("afgebroken download bewaard in 13-03-2009.onvolledig.csv") !=
                      std::string::npos,
                  !empty);
    }

    // Where they cannot be kept, the run writes nothing rather than lose them.
    store.files = {{FridayWork, "killed run\r\n"}, {FridayPartial, "partial\r\n"}};
    store.held = {FridayPartial};
    EXPECT_EQ(run.Run(settings), RunOutcome::FileFailure);
    EXPECT_EQ(store.files, (std::map<std::string, std::string>{{FridayWork, "killed run\r\n"},
                                                                {FridayPartial, "partial\r\n"}}));
}

// Whether no page answers or a log-in page answers every option page.
TEST_F(DownloadRunTest, ARunThatGetsNothingKeepsTheEarlierFile)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    settings.automatic = true;
    for (const bool logIn : {false, true}) {
        if (logIn) {
            for (const char* query : {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O"})
                fetcher.pages[Base + query] = LogInPage();
        }
        for (const bool earlierFile : {true, false}) {
            SCOPED_TRACE(std::string(logIn ? "log-in pages, " : "no answers, ") +
                         (earlierFile ? "earlier file" : "no earlier file"));
            store.files.clear();
            if (earlierFile) {
                store.folders.insert("C:\\Data\\");
                store.files[FridayFile] = "earlier quotes\r\n";
            }
            log.clear();
            EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
            EXPECT_EQ(store.files.at(FridayFile), earlierFile ? "earlier quotes\r\n" : "");
            EXPECT_EQ(store.files.size(), 1u);
            EXPECT_EQ(Count("create " + FridayFile), 0u);
            EXPECT_EQ(view.memo[5], "Van 2 fondsen zijn geen of niet alle koersen ontvangen");
            EXPECT_EQ(view.memo[6], "Het gaat om Philips en ING Groep (ING)");
            EXPECT_EQ(Count("close 1"), 1u);
        }
    }
}

TEST_F(DownloadRunTest, WithoutAnyListNothingIsFetchedOrWritten)
{
    const std::string listUrl = Base + "?call=AEX.AGN/O";
    SamplePage p;
    const struct {
        const char* name;
        std::string body;
        unsigned long status;
    } cases[] = {
        {"a short page", std::string(999, 'x'), 200},
        {"a hotel's log-in page", LogInPage(), 200},
        {"the site's own page with a 500", SampleOptionPage(p), 500},
    };
    settings.automatic = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fetcher.pages[listUrl] = c.body;
        fetcher.status[listUrl] = c.status;
        log.clear();
        EXPECT_EQ(run.Run(settings), RunOutcome::NoUnderlyings);
        EXPECT_EQ(Count("fetch "), 1u);
        EXPECT_EQ(Count("folder "), 0u);
        EXPECT_EQ(Count("create"), 0u);
        EXPECT_TRUE(store.files.empty());
        EXPECT_EQ(view.memo.front(), "De lijst met fondsen kon niet worden opgehaald; er is niets gedownload.");
        EXPECT_EQ(view.status, "Kestrom wordt afgesloten");
        EXPECT_EQ(log.back(), "close 2");
        EXPECT_FALSE(run.Underlyings().has_value());
        EXPECT_EQ(run.QuoteFileName(), "");
    }
    fetcher.status.clear();

    // A later list page without data keeps the list of an earlier run.
    ServeList({{"PHI.AGN/O", "Philips"}});
    settings.automatic = false;
    run.Run(settings);
    fetcher.pages[Base + "?call=AEX.AGN/O"] = "";
    log.clear();
    run.Run(settings);
    EXPECT_EQ(Count("fetch " + Base + "?call=PHI.AGN/O"), 1u);
    EXPECT_EQ(run.Underlyings(), UnderlyingList{"PHI.AGN/O Philips"});
}

TEST_F(DownloadRunTest, ACellHoldingSemicolonBlankIsWrittenAsItIs)
{
    ServeList({{"PHI.AGN/O", "Philips"}});
    SamplePage p;
    p.name = "Philips";
    p.rows = 1;
    p.cell = [](int row, int column) { return column == 9 ? "1; 2" : SampleCell(row, column); };
    fetcher.pages[Base + "?call=PHI.AGN/O"] = SampleOptionPage(p);
    run.Run(settings);
    const std::string line =
        "20-03-2009; 100,00; Philips; Call; -8,0%; 78,06; 09:00; 1; 2; 52,04; 40,10; 53,11; 66,12; 79,13; 21,35\r\n";
    EXPECT_EQ(store.files[FridayFile], Header + line);
}

// A write that fails leaves every earlier file as it was, and takes its
// own work file with it.
TEST_F(DownloadRunTest, FileFailuresAreReportedAndLeaveEveryEarlierFile)
{
    ServePhilips(2, 2);
    settings.dataPath = "C:\\Nieuw\\Map\\";
    settings.automatic = true;
    const std::string day = settings.dataPath + "13-03-2009.csv";

    struct Case {
        const char* name;
        FileError folderFailure;
        FileError createFailure;
        FileError flushFailure;
        int appendsBeforeFailure;
        const char* reason;
        bool earlierFile;
    };
    const Case cases[] = {
        {"folder", "Toegang geweigerd.", std::nullopt, std::nullopt, -1, "Toegang geweigerd.", false},
        {"work file", std::nullopt, "Toegang geweigerd.", std::nullopt, -1, "Toegang geweigerd.", true},
        {"disk full", std::nullopt, std::nullopt, std::nullopt, 0, FakeStore::DiskFull, true},
        {"flush", std::nullopt, std::nullopt, "De netwerkverbinding is verbroken.", -1,
         "De netwerkverbinding is verbroken.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        store.folders.clear();
        store.files.clear();
        std::map<std::string, std::string> before;
        if (c.earlierFile) {
            store.folders.insert(settings.dataPath);
            before = {{day, "earlier quotes\r\n"}, {day + ".bak", "older quotes\r\n"},
                      {settings.dataPath + "13-03-2009.onvolledig.csv", "partial quotes\r\n"}};
            store.files = before;
        }
        store.folderFailure = c.folderFailure;
        store.createFailure = c.createFailure;
        store.flushFailure = c.flushFailure;
        store.appendsBeforeFailure = c.appendsBeforeFailure;

        EXPECT_EQ(run.Run(settings), RunOutcome::FileFailure);
        // Not named as written: the reason takes its place.
        EXPECT_EQ(view.memo[3], std::string("Het koersbestand kon niet worden geschreven: ") + c.reason);
        EXPECT_EQ(std::count(view.memo.begin(), view.memo.end(), "Ze zijn geschreven in: 13-03-2009.csv"), 0);
        EXPECT_EQ(Count("close 3"), 1u);
        EXPECT_EQ(Count("move "), 0u);
        EXPECT_EQ(store.files, before);
    }
}

// Each run's quotes take one write a block of lines, not one a line, and
// reach the disk once.
TEST_F(DownloadRunTest, TheLinesAreWrittenInBlocks)
{
    ServePhilips(3000, 3000);
    EXPECT_EQ(run.Run(settings), RunOutcome::Complete);
    const std::string& file = store.files[FridayFile];
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 6001);
    EXPECT_GE(Count("append "), 1u);
    EXPECT_LE(Count("append "), file.size() / (64 * 1024) + 1);
    EXPECT_EQ(Count("flush "), 1u);
}

// A scheduled run and a button run never write one data folder at once: the
// second says so, does nothing, and ends with its own exit code.
TEST_F(DownloadRunTest, ARunWhileAnotherHoldsTheDataFolderDoesNothing)
{
    ServePhilips(1, 1);
    store.folders = {"C:\\Data\\"};
    store.files = {{FridayFile, "earlier quotes\r\n"}};
    lock.busy = true;
    for (const bool automatic : {false, true}) {
        SCOPED_TRACE(automatic ? "automatic" : "button");
        settings.automatic = automatic;
        log.clear();
        EXPECT_EQ(run.Run(settings), RunOutcome::FolderBusy);
        EXPECT_EQ(log.front(), "lock C:\\Data\\");
        EXPECT_EQ(Count("fetch "), 0u);
        EXPECT_EQ(Count("unlock"), 0u);
        EXPECT_EQ(store.files, (std::map<std::string, std::string>{{FridayFile, "earlier quotes\r\n"}}));
        EXPECT_EQ(view.memo.front(), "Er loopt al een download naar de map C:\\Data\\; deze download is niet gestart.");
        EXPECT_EQ(Count("close 7"), automatic ? 1u : 0u);
        EXPECT_NE(runLog.lines.back().second.find("exitcode 7 een andere download liep in deze map"), std::string::npos);
    }
}

// One line a run, in the data folder's log, whatever the run's end.
TEST_F(DownloadRunTest, EveryRunLeavesOneLineInTheRunLog)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    ServePage("?call=PHI.AGN/O", "Philips", 1);
    ServePage("?put=PHI.AGN/O", "Philips", 1);
    clock.now = {{2009, 3, 14}, 2, 5, 9};
    clock.step = 20400;
    settings.dataPath = "D:\\Koersen";
    settings.automatic = true;

    EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
    // An automatic run says first that it started, for a run that never
    // gets to its closing line.
    ASSERT_EQ(runLog.lines.size(), 2u);
    EXPECT_EQ(runLog.lines[0].first, "D:\\Koersen\\");
    EXPECT_EQ(runLog.lines[0].second, "14-03-2009 02:05:09; automatisch; gestart\r\n");
    runLog.lines.erase(runLog.lines.begin());
    EXPECT_EQ(runLog.lines[0].first, "D:\\Koersen\\");
    EXPECT_EQ(runLog.lines[0].second,
              "14-03-2009 02:05:09; automatisch; handelsdag 13-03-2009; 13-03-2009.csv, 3 regels; "
              "1 fondsen met alle koersen, 1 zonder: ING Groep (ING); exitcode 1 niet alle koersen ontvangen; 20 s\r\n");
    // The memo counts only what really came.
    EXPECT_EQ(view.memo[0], "Gegevens van Philips gedownload");
    EXPECT_EQ(view.memo[1], "Geen koersen van ING Groep (ING) ontvangen");
    EXPECT_EQ(view.memo[3], "De optiekoersen van 1 fondsen zijn gedownload");

    fetcher.pages.clear();
    settings.automatic = false;
    EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
    store.folderFailure = "Toegang geweigerd.";
    ServePhilips(1, 1);
    EXPECT_EQ(run.Run(settings), RunOutcome::FileFailure);
    ASSERT_EQ(runLog.lines.size(), 3u);
    EXPECT_EQ(runLog.lines[1].second,
              "14-03-2009 02:05:09; knop; handelsdag 13-03-2009; geen koersen, niets geschreven; "
              "0 fondsen met alle koersen, 2 zonder: Philips, ING Groep (ING); "
              "exitcode 1 niet alle koersen ontvangen; 20 s\r\n");
    EXPECT_EQ(runLog.lines[2].second,
              "14-03-2009 02:05:09; knop; handelsdag 13-03-2009; niets geschreven: Toegang geweigerd.; "
              "1 fondsen met alle koersen, 0 zonder; exitcode 3 koersbestand niet geschreven; 20 s\r\n");
}

TEST_F(DownloadRunTest, ARunItsTaskStartedAfterTheEveningDownloadsNothing)
{
    ServePhilips(1, 1);
    settings.automatic = true;
    settings.taskTime = ClockTime{22, 0};
    // Monday 16 March 2009 at 08:00, for Friday evening's run.
    clock.now = {{2009, 3, 16}, 8, 0, 3};

    EXPECT_EQ(run.Run(settings), RunOutcome::MissedEvening);
    EXPECT_EQ(Count("fetch"), 0u);
    EXPECT_EQ(Count("lock"), 0u);
    EXPECT_TRUE(store.files.empty());
    EXPECT_EQ(view.status, "Kestrom wordt afgesloten");
    EXPECT_EQ(view.memo[0], "De download van de avond van 13-03-2009 om 22:00 is gemist: de computer stond uit of sliep.");
    EXPECT_EQ(log.back(), "close 11");
    ASSERT_EQ(runLog.lines.size(), 2u);
    EXPECT_EQ(runLog.lines[1].second,
              "16-03-2009 08:00:03; automatisch; handelsdag 13-03-2009; exitcode 11 de avonddownload is gemist; 0 s\r\n");

    // Christmas Day's run, started on Monday: the memo names the evening,
    // the log the trading day its quotes would have been.
    runLog.lines.clear();
    clock.now = {{2026, 12, 28}, 8, 0, 0};
    EXPECT_EQ(run.Run(settings), RunOutcome::MissedEvening);
    EXPECT_EQ(view.memo[0], "De download van de avond van 25-12-2026 om 22:00 is gemist: de computer stond uit of sliep.");
    ASSERT_EQ(runLog.lines.size(), 2u);
    EXPECT_NE(runLog.lines[1].second.find("; handelsdag 24-12-2026; exitcode 11 "), std::string::npos);

    // Before 06:00 the site still shows Friday's quotes; a plain "a" (a
    // task of the user's own) and the button download whatever the time.
    struct Case {
        const char* name;
        bool automatic;
        std::optional<ClockTime> taskTime;
        LocalDateTime now;
    };
    const Case downloads[] = {
        {"Saturday", true, ClockTime{22, 0}, {{2009, 3, 14}, 10, 0}},
        {"plain a", true, std::nullopt, {{2009, 3, 16}, 8, 0}},
        {"button", false, ClockTime{22, 0}, {{2009, 3, 16}, 8, 0}},
    };
    for (const auto& c : downloads) {
        SCOPED_TRACE(c.name);
        log.clear();
        settings.automatic = c.automatic;
        settings.taskTime = c.taskTime;
        clock.now = c.now;
        EXPECT_EQ(run.Run(settings), RunOutcome::Complete);
        EXPECT_EQ(Count("fetch"), 3u);
    }
}

TEST_F(DownloadRunTest, AMissingDataFolderIsCreatedFirst)
{
    ServePhilips(1, 1);
    settings.dataPath = "D:\\Koersen\\Opties\\";
    EXPECT_EQ(run.Run(settings), RunOutcome::Complete);
    EXPECT_EQ(store.folders, std::set<std::string>{"D:\\Koersen\\Opties\\"});
    EXPECT_EQ(store.files["D:\\Koersen\\Opties\\13-03-2009.csv"], Header + PhilipsCall + PhilipsPut0);
}

TEST_F(DownloadRunTest, AFolderTypedWithoutItsBackslashStillReceivesTheFile)
{
    ServePhilips(1, 1);
    settings.dataPath = "D:\\Koersen";
    EXPECT_EQ(run.Run(settings), RunOutcome::Complete);
    EXPECT_EQ(store.files["D:\\Koersen\\13-03-2009.csv"], Header + PhilipsCall + PhilipsPut0);
    EXPECT_EQ(store.files.count("D:\\Koersen13-03-2009.csv"), 0u);
}

TEST_F(DownloadRunTest, NoSecondRunStartsWhileOneLetsMessagesThrough)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    std::vector<RunOutcome> nested;
    view.onProcessMessages = [&] {
        EXPECT_TRUE(run.Active());
        nested.push_back(run.Run(settings));
    };
    run.Run(settings);
    EXPECT_EQ(nested, std::vector<RunOutcome>(3, RunOutcome::AlreadyRunning));
    EXPECT_EQ(Count("fetch "), 5u);
    EXPECT_EQ(Count("hourglass on"), 1u);
    EXPECT_FALSE(run.Active());
}

// The first row of the sample pages as a quote line.
std::string FirstRowLine(const std::string& name, const std::string& kind, const std::string& price)
{
    return "20-03-2009; 100,00; " + name + "; " + kind + "; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; " +
           price + "\r\n";
}

std::string HeaderNaming(const std::string& name)
{
    return "Expiratie; Uitoefenprijs; " + name + "; C/P; +/- ; Laatste; Tijd; Volume; Bied; Open int.; Hoog; Laag; Omzet; "
                                                 "Koers\r\n";
}

// One letter per page a server gives, in the order they are asked for:
// a: answered with quotes, e: answered with an error page, u: unanswered
// (a time-out or no connection).
TEST(PageAsking, StopsAfterThreePagesInARowOrTenInAllWentUnanswered)
{
    const struct {
        const char* answers;
        std::size_t asked;
        bool asking;
    } cases[] = {
        {"aaaaa", 5, true},         {"uuuaa", 3, false},     {"uuauuauua", 9, true},
        {"uueuueuue", 9, true},     {"aauuuaa", 5, false},   {"eeeeee", 6, true},
        {"uu", 2, true},            {"auueuuu", 7, false},
        // Two of every three pages unanswered: the tenth ends it.
        {"uuauuauuauuauua", 14, false}, {"uuauuauuauuaa", 13, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers);
        EventLog log;
        FakeFetcher fetcher(log);
        PageAsking asking(fetcher);
        const std::string answers = c.answers;
        for (std::size_t i = 0; i < answers.size(); ++i) {
            const std::string url = "page" + std::to_string(i);
            if (answers[i] == 'u') fetcher.unanswered[url] = 1;
            fetcher.pages[url] = std::string(1200, answers[i]);
            if (answers[i] == 'e') fetcher.status[url] = 404;
            const FetchedPage page = asking.Ask(url);
            // Not asked: unanswered, with nothing in it.
            EXPECT_EQ(page.unanswered, answers[i] == 'u' || log.size() <= i);
            if (page.unanswered) {
                EXPECT_EQ(page.body, "");
            }
        }
        EXPECT_EQ(log.size(), c.asked);
        EXPECT_EQ(asking.Asking(), c.asking);
    }
}

// A server that stops answering: after three pages in a row the run asks
// for nothing more, names every underlying it did not get all of, keeps
// the earlier file when it got nothing, and says so in its exit code.
TEST_F(DownloadRunTest, AServerThatStopsAnsweringIsAskedForNothingMore)
{
    const Options options = {{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}, {"AGN.AGN/O", "Aegon"},
                             {"AH.AGN/O", "Ahold"}};
    settings.automatic = true;
    for (const bool firstAnswers : {false, true}) {
        SCOPED_TRACE(firstAnswers ? "gone after the first underlying" : "gone from the start");
        ServeList(options);
        fetcher.unanswered.clear();
        for (const auto& [code, name] : options) {
            ServePage("?call=" + code, name, 1);
            ServePage("?put=" + code, name, 1);
            if (code != "PHI.AGN/O" || !firstAnswers) {
                fetcher.unanswered[Base + "?call=" + code] = 99;
                fetcher.unanswered[Base + "?put=" + code] = 99;
            }
        }
        store.folders = {"C:\\Data\\"};
        store.files = {{FridayFile, "earlier quotes\r\n"}};
        view.memo.clear();
        log.clear();

        EXPECT_EQ(run.Run(settings), RunOutcome::ServerGone);
        EventLog requests;
        std::copy_if(log.begin(), log.end(), std::back_inserter(requests),
                     [](const std::string& e) { return e.rfind("fetch ", 0) == 0; });
        // An unanswered call page takes its put page along to the second
        // pass, which a run that stopped asking does not make.
        EventLog expected = {"fetch " + Base + "?call=AEX.AGN/O"};
        if (firstAnswers) {
            expected.push_back("fetch " + Base + "?call=PHI.AGN/O");
            expected.push_back("fetch " + Base + "?put=PHI.AGN/O");
        }
        for (std::size_t i = firstAnswers ? 1 : 0; i < (firstAnswers ? 4u : 3u); ++i)
            expected.push_back("fetch " + Base + "?call=" + options[i].first);
        EXPECT_EQ(requests, expected);

        std::vector<std::string> memo;
        for (std::size_t i = 0; i + 1 < (firstAnswers ? 5u : 4u); ++i)
            memo.push_back(firstAnswers && i == 0 ? "Gegevens van " + options[i].second + " gedownload"
                                                  : "Geen koersen van " + options[i].second + " ontvangen");
        memo.insert(memo.end(), {"De koersenserver antwoordt niet meer; er wordt niets meer opgevraagd", "",
                                 "De optiekoersen van " + std::to_string(firstAnswers ? 1 : 0) + " fondsen zijn gedownload",
                                 firstAnswers ? "Ze zijn geschreven in: 13-03-2009.csv"
                                              : "Er zijn geen koersen ontvangen; er is niets geschreven"});
        memo.push_back(firstAnswers ? "Van 3 fondsen zijn geen of niet alle koersen ontvangen"
                                    : "Van 4 fondsen zijn geen of niet alle koersen ontvangen");
        memo.push_back(firstAnswers ? "Het gaat om ING Groep (ING), Aegon en Ahold"
                                    : "Het gaat om Philips, ING Groep (ING), Aegon en Ahold");
        ASSERT_GE(view.memo.size(), memo.size());
        EXPECT_EQ(std::vector<std::string>(view.memo.begin(), view.memo.begin() + memo.size()), memo);
        EXPECT_EQ(store.files[FridayFile], firstAnswers ? HeaderNaming("Philips") + FirstRowLine("Philips", "Call", "21,35") +
                                                              FirstRowLine("Philips", "Put", "21,35")
                                                        : "earlier quotes\r\n");
        EXPECT_EQ(log.back(), "close 8");
    }
}

// A page that timed out or found no connection is asked for once more
// after the list's last underlying; its quotes follow the others.
TEST_F(DownloadRunTest, PagesThatWentUnansweredAreAskedForOnceMoreAtTheEnd)
{
    const Options options = {{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}, {"AGN.AGN/O", "Aegon"}};
    const std::map<std::string, std::string> prices = {{"Philips", "21,35"}, {"ING Groep (ING)", "7,12"},
                                                       {"Aegon", "3,40"}};
    const auto both = [&](const std::string& name) {
        return FirstRowLine(name, "Call", prices.at(name)) + FirstRowLine(name, "Put", prices.at(name));
    };
    const std::string ing = "ING Groep (ING)";
    struct Case {
        const char* name;
        std::map<std::string, int> unanswered;
        // Queries after the list page.
        std::vector<std::string> queries;
        std::string file;
        RunOutcome outcome;
        std::vector<std::string> asked;
        std::vector<std::string> withoutData;
    };
    const Case cases[] = {
        {"a put page once",
         {{"?put=PHI.AGN/O", 1}},
         {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O", "?call=AGN.AGN/O", "?put=AGN.AGN/O",
          "?put=PHI.AGN/O"},
         HeaderNaming("Philips") + FirstRowLine("Philips", "Call", "21,35") + both(ing) + both("Aegon") +
             FirstRowLine("Philips", "Put", "21,35"),
         RunOutcome::Complete, {"Philips"}, {}},
        {"a call page once: its put page waits with it",
         {{"?call=PHI.AGN/O", 1}},
         {"?call=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O", "?call=AGN.AGN/O", "?put=AGN.AGN/O", "?call=PHI.AGN/O",
          "?put=PHI.AGN/O"},
         HeaderNaming(ing) + both(ing) + both("Aegon") + both("Philips"), RunOutcome::Complete, {"Philips"}, {}},
        {"two underlyings, in the list's order",
         {{"?put=AGN.AGN/O", 1}, {"?call=PHI.AGN/O", 1}},
         {"?call=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O", "?call=AGN.AGN/O", "?put=AGN.AGN/O", "?call=PHI.AGN/O",
          "?put=PHI.AGN/O", "?put=AGN.AGN/O"},
         HeaderNaming(ing) + both(ing) + FirstRowLine("Aegon", "Call", "3,40") + both("Philips") +
             FirstRowLine("Aegon", "Put", "3,40"),
         RunOutcome::Complete, {"Philips", "Aegon"}, {}},
        {"a put page that stays unanswered",
         {{"?put=PHI.AGN/O", 99}},
         {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O", "?call=AGN.AGN/O", "?put=AGN.AGN/O",
          "?put=PHI.AGN/O"},
         HeaderNaming("Philips") + FirstRowLine("Philips", "Call", "21,35") + both(ing) + both("Aegon"),
         RunOutcome::MissingData, {"Philips"}, {"Philips"}},
        {"a call page that stays unanswered: the put page's last chance",
         {{"?call=PHI.AGN/O", 99}},
         {"?call=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O", "?call=AGN.AGN/O", "?put=AGN.AGN/O", "?call=PHI.AGN/O",
          "?put=PHI.AGN/O"},
         HeaderNaming(ing) + both(ing) + both("Aegon") + FirstRowLine("Philips", "Put", ""), RunOutcome::MissingData,
         {"Philips"}, {"Philips"}},
        {"the second pass meets a server that stopped answering",
         {{"?put=PHI.AGN/O", 99}, {"?put=AGN.AGN/O", 99}},
         {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O", "?call=AGN.AGN/O", "?put=AGN.AGN/O",
          "?put=PHI.AGN/O", "?put=AGN.AGN/O"},
         HeaderNaming("Philips") + FirstRowLine("Philips", "Call", "21,35") + both(ing) +
             FirstRowLine("Aegon", "Call", "3,40"),
         RunOutcome::ServerGone, {"Philips", "Aegon"}, {"Philips", "Aegon"}},
        {"error pages are not asked for again",
         {},
         {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O", "?call=AGN.AGN/O", "?put=AGN.AGN/O"},
         HeaderNaming("Philips") + FirstRowLine("Philips", "Call", "21,35") + both(ing) + both("Aegon"),
         RunOutcome::MissingData, {}, {"Philips"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ServeList(options);
        for (const auto& [code, name] : options) {
            ServePage("?call=" + code, name, 1, prices.at(name));
            ServePage("?put=" + code, name, 1, prices.at(name));
        }
        fetcher.status.clear();
        if (c.unanswered.empty()) fetcher.status[Base + "?put=PHI.AGN/O"] = 404;
        fetcher.unanswered.clear();
        for (const auto& [query, times] : c.unanswered) fetcher.unanswered[Base + query] = times;
        store.files.clear();
        view.memo.clear();
        log.clear();

        EXPECT_EQ(run.Run(settings), c.outcome);
        EventLog requests;
        std::copy_if(log.begin(), log.end(), std::back_inserter(requests),
                     [](const std::string& e) { return e.rfind("fetch ", 0) == 0; });
        EventLog expected = {"fetch " + Base + "?call=AEX.AGN/O"};
        for (const std::string& query : c.queries) expected.push_back("fetch " + Base + query);
        EXPECT_EQ(requests, expected);
        EXPECT_EQ(store.files[FridayFile], c.file);

        // After the first pass an underlying whose call page went unanswered
        // has nothing yet, one whose put page did not (or was an error page)
        // has not all; the second pass says what it came to.
        const auto without = [&](const std::string& name) {
            return std::find(c.withoutData.begin(), c.withoutData.end(), name) != c.withoutData.end();
        };
        std::vector<std::string> memo;
        for (const auto& [code, name] : options) {
            const bool lacking = without(name) || std::find(c.asked.begin(), c.asked.end(), name) != c.asked.end();
            memo.push_back(c.unanswered.count("?call=" + code) ? "Geen koersen van " + name + " ontvangen"
                           : lacking                           ? "Niet alle koersen van " + name + " ontvangen"
                                                               : "Gegevens van " + name + " gedownload");
        }
        for (const std::string& name : c.asked)
            memo.push_back(without(name) ? "Opnieuw opgevraagd: Niet alle koersen van " + name + " ontvangen"
                                         : "Opnieuw opgevraagd: Gegevens van " + name + " gedownload");
        if (c.outcome == RunOutcome::ServerGone)
            memo.push_back("De koersenserver antwoordt niet meer; er wordt niets meer opgevraagd");
        memo.insert(memo.end(), {"", "De optiekoersen van " + std::to_string(3 - c.withoutData.size()) +
                                         " fondsen zijn gedownload",
                                 "Ze zijn geschreven in: 13-03-2009.csv"});
        if (!c.withoutData.empty()) {
            memo.push_back(c.withoutData.size() == 1 ? "Van 1 fonds zijn geen of niet alle koersen ontvangen"
                                                     : "Van 2 fondsen zijn geen of niet alle koersen ontvangen");
            memo.push_back(c.withoutData.size() == 1 ? "Het gaat om " + c.withoutData[0]
                                                     : "Het gaat om " + c.withoutData[0] + " en " + c.withoutData[1]);
        }
        EXPECT_EQ(view.memo, memo);
        EXPECT_EQ(Count("process"), 1 + options.size() + c.asked.size());
    }
}

} // namespace

TEST_F(DownloadRunTest, APageCutOffHalfWayKeepsItsRowsButIsNotReportedAsComplete)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    ServePage("?call=PHI.AGN/O", "Philips", 1);
    ServePage("?put=PHI.AGN/O", "Philips", 1);
    ServePage("?call=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
    ServePage("?put=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
    fetcher.cutOff.insert(Base + "?put=INGA.AGN/O");

    EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
    // The rows that arrived are written all the same.
    EXPECT_NE(store.files[FridayFile].find("ING Groep (ING); Put"), std::string::npos);
    ASSERT_GE(view.memo.size(), 2u);
    EXPECT_EQ(view.memo[view.memo.size() - 2], "Van 1 fonds zijn geen of niet alle koersen ontvangen");
    EXPECT_EQ(view.memo.back(), "Het gaat om ING Groep (ING)");
}
