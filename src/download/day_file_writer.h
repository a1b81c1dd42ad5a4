// The day's quote file, written once and whole. A run's lines go into a
// work file beside the day's file, held open for the whole run and written
// in blocks; when the run has ended the work file is flushed once and
// takes, in one step, the name its contents earn (day_file_naming.h).
// Readers never see half a file under the day's name, some file holds the
// day's name at every moment, and nothing a run fetched is thrown away:
//
// - The file the day's name replaces is first copied, written through, to
//   the backup (one generation); the work file then replaces the day's file
//   in one move.
// - A file with less goes beside it under the partial name, or a numbered
//   one when the partial file holds what the newcomer lacks.
// - When the file of that name cannot be replaced (another program holds
//   it open, it is read-only, access is denied), the quotes are kept under
//   the new name (or a numbered one), and failing that stay in the work
//   file.
// - A backup without a day's file is put back under the day's name first;
//   a work file that a run ended by force left behind is judged by its
//   content as a run's file is, and stays where it is when it cannot be
//   moved (this run then writes a work file of another name).
// - A run without any series writes nothing; a failed write leaves every
//   earlier file as it was.
#pragma once

#include "download/day_file_naming.h"
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
// A copy of the day's file on its way to the backup's name.
std::string PendingBackupFileName(const std::string& dayFile);  // dd-mm-yyyy.csv.bak.tmp

enum class DayFilePlace {
    Nothing,   // no page gave series: nothing written but an empty day's file where there was none
    DayName,   // under the day's name
    Partial,   // under the partial name: the day's file has quotes this run did not get whole, or
               // could not be read (unread)
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
    // Partial: why the day's file could not be read; empty when it was.
    std::string unread;
    // The bare name under which a work file left behind by an earlier run
    // was kept (or where it stayed); empty when there was none.
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

    // One quote line of the named underlying (its display name); series:
    // made from a row of the option table (QuoteRecord::series). Nothing
    // touches the disk before the run's first series line.
    void WriteLine(std::string_view line, std::string_view underlying, bool series);

    // Puts the file in place. notWhole names the underlyings whose quotes
    // did not all arrive.
    DayFileResult Finish(const std::vector<std::string>& notWhole);

private:
    std::string Path(const std::string& name) const { return folder_ + name; }
    FileError Settle();
    FileError OpenWork();
    void RestoreDayFile();
    void KeepLeftoverWork(const std::string& name);
    void WriteBuffer();
    NameHolder Inspect(const std::string& name, std::string* reason = nullptr);
    QuoteContent RunContent(const std::vector<std::string>& notWhole) const;
    FileError PlaceBeside(const std::string& work, const QuoteContent& content, const std::string& base,
                          std::string& placed);
    FileError TakeDayName(const std::string& work);

    QuoteFileStore& store_;
    std::string folder_;
    std::string day_;
    bool headerPending_ = false;
    bool settled_ = false;
    // The bare name of this run's work file once it is open.
    std::string work_;
    FileError error_;
    std::string header_;
    std::string buffer_;
    std::size_t lines_ = 0;
    std::string rescued_;
    // The underlyings as the series lines name them, by the display name of
    // the underlying that gave them.
    std::map<std::string, std::set<std::string, std::less<>>, std::less<>> lineUnderlyings_;
};
