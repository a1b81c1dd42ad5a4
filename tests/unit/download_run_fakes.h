// Plain fakes of what a download run talks to. They share one log, so a
// test sees fetches, file writes and window updates in the order they
// happened.
#pragma once

#include "download/download_run.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

using EventLog = std::vector<std::string>;

// Serves the pages set up; any other address gets no response at all.
class FakeFetcher : public PageFetcher {
public:
    explicit FakeFetcher(EventLog& log) : log_(log) {}
    FetchedPage FetchPage(const std::string& url) override
    {
        log_.push_back("fetch " + url);
        if (const auto times = unanswered.find(url); times != unanswered.end() && times->second > 0) {
            --times->second;
            FetchedPage none;
            none.unanswered = true;
            none.milliseconds = Took(url);
            return none;
        }
        if (const auto attempts = arriving.find(url); attempts != arriving.end() && !attempts->second.empty()) {
            FetchedPage slow{attempts->second.front(), 200ul, false};
            slow.stillArriving = true;
            slow.milliseconds = Took(url);
            attempts->second.erase(attempts->second.begin());
            return slow;
        }
        const auto page = pages.find(url);
        if (page == pages.end()) return FetchedPage{};
        const auto answered = status.find(url);
        FetchedPage fetched{page->second, answered == status.end() ? 200ul : answered->second, !cutOff.count(url)};
        fetched.milliseconds = Took(url);
        return fetched;
    }
    std::map<std::string, std::string> pages;
    // Pages answered with another status than 200.
    std::map<std::string, unsigned long> status;
    // Pages whose body ends before its announced end.
    std::set<std::string> cutOff;
    // Pages that time out (or find no connection) the first so many times
    // they are asked for.
    std::map<std::string, int> unanswered;
    // Pages still arriving when their time ran out, the first times they
    // are asked for: what had come of them at each of these attempts.
    std::map<std::string, std::vector<std::string>> arriving;
    // How long the fetch of a page takes; 0 when not set.
    std::map<std::string, std::uint32_t> took;

private:
    std::uint32_t Took(const std::string& url) const
    {
        const auto time = took.find(url);
        return time == took.end() ? 0 : time->second;
    }
    EventLog& log_;
};

class FakeClock : public RunClock {
public:
    LocalDateTime Now() override { return now; }
    // Each reading is step milliseconds after the one before.
    std::uint32_t Milliseconds() override { return milliseconds += step; }
    LocalDateTime now{{2009, 3, 13}, 18, 30};
    std::uint32_t milliseconds = 0;
    std::uint32_t step = 0;
};

class FakeLock : public RunLock {
public:
    explicit FakeLock(EventLog& log) : log_(log) {}
    bool TryLock(const std::string& folder) override
    {
        log_.push_back("lock " + folder);
        return !busy;
    }
    void Unlock() override { log_.push_back("unlock"); }
    // Another run holds every folder.
    bool busy = false;

private:
    EventLog& log_;
};

// The lines apart from the event log: a run writes one at its very end.
class FakeRunLog : public RunLog {
public:
    void Append(const std::string& dataFolder, const std::string& line) override
    {
        lines.push_back({dataFolder, line});
    }
    // Written into the data folder unless a reason is set up.
    FileBesideLog WriteBeside(const std::string& dataFolder, const std::string& fileName,
                              std::string_view text) override
    {
        files[dataFolder + fileName] = text;
        if (besideFailure) return {std::string(), besideFailure};
        return {dataFolder + fileName, std::nullopt};
    }
    std::vector<std::pair<std::string, std::string>> lines;
    // Every file asked to be written beside the log, failed or not.
    std::map<std::string, std::string> files;
    FileError besideFailure;
};

class FakeView : public RunView {
public:
    explicit FakeView(EventLog& log) : log_(log) {}
    void SetStatusText(const std::string& text) override { Log("status " + text); status = text; }
    void ClearMemo() override { Log("clear"); memo.clear(); }
    void AddMemoLine(const std::string& line) override { Log("memo " + line); memo.push_back(line); }
    void ReplaceLastMemoLine(const std::string& line) override
    {
        Log("replace " + line);
        if (!memo.empty()) memo.back() = line;
    }
    bool AskYesNo(const std::string& title, const std::string& message) override
    {
        Log("ask " + title + " | " + message);
        return answer;
    }
    void ProcessMessages() override
    {
        Log("process");
        if (onProcessMessages) onProcessMessages();
    }
    void SetHourglass(bool on) override { Log(on ? "hourglass on" : "hourglass off"); }
    void Wait(int milliseconds) override { Log("wait " + std::to_string(milliseconds)); }
    void CloseMainWindow(int exitCode) override { Log("close " + std::to_string(exitCode)); }

    bool answer = false;
    std::string status;
    std::vector<std::string> memo;
    std::function<void()> onProcessMessages;

private:
    void Log(const std::string& event) { log_.push_back(event); }
    EventLog& log_;
};

// Files and folders in memory. A file can only be made in a folder that
// exists; failures are set up per operation. A file that another program
// holds open, as a spreadsheet does (read access, read sharing only), can
// be read but not written, replaced, moved or deleted. A store can also
// stop the program after a number of changes, as a power cut or a killed
// process does: the change in hand is not made and StoreCrash is thrown.
struct StoreCrash {};

class FakeStore : public QuoteFileStore {
public:
    explicit FakeStore(EventLog& log) : log_(log) {}

    FileError CreateFolder(const std::string& folder) override
    {
        log_.push_back("folder " + folder);
        if (folderFailure) return folderFailure;
        folders.insert(folder);
        return std::nullopt;
    }
    FileError OpenWork(const std::string& path) override
    {
        log_.push_back("create " + path);
        Change();
        work_.clear();
        if (auto error = Check(path, createFailure)) return error;
        files[path] = "";
        work_ = path;
        return std::nullopt;
    }
    FileError AppendWork(std::string_view text) override
    {
        log_.push_back("append " + work_);
        Change();
        if (appendsBeforeFailure == 0) return DiskFull;
        --appendsBeforeFailure;
        if (!files.count(work_)) return NotFound;
        files[work_] += text;
        return std::nullopt;
    }
    FileError CloseWork() override
    {
        log_.push_back("flush " + work_);
        Change();
        const std::string closed = work_;
        work_.clear();
        if (flushFailure) return flushFailure;
        if (!files.count(closed)) return NotFound;
        return std::nullopt;
    }
    FileError CreateIfMissing(const std::string& path) override
    {
        log_.push_back("create if missing " + path);
        if (files.count(path)) return std::nullopt;
        Change();
        if (auto error = Check(path, createFailure)) return error;
        files.emplace(path, "");
        return std::nullopt;
    }
    std::optional<std::uint64_t> SizeOf(const std::string& path) override
    {
        const auto file = files.find(path);
        if (file == files.end()) return std::nullopt;
        return file->second.size();
    }
    FileError Read(const std::string& path, std::size_t limit, std::string& text) override
    {
        text.clear();
        if (unreadable.count(path)) return "Toegang geweigerd.";
        const auto file = files.find(path);
        if (file == files.end()) return NotFound;
        if (file->second.size() > limit) return "Het bestand is te groot.";
        text = file->second;
        return std::nullopt;
    }
    FileError Move(const std::string& from, const std::string& to) override
    {
        log_.push_back("move " + from + " " + to);
        Change();
        if (held.count(from) || held.count(to) || from == work_) return InUse;
        const auto file = files.find(from);
        if (file == files.end()) return NotFound;
        files[to] = file->second;
        files.erase(from);
        return std::nullopt;
    }
    FileError MoveToFreeName(const std::string& from, const std::string& to) override
    {
        if (files.count(to)) {
            log_.push_back("move " + from + " " + to);
            return "Het bestand bestaat al.";
        }
        return Move(from, to);
    }
    FileError CopyThrough(const std::string& from, const std::string& to) override
    {
        log_.push_back("copy " + from + " " + to);
        Change();
        if (held.count(to)) return InUse;
        const auto file = files.find(from);
        if (file == files.end()) return NotFound;
        files[to] = file->second;
        return std::nullopt;
    }
    FileError Delete(const std::string& path) override
    {
        log_.push_back("delete " + path);
        Change();
        if (held.count(path) || path == work_) return InUse;
        if (!files.erase(path)) return NotFound;
        return std::nullopt;
    }

    static constexpr const char* DiskFull = "Er is geen ruimte meer op de schijf.";
    static constexpr const char* NotFound = "Het systeem kan het opgegeven bestand niet vinden.";
    static constexpr const char* InUse = "het is geopend in een ander programma (Het bestand is in gebruik.)";

    std::set<std::string> folders;
    std::map<std::string, std::string> files;
    std::set<std::string> held;
    std::set<std::string> unreadable;
    FileError folderFailure;
    FileError createFailure;
    FileError flushFailure;
    int appendsBeforeFailure = -1;
    // Changes until the program stops; negative: it never does.
    int changesBeforeCrash = -1;

private:
    void Change()
    {
        if (changesBeforeCrash == 0) {
            work_.clear();
            throw StoreCrash{};
        }
        if (changesBeforeCrash > 0) --changesBeforeCrash;
    }
    FileError Check(const std::string& path, const FileError& failure)
    {
        if (failure) return failure;
        if (held.count(path)) return InUse;
        if (!folders.count(path.substr(0, path.rfind('\\') + 1))) return "Het systeem kan het opgegeven pad niet vinden.";
        return std::nullopt;
    }
    EventLog& log_;
    // The work file this program holds open.
    std::string work_;
};
