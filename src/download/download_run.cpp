#include "download/download_run.h"

#include "download/option_page.h"
#include "download/quote_line.h"
#include "download/quote_page.h"
#include "download/trading_date.h"
#include "support/text.h"

namespace {

// Restores the normal cursor also when a run ends by an exception, which
// the program's top-level handler shows.
class Hourglass {
public:
    explicit Hourglass(RunView& view) : view_(view) { view_.SetHourglass(true); }
    ~Hourglass() { Off(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

    void Off()
    {
        if (on_) view_.SetHourglass(false);
        on_ = false;
    }

private:
    RunView& view_;
    bool on_ = true;
};

class ActiveFlag {
public:
    explicit ActiveFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ActiveFlag() { flag_ = false; }
    ActiveFlag(const ActiveFlag&) = delete;
    ActiveFlag& operator=(const ActiveFlag&) = delete;

private:
    bool& flag_;
};

std::string FundsText(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " fonds" : " fondsen");
}

// "A", "A en B", "A, B en C".
std::string NamesText(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " en " : ", ";
        text += names[i];
    }
    return text;
}

// The earlier file of the same trading date that a run replaces.
std::string BackupPath(const std::string& path)
{
    return path + ".bak";
}

} // namespace

DownloadRun::DownloadRun(PageFetcher& fetcher, RunClock& clock, RunView& view, QuoteFileStore& store)
    : fetcher_(fetcher), clock_(clock), view_(view), store_(store)
{
}

RunOutcome DownloadRun::Run(const RunSettings& settings)
{
    // The run lets window messages through between underlyings; a button
    // press or timer delivered there must not start a run inside this one.
    if (active_) return RunOutcome::AlreadyRunning;
    const ActiveFlag activeFlag(active_);

    if (IsSundayAfterExpiry(clock_.Now().date) &&
        !view_.AskYesNo(settings.productName + " - Downloaden?",
                        "Als u op \"Ja\" klikt dan worden de expitatiekoersen van vrijdag gewist")) {
        return RunOutcome::Declined;
    }

    Hourglass hourglass(view_);
    view_.SetStatusText("Bezig met verbinden");
    view_.ProcessMessages();

    // The code goes into the query exactly as the list holds it: its "/"
    // and "." are not escaped.
    const std::string pageBase = "http://" + settings.quotesHost + "/derivaten/opties/";
    if (const FetchedPage list = fetcher_.FetchPage(pageBase + "?call=AEX.AGN/O"); IsQuotePage(list))
        ReadUnderlyings(list.body, settings.selectionAll, underlyings_);

    if (!underlyings_) {
        view_.SetStatusText("Downloaden is mislukt");
        view_.ClearMemo();
        view_.AddMemoLine("De lijst met fondsen kon niet worden opgehaald; er is niets gedownload.");
        hourglass.Off();
        if (settings.automatic) CloseProgram(settings.productName, RunOutcome::NoUnderlyings);
        return RunOutcome::NoUnderlyings;
    }

    view_.SetStatusText("Bezig met downloaden");
    view_.ClearMemo();
    headerPending_ = true;
    quoteFileName_ = ::QuoteFileName(TradingDate(clock_.Now()));
    // The file goes into the folder also when it was typed without its "\".
    dataPath_ = FolderPrefix(settings.dataPath);
    filePath_ = dataPath_ + quoteFileName_;
    fileError_.reset();
    withoutData_.clear();

    int counter = 0;
    for (const std::string& entry : *underlyings_) {
        Download(entry, pageBase);
        ++counter;
    }

    // The file of the day is only replaced once a page with data has given
    // the header line, so a run that got nothing keeps an earlier run's
    // quotes; where there were none it leaves an empty file.
    if (headerPending_ && !fileError_) {
        fileError_ = PrepareFolder();
        if (!fileError_) fileError_ = store_.CreateIfMissing(filePath_);
    }

    view_.SetStatusText("Downloaden is klaar");
    view_.AddMemoLine("");
    view_.AddMemoLine("De optiekoersen van " + std::to_string(counter) + " fondsen zijn gedownload");
    // Where the file could not be written the memo says so, and why,
    // instead of naming it as written.
    view_.AddMemoLine(fileError_ ? "Het koersbestand kon niet worden geschreven: " + *fileError_
                                 : "Ze zijn geschreven in: " + quoteFileName_);
    // Named, so that the user knows what to fetch again.
    if (!withoutData_.empty()) {
        view_.AddMemoLine("Van " + FundsText(withoutData_.size()) + " zijn geen of niet alle koersen ontvangen");
        view_.AddMemoLine("Het gaat om " + NamesText(withoutData_));
    }
    hourglass.Off();

    const RunOutcome outcome = fileError_ ? RunOutcome::FileFailure
                               : !withoutData_.empty() ? RunOutcome::MissingData
                                                       : RunOutcome::Complete;
    if (settings.automatic) CloseProgram(settings.productName, outcome);
    return outcome;
}

void DownloadRun::Download(const std::string& entry, const std::string& pageBase)
{
    const std::string code = TextBefore(' ', entry);
    const std::string name = TextAfter(' ', entry);

    // A page that is no quote page gives nothing, not even the header line
    // or the price.
    const FetchedPage call = fetcher_.FetchPage(pageBase + "?call=" + code);
    const bool callQuotes = IsQuotePage(call);
    const std::string price = callQuotes ? ReadUnderlyingPrice(call.body, name) : std::string();
    if (callQuotes) ParseOptionPage(call.body, "Call", name, price, *this);
    const FetchedPage put = fetcher_.FetchPage(pageBase + "?put=" + code);
    const bool putQuotes = IsQuotePage(put);
    if (putQuotes) ParseOptionPage(put.body, "Put", name, price, *this);
    // A page cut off half-way still gives its rows, but not all of them.
    if (!callQuotes || !putQuotes || !call.complete || !put.complete) withoutData_.push_back(name);

    view_.ProcessMessages();
    view_.AddMemoLine("Gegevens van " + name + " gedownload");
}

bool DownloadRun::HeaderPending()
{
    return headerPending_;
}

void DownloadRun::WriteHeaderLine(const HeadingRecord& heading, std::string_view name)
{
    headerPending_ = false;
    fileError_ = PrepareFolder();
    // The run may yet be cut short: the file it replaces is kept, so that a
    // complete earlier file of the day is never lost to a partial one.
    if (!fileError_) fileError_ = store_.MoveToBackup(filePath_, BackupPath(filePath_));
    if (!fileError_) fileError_ = store_.CreateAnew(filePath_, HeaderLine(heading, name));
}

void DownloadRun::AppendQuoteLine(const QuoteRecord& quote)
{
    // After a failed write the file is left as it is: lines appended after
    // a gap, or to an older file whose header could not be replaced, would
    // look like a complete file to its readers.
    if (fileError_) return;
    fileError_ = store_.Append(filePath_, QuoteLine(quote));
}

FileError DownloadRun::PrepareFolder()
{
    if (dataPath_.empty()) return std::nullopt;
    return store_.CreateFolder(dataPath_);
}

void DownloadRun::CloseProgram(const std::string& productName, RunOutcome outcome)
{
    view_.SetStatusText(productName + " wordt afgesloten");
    view_.ProcessMessages();
    view_.AddMemoLine("");
    view_.AddMemoLine(productName + " wordt nu afgesloten.");
    view_.AddMemoLine("");
    view_.AddMemoLine("*****");
    for (std::string stars = "****";; stars.pop_back()) {
        view_.Wait(1000);
        view_.ReplaceLastMemoLine(stars);
        if (stars.empty()) break;
    }
    view_.Wait(1000);
    view_.CloseMainWindow(static_cast<int>(outcome));
}
