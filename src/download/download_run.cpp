#include "download/download_run.h"

#include "download/better_attempt.h"
#include "download/late_start.h"
#include "download/option_page.h"
#include "download/page_layout.h"
#include "download/quote_line.h"
#include "download/quote_page.h"
#include "download/run_log_status.h"
#include "download/trading_date.h"
#include "support/text.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

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

// Holds the data folder's run lock while a run downloads and writes.
class LockScope {
public:
    explicit LockScope(RunLock& lock) : lock_(lock) {}
    ~LockScope() { lock_.Unlock(); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    RunLock& lock_;
};

// Where the quotes went, and what the user can do when that is not under
// the day's name.
std::vector<std::string> FileReport(const DayFileResult& file, const std::string& dayFile)
{
    std::vector<std::string> lines;
    switch (file.place) {
    case DayFilePlace::Nothing:
        lines.push_back("Er zijn geen koersen ontvangen; er is niets geschreven");
        break;
    case DayFilePlace::Failed:
        lines.push_back("Het koersbestand kon niet worden geschreven: " + file.reason.value_or(""));
        break;
    case DayFilePlace::DayName:
        lines.push_back("Ze zijn geschreven in: " + file.fileName);
        break;
    case DayFilePlace::Partial:
        lines.push_back("Ze zijn geschreven in: " + file.fileName);
        lines.push_back(file.unread.empty()
                            ? dayFile + " heeft koersen die deze download niet kreeg en is gebleven zoals het was"
                            : dayFile + " kon niet worden gelezen en is gebleven zoals het was: " + file.unread);
        break;
    case DayFilePlace::Beside:
    case DayFilePlace::WorkFile:
        lines.push_back((file.place == DayFilePlace::Beside ? "Ze zijn geschreven in: " : "Ze staan in: ") +
                        file.fileName);
        lines.push_back(file.blocked + " kon niet worden vervangen: " + file.reason.value_or(""));
        lines.push_back("Hernoem " + file.fileName + " naar " + file.blocked + " zodra dat kan, of download opnieuw");
        break;
    }
    if (!file.rescued.empty())
        lines.push_back("De koersen van een afgebroken eerdere download staan in: " + file.rescued);
    return lines;
}

// What became of an underlying's quotes, for its line in the memo.
std::string UnderlyingLine(const UnderlyingPages& pages)
{
    if (pages.GotAll()) return "Gegevens van " + pages.name + " gedownload";
    if (pages.quotes) return "Niet alle koersen van " + pages.name + " ontvangen";
    return "Geen koersen van " + pages.name + " ontvangen";
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

DownloadRun::DownloadRun(PageFetcher& fetcher, RunClock& clock, RunView& view, QuoteFileStore& store, RunLock& lock,
                         RunLog& log)
    : fetcher_(fetcher), clock_(clock), view_(view), lock_(lock), log_(log), dayFile_(store)
{
}

RunOutcome DownloadRun::Run(const RunSettings& settings)
{
    // The run lets window messages through between underlyings; a button
    // press or timer delivered there must not start a run inside this one.
    if (active_) return RunOutcome::AlreadyRunning;
    const ActiveFlag activeFlag(active_);

    RunRecord record;
    record.start = clock_.Now();
    record.automatic = settings.automatic;
    record.tradingDate = TradingDate(record.start);
    const std::uint32_t started = clock_.Milliseconds();
    // An unattended run that never gets to its closing line (ended by the
    // Task Scheduler's time limit, a PC switched off) still shows the next
    // morning.
    if (settings.automatic) log_.Append(FolderPrefix(settings.dataPath), RunLogStartLine(record.start));

    const bool missed = settings.automatic && settings.taskTime && IsMissedEvening(*settings.taskTime, record.start);
    const RunOutcome outcome = missed ? Missed(*settings.taskTime, record) : Attempt(settings, record);

    record.exitCode = static_cast<int>(outcome);
    record.milliseconds = clock_.Milliseconds() - started;
    log_.Append(FolderPrefix(settings.dataPath), RunLogLine(record));
    // After "Nee" the program stays open without fetching anything.
    if (settings.automatic && outcome != RunOutcome::Declined) CloseProgram(settings.productName, outcome);
    return outcome;
}

RunOutcome DownloadRun::Attempt(const RunSettings& settings, RunRecord& record)
{
    if (IsSundayAfterExpiry(record.start.date) &&
        !view_.AskYesNo(settings.productName + " - Downloaden?",
                        "Als u op \"Ja\" klikt dan worden de expitatiekoersen van vrijdag gewist")) {
        return RunOutcome::Declined;
    }

    // Taken after the question, which an unattended run may wait on all
    // night.
    const std::string dataPath = FolderPrefix(settings.dataPath);
    if (!lock_.TryLock(dataPath)) {
        view_.SetStatusText("Downloaden is niet gestart");
        view_.ClearMemo();
        view_.AddMemoLine("Er loopt al een download naar de map " + dataPath + "; deze download is niet gestart.");
        return RunOutcome::FolderBusy;
    }
    const LockScope lockScope(lock_);
    return Fetch(settings, record);
}

RunOutcome DownloadRun::Missed(const ClockTime& taskTime, RunRecord& record)
{
    // The site shows another day's quotes now; under the evening's date
    // they would be a lie, under today's they would be early.
    const LocalDateTime scheduled = ScheduledStartOf(taskTime, record.start);
    record.tradingDate = TradingDate(scheduled);
    view_.SetStatusText("De avonddownload is gemist");
    view_.ClearMemo();
    view_.AddMemoLine("De download van de avond van " + TradingDateText(scheduled.date) + " om " +
                      ClockTimeText(taskTime) + " is gemist: de computer stond uit of sliep.");
    view_.AddMemoLine("De koersen van die dag staan niet meer op de site; er is niets gedownload.");
    return RunOutcome::MissedEvening;
}

RunOutcome DownloadRun::Fetch(const RunSettings& settings, RunRecord& record)
{
    Hourglass hourglass(view_);
    view_.SetStatusText("Bezig met verbinden");
    view_.ProcessMessages();

    // The code goes into the query exactly as the list holds it: its "/"
    // and "." are not escaped.
    const std::string pageBase = "http://" + settings.quotesHost + "/derivaten/opties/";
    PageAsking asking(fetcher_);
    layoutChanges_.Begin();
    {
        const FetchedPage list = asking.Ask(pageBase + "?call=AEX.AGN/O");
        const PageJudgement judgement = JudgePage(list);
        layoutChanges_.Note(judgement, list.body, std::string());
        // A list page laid out anew still gives the list from its selection.
        if (judgement != PageJudgement::NoData) ReadUnderlyings(list.body, settings.selectionAll, underlyings_);
    }

    if (!underlyings_) {
        view_.SetStatusText("Downloaden is mislukt");
        view_.ClearMemo();
        view_.AddMemoLine("De lijst met fondsen kon niet worden opgehaald; er is niets gedownload.");
        return RunOutcome::NoUnderlyings;
    }

    view_.SetStatusText("Bezig met downloaden");
    view_.ClearMemo();
    // Worked out again once the list has come: a run started a moment
    // before 06:00 downloads the new day's quotes.
    record.tradingDate = TradingDate(clock_.Now());
    quoteFileName_ = ::QuoteFileName(record.tradingDate);
    // The file goes into the folder also when it was typed without its "\".
    dayFile_.Begin(FolderPrefix(settings.dataPath), quoteFileName_);
    withoutData_.clear();
    pages_.clear();

    for (const std::string& entry : *underlyings_) {
        if (!asking.Asking()) {
            pages_.emplace_back(entry);
            continue;
        }
        Download(entry, pageBase, asking);
        if (!asking.Asking()) view_.AddMemoLine(ServerGoneLine);
    }
    // The pages that went unanswered once more, before the run ends: the
    // evening's quotes cannot be fetched later.
    for (UnderlyingPages& pages : pages_) {
        if (!pages.AskAgain()) continue;
        const bool wasAsking = asking.Asking();
        // What came of a page on a slow line is kept also when nothing
        // more is asked.
        if (!wasAsking && !pages.heldCall && !pages.heldPut) continue;
        AskAgain(pages, pageBase, asking);
        if (wasAsking && !asking.Asking()) view_.AddMemoLine(ServerGoneLine);
    }
    for (const UnderlyingPages& pages : pages_) {
        if (!pages.GotAll()) withoutData_.push_back(pages.name);
    }

    const DayFileResult file = dayFile_.Finish(withoutData_);
    const std::size_t withData = pages_.size() - withoutData_.size();
    record.downloaded = true;
    record.file = file;
    record.withData = withData;
    record.withoutData = withoutData_;

    view_.SetStatusText("Downloaden is klaar");
    view_.AddMemoLine("");
    view_.AddMemoLine("De optiekoersen van " + std::to_string(withData) + " fondsen zijn gedownload");
    for (const std::string& line : FileReport(file, quoteFileName_)) view_.AddMemoLine(line);
    // Named, so that the user knows what to fetch again.
    if (!withoutData_.empty()) {
        view_.AddMemoLine("Van " + FundsText(withoutData_.size()) + " zijn geen of niet alle koersen ontvangen");
        view_.AddMemoLine("Het gaat om " + NamesText(withoutData_));
    }
    ReportLayoutChanges(settings, record, file, !asking.Asking());

    if (file.place == DayFilePlace::Failed) return RunOutcome::FileFailure;
    if (file.place == DayFilePlace::Beside || file.place == DayFilePlace::WorkFile || !file.unread.empty())
        return RunOutcome::NotInPlace;
    if (!asking.Asking()) return RunOutcome::ServerGone;
    if (layoutChanges_.Everywhere()) return RunOutcome::SiteChanged;
    return withoutData_.empty() ? RunOutcome::Complete : RunOutcome::MissingData;
}

// The first page of a changed layout is kept for the maker. When every page
// the run could read was one, the memo says so once instead of a line per
// underlying, which would only say again and again that nothing came.
void DownloadRun::ReportLayoutChanges(const RunSettings& settings, RunRecord& record, const DayFileResult& file,
                                      bool serverGone)
{
    if (!layoutChanges_.Seen()) return;
    const FileBesideLog kept =
        log_.WriteBeside(FolderPrefix(settings.dataPath), UnknownPageFileName, layoutChanges_.FirstPage());
    record.unknownPage = kept;
    record.changedLayout = layoutChanges_.Underlyings();
    record.changedEverywhere = layoutChanges_.Everywhere();
    const std::vector<std::string> lines =
        LayoutChangeLines(layoutChanges_, kept, NamesText(layoutChanges_.Underlyings()));
    if (layoutChanges_.Everywhere()) view_.ClearMemo();
    for (const std::string& line : lines) view_.AddMemoLine(line);
    if (!layoutChanges_.Everywhere()) return;
    if (serverGone) view_.AddMemoLine(ServerGoneLine);
    for (const std::string& line : FileReport(file, quoteFileName_)) view_.AddMemoLine(line);
}

void DownloadRun::Download(const std::string& entry, const std::string& pageBase, PageAsking& asking)
{
    UnderlyingPages& pages = pages_.emplace_back(entry);
    pages.callAnswered = ReadPage(pages, CallPage, pageBase, asking);
    // An unanswered call page takes its put page along to the second pass,
    // where the put lines get the price the call page gives.
    if (pages.callAnswered) pages.putAnswered = ReadPage(pages, PutPage, pageBase, asking);

    view_.ProcessMessages();
    view_.AddMemoLine(UnderlyingLine(pages));
}

void DownloadRun::AskAgain(UnderlyingPages& pages, const std::string& pageBase, PageAsking& asking)
{
    pages.askedAgain = true;
    // A run that stopped asking comes here only to write what came of a
    // page on a slow line.
    const bool asks = asking.Asking();
    if (!pages.callAnswered) pages.callAnswered = ReadPage(pages, CallPage, pageBase, asking);
    // The last chance for the put page: asked for also when the call page
    // went unanswered again.
    if (!pages.putAnswered) pages.putAnswered = ReadPage(pages, PutPage, pageBase, asking);

    view_.ProcessMessages();
    view_.AddMemoLine((asks ? "Opnieuw opgevraagd: " : "") + UnderlyingLine(pages));
}

// Asks for one page and writes its quotes; false when it went unanswered,
// which leaves nothing written.
bool DownloadRun::ReadPage(UnderlyingPages& pages, const PageKind& kind, const std::string& pageBase,
                           PageAsking& asking)
{
    FetchedPage asked = asking.Ask(pageBase + std::string(kind.query) + pages.code);
    std::optional<FetchedPage>& held = kind.givesPrice ? pages.heldCall : pages.heldPut;
    if (asked.stillArriving && !pages.askedAgain) {
        // A slow line: the second pass asks again and writes the better
        // attempt, so that no row is written twice.
        held = std::move(asked);
        return false;
    }
    const std::optional<FetchedPage> first = std::exchange(held, std::nullopt);
    const FetchedPage& page = first ? BetterAttempt(*first, asked, kind.text, pages.name) : asked;
    if (page.unanswered) return false;
    // A page that is no quote page gives nothing, not even the header line
    // or the price; nor does a page laid out anew.
    const PageJudgement judgement = JudgePage(page);
    layoutChanges_.Note(judgement, page.body, pages.name);
    const bool quotes = judgement == PageJudgement::QuotePage;
    if (kind.givesPrice) pages.price = quotes ? ReadUnderlyingPrice(page.body, pages.name) : std::string();
    const PageArrival arrival = Arrival(page);
    pageSeries_ = false;
    if (quotes) ParseOptionPage(page.body, kind.text, pages.name, pages.price, *this, arrival);
    // Only series count as quotes: a page of the site with an empty table
    // (its data feed out) gives none.
    pages.quotes = pages.quotes || pageSeries_;
    // A page that broke off gives its whole rows, but not all of them.
    if (!pageSeries_ || arrival != PageArrival::Whole) pages.lacking = true;
    return true;
}

bool DownloadRun::HeaderPending()
{
    return dayFile_.HeaderPending();
}

void DownloadRun::WriteHeaderLine(const HeadingRecord& heading, std::string_view name)
{
    dayFile_.WriteHeader(HeaderLine(heading, name));
}

void DownloadRun::AppendQuoteLine(const QuoteRecord& quote)
{
    dayFile_.WriteLine(QuoteLine(quote), quote.name, quote.series);
    pageSeries_ = pageSeries_ || quote.series;
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
