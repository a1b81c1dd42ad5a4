#include "download/day_file_writer.h"

#include <algorithm>

namespace {

// Lines go to the disk in blocks of this size: a run of the whole market
// writes about 1.2 MB, so some twenty times instead of once a line.
constexpr std::size_t WriteBlock = 64 * 1024;

// A day's file of the whole market is about 1.2 MB; a far larger file of
// that name is no file of this program, and is judged unread (below).
constexpr std::size_t DayFileReadLimit = 64 * 1024 * 1024;

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

std::string_view LineUnderlying(std::string_view line)
{
    const std::string_view separator = "; ";
    std::size_t start = 0;
    for (int field = 0; field < 2; ++field) {
        const std::size_t at = line.find(separator, start);
        if (at == std::string_view::npos) return {};
        start = at + separator.size();
    }
    const std::size_t end = line.find(separator, start);
    return end == std::string_view::npos ? std::string_view() : line.substr(start, end - start);
}

void DayFileWriter::Begin(const std::string& folder, const std::string& dayFile)
{
    folder_ = folder;
    day_ = dayFile;
    headerPending_ = true;
    workOwned_ = false;
    error_.reset();
    buffer_.clear();
    lines_ = 0;
    rescued_.clear();
    lineUnderlyings_.clear();
}

void DayFileWriter::WriteHeader(std::string_view line)
{
    headerPending_ = false;
    error_ = PrepareFolder();
    if (!error_) error_ = KeepLeftoverWork();
    // From here on the work file's name is this run's: what was under it
    // has been kept, or held nothing.
    workOwned_ = !error_;
    if (!error_) error_ = store_.CreateAnew(Path(WorkFileName(day_)), line);
    lines_ = 1;
}

void DayFileWriter::WriteLine(std::string_view line, std::string_view underlying)
{
    // After a failed write nothing more is written: the file is not put in
    // place anyway.
    if (error_) return;
    buffer_ += line;
    ++lines_;
    auto found = lineUnderlyings_.find(underlying);
    if (found == lineUnderlyings_.end()) found = lineUnderlyings_.try_emplace(std::string(underlying)).first;
    const std::string_view named = LineUnderlying(line);
    if (found->second.find(named) == found->second.end()) found->second.emplace(named);
    if (buffer_.size() >= WriteBlock) WriteBuffer();
}

DayFileResult DayFileWriter::Finish(const std::vector<std::string>& notWhole)
{
    DayFileResult result;
    result.fileName = day_;
    result.rescued = rescued_;
    if (headerPending_) {
        // No page gave quotes: an earlier file of the day stays as it is;
        // where there was none, an empty one shows that the run found nothing.
        if (!error_) error_ = PrepareFolder();
        if (!error_) error_ = store_.CreateIfMissing(Path(day_));
        result.place = error_ ? DayFilePlace::Failed : DayFilePlace::Nothing;
        result.reason = error_;
        return result;
    }
    if (!error_) WriteBuffer();
    const std::string work = Path(WorkFileName(day_));
    if (!error_) error_ = store_.FlushToDisk(work);
    if (error_) {
        // Only this run's own work file goes: after a failed write it has a
        // gap, and on a full disk its space is wanted.
        if (workOwned_) store_.Delete(work);
        result.place = DayFilePlace::Failed;
        result.reason = error_;
        return result;
    }
    result.lines = lines_;

    const bool dayName = EarnsDayName(notWhole);
    const std::string earned = dayName ? day_ : PartialFileName(day_);
    const FileError blocked = dayName ? TakeDayName() : store_.Move(work, Path(earned));
    if (!blocked) {
        result.place = dayName ? DayFilePlace::DayName : DayFilePlace::Partial;
        result.fileName = earned;
        // An earlier run's quotes kept under the partial name have just
        // made way for this run's, as an earlier partial file does.
        if (!dayName) result.rescued.clear();
        return result;
    }
    result.blocked = earned;
    result.reason = blocked;
    const std::string beside = BesideFileName(day_);
    const bool besideMoved = !store_.Move(work, Path(beside));
    result.place = besideMoved ? DayFilePlace::Beside : DayFilePlace::WorkFile;
    result.fileName = besideMoved ? beside : WorkFileName(day_);
    return result;
}

FileError DayFileWriter::PrepareFolder()
{
    if (folder_.empty()) return std::nullopt;
    return store_.CreateFolder(folder_);
}

// Only a run ended by force leaves its work file behind: the run lock keeps
// every other run off this folder, and a run that ends puts its file in
// place. Its quotes are never deleted unread.
FileError DayFileWriter::KeepLeftoverWork()
{
    const std::string work = Path(WorkFileName(day_));
    const auto size = store_.SizeOf(work);
    if (!size || *size == 0) return std::nullopt;
    if (auto error = store_.Move(work, Path(PartialFileName(day_)))) return error;
    rescued_ = PartialFileName(day_);
    return std::nullopt;
}

void DayFileWriter::WriteBuffer()
{
    if (buffer_.empty()) return;
    error_ = store_.Append(Path(WorkFileName(day_)), buffer_);
    buffer_.clear();
}

// Judged by content, not by how the run went. A day's file that cannot be
// read, or is far too large to be one of ours, is judged as having nothing:
// taking the name keeps it as the backup, and where it cannot be moved the
// new file goes beside it.
bool DayFileWriter::EarnsDayName(const std::vector<std::string>& notWhole)
{
    std::string current;
    if (store_.Read(Path(day_), DayFileReadLimit, current)) return true;

    std::set<std::string_view> whole;
    for (const auto& [name, underlyings] : lineUnderlyings_) {
        if (std::find(notWhole.begin(), notWhole.end(), name) != notWhole.end()) continue;
        whole.insert(underlyings.begin(), underlyings.end());
    }
    // The first line is the header line.
    std::size_t start = current.find('\n');
    while (start != std::string::npos && start + 1 < current.size()) {
        const std::size_t end = current.find('\n', start + 1);
        const std::string_view line =
            std::string_view(current).substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        const std::string_view underlying = LineUnderlying(line);
        if (!underlying.empty() && !whole.count(underlying)) return false;
        start = end;
    }
    return true;
}

FileError DayFileWriter::TakeDayName()
{
    const std::string day = Path(day_);
    const std::string backup = Path(BackupFileName(day_));
    // An empty day's file holds no quotes, and would only push out an older
    // backup.
    const auto size = store_.SizeOf(day);
    const bool keep = size && *size > 0;
    if (keep) {
        if (auto error = store_.Move(day, backup)) return error;
    }
    if (auto error = store_.Move(Path(WorkFileName(day_)), day)) {
        // The name was free and still could not be given: the day's file
        // comes back under it.
        if (keep) store_.Move(backup, day);
        return error;
    }
    return std::nullopt;
}
