// The day's quote file, written once and whole. A run's lines go into a
// work file beside the day's file with ordinary buffered writes; when the
// run has ended the work file is flushed once and takes, in one step, the
// name its contents earn. Readers never see half a file under the day's
// name, and nothing a run fetched is thrown away:
//
// - The day's name goes to a file that holds the quotes of every
//   underlying the current day's file has quotes of, each of them received
//   whole (so an underlying that gives nothing all day long does not keep
//   the name from being renewed). The file it replaces becomes the backup
//   (one generation).
// - A file with less is kept beside it under the partial name, replacing
//   an earlier partial file.
// - When the file of that name cannot be replaced (another program holds
//   it open, it is read-only, access is denied), the quotes are kept under
//   a name of their own, and failing that stay in the work file.
// - A work file that a run ended by force left behind is kept under the
//   partial name by the next run that writes.
// - A failed write leaves every earlier file as it was.
#pragma once

#include "download/quote_file_store.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The names beside the day's file dd-mm-yyyy.csv. The work file's name
// ends in ".tmp", so that no program reading the day's files takes it for
// one.
std::string BackupFileName(const std::string& dayFile);   // dd-mm-yyyy.csv.bak
std::string WorkFileName(const std::string& dayFile);     // dd-mm-yyyy.csv.tmp
std::string PartialFileName(const std::string& dayFile);  // dd-mm-yyyy.onvolledig.csv
std::string BesideFileName(const std::string& dayFile);   // dd-mm-yyyy.nieuw.csv

// The underlying a line of a quote file is of: its third field.
std::string_view LineUnderlying(std::string_view line);

enum class DayFilePlace {
    Nothing,   // no page gave quotes: nothing written but an empty day's file where there was none
    DayName,   // under the day's name
    Partial,   // under the partial name: the day's file has quotes this run did not get whole
    Beside,    // the file of the name they earned could not be replaced: under a name of their own
    WorkFile,  // not even that: they stay in the work file
    Failed,    // a write failed: nothing written, every earlier file as it was
};

struct DayFileResult {
    DayFilePlace place = DayFilePlace::Nothing;
    // The bare name of the file that holds the run's quotes (Nothing and
    // Failed: the day's file).
    std::string fileName;
    // The lines of that file, its header line included.
    std::size_t lines = 0;
    // Failed: why the writing failed. Beside and WorkFile: the bare name of
    // the file that could not be replaced, and why.
    std::string blocked;
    FileError reason;
    // The bare name under which a work file left behind by an earlier run
    // was kept; empty when there was none.
    std::string rescued;
};

class DayFileWriter {
public:
    explicit DayFileWriter(QuoteFileStore& store) : store_(store) {}

    // Starts the file of a run; nothing touches the disk before the header
    // line. folder is empty or ends in a separator.
    void Begin(const std::string& folder, const std::string& dayFile);

    // True until the run's header line has been written.
    bool HeaderPending() const { return headerPending_; }

    // Creates the folder and the work file with the header line.
    void WriteHeader(std::string_view line);

    // One quote line of the named underlying (its display name).
    void WriteLine(std::string_view line, std::string_view underlying);

    // Puts the file in place. notWhole names the underlyings whose quotes
    // did not all arrive.
    DayFileResult Finish(const std::vector<std::string>& notWhole);

private:
    std::string Path(const std::string& name) const { return folder_ + name; }
    FileError PrepareFolder();
    FileError KeepLeftoverWork();
    void WriteBuffer();
    bool EarnsDayName(const std::vector<std::string>& notWhole);
    FileError TakeDayName();

    QuoteFileStore& store_;
    std::string folder_;
    std::string day_;
    bool headerPending_ = false;
    bool workOwned_ = false;
    FileError error_;
    std::string buffer_;
    std::size_t lines_ = 0;
    std::string rescued_;
    // The underlyings as the lines name them, by the display name of the
    // underlying that gave them.
    std::map<std::string, std::set<std::string, std::less<>>, std::less<>> lineUnderlyings_;
};
