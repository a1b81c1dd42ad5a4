#include "update/update_window_model.h"

#include "support/language.h"

namespace {

std::string Text(std::string_view dutch, std::string_view english)
{
    return std::string(IsDutch() ? dutch : english);
}

// The part of a check that both ways of presenting share.
void TakeCheck(UpdateWindowModel& model, const VersionsCheck& check)
{
    if (check.InstallerSizeKB) model.InstallerSizeKB = *check.InstallerSizeKB;
    if (check.Result == UpdateCheckResult::ProductNotFound) model.InstallerReady = false;
}

void AddVersionLines(UpdateWindowModel& model, const VersionsCheck& check, std::string_view versionText)
{
    const std::string version(versionText);
    model.MemoLines.push_back(Text("Uw huidige versie is ", "Your current version is ") + version);
    model.MemoLines.push_back(Text("De nieuwste versie is ", "The latest version is ") + check.NewestText);
    model.MemoLines.push_back(Text("De Downloadnaam is ", "The Download Name is ") + check.DownloadName);
}

// Offers the download. A relabelled ExitBtn must never start an installer
// left from an earlier download, so the ready flag goes.
void OfferDownload(UpdateWindowModel& model, const VersionsCheck& check, std::string_view updateHost)
{
    model.DownloadCaption = Text("Start Downloaden", "Start Downloading");
    model.DownloadName = check.DownloadName;
    model.DownloadBaseUrl = UpdateUrl(updateHost, "/");
    model.NewestVersion = check.Newest;
    model.DownloadVisible = true;
    model.ExitVisible = true;
    model.InstallerReady = false;
}

std::string FaultText(RecordFault fault)
{
    switch (fault) {
    case RecordFault::NoLineEnd:
        return Text("de regel van het programma is niet afgesloten", "the program's line is not terminated");
    case RecordFault::TooFewFields:
        return Text("de regel van het programma heeft te weinig velden", "the program's line has too few fields");
    case RecordFault::NoVersionLetter:
        return Text("de versieletter ontbreekt", "the version letter is missing");
    case RecordFault::SizeNotANumber:
        return Text("de grootte is geen getal", "the size is not a number");
    case RecordFault::BadDownloadName:
        return Text("de downloadnaam is ongeldig", "the download name is invalid");
    case RecordFault::None:
        break;
    }
    return {};
}

// What the installer's own version says against the announced one.
std::string VersionReason(std::string_view installerVersion, const ProgramVersion& announced)
{
    const std::optional<ProgramVersion> carried = ParseVersionText(installerVersion);
    if (!carried)
        return Text("Het bestand draagt geen geldig versienummer", "The file carries no valid version number");
    const std::string version = VersionDisplayText(*carried);
    if (!SameVersion(*carried, announced)) {
        return Text("Het bestand is versie ", "The file is version ") + version
               + Text(", niet de aangekondigde ", ", not the announced ") + VersionDisplayText(announced);
    }
    return Text("Versie ", "Version ") + version + Text(" is niet nieuwer dan de uwe", " is not newer than yours");
}

// The line that says why a received installer is not offered; empty for
// the verdicts that say nothing.
std::string RejectionReason(const UpdateWindowModel& model, InstallerVerdict verdict, const ReceivedInstaller& received)
{
    const std::string receivedKB = std::to_string(received.Bytes / 1024);
    const std::string listKB = std::to_string(model.InstallerSizeKB);
    switch (verdict) {
    case InstallerVerdict::WrongStatus:
        return Text("De server antwoordde met status ", "The server answered with status ")
               + std::to_string(received.Status);
    case InstallerVerdict::WrongSize:
        return Text("Ontvangen: ", "Received: ") + receivedKB + Text(" KB, verwacht: ", " KB, expected: ") + listKB
               + " KB";
    case InstallerVerdict::TooLarge:
        return Text("Meer ontvangen dan verwacht: ", "More received than expected: ") + listKB + " KB";
    case InstallerVerdict::TooSlow:
        return Text("De download duurde te lang", "The download took too long");
    case InstallerVerdict::NotAProgram:
        return Text("Het bestand is geen programma", "The file is not a program");
    case InstallerVerdict::NotSigned:
        return Text("De handtekening van de maker ontbreekt", "The maker's signature is missing");
    case InstallerVerdict::Unreadable:
        return Text("Het bestand kan niet worden gelezen", "The file cannot be read");
    case InstallerVerdict::CutShort:
        return Text("De download is afgebroken: ", "The download was cut short: ") + receivedKB
               + Text(" van ", " of ") + listKB + Text(" KB ontvangen", " KB received");
    case InstallerVerdict::WronglySigned:
        return Text("De handtekening van de maker klopt niet", "The maker's signature does not match");
    case InstallerVerdict::WrongVersion:
        return VersionReason(received.Version, model.NewestVersion);
    case InstallerVerdict::NotAlone:
        return Text("Naast het installatiebestand staan andere bestanden", "Other files lie beside the installer");
    case InstallerVerdict::StartRedirected:
        return Text("Het register van de gebruiker leidt de start van programma's om",
                    "The user's registry redirects the start of programs");
    case InstallerVerdict::NotReceived:
    case InstallerVerdict::Trusted:
        break;
    }
    return {};
}

} // namespace

std::vector<std::string> OutcomeLines(const VersionsCheck& check, std::string_view updateHost)
{
    switch (check.Result) {
    case UpdateCheckResult::NoUpdateNeeded:
        return {Text("Een Update is niet nodig,", "No Update is needed,"),
                Text("u heeft de nieuwste versie.", "you are using the latest version.")};
    case UpdateCheckResult::NoServerReaction:
        return {Text("De server reageert niet", "No reaction from Server")};
    case UpdateCheckResult::ListTooSmall:
        return {Text("Het bestand is te klein", "File not downloaded correctly")};
    case UpdateCheckResult::ProductNotFound:
        return {Text("Programma-naam niet gevonden", "Program Name not found")};
    case UpdateCheckResult::UpdateAdvised:
        return {Text("Een Update wordt aanbevolen", "Update is advised")};
    case UpdateCheckResult::PingTimeOut: {
        const std::string host(updateHost);
        return {Text("Ping naar ", "Ping to ") + host + Text(" geeft Time-out", " gives Time-out")};
    }
    case UpdateCheckResult::RecordDamaged:
        return {Text("Het versiebestand is beschadigd:", "The versions file is damaged:"), FaultText(check.Fault)};
    }
    return {};
}

bool PresentAutomaticCheck(UpdateWindowModel& model, const VersionsCheck& check, std::string_view versionText,
                           std::string_view updateHost)
{
    TakeCheck(model, check);
    if (check.Result == UpdateCheckResult::PingTimeOut) return false;
    model.MemoLines = {""};
    if (check.Result != UpdateCheckResult::UpdateAdvised) return false;
    model.MemoLines.push_back(Text("Een Update wordt aanbevolen", "Update is advised"));
    model.MemoLines.emplace_back();
    AddVersionLines(model, check, versionText);
    OfferDownload(model, check, updateHost);
    model.ExitCaption = "Download Later";
    return true;
}

void PresentManualCheck(UpdateWindowModel& model, const VersionsCheck& check, std::string_view versionText,
                        std::string_view updateHost)
{
    TakeCheck(model, check);
    model.MemoLines = {""};
    for (std::string& line : OutcomeLines(check, updateHost)) model.MemoLines.push_back(std::move(line));
    if (check.Result == UpdateCheckResult::UpdateAdvised) {
        model.MemoLines.emplace_back();
        AddVersionLines(model, check, versionText);
        OfferDownload(model, check, updateHost);
        model.ExitCaption = "Download later";
        model.Focus = FocusTarget::DownloadBtn;
        return;
    }
    model.ExitCaption = Text("Sluit Venster", "Close Window");
    model.DownloadVisible = false;
    model.ExitVisible = true;
    model.InstallerReady = false;
    model.Focus = FocusTarget::ExitBtn;
}

void PresentDownloaded(UpdateWindowModel& model)
{
    model.MemoLines = {"", model.DownloadName + Text(" is met succes gedownload", " has been succesfully downloaded"),
                       Text("Klik \"Installeer\" om het progamma te installeren",
                            "Click \"Install\" to install the progam")};
    model.ExitCaption = Text("Installeer", "Install");
    model.DownloadVisible = false;
    model.ExitVisible = true;
    model.InstallerReady = true;
    model.Focus = FocusTarget::ExitBtn;
}

void PresentRejected(UpdateWindowModel& model, InstallerVerdict verdict, const ReceivedInstaller& received)
{
    std::string reason = RejectionReason(model, verdict, received);
    if (reason.empty()) return;
    // A file that arrived whole but is not the version announced was
    // received well; it is refused.
    const std::string heading = verdict == InstallerVerdict::WrongVersion
                                    ? Text(" wordt niet aangeboden:", " is not offered:")
                                    : Text(" is niet goed ontvangen:", " was not received correctly:");
    model.MemoLines = {"", Text("Het installatiebestand ", "The installer ") + model.DownloadName + heading,
                       std::move(reason), Text("Het bestand is verwijderd.", "The file has been deleted.")};
    model.InstallerReady = false;
}

void PresentInstallationStarting(UpdateWindowModel& model, std::string_view displayName)
{
    const std::string name(displayName);
    model.MemoLines.emplace_back();
    model.MemoLines.push_back(Text("De installatie van ", "The installation of ") + name
                              + Text(" wordt gestart.", " is started."));
}

void PresentInstallationFailed(UpdateWindowModel& model)
{
    model.MemoLines.push_back(Text("Installatie is mislukt.", "Installation failed."));
}

void PresentInstallationRefused(UpdateWindowModel& model, InstallerVerdict verdict, const ReceivedInstaller& received)
{
    model.MemoLines.push_back(RejectionReason(model, verdict, received));
    model.MemoLines.push_back(Text("Installatie is mislukt.", "Installation failed."));
    model.MemoLines.push_back(Text("Het bestand is verwijderd.", "The file has been deleted."));
    model.ExitCaption = Text("Sluit Venster", "Close Window");
    model.DownloadVisible = true;
    model.InstallerReady = false;
}

void PresentInstallationStarted(UpdateWindowModel& model, std::string_view displayName)
{
    const std::string name(displayName);
    model.MemoLines.push_back(Text("De installatie van ", "The installation of ") + name
                              + Text(" is gestart.", " has started."));
}
