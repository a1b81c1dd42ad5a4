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
const std::string FridayPartial2 = "C:\\Data\\13-03-2009.onvolledig-2.csv";
const std::string FridayBeside = "C:\\Data\\13-03-2009.nieuw.csv";

// The pages a run asked for, in order.
EventLog Fetches(const EventLog& log)
{
    EventLog fetches;
    std::copy_if(log.begin(), log.end(), std::back_inserter(fetches),
                 [](const std::string& e) { return e.rfind("fetch ", 0) == 0; });
    return fetches;
}

// The fetches of a run that asks for the list page, then for these pages.
EventLog ListPageThen(const std::vector<std::string>& queries)
{
    EventLog fetches = {"fetch " + Base + "?call=AEX.AGN/O"};
    for (const std::string& query : queries) fetches.push_back("fetch " + Base + query);
    return fetches;
}
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
// from the put page, whose lines carry no price. One that keeps the site's
// selection but not its option table is of a layout this version does not
// read: the memo says so, the page is kept, the outcome stays.
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
        bool changedLayout;
    } cases[] = {
        {"a short page", std::string(999, 'x'), 200, false},
        {"the site's own page with a 503", sitePage, 503, false},
        {"a long 500 page", std::string(5000, 'x'), 500, false},
        {"a hotel's log-in page", LogInPage(), 200, false},
        {"a notice in the site's frame, without its table",
         sitePage.substr(0, sitePage.find("<div class=\"quoteLine")) +
             "<p>Wegens onderhoud zijn de optiekoersen tijdelijk niet beschikbaar.</p>" + std::string(1000, ' '),
         200, true},
        {"the table before the selection",
         sitePage.substr(sitePage.find("<div class=\"quoteLine")) + sitePage.substr(0, sitePage.find("<div class=\"quoteLine")),
         200, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fetcher.pages[callUrl] = c.body;
        fetcher.status[callUrl] = c.status;
        store.files.clear();
        view.memo.clear();
        runLog.files.clear();

        EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
        const std::string expected =
            Header +
            "20-03-2009; 100,00; Philips; Put; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; \r\n"
            "20-03-2009; 100,00; ING Groep (ING); Call; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; 7,12\r\n"
            "20-03-2009; 100,00; ING Groep (ING); Put; -8,0%; 78,06; 09:00; 27,09; 52,04; 40,10; 53,11; 66,12; 79,13; 7,12\r\n";
        EXPECT_EQ(store.files[FridayFile], expected);
        std::vector<std::string> memo = {"Niet alle koersen van Philips ontvangen",
                                         "Gegevens van ING Groep (ING) gedownload",
                                         "",
                                         "De optiekoersen van 1 fondsen zijn gedownload",
                                         "Ze zijn geschreven in: 13-03-2009.csv",
                                         "Van 1 fonds zijn geen of niet alle koersen ontvangen",
                                         "Het gaat om Philips"};
        std::map<std::string, std::string> kept;
        if (c.changedLayout) {
            memo.push_back("De pagina's van Philips zijn anders opgebouwd dan deze versie van Kestrom kent");
            memo.push_back("Een pagina die anders is opgebouwd, is bewaard in: C:\\Data\\Kestrom-onbekende-pagina.html");
            memo.push_back("Stuur dat bestand als bijlage mee in een e-mail aan de maker; "
                           "de mail van Informatie kan het niet bijvoegen.");
            kept["C:\\Data\\Kestrom-onbekende-pagina.html"] = c.body;
        }
        EXPECT_EQ(view.memo, memo);
        EXPECT_EQ(runLog.files, kept);
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
        const EventLog requests = Fetches(log);
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
        // The partial file has Philips, which this run did not get whole:
        // it stays, and the newcomer takes the next numbered name.
        {"cut short once more", 1, true, RunOutcome::MissingData, "Ze zijn geschreven in: 13-03-2009.onvolledig-2.csv",
         {{FridayFile, second}, {FridayBackup, first}, {FridayPartial, first}, {FridayPartial2, second}}},
        {"complete again", 2, false, RunOutcome::Complete, "Ze zijn geschreven in: 13-03-2009.csv",
         {{FridayFile, first}, {FridayBackup, second}, {FridayPartial, first}, {FridayPartial2, second}}},
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
        // It is kept, whatever it holds: a network folder's hiccup or
        // another program's lock must not let less take its name.
        {"a day's file that cannot be read", "both", true, false, true, false},
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

        const RunOutcome outcome = run.Run(settings);
        if (c.unreadable) {
            EXPECT_EQ(outcome, RunOutcome::NotInPlace);
            EXPECT_EQ(view.memo[5], "13-03-2009.csv kon niet worden gelezen en is gebleven zoals het was: Toegang geweigerd.");
            EXPECT_NE(runLog.lines.back().second.find(
                          "13-03-2009.onvolledig.csv, 5 regels (13-03-2009.csv kon niet worden gelezen: Toegang geweigerd.)"),
                      std::string::npos);
        }
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
// their own, and the memo says where and why. A name beside it that is
// held as well gives way to the next numbered one.
TEST_F(DownloadRunTest, QuotesThatCannotTakeTheirNameAreKeptBeside)
{
    ServePhilips(1, 1);
    settings.automatic = true;
    const std::string fresh = Header + PhilipsCall + PhilipsPut0;
    const std::string earlier = Header + PhilipsCall1 + PhilipsPut1;
    std::set<std::string> everyBesideName = {FridayFile};
    for (int number = 1; number <= NameSlots; ++number)
        everyBesideName.insert("C:\\Data\\" + NumberedName("13-03-2009.nieuw.csv", number));
    struct Case {
        const char* name;
        bool putCut;
        std::set<std::string> held;
        RunOutcome outcome;
        std::map<std::string, std::string> files;
        std::vector<std::string> memo;
    };
    const Case cases[] = {
        {"the day's file held open", false, {FridayFile}, RunOutcome::NotInPlace,
         {{FridayFile, earlier}, {FridayBeside, fresh}},
         {"Ze zijn geschreven in: 13-03-2009.nieuw.csv",
          "13-03-2009.csv kon niet worden vervangen: " + std::string(FakeStore::InUse),
          "Hernoem 13-03-2009.nieuw.csv naar 13-03-2009.csv zodra dat kan, of download opnieuw"}},
        {"the partial file held open", true, {FridayPartial}, RunOutcome::MissingData,
         {{FridayFile, earlier}, {FridayPartial, "partial\r\n"}, {FridayPartial2, fresh}},
         {"Ze zijn geschreven in: 13-03-2009.onvolledig-2.csv",
          "13-03-2009.csv heeft koersen die deze download niet kreeg en is gebleven zoals het was",
          "Van 1 fonds zijn geen of niet alle koersen ontvangen"}},
        {"the day's file and the name beside it held open", false, {FridayFile, FridayBeside}, RunOutcome::NotInPlace,
         {{FridayFile, earlier}, {FridayBeside, "older new\r\n"}, {"C:\\Data\\13-03-2009.nieuw-2.csv", fresh}},
         {"Ze zijn geschreven in: 13-03-2009.nieuw-2.csv",
          "13-03-2009.csv kon niet worden vervangen: " + std::string(FakeStore::InUse),
          "Hernoem 13-03-2009.nieuw-2.csv naar 13-03-2009.csv zodra dat kan, of download opnieuw"}},
        {"the day's file and every name beside it held open", false, everyBesideName, RunOutcome::NotInPlace,
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

        EXPECT_EQ(run.Run(settings), c.outcome);
        EXPECT_EQ(store.files, c.files);
        ASSERT_GE(view.memo.size(), 6u);
        EXPECT_EQ(std::vector<std::string>(view.memo.begin() + 3, view.memo.begin() + 6), c.memo);
        EXPECT_EQ(Count("close " + std::to_string(static_cast<int>(c.outcome))), 1u);
        // No question waits for anyone.
        EXPECT_EQ(Count("ask "), 0u);
    }
}

// A run ended by force leaves its work file; the next run that writes judges
// it by its content as it judges its own, and never deletes it unread: what
// cannot be moved stays where it is, and the run writes a work file of
// another name.
TEST_F(DownloadRunTest, AWorkFileLeftBehindIsJudgedByItsContent)
{
    ServePhilips(1, 1);
    const std::string fresh = Header + PhilipsCall + PhilipsPut0;
    const std::string killed = Header + PhilipsCall1 + PhilipsPut1;
    const std::string earlier = Header + PhilipsCall1 + PhilipsPut0;
    const std::string FridayWork2 = "C:\\Data\\13-03-2009.csv-2.tmp";
    struct Case {
        const char* name;
        std::map<std::string, std::string> before;
        std::set<std::string> held;
        std::map<std::string, std::string> after;
        std::string rescued;  // the memo's last line names where it went
    };
    const Case cases[] = {
        {"an empty work file", {{FridayWork, ""}}, {}, {{FridayFile, fresh}}, ""},
        {"a work file without series", {{FridayWork, "killed run\r\n"}}, {}, {{FridayFile, fresh}, {FridayPartial, "killed run\r\n"}},
         "13-03-2009.onvolledig.csv"},
        // Its last underlying may have been cut off by the end: it never
        // counts as whole, and the day's name is free. This run's whole
        // quotes then take the name, the leftover becoming the backup.
        {"series, no day's file", {{FridayWork, killed}}, {}, {{FridayFile, fresh}, {FridayBackup, killed}},
         "13-03-2009.csv.bak"},
        {"series, a day's file with them", {{FridayWork, killed}, {FridayFile, earlier}}, {},
         {{FridayFile, fresh}, {FridayBackup, earlier}, {FridayPartial, killed}}, "13-03-2009.onvolledig.csv"},
        {"the partial name held", {{FridayWork, killed}, {FridayFile, killed}, {FridayPartial, "partial\r\n"}},
         {FridayPartial}, {{FridayFile, fresh}, {FridayBackup, killed}, {FridayPartial, "partial\r\n"}, {FridayPartial2, killed}},
         "13-03-2009.onvolledig-2.csv"},
        {"the work file held", {{FridayWork, killed}}, {FridayWork}, {{FridayFile, fresh}, {FridayWork, killed}},
         "13-03-2009.csv.tmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store.folders = {"C:\\Data\\"};
        store.files = c.before;
        store.held = c.held;
        log.clear();
        EXPECT_EQ(run.Run(settings), RunOutcome::Complete);
        EXPECT_EQ(store.files, c.after);
        const std::string rescued = "De koersen van een afgebroken eerdere download staan in: " + c.rescued;
        EXPECT_EQ(view.memo.back() == rescued, !c.rescued.empty());
        EXPECT_EQ(runLog.lines.back().second.find("afgebroken download bewaard in " + c.rescued + ";") != std::string::npos,
                  !c.rescued.empty());
        // This run's own work file goes elsewhere while the leftover stays.
        EXPECT_EQ(Count("create " + FridayWork2), c.held.count(FridayWork));
    }
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

// The site's page with the option table in markup of its own: the
// selection stays, the dividers and the headings are gone.
std::string LaidAnew(std::string page)
{
    for (const std::string_view marker : {"quoteLine bottomDivider\"", "\"col\">"}) {
        for (auto at = page.find(marker); at != std::string::npos; at = page.find(marker)) page[at] = 'x';
    }
    return page;
}

// A site laid out anew is not a network that failed: with no page of the
// known layout the run says so instead of a line per underlying, keeps the
// first such page beside the log (only its start when it is long), touches
// no quote file and ends with its own code, unless the server stopped
// answering or the list page alone held data.
TEST_F(DownloadRunTest, ASiteLaidOutAnewIsToldApartAndItsFirstPageKept)
{
    const std::string listUrl = Base + "?call=AEX.AGN/O";
    const std::string kept = "C:\\Data\\Kestrom-onbekende-pagina.html";
    const std::vector<std::string> told = {
        "De pagina's van de koersenserver zijn anders opgebouwd dan deze versie van Kestrom kent; er zijn geen "
        "koersen gelezen.",
        "Kijk of er een nieuwe versie is (Instellingen, Update nu) of meld het aan de maker (Informatie)."};
    const std::string keptLine = "Een pagina die anders is opgebouwd, is bewaard in: " + kept;
    const std::string attachLine =
        "Stuur dat bestand als bijlage mee in een e-mail aan de maker; de mail van Informatie kan het niet bijvoegen.";
    const std::string nothing = "Er zijn geen koersen ontvangen; er is niets geschreven";
    const std::string everywhere =
        "; pagina's van de koersenserver anders opgebouwd dan deze versie kent, geen koersen gelezen; ";
    const std::string code9 = "pagina's anders opgebouwd dan deze versie kent;";
    SamplePage list;
    list.options = {{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}};
    list.name = "AEX";
    // Long enough that only its start is kept.
    list.tail = "<!--" + std::string(UnknownPageLimit, '.') + "-->";
    const std::string newList = LaidAnew(SampleOptionPage(list));
    SamplePage philips;
    const std::string newPhilips = LaidAnew(SampleOptionPage(philips));
    SamplePage emptyTable;
    emptyTable.rows = 0;
    const struct {
        const char* name;
        bool listAnew;
        std::vector<std::string> pagesAnew;
        // Asked for again and again without an answer.
        std::vector<std::string> unanswered;
        FileError keepFailure;
        RunOutcome outcome;
        std::string keptPage;
        std::vector<std::string> memo;
        std::string logPart;
    } cases[] = {
        {"every page, the list page too", true, {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O"},
         {}, std::nullopt, RunOutcome::SiteChanged, newList.substr(0, UnknownPageLimit),
         {told[0], told[1], keptLine, attachLine, nothing}, everywhere + "pagina bewaard in " + kept + "; exitcode 9 " + code9},
        {"every option page", false, {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O"}, {},
         std::nullopt, RunOutcome::SiteChanged, newPhilips, {told[0], told[1], keptLine, attachLine, nothing},
         everywhere + "pagina bewaard in " + kept + "; exitcode 9 " + code9},
        {"the page cannot be kept", false, {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O"},
         {}, "Toegang geweigerd.", RunOutcome::SiteChanged, newPhilips,
         {told[0], told[1], "Een pagina die anders is opgebouwd, kon niet worden bewaard: Toegang geweigerd.", nothing},
         everywhere + "pagina niet bewaard: Toegang geweigerd.; exitcode 9 " + code9},
        {"the list page, the others unanswered", true, {}, {"?call=PHI.AGN/O", "?call=INGA.AGN/O"}, std::nullopt,
         RunOutcome::ServerGone, newList.substr(0, UnknownPageLimit),
         {told[0], told[1], keptLine, attachLine, "De koersenserver antwoordt niet meer; er wordt niets meer opgevraagd",
          nothing},
         everywhere + "pagina bewaard in " + kept + "; exitcode 8 "},
        {"all but an empty table", false, {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O"}, {}, std::nullopt,
         RunOutcome::MissingData, newPhilips, {},
         "; anders opgebouwd: Philips, ING Groep (ING); pagina bewaard in " + kept + "; exitcode 1 "},
    };
    settings.automatic = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ServeList(list.options);
        if (c.listAnew) fetcher.pages[listUrl] = newList;
        for (const char* query : {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O"})
            fetcher.pages[Base + query] = SampleOptionPage(emptyTable);
        for (const std::string& query : c.pagesAnew) fetcher.pages[Base + query] = newPhilips;
        fetcher.unanswered.clear();
        for (const std::string& query : c.unanswered) fetcher.unanswered[Base + query] = 2;
        store.folders = {"C:\\Data\\"};
        store.files = {{FridayFile, "earlier quotes\r\n"}};
        runLog.lines.clear();
        runLog.files.clear();
        runLog.besideFailure = c.keepFailure;
        log.clear();

        EXPECT_EQ(run.Run(settings), c.outcome);
        EXPECT_EQ(Count("close " + std::to_string(static_cast<int>(c.outcome))), 1u);
        EXPECT_EQ(run.Underlyings(), (UnderlyingList{"PHI.AGN/O Philips", "INGA.AGN/O ING Groep (ING)"}));
        ASSERT_EQ(runLog.files.size(), 1u);
        EXPECT_EQ(runLog.files.begin()->first, kept);
        EXPECT_TRUE(runLog.files.begin()->second == c.keptPage);
        // An automatic run's start line, then its end.
        ASSERT_EQ(runLog.lines.size(), 2u);
        EXPECT_NE(runLog.lines[1].second.find(c.logPart), std::string::npos) << runLog.lines[1].second;
        // Before the lines of the closing countdown.
        ASSERT_GE(view.memo.size(), 4u);
        const std::vector<std::string> shown(view.memo.begin(), view.memo.end() - 4);
        if (c.memo.empty()) {
            // Another page could be read: each underlying has its line.
            EXPECT_EQ(shown[0], "Geen koersen van Philips ontvangen");
            ASSERT_GE(shown.size(), 3u);
            EXPECT_EQ(shown.end()[-3],
                      "De pagina's van Philips en ING Groep (ING) zijn anders opgebouwd dan deze versie van Kestrom kent");
            EXPECT_EQ(shown.end()[-2], keptLine);
            EXPECT_EQ(shown.back(), attachLine);
            continue;
        }
        EXPECT_EQ(shown, c.memo);
        EXPECT_EQ(store.files, (std::map<std::string, std::string>{{FridayFile, "earlier quotes\r\n"}}));
        EXPECT_EQ(Count("create " + FridayWork), 0u);
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
// (a time-out or no connection), s: still arriving when its time ran out
// (a slow line), l: answered after ten minutes.
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
        // A slow line answers: it neither makes nor breaks a row.
        {"uusuusuus", 9, true},     {"ssssssssssss", 12, true}, {"uusuuuaa", 6, false},
        // However the server answers, the pages of a run get half an hour.
        {"lla", 3, true},           {"llla", 3, false},      {"lslsla", 5, false},
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
            if (answers[i] == 's') fetcher.arriving[url] = {std::string(1200, 's')};
            if (answers[i] == 'l' || answers[i] == 's') fetcher.took[url] = answers[i] == 'l' ? 600'000 : 100'000;
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
        const EventLog requests = Fetches(log);
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
        EXPECT_EQ(Fetches(log), ListPageThen(c.queries));
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

// A page still arriving when its time ran out is asked for again at the
// end, and only the better of its two attempts is written: no row twice,
// none lost.
TEST_F(DownloadRunTest, APageStillArrivingAtItsTimeKeepsTheBetterOfItsTwoAttempts)
{
    const std::string philipsCall = Base + "?call=PHI.AGN/O";
    const std::string philipsPut = Base + "?put=PHI.AGN/O";
    // What had come of a page when the rows from row on had not.
    const auto before = [&](const std::string& url, int row) {
        const std::string& page = fetcher.pages.at(url);
        std::size_t at = 0;
        for (int i = 0; i <= row; ++i) at = page.find("<tr class=\"", at + 1);
        return page.substr(0, at);
    };
    const std::string ingBoth = IngCall + IngPut;
    struct Case {
        const char* name;
        std::string url;
        // Rows that had come at each attempt still arriving.
        std::vector<int> rows;
        unsigned long againStatus;
        std::uint32_t took;
        std::vector<std::string> queries;
        std::string file;
        RunOutcome outcome;
    };
    const std::vector<std::string> putAgain = {"?call=PHI.AGN/O", "?put=PHI.AGN/O", "?call=INGA.AGN/O",
                                               "?put=INGA.AGN/O", "?put=PHI.AGN/O"};
    const Case cases[] = {
        {"then whole", philipsPut, {1}, 200, 0, putAgain,
         Header + PhilipsCall + PhilipsCall1 + ingBoth + PhilipsPut0 + PhilipsPut1, RunOutcome::Complete},
        {"the first had more", philipsPut, {1, 0}, 200, 0, putAgain,
         Header + PhilipsCall + PhilipsCall1 + ingBoth + PhilipsPut0, RunOutcome::MissingData},
        {"the second had more", philipsPut, {0, 1}, 200, 0, putAgain,
         Header + PhilipsCall + PhilipsCall1 + ingBoth + PhilipsPut0, RunOutcome::MissingData},
        {"then an error page", philipsPut, {1}, 404, 0, putAgain,
         Header + PhilipsCall + PhilipsCall1 + ingBoth + PhilipsPut0, RunOutcome::MissingData},
        {"a call page: its put page waits with it", philipsCall, {1}, 200, 0,
         {"?call=PHI.AGN/O", "?call=INGA.AGN/O", "?put=INGA.AGN/O", "?call=PHI.AGN/O", "?put=PHI.AGN/O"},
         HeaderNaming("ING Groep (ING)") + ingBoth + PhilipsCall + PhilipsCall1 + PhilipsPut0 + PhilipsPut1,
         RunOutcome::Complete},
        {"the run's time is up: what came is kept", philipsCall, {1}, 200, PageAsking::AskingTimeMs,
         {"?call=PHI.AGN/O"}, Header + PhilipsCall, RunOutcome::ServerGone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
        ServePage("?call=PHI.AGN/O", "Philips", 2);
        ServePage("?put=PHI.AGN/O", "Philips", 2);
        ServePage("?call=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
        ServePage("?put=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
        fetcher.arriving.clear();
        for (const int rows : c.rows) fetcher.arriving[c.url].push_back(before(c.url, rows));
        fetcher.status = {{c.url, c.againStatus}};
        fetcher.took = {{c.url, c.took}};
        store.files.clear();
        log.clear();

        EXPECT_EQ(run.Run(settings), c.outcome);
        EXPECT_EQ(Fetches(log), ListPageThen(c.queries));
        EXPECT_EQ(store.files[FridayFile], c.file);
        // Said to be asked again only when it was.
        const std::string again = c.outcome == RunOutcome::Complete ? "Opnieuw opgevraagd: Gegevens van Philips gedownload"
                                                                    : "Opnieuw opgevraagd: Niet alle koersen van Philips ontvangen";
        EXPECT_EQ(std::count(view.memo.begin(), view.memo.end(), again), c.outcome == RunOutcome::ServerGone ? 0 : 1);
        view.memo.clear();
    }
}

namespace {

// The site answers every option page with all its markers but an empty
// table (its data feed is out, or its refresh page goes out as 200): such
// pages have no series. Runs that get only such pages write nothing and say
// so; where other pages have series, an empty table's records are written
// as they always were, but count for nothing, in this run's file and in the
// files on disk.
TEST_F(DownloadRunTest, PagesWithAnEmptyTableGiveNoQuotes)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    settings.automatic = true;
    const auto serve = [&](int philipsRows, int ingRows) {
        ServePage("?call=PHI.AGN/O", "Philips", philipsRows);
        ServePage("?put=PHI.AGN/O", "Philips", philipsRows);
        ServePage("?call=INGA.AGN/O", "ING Groep (ING)", ingRows, "7,12");
        ServePage("?put=INGA.AGN/O", "ING Groep (ING)", ingRows, "7,12");
    };
    serve(1, 1);
    ASSERT_EQ(run.Run(settings), RunOutcome::Complete);
    const std::string complete = store.files[FridayFile];
    ASSERT_EQ(complete, Header + PhilipsCall + PhilipsPut0 + IngCall + IngPut);

    for (const char* name : {"first run with empty tables", "second run with empty tables"}) {
        SCOPED_TRACE(name);
        serve(0, 0);
        log.clear();
        EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
        EXPECT_EQ(store.files, (std::map<std::string, std::string>{{FridayFile, complete}}));
        EXPECT_EQ(Count("create " + FridayWork), 0u);
        const std::vector<std::string> memo = {"Geen koersen van Philips ontvangen",
                                               "Geen koersen van ING Groep (ING) ontvangen", "",
                                               "De optiekoersen van 0 fondsen zijn gedownload",
                                               "Er zijn geen koersen ontvangen; er is niets geschreven"};
        ASSERT_GE(view.memo.size(), memo.size());
        EXPECT_EQ(std::vector<std::string>(view.memo.begin(), view.memo.begin() + memo.size()), memo);
    }

    // ING's tables empty: its records stand in the file as before, and the
    // file has less than the day's file.
    const std::string ingEmpty = "0-0-20; 0 ; ING Groep (ING); Call; ; ; ; ; ; ; ; ; ; 7,12\r\n"
                                 "0-0-20; 0 ; ING Groep (ING); Put; ; ; ; ; ; ; ; ; ; 7,12\r\n";
    serve(1, 0);
    EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
    EXPECT_EQ(store.files[FridayFile], complete);
    EXPECT_EQ(store.files[FridayPartial], Header + PhilipsCall + PhilipsPut0 + ingEmpty);
    EXPECT_EQ(view.memo[1], "Geen koersen van ING Groep (ING) ontvangen");

    // A day's file whose ING lines came from empty tables has no ING: it
    // does not keep a run without ING from the day's name.
    store.files = {{FridayFile, Header + PhilipsCall1 + ingEmpty}};
    EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
    EXPECT_EQ(store.files[FridayFile], Header + PhilipsCall + PhilipsPut0 + ingEmpty);
    EXPECT_EQ(store.files[FridayBackup], Header + PhilipsCall1 + ingEmpty);
}

// A backup without a day's file (an older version stopped between its two
// moves, or a disk failed) goes back under the day's name before anything
// could take that name: a run that gets nothing, or less.
TEST_F(DownloadRunTest, ABackupWithoutADaysFileIsPutBackFirst)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    const std::string backup = Header + PhilipsCall + PhilipsPut0 + IngCall + IngPut;
    const std::string cut = Header + PhilipsCall + PhilipsPut0;
    for (const bool philipsServed : {false, true}) {
        SCOPED_TRACE(philipsServed ? "a run with less" : "a run that gets nothing");
        fetcher.pages.erase(Base + "?call=PHI.AGN/O");
        fetcher.pages.erase(Base + "?put=PHI.AGN/O");
        if (philipsServed) {
            ServePage("?call=PHI.AGN/O", "Philips", 1);
            ServePage("?put=PHI.AGN/O", "Philips", 1);
        }
        store.folders = {"C:\\Data\\"};
        store.files = {{FridayBackup, backup}};
        EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
        std::map<std::string, std::string> files = {{FridayFile, backup}};
        if (philipsServed) files[FridayPartial] = cut;
        EXPECT_EQ(store.files, files);
    }
}

// A run stopped after any change to the folder, as a power cut or a killed
// process stops it: some file holds the day's name at that moment, and
// after the next run (cut short, as the evening may go on) the complete
// quotes are still whole somewhere: the earlier complete file always, the
// stopped run's file once it was on the disk.
TEST_F(DownloadRunTest, ARunStoppedAtAnyStepLeavesTheDaysFileAndTheCompleteQuotes)
{
    ServeList({{"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}});
    const std::string earlier = Header + PhilipsCall + PhilipsPut0 + IngCall + IngPut;
    const std::string older = Header + PhilipsCall1 + PhilipsPut1;
    const auto somewhere = [&](const std::string& text) {
        return std::any_of(store.files.begin(), store.files.end(), [&](const auto& file) { return file.second == text; });
    };
    bool finished = false;
    for (int changes = 0; !finished && changes < 100; ++changes) {
        SCOPED_TRACE("stopped after " + std::to_string(changes) + " changes");
        store.folders = {"C:\\Data\\"};
        store.files = {{FridayFile, earlier}, {FridayBackup, older}};
        ServePage("?call=PHI.AGN/O", "Philips", 2);
        ServePage("?put=PHI.AGN/O", "Philips", 2);
        ServePage("?call=INGA.AGN/O", "ING Groep (ING)", 2, "7,12");
        ServePage("?put=INGA.AGN/O", "ING Groep (ING)", 2, "7,12");
        fetcher.cutOff.clear();
        log.clear();
        store.changesBeforeCrash = changes;
        try {
            run.Run(settings);
            finished = true;
        } catch (const StoreCrash&) {
        }
        store.changesBeforeCrash = -1;
        // The last event is the change the stop came at, which was not made.
        const auto made = finished ? log.end() : log.end() - 1;
        const bool flushed = std::find(log.begin(), made, "flush " + FridayWork) != made;
        const std::string complete = Header + PhilipsCall + PhilipsCall1 + PhilipsPut0 + PhilipsPut1 + IngCall;
        ASSERT_EQ(store.files.count(FridayFile), 1u);
        EXPECT_TRUE(store.files[FridayFile] == earlier || store.files[FridayFile].starts_with(complete));

        // The next run gets ING's put page cut short.
        ServePage("?call=PHI.AGN/O", "Philips", 1);
        ServePage("?put=PHI.AGN/O", "Philips", 1);
        ServePage("?call=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
        ServePage("?put=INGA.AGN/O", "ING Groep (ING)", 1, "7,12");
        fetcher.cutOff.insert(Base + "?put=INGA.AGN/O");
        const std::map<std::string, std::string> afterStop = store.files;
        EXPECT_EQ(run.Run(settings), RunOutcome::MissingData);
        EXPECT_TRUE(somewhere(earlier));
        const std::string& day = store.files[FridayFile];
        EXPECT_TRUE(day == earlier || day.starts_with(complete)) << day;
        if (flushed) {
            const auto work = afterStop.find(FridayWork);
            const std::string stopped = work != afterStop.end() ? work->second : afterStop.at(FridayFile);
            EXPECT_TRUE(somewhere(stopped));
        }
        // Nothing of the stopped run is left under a work file's name.
        EXPECT_EQ(store.files.count(FridayWork), 0u);
        EXPECT_EQ(store.files.count(FridayFile + ".bak.tmp"), 0u);
    }
    EXPECT_TRUE(finished);
}

} // namespace
