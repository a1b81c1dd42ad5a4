#include "download/day_file_writer.h"

#include <algorithm>

namespace {

// Lines go to the disk in blocks of this size: a run of the whole market
// writes about 1.2 MB, so some twenty times instead of once a line.
constexpr std::size_t WriteBlock = 64 * 1024;

// A day's file of the whole market is about 1.2 MB; a far larger file of
// that name is no file of this program, and is kept unread (below).
constexpr std::size_t DayFileReadLimit = 64 * 1024 * 1024;

constexpr char NoFreeName[] = "er is geen vrije naam meer";

std::string Stem(const std::string& dayFile)
{
    const std::string_view extension = ".csv";
    if (dayFile.size() >= extension.size() && dayFile.ends_with(extension))
        return dayFile.substr(0, dayFile.size() - extension.size());
    return dayFile;
}

} // namespace

std::string BackupFileName(const std::string& dayFile) { return dayFile + ".bak"; }

std::string WorkFileName(const std::string& dayFile) { return dayFile + ".tmp"; }

std::string PartialFileName(const std::string& dayFile) { return Stem(dayFile) + ".onvolledig.csv"; }

std::string BesideFileName(const std::string& dayFile) { return Stem(dayFile) + ".nieuw.csv"; }

std::string PendingBackupFileName(const std::string& dayFile) { return BackupFileName(dayFile) + ".tmp"; }

void DayFileWriter::Begin(const std::string& folder, const std::string& dayFile)
{
    folder_ = folder;
    day_ = dayFile;
    headerPending_ = true;
    settled_ = false;
    work_.clear();
    error_.reset();
    header_.clear();
    buffer_.clear();
    lines_ = 0;
    rescued_.clear();
    lineUnderlyings_.clear();
}

void DayFileWriter::WriteHeader(std::string_view line)
{
    headerPending_ = false;
    header_ = line;
    lines_ = 1;
}

void DayFileWriter::WriteLine(std::string_view line, std::string_view underlying, bool series)
{
    // After a failed write nothing more is written: the file is not put in
    // place anyway.
    if (error_) return;
    buffer_ += line;
    ++lines_;
    if (series) {
        auto found = lineUnderlyings_.find(underlying);
        if (found == lineUnderlyings_.end()) found = lineUnderlyings_.try_emplace(std::string(underlying)).first;
        const std::string_view named = LineUnderlying(line);
        if (found->second.find(named) == found->second.end()) found->second.emplace(named);
        // Records without series before the first series line wait in
        // memory: a run that has none writes nothing.
        if (work_.empty()) error_ = OpenWork();
    }
    if (!work_.empty() && buffer_.size() >= WriteBlock) WriteBuffer();
}

DayFileResult DayFileWriter::Finish(const std::vector<std::string>& notWhole)
{
    DayFileResult result;
    result.fileName = day_;
    if (!error_ && work_.empty()) {
        // No page gave series: an earlier file of the day stays as it is;
        // where there was none, an empty one shows that the run found nothing.
        error_ = Settle();
        if (!error_) error_ = store_.CreateIfMissing(Path(day_));
        result.place = error_ ? DayFilePlace::Failed : DayFilePlace::Nothing;
        result.reason = error_;
        result.rescued = rescued_;
        return result;
    }
    if (!error_) WriteBuffer();
    const std::string work = Path(work_);
    if (!error_) error_ = store_.CloseWork();
    if (error_) {
        // Only this run's own work file goes: after a failed write it has a
        // gap, and on a full disk its space is wanted.
        if (!work_.empty()) {
            store_.CloseWork();
            store_.Delete(work);
        }
        result.place = DayFilePlace::Failed;
        result.reason = error_;
        result.rescued = rescued_;
        return result;
    }
    result.lines = lines_;

    const QuoteContent content = RunContent(notWhole);
    std::string unread;
    const DayNameVerdict verdict = JudgeDayName(content, Inspect(day_, &unread));
    if (verdict == DayNameVerdict::Unread) result.unread = unread;
    std::string placed;
    const std::string earned = verdict == DayNameVerdict::Takes ? day_ : PartialFileName(day_);
    const FileError blocked = verdict == DayNameVerdict::Takes ? TakeDayName(work)
                                                               : PlaceBeside(work, content, earned, placed);
    if (!blocked) {
        result.place = verdict == DayNameVerdict::Takes ? DayFilePlace::DayName : DayFilePlace::Partial;
        result.fileName = verdict == DayNameVerdict::Takes ? day_ : placed;
        // An earlier run's quotes that this file replaced are all in it;
        // under the day's name they have just become the backup.
        result.rescued = rescued_ == result.fileName ? std::string() : rescued_;
        if (verdict == DayNameVerdict::Takes && rescued_ == day_) result.rescued = BackupFileName(day_);
        return result;
    }
    result.rescued = rescued_;
    result.blocked = earned;
    result.reason = blocked;
    std::string beside;
    const bool besidePlaced = !PlaceBeside(work, content, BesideFileName(day_), beside);
    result.place = besidePlaced ? DayFilePlace::Beside : DayFilePlace::WorkFile;
    result.fileName = besidePlaced ? beside : work_;
    return result;
}

// Once a run, before its first file: the folder, the day's file put back
// where it went missing, and the work files earlier runs left behind.
FileError DayFileWriter::Settle()
{
    if (settled_) return std::nullopt;
    settled_ = true;
    if (!folder_.empty()) {
        if (auto error = store_.CreateFolder(folder_)) return error;
    }
    RestoreDayFile();
    for (int number = 1; number <= NameSlots; ++number) {
        const std::string name = NumberedName(WorkFileName(day_), number);
        const auto size = store_.SizeOf(Path(name));
        if (size && *size > 0) KeepLeftoverWork(name);
    }
    return std::nullopt;
}

// This run's work file, under the first work name that holds nothing.
FileError DayFileWriter::OpenWork()
{
    if (auto error = Settle()) return error;
    FileError first;
    for (int number = 1; number <= NameSlots; ++number) {
        const std::string name = NumberedName(WorkFileName(day_), number);
        const auto size = store_.SizeOf(Path(name));
        if (size && *size > 0) continue;
        // A name that cannot be opened gives way to the next one; a write
        // that fails ends the run (Finish).
        FileError error = store_.OpenWork(Path(name));
        if (!error) {
            work_ = name;
            buffer_.insert(0, header_);
            return std::nullopt;
        }
        if (!first) first = std::move(error);
    }
    return first ? first : FileError(NoFreeName);
}

// A backup without a day's file (an older version was ended between its
// two moves, or a disk failed) goes back under the day's name before
// anything could take that name; so does a copy on its way to the backup.
// That copy otherwise holds either the day's file as it still is (the
// replacement never happened: it goes) or the file the day's name last
// replaced (it becomes the backup).
void DayFileWriter::RestoreDayFile()
{
    const std::string day = Path(day_);
    const std::string backup = Path(BackupFileName(day_));
    const std::string pending = Path(PendingBackupFileName(day_));
    std::string copy;
    if (store_.SizeOf(pending) && !store_.Read(pending, DayFileReadLimit, copy)) {
        std::string current;
        if (!store_.SizeOf(day)) store_.MoveToFreeName(pending, day);
        else if (store_.Read(day, DayFileReadLimit, current)) {
            // Unread: both stay until the next run.
        } else if (current == copy) store_.Delete(pending);
        else store_.Move(pending, backup);
    }
    if (!store_.SizeOf(day) && store_.SizeOf(backup)) store_.MoveToFreeName(backup, day);
}

// Only a run ended by force leaves its work file behind: the run lock keeps
// every other run off this folder, and a run that ends puts its file in
// place. Its quotes are judged as a run's are, and never deleted unread:
// what cannot be read or moved stays where it is.
void DayFileWriter::KeepLeftoverWork(const std::string& name)
{
    const std::string work = Path(name);
    std::string text;
    if (store_.Read(work, DayFileReadLimit, text)) {
        rescued_ = name;
        return;
    }
    const QuoteContent content = ContentOfFile(text, true);
    std::string placed;
    FileError error;
    if (JudgeDayName(content, Inspect(day_)) == DayNameVerdict::Takes) {
        error = TakeDayName(work);
        if (!error) placed = day_;
    }
    if (placed.empty()) error = PlaceBeside(work, content, PartialFileName(day_), placed);
    rescued_ = error ? name : placed;
}

void DayFileWriter::WriteBuffer()
{
    if (buffer_.empty()) return;
    error_ = store_.AppendWork(buffer_);
    buffer_.clear();
}

NameHolder DayFileWriter::Inspect(const std::string& name, std::string* reason)
{
    NameHolder holder;
    const auto size = store_.SizeOf(Path(name));
    if (!size || *size == 0) return holder;
    std::string text;
    if (FileError error = store_.Read(Path(name), DayFileReadLimit, text)) {
        holder.state = NameHolder::State::Unreadable;
        if (reason) *reason = *error;
        return holder;
    }
    holder.state = NameHolder::State::Read;
    holder.content = ContentOfFile(text, false);
    return holder;
}

QuoteContent DayFileWriter::RunContent(const std::vector<std::string>& notWhole) const
{
    QuoteContent content;
    for (const auto& [name, underlyings] : lineUnderlyings_) {
        content.series.insert(underlyings.begin(), underlyings.end());
        if (std::find(notWhole.begin(), notWhole.end(), name) == notWhole.end())
            content.whole.insert(underlyings.begin(), underlyings.end());
    }
    return content;
}

// Under base, or the first of its numbered names that content may take.
// A free name is taken only while it is free; a name whose file cannot be
// replaced now gives way to the next one.
FileError DayFileWriter::PlaceBeside(const std::string& work, const QuoteContent& content, const std::string& base,
                                     std::string& placed)
{
    FileError first;
    for (int number = 1; number <= NameSlots; ++number) {
        const std::string name = NumberedName(base, number);
        const NameHolder holder = Inspect(name);
        if (!MayTake(content, holder)) continue;
        FileError error = holder.state == NameHolder::State::Free ? store_.MoveToFreeName(work, Path(name))
                                                                  : store_.Move(work, Path(name));
        if (!error) {
            placed = name;
            return std::nullopt;
        }
        if (!first) first = std::move(error);
    }
    return first ? first : FileError(NoFreeName);
}

// Some file holds the day's name at every moment, and the day's file is
// safe as the backup before it is replaced: it is copied, written through,
// to a pending backup, the work file replaces it in one move, and only then
// does the copy replace the older backup. A run ended anywhere in between
// leaves what the next run's RestoreDayFile finishes.
FileError DayFileWriter::TakeDayName(const std::string& work)
{
    const std::string day = Path(day_);
    const auto size = store_.SizeOf(day);
    if (!size) return store_.MoveToFreeName(work, day);
    // An empty day's file holds no quotes, and would only push out an older
    // backup.
    if (*size == 0) return store_.Move(work, day);
    const std::string pending = Path(PendingBackupFileName(day_));
    if (auto error = store_.CopyThrough(day, pending)) {
        store_.Delete(pending);
        return error;
    }
    if (auto error = store_.Move(work, day)) {
        store_.Delete(pending);
        return error;
    }
    store_.Move(pending, Path(BackupFileName(day_)));
    return std::nullopt;
}
