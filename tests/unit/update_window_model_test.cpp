#include "update/update_window_model.h"

#include "support/language.h"
#include "update/update_outcome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

constexpr char Running[] = "versie 1.00c";
constexpr char Host[] = "127.0.0.1:8123";

class UpdateWindowModelTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = Language; }
    void TearDown() override { Language = saved_; }

    static VersionsCheck Advised()
    {
        VersionsCheck check;
        check.Result = UpdateCheckResult::UpdateAdvised;
        check.DownloadName = "kestrom101.exe";
        check.NewestText = "1.01c";
        check.Newest = {"101", 'c'};
        check.InstallerSizeKB = 640;
        return check;
    }

    static VersionsCheck Outcome(UpdateCheckResult result, RecordFault fault = RecordFault::None)
    {
        VersionsCheck check;
        check.Result = result;
        check.Fault = fault;
        return check;
    }

    // A window after a download whose installation was not started.
    static UpdateWindowModel ReadyToInstall()
    {
        UpdateWindowModel model;
        PresentManualCheck(model, Advised(), Running, Host);
        PresentDownloaded(model);
        return model;
    }

private:
    std::string saved_;
};

TEST_F(UpdateWindowModelTest, AutomaticCheckShowsOnlyAnAdvice)
{
    Language = "NLD";
    UpdateWindowModel model;
    EXPECT_TRUE(PresentAutomaticCheck(model, Advised(), Running, Host));
    EXPECT_EQ(model.MemoLines, (Lines{"", "Een Update wordt aanbevolen", "", "Uw huidige versie is versie 1.00c",
                                      "De nieuwste versie is 1.01c", "De Downloadnaam is kestrom101.exe"}));
    EXPECT_EQ(model.DownloadCaption, "Start Downloaden");
    EXPECT_EQ(model.ExitCaption, "Download Later");
    EXPECT_TRUE(model.DownloadVisible);
    EXPECT_TRUE(model.ExitVisible);
    EXPECT_EQ(model.DownloadName, "kestrom101.exe");
    EXPECT_EQ(model.DownloadBaseUrl, "http://127.0.0.1:8123/");
    EXPECT_EQ(model.InstallerSizeKB, 640);

    Language = "ENU";
    UpdateWindowModel english;
    EXPECT_TRUE(PresentAutomaticCheck(english, Advised(), Running, Host));
    EXPECT_EQ(english.MemoLines, (Lines{"", "Update is advised", "", "Your current version is versie 1.00c",
                                        "The latest version is 1.01c", "The Download Name is kestrom101.exe"}));
    EXPECT_EQ(english.DownloadCaption, "Start Downloading");
    EXPECT_EQ(english.ExitCaption, "Download Later");
}

TEST_F(UpdateWindowModelTest, AutomaticCheckStaysHiddenOtherwise)
{
    Language = "NLD";
    for (UpdateCheckResult result :
         {UpdateCheckResult::NoUpdateNeeded, UpdateCheckResult::NoServerReaction, UpdateCheckResult::ListTooSmall,
          UpdateCheckResult::ProductNotFound, UpdateCheckResult::RecordDamaged, UpdateCheckResult::PingTimeOut}) {
        SCOPED_TRACE(static_cast<int>(result));
        UpdateWindowModel model;
        model.MemoLines = {"earlier"};
        EXPECT_FALSE(PresentAutomaticCheck(model, Outcome(result), Running, Host));
        // A time-out leaves even the memo alone; the rest clear it.
        EXPECT_EQ(model.MemoLines, result == UpdateCheckResult::PingTimeOut ? Lines{"earlier"} : Lines{""});
        EXPECT_FALSE(model.DownloadVisible);
        EXPECT_EQ(model.ExitCaption, "Download Later");
    }
}

struct ManualCase {
    const char* name;
    VersionsCheck check;
    Lines dutch;
    Lines english;
};

TEST_F(UpdateWindowModelTest, ManualCheckStatesEveryOutcomeInBothLanguages)
{
    const std::vector<ManualCase> cases = {
        {"no update needed", Outcome(UpdateCheckResult::NoUpdateNeeded),
         {"", "Een Update is niet nodig,", "u heeft de nieuwste versie."},
         {"", "No Update is needed,", "you are using the latest version."}},
        {"no server reaction", Outcome(UpdateCheckResult::NoServerReaction), {"", "De server reageert niet"},
         {"", "No reaction from Server"}},
        {"list too small", Outcome(UpdateCheckResult::ListTooSmall), {"", "Het bestand is te klein"},
         {"", "File not downloaded correctly"}},
        {"product not found", Outcome(UpdateCheckResult::ProductNotFound), {"", "Programma-naam niet gevonden"},
         {"", "Program Name not found"}},
        {"ping time-out", Outcome(UpdateCheckResult::PingTimeOut), {"", "Ping naar 127.0.0.1:8123 geeft Time-out"},
         {"", "Ping to 127.0.0.1:8123 gives Time-out"}},
        {"no CR", Outcome(UpdateCheckResult::RecordDamaged, RecordFault::NoLineEnd),
         {"", "Het versiebestand is beschadigd:", "de regel van het programma is niet afgesloten"},
         {"", "The versions file is damaged:", "the program's line is not terminated"}},
        {"too few fields", Outcome(UpdateCheckResult::RecordDamaged, RecordFault::TooFewFields),
         {"", "Het versiebestand is beschadigd:", "de regel van het programma heeft te weinig velden"},
         {"", "The versions file is damaged:", "the program's line has too few fields"}},
        {"no letter", Outcome(UpdateCheckResult::RecordDamaged, RecordFault::NoVersionLetter),
         {"", "Het versiebestand is beschadigd:", "de versieletter ontbreekt"},
         {"", "The versions file is damaged:", "the version letter is missing"}},
        {"size", Outcome(UpdateCheckResult::RecordDamaged, RecordFault::SizeNotANumber),
         {"", "Het versiebestand is beschadigd:", "de grootte is geen getal"},
         {"", "The versions file is damaged:", "the size is not a number"}},
        {"name", Outcome(UpdateCheckResult::RecordDamaged, RecordFault::BadDownloadName),
         {"", "Het versiebestand is beschadigd:", "de downloadnaam is ongeldig"},
         {"", "The versions file is damaged:", "the download name is invalid"}},
    };
    for (const ManualCase& c : cases) {
        for (const bool dutch : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (dutch ? " NLD" : " ENU"));
            Language = dutch ? "NLD" : "ENU";
            UpdateWindowModel model = ReadyToInstall();
            PresentManualCheck(model, c.check, Running, Host);
            EXPECT_EQ(model.MemoLines, dutch ? c.dutch : c.english);
            EXPECT_EQ(model.ExitCaption, dutch ? "Sluit Venster" : "Close Window");
            EXPECT_FALSE(model.DownloadVisible);
            EXPECT_TRUE(model.ExitVisible);
            EXPECT_EQ(model.Focus, FocusTarget::ExitBtn);
            // "Sluit Venster" must close the window, never install.
            EXPECT_FALSE(model.InstallerReady);
        }
    }
}

TEST_F(UpdateWindowModelTest, ManualAdviceLeavesDownloadLaterInLowerCase)
{
    for (const bool dutch : {true, false}) {
        SCOPED_TRACE(dutch ? "NLD" : "ENU");
        Language = dutch ? "NLD" : "ENU";
        UpdateWindowModel model = ReadyToInstall();
        PresentManualCheck(model, Advised(), Running, Host);
        EXPECT_EQ(model.MemoLines,
                  (dutch ? Lines{"", "Een Update wordt aanbevolen", "", "Uw huidige versie is versie 1.00c",
                                "De nieuwste versie is 1.01c", "De Downloadnaam is kestrom101.exe"}
                        : Lines{"", "Update is advised", "", "Your current version is versie 1.00c",
                                "The latest version is 1.01c", "The Download Name is kestrom101.exe"}));
        EXPECT_EQ(model.ExitCaption, "Download later");
        EXPECT_EQ(model.DownloadCaption, dutch ? "Start Downloaden" : "Start Downloading");
        EXPECT_TRUE(model.DownloadVisible);
        EXPECT_EQ(model.Focus, FocusTarget::DownloadBtn);
        EXPECT_FALSE(model.InstallerReady);
    }
}

TEST_F(UpdateWindowModelTest, InstallerReadySurvivesOnlyChecksThatLeaveExitBtnAlone)
{
    Language = "NLD";
    struct Case {
        const char* name;
        UpdateCheckResult result;
        bool ready;
    };
    // The automatic check relabels ExitBtn only when it advises an update;
    // a missing product always withdraws the installer.
    const Case cases[] = {
        {"no update needed", UpdateCheckResult::NoUpdateNeeded, true},
        {"ping time-out", UpdateCheckResult::PingTimeOut, true},
        {"product not found", UpdateCheckResult::ProductNotFound, false},
        {"advised", UpdateCheckResult::UpdateAdvised, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateWindowModel model = ReadyToInstall();
        VersionsCheck check = c.result == UpdateCheckResult::UpdateAdvised ? Advised() : Outcome(c.result);
        PresentAutomaticCheck(model, check, Running, Host);
        EXPECT_EQ(model.InstallerReady, c.ready);
    }
}

TEST_F(UpdateWindowModelTest, DownloadSuccessOffersTheInstallation)
{
    for (const bool dutch : {true, false}) {
        SCOPED_TRACE(dutch ? "NLD" : "ENU");
        Language = dutch ? "NLD" : "ENU";
        UpdateWindowModel model = ReadyToInstall();
        EXPECT_EQ(model.MemoLines,
                  (dutch ? Lines{"", "kestrom101.exe is met succes gedownload",
                                "Klik \"Installeer\" om het progamma te installeren"}
                        : Lines{"", "kestrom101.exe has been succesfully downloaded",
                                "Click \"Install\" to install the progam"}));
        EXPECT_EQ(model.ExitCaption, dutch ? "Installeer" : "Install");
        EXPECT_FALSE(model.DownloadVisible);
        EXPECT_TRUE(model.InstallerReady);
        EXPECT_EQ(model.Focus, FocusTarget::ExitBtn);
    }
}

TEST_F(UpdateWindowModelTest, RejectedDownloadIsReportedAndCanBeTriedAgain)
{
    ReceivedInstaller received;
    received.Connected = true;
    received.Status = 404;
    received.Bytes = 300 * 1024 + 5;
    received.Version = "1.00c";
    struct Case {
        InstallerVerdict verdict;
        const char* dutch;
        const char* english;
    };
    const Case cases[] = {
        {InstallerVerdict::WrongStatus, "De server antwoordde met status 404", "The server answered with status 404"},
        {InstallerVerdict::WrongSize, "Ontvangen: 300 KB, verwacht: 640 KB", "Received: 300 KB, expected: 640 KB"},
        {InstallerVerdict::NotAProgram, "Het bestand is geen programma", "The file is not a program"},
        {InstallerVerdict::TooLarge, "Meer ontvangen dan verwacht: 640 KB", "More received than expected: 640 KB"},
        {InstallerVerdict::TooSlow, "De download duurde te lang", "The download took too long"},
        {InstallerVerdict::NotSigned, "De handtekening van de maker ontbreekt", "The maker's signature is missing"},
        {InstallerVerdict::WronglySigned, "De handtekening van de maker klopt niet",
         "The maker's signature does not match"},
        {InstallerVerdict::Unreadable, "Het bestand kan niet worden gelezen", "The file cannot be read"},
        {InstallerVerdict::CutShort, "De download is afgebroken: 300 van 640 KB ontvangen",
         "The download was cut short: 300 of 640 KB received"},
    };
    for (const Case& c : cases) {
        for (const bool dutch : {true, false}) {
            SCOPED_TRACE(std::string(c.english) + (dutch ? " NLD" : " ENU"));
            Language = dutch ? "NLD" : "ENU";
            UpdateWindowModel model;
            PresentAutomaticCheck(model, Advised(), Running, Host);
            PresentRejected(model, c.verdict, received);
            EXPECT_EQ(model.MemoLines,
                      (dutch ? Lines{"", "Het installatiebestand kestrom101.exe is niet goed ontvangen:", c.dutch,
                                    "Het bestand is verwijderd."}
                            : Lines{"", "The installer kestrom101.exe was not received correctly:", c.english,
                                    "The file has been deleted."}));
            EXPECT_TRUE(model.DownloadVisible);
            EXPECT_EQ(model.ExitCaption, "Download Later");
            EXPECT_FALSE(model.InstallerReady);
        }
    }
    // Received well, but not the version announced: refused, and said so.
    struct VersionCase {
        const char* carried;
        Lines dutch;
        Lines english;
    };
    const VersionCase versions[] = {
        {"1.00c", {"", "Het installatiebestand kestrom101.exe wordt niet aangeboden:",
                   "Het bestand is versie 1.00c, niet de aangekondigde 1.01c", "Het bestand is verwijderd."},
         {"", "The installer kestrom101.exe is not offered:", "The file is version 1.00c, not the announced 1.01c",
          "The file has been deleted."}},
        {"", {"", "Het installatiebestand kestrom101.exe wordt niet aangeboden:",
              "Het bestand draagt geen geldig versienummer", "Het bestand is verwijderd."},
         {"", "The installer kestrom101.exe is not offered:", "The file carries no valid version number",
          "The file has been deleted."}},
        {"1.01c", {"", "Het installatiebestand kestrom101.exe wordt niet aangeboden:",
                   "Versie 1.01c is niet nieuwer dan de uwe", "Het bestand is verwijderd."},
         {"", "The installer kestrom101.exe is not offered:", "Version 1.01c is not newer than yours",
          "The file has been deleted."}},
    };
    for (const VersionCase& c : versions) {
        for (const bool dutch : {true, false}) {
            SCOPED_TRACE(std::string(c.carried) + (dutch ? " NLD" : " ENU"));
            Language = dutch ? "NLD" : "ENU";
            UpdateWindowModel model;
            PresentAutomaticCheck(model, Advised(), Running, Host);
            received.Version = c.carried;
            PresentRejected(model, InstallerVerdict::WrongVersion, received);
            EXPECT_EQ(model.MemoLines, dutch ? c.dutch : c.english);
            EXPECT_TRUE(model.DownloadVisible);
            EXPECT_FALSE(model.InstallerReady);
        }
    }

    // Nothing received: nothing is said and nothing changes.
    Language = "NLD";
    UpdateWindowModel model;
    PresentAutomaticCheck(model, Advised(), Running, Host);
    const Lines before = model.MemoLines;
    PresentRejected(model, InstallerVerdict::NotReceived, received);
    EXPECT_EQ(model.MemoLines, before);
}

TEST_F(UpdateWindowModelTest, InstallationLinesFollowTheMemo)
{
    for (const bool dutch : {true, false}) {
        SCOPED_TRACE(dutch ? "NLD" : "ENU");
        Language = dutch ? "NLD" : "ENU";
        UpdateWindowModel model;
        model.MemoLines = {"", "earlier"};
        PresentInstallationStarting(model, "Kestrom");
        PresentInstallationFailed(model);
        PresentInstallationStarting(model, "Kestrom");
        PresentInstallationStarted(model, "Kestrom");
        EXPECT_EQ(model.MemoLines,
                  (dutch ? Lines{"", "earlier", "", "De installatie van Kestrom wordt gestart.", "Installatie is mislukt.",
                                "", "De installatie van Kestrom wordt gestart.",
                                "De installatie van Kestrom is gestart."}
                        : Lines{"", "earlier", "", "The installation of Kestrom is started.", "Installation failed.", "",
                                "The installation of Kestrom is started.", "The installation of Kestrom has started."}));

        // An installer whose signature no longer holds is never started,
        // and ExitBtn no longer installs.
        model.MemoLines = {"earlier"};
        model.InstallerReady = true;
        PresentInstallationRefused(model, InstallerVerdict::WronglySigned, ReceivedInstaller());
        EXPECT_EQ(model.MemoLines, (dutch ? Lines{"earlier", "De handtekening van de maker klopt niet",
                                                  "Installatie is mislukt.", "Het bestand is verwijderd."}
                                          : Lines{"earlier", "The maker's signature does not match",
                                                  "Installation failed.", "The file has been deleted."}));
        // What only the start finds.
        const std::pair<InstallerVerdict, Lines> atStart[] = {
            {InstallerVerdict::NotAlone,
             dutch ? Lines{"Naast het installatiebestand staan andere bestanden"}
                   : Lines{"Other files lie beside the installer"}},
            {InstallerVerdict::StartRedirected,
             dutch ? Lines{"Het register van de gebruiker leidt de start van programma's om"}
                   : Lines{"The user's registry redirects the start of programs"}},
        };
        for (const auto& [verdict, reason] : atStart) {
            model.MemoLines.clear();
            PresentInstallationRefused(model, verdict, ReceivedInstaller());
            EXPECT_EQ(Lines(model.MemoLines.begin(), model.MemoLines.begin() + 1), reason);
        }
        EXPECT_FALSE(model.InstallerReady);
        EXPECT_TRUE(model.DownloadVisible);
        EXPECT_EQ(model.ExitCaption, dutch ? "Sluit Venster" : "Close Window");
    }
}

TEST_F(UpdateWindowModelTest, TheFirstStartAfterAnUpdateSaysWhetherItTook)
{
    struct Case {
        const char* expected;
        const char* running;
        Lines dutch;
        Lines english;
    };
    const Case cases[] = {
        {"1.01c", "versie 1.01c", {"", "De update naar versie 1.01c is gelukt."},
         {"", "The update to version 1.01c has succeeded."}},
        {"1.01c", "versie 1.00c", {"", "De update naar versie 1.01c is niet gelukt:", "dit is versie 1.00c."},
         {"", "The update to version 1.01c did not take:", "this is version 1.00c."}},
        {"1.01c", "versie 1.01d", {"", "De update naar versie 1.01c is niet gelukt:", "dit is versie 1.01d."},
         {"", "The update to version 1.01c did not take:", "this is version 1.01d."}},
        // A record that is no version says nothing.
        {"", "versie 1.00c", {}, {}},
        {"1.01c\r\nmore", "versie 1.00c", {}, {}},
        {"versie 1.01c", "versie 1.01c", {}, {}},
    };
    for (const Case& c : cases) {
        for (const bool dutch : {true, false}) {
            SCOPED_TRACE(std::string(c.expected) + " / " + c.running + (dutch ? " NLD" : " ENU"));
            Language = dutch ? "NLD" : "ENU";
            EXPECT_EQ(UpdateOutcomeLines(c.expected, c.running), dutch ? c.dutch : c.english);
        }
    }
}

} // namespace
