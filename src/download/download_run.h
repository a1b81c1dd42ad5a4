// Layer download, above win and beside settings: the download run and
// what it needs (pages, scanner, quote file, run lock and log); no windows.
//
// One download run: the list of underlyings, the call and put page of each,
// the day's quote file, and the progress in the main window. Everything the
// run touches outside itself goes through the interfaces it is built with.
#pragma once

#include "download/day_file_writer.h"
#include "download/layout_changes.h"
#include "download/page_asking.h"
#include "download/page_fetcher.h"
#include "download/quote_file_store.h"
#include "download/quote_sink.h"
#include "download/run_clock.h"
#include "download/run_lock.h"
#include "download/run_log.h"
#include "download/run_view.h"
#include "download/underlying_list.h"
#include "support/clock_time.h"

#include <optional>
#include <string>
#include <vector>

struct RunSettings {
    std::string dataPath;      // the data folder, ending in "\"
    bool selectionAll = true;  // false: only the AEX index options
    std::string quotesHost;    // host of the quotes web server, with an optional ":port"
    std::string productName;
    bool automatic = false;    // the first command-line argument is exactly "a"
    // The time of the program's own task, when that started the run.
    std::optional<ClockTime> taskTime;
};

// How a run ended. In automatic mode the value is the process's exit code,
// so that the task scheduler shows a run that missed quotes as failed. When
// several apply, the first of 3, 6, 8, 9, 1 is the outcome; 2, 4, 5 and 7 end a
// run before it writes anything.
enum class RunOutcome : int {
    Complete = 0,        // every underlying gave data and the file was written
    MissingData = 1,     // a call or put page of at least one underlying had no data
    NoUnderlyings = 2,   // no list of underlyings has been obtained in this program run
    FileFailure = 3,     // the quote file could not be created or written
    Declined = 4,        // "Nee" to the Sunday question; nothing was done
    AlreadyRunning = 5,  // asked for while a run was letting messages through
    NotInPlace = 6,      // the new quotes were written but could not take the day's name (it could not be
                         // replaced, or the day's file could not be read): they are kept beside it
    FolderBusy = 7,      // another run holds this data folder; nothing was done
    ServerGone = 8,      // the quotes server stopped answering; the run stopped asking
    SiteChanged = 9,     // every page the run could read was of a layout this version does not read
    UnexpectedError = 10, // automatic mode: an error reached the top-level handler; logged, the program ended
    MissedEvening = 11,  // the task started the run after its evening's quotes had gone; nothing was done
};

struct PageKind;

class DownloadRun : private QuoteSink {
public:
    DownloadRun(PageFetcher& fetcher, RunClock& clock, RunView& view, QuoteFileStore& store, RunLock& lock,
                RunLog& log);

    RunOutcome Run(const RunSettings& settings);

    bool Active() const { return active_; }

    // Absent until the first list page with data; kept by runs whose list
    // page has none.
    const std::optional<UnderlyingList>& Underlyings() const { return underlyings_; }

    // The bare name of the current or last run's quote file.
    const std::string& QuoteFileName() const { return quoteFileName_; }

private:
    bool HeaderPending() override;
    void WriteHeaderLine(const HeadingRecord& heading, std::string_view name) override;
    void AppendQuoteLine(const QuoteRecord& quote) override;

    RunOutcome Attempt(const RunSettings& settings, RunRecord& record);
    RunOutcome Missed(const ClockTime& taskTime, RunRecord& record);
    RunOutcome Fetch(const RunSettings& settings, RunRecord& record);
    void Download(const std::string& entry, const std::string& pageBase, PageAsking& asking);
    void AskAgain(UnderlyingPages& pages, const std::string& pageBase, PageAsking& asking);
    bool ReadPage(UnderlyingPages& pages, const PageKind& kind, const std::string& pageBase, PageAsking& asking);
    void ReportLayoutChanges(const RunSettings& settings, RunRecord& record, const DayFileResult& file,
                             bool serverGone);
    void CloseProgram(const std::string& productName, RunOutcome outcome);

    PageFetcher& fetcher_;
    RunClock& clock_;
    RunView& view_;
    RunLock& lock_;
    RunLog& log_;

    bool active_ = false;
    std::optional<UnderlyingList> underlyings_;
    std::string quoteFileName_;

    // State of the run in progress.
    DayFileWriter dayFile_;
    // Every underlying of the list, asked for or not, in list order.
    std::vector<UnderlyingPages> pages_;
    // The names of the underlyings without (all) quotes, in list order.
    std::vector<std::string> withoutData_;
    LayoutChanges layoutChanges_;
    // The page being read gave at least one record with series.
    bool pageSeries_ = false;
};
