// The run log: one plain line per run in the data folder, so that whoever
// scheduled the evening run can see the next morning what it did. A log
// that cannot be written never fails a run.
#pragma once

#include "download/day_file_writer.h"
#include "download/local_date_time.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char RunLogFileName[] = "Kestrom.log";

// Past this size the log drops its oldest lines.
constexpr std::size_t RunLogLimit = 64 * 1024;

// A file written into the folder the run log goes to: its full name, or
// why it could not be written.
struct FileBesideLog {
    std::string path;
    FileError error;
};

struct RunRecord {
    LocalDateTime start;
    bool automatic = false;
    CalendarDate tradingDate;
    // False for a run that ended before it downloaded anything (no list,
    // another run on the folder, "Nee" to the Sunday question).
    bool downloaded = false;
    DayFileResult file;
    std::size_t withData = 0;
    std::vector<std::string> withoutData;
    // Pages of a layout this version does not read: the underlyings that
    // gave them; whether every page the run could read was one; where the
    // first was kept (nothing when none came).
    std::vector<std::string> changedLayout;
    bool changedEverywhere = false;
    std::optional<FileBesideLog> unknownPage;
    int exitCode = 0;
    std::uint32_t milliseconds = 0;
};

// The record's line, ending in CR LF. Texts from outside (names from the
// pages, the system's reasons) lose their control characters, so that a
// record stays one line.
std::string RunLogLine(const RunRecord& record);

// The line of an automatic run that an unexpected error ended (exit code
// 10): when, and the error's message.
std::string UnexpectedErrorLogLine(const LocalDateTime& when, std::string_view message);

// The text of each exit code, as the log gives it.
std::string ExitCodeText(int exitCode);

// Whether a line of lineSize bytes may be appended to a log of logSize
// bytes as it is.
bool FitsInRunLog(std::uint64_t logSize, std::size_t lineSize);

// The bytes the log's tail is read from when the line does not fit: its
// newest lines are kept from these.
constexpr std::size_t RunLogKept = RunLogLimit / 2;

// The log's new text when line does not fit: the whole lines of tail (the
// log's last bytes, at most RunLogKept) and then line.
std::string TrimmedRunLog(std::string_view tail, std::string_view line);

// The line as it goes to the log in the user's own folder when the data
// folder's log cannot be written: it names that folder and why.
std::string FallbackRunLogLine(std::string_view line, std::string_view dataFolder, std::string_view reason);

class RunLog {
public:
    virtual ~RunLog() = default;

    // Appends line to the log of dataFolder (empty or ending in a
    // separator), or where that cannot be written, to the fallback log.
    virtual void Append(const std::string& dataFolder, const std::string& line) = 0;

    // Writes text anew into the file fileName of the folder where the log
    // of dataFolder goes.
    virtual FileBesideLog WriteBeside(const std::string& dataFolder, const std::string& fileName,
                                      std::string_view text) = 0;
};
