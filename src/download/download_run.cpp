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

constexpr char ServerGoneLine[] = "De koersenserver antwoordt niet meer; er wordt niets meer opgevraagd";

// The earlier file of the same trading date that a run replaces.
std::string BackupPath(const std::string& path)
{
    return path + ".bak";
}

} // namespace

// The call or the put page of an underlying.
struct PageKind {
    std::string_view query;
    std::string_view text;
    // The underlying's price stands on its call page.
    bool givesPrice;
};

namespace {

constexpr PageKind CallPage{"?call=", "Call", true};
constexpr PageKind PutPage{"?put=", "Put", false};

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
    PageAsking asking(fetcher_);
    if (const FetchedPage list = asking.Ask(pageBase + "?call=AEX.AGN/O"); IsQuotePage(list))
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
    pages_.clear();

    int counter = 0;
    for (const std::string& entry : *underlyings_) {
        if (!asking.Asking()) {
            pages_.emplace_back(entry);
            continue;
        }
        Download(entry, pageBase, asking);
        ++counter;
        if (!asking.Asking()) view_.AddMemoLine(ServerGoneLine);
    }
    // The pages that went unanswered once more, before the run ends: the
    // evening's quotes cannot be fetched later.
    for (UnderlyingPages& pages : pages_) {
        if (!asking.Asking() || !pages.AskAgain()) continue;
        AskAgain(pages, pageBase, asking);
        if (!asking.Asking()) view_.AddMemoLine(ServerGoneLine);
    }
    for (const UnderlyingPages& pages : pages_) {
        if (!pages.GotAll()) withoutData_.push_back(pages.name);
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
                               : !asking.Asking() ? RunOutcome::ServerGone
                               : !withoutData_.empty() ? RunOutcome::MissingData
                                                       : RunOutcome::Complete;
    if (settings.automatic) CloseProgram(settings.productName, outcome);
    return outcome;
}

void DownloadRun::Download(const std::string& entry, const std::string& pageBase, PageAsking& asking)
{
    UnderlyingPages& pages = pages_.emplace_back(entry);
    const std::string& name = pages.name;
    pages.callAnswered = ReadPage(pages, CallPage, pageBase, asking);
    // An unanswered call page takes its put page along to the second pass,
    // where the put lines get the price the call page gives.
    if (pages.callAnswered) pages.putAnswered = ReadPage(pages, PutPage, pageBase, asking);

    view_.ProcessMessages();
    view_.AddMemoLine("Gegevens van " + name + " gedownload");
}

void DownloadRun::AskAgain(UnderlyingPages& pages, const std::string& pageBase, PageAsking& asking)
{
    if (!pages.callAnswered) pages.callAnswered = ReadPage(pages, CallPage, pageBase, asking);
    // The last chance for the put page: asked for also when the call page
    // went unanswered again.
    if (!pages.putAnswered) pages.putAnswered = ReadPage(pages, PutPage, pageBase, asking);

    view_.ProcessMessages();
    view_.AddMemoLine("Gegevens van " + pages.name + " opnieuw opgevraagd");
}

// Asks for one page and writes its quotes; false when it went unanswered,
// which leaves nothing written.
bool DownloadRun::ReadPage(UnderlyingPages& pages, const PageKind& kind, const std::string& pageBase,
                           PageAsking& asking)
{
    const FetchedPage page = asking.Ask(pageBase + std::string(kind.query) + pages.code);
    if (page.unanswered) return false;
    // A page that is no quote page gives nothing, not even the header line
    // or the price.
    const bool quotes = IsQuotePage(page);
    if (kind.givesPrice) pages.price = quotes ? ReadUnderlyingPrice(page.body, pages.name) : std::string();
    const PageArrival arrival = Arrival(page);
    if (quotes) ParseOptionPage(page.body, kind.text, pages.name, pages.price, *this, arrival);
    // A page that broke off gives its whole rows, but not all of them.
    if (!quotes || arrival != PageArrival::Whole) pages.lacking = true;
    return true;
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
