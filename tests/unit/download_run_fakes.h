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
            return none;
        }
        const auto page = pages.find(url);
        if (page == pages.end()) return FetchedPage{};
        const auto answered = status.find(url);
        return FetchedPage{page->second, answered == status.end() ? 200ul : answered->second, !cutOff.count(url)};
    }
    std::map<std::string, std::string> pages;
    // Pages answered with another status than 200.
    std::map<std::string, unsigned long> status;
    // Pages whose body ends before its announced end.
    std::set<std::string> cutOff;
    // Pages that time out (or find no connection) the first so many times
    // they are asked for.
    std::map<std::string, int> unanswered;

private:
    EventLog& log_;
};

class FakeClock : public RunClock {
public:
    LocalDateTime Now() override { return now; }
    LocalDateTime now{{2009, 3, 13}, 18, 30};
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
// exists; failures are set up per operation.
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
    FileError CreateAnew(const std::string& path, std::string_view text) override
    {
        log_.push_back("create " + path);
        if (auto error = Check(path, createFailure)) return error;
        files[path] = text;
        return std::nullopt;
    }
    FileError CreateIfMissing(const std::string& path) override
    {
        log_.push_back("create if missing " + path);
        if (auto error = Check(path, createFailure)) return error;
        files.emplace(path, "");
        return std::nullopt;
    }
    FileError MoveToBackup(const std::string& path, const std::string& backup) override
    {
        log_.push_back("backup " + path);
        const auto file = files.find(path);
        if (file == files.end() || file->second.empty()) return std::nullopt;
        // A file held by another program cannot be moved either.
        if (createFailure) return createFailure;
        files[backup] = file->second;
        files.erase(path);
        return std::nullopt;
    }
    FileError Append(const std::string& path, std::string_view text) override
    {
        log_.push_back("append " + path);
        if (appendsBeforeFailure == 0) return "Er is geen ruimte meer op de schijf.";
        --appendsBeforeFailure;
        if (auto error = Check(path, std::nullopt)) return error;
        if (!files.count(path)) return "Het systeem kan het opgegeven bestand niet vinden.";
        files[path] += text;
        return std::nullopt;
    }

    std::set<std::string> folders;
    std::map<std::string, std::string> files;
    FileError folderFailure;
    FileError createFailure;
    int appendsBeforeFailure = -1;

private:
    FileError Check(const std::string& path, const FileError& failure)
    {
        if (failure) return failure;
        if (!folders.count(path.substr(0, path.rfind('\\') + 1))) return "Het systeem kan het opgegeven pad niet vinden.";
        return std::nullopt;
    }
    EventLog& log_;
};
