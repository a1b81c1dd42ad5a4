#include "download/run_log_win32.h"

#include "download/quote_file_store_win32.h"
#include "support/product.h"
#include "support/system_folders_win32.h"
#include "support/unique_handle_win32.h"

#include <windows.h>

namespace {

// Another Kestrom may be writing its line: the log is opened by one writer
// at a time, and a busy log is tried again for about a second.
FileHandle OpenLog(const std::string& path)
{
    for (int attempt = 0;; ++attempt) {
        FileHandle log(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (log.Valid() || GetLastError() != ERROR_SHARING_VIOLATION || attempt == 20) return log;
        Sleep(50);
    }
}

FileError Write(HANDLE log, std::string_view text)
{
    DWORD written = 0;
    if (!WriteFile(log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) return FileFailure(GetLastError());
    if (written != text.size()) return FileFailure(ERROR_DISK_FULL);
    return std::nullopt;
}

FileError AppendLine(const std::string& path, std::string_view line)
{
    FileHandle log = OpenLog(path);
    if (!log.Valid()) return FileFailure(GetLastError());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(log.Get(), &size)) return FileFailure(GetLastError());
    if (FitsInRunLog(static_cast<std::uint64_t>(size.QuadPart), line.size())) {
        if (!SetFilePointerEx(log.Get(), LARGE_INTEGER{}, nullptr, FILE_END)) return FileFailure(GetLastError());
        if (auto error = Write(log.Get(), line)) return error;
    } else {
        // Only the tail is read, whatever the log's size.
        const std::uint64_t kept = std::min<std::uint64_t>(size.QuadPart, RunLogKept);
        LARGE_INTEGER from;
        from.QuadPart = size.QuadPart - static_cast<LONGLONG>(kept);
        if (!SetFilePointerEx(log.Get(), from, nullptr, FILE_BEGIN)) return FileFailure(GetLastError());
        std::string tail(static_cast<std::size_t>(kept), '\0');
        DWORD read = 0;
        if (!ReadFile(log.Get(), tail.data(), static_cast<DWORD>(tail.size()), &read, nullptr))
            return FileFailure(GetLastError());
        tail.resize(read);
        if (!SetFilePointerEx(log.Get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return FileFailure(GetLastError());
        if (auto error = Write(log.Get(), TrimmedRunLog(tail, line))) return error;
        if (!SetEndOfFile(log.Get())) return FileFailure(GetLastError());
    }
    if (!log.Close()) return FileFailure(GetLastError());
    return std::nullopt;
}

// Writes text as the whole of the file path, replacing a file of that name.
FileError WriteWhole(Win32QuoteFileStore& folders, const std::string& path, std::string_view text)
{
    if (FileError error = folders.OpenWork(path)) return error;
    const FileError written = folders.AppendWork(text);
    const FileError closed = folders.CloseWork();
    return written ? written : closed;
}

} // namespace

std::string FallbackRunLogFolder()
{
    const std::string folder = LocalAppDataFolder();
    if (folder.empty()) return {};
    return folder + "\\" + ProductNameText + "\\";
}

void Win32RunLog::Append(const std::string& dataFolder, const std::string& line)
{
    Win32QuoteFileStore folders;
    FileError error = folders.CreateFolder(dataFolder);
    if (!error) error = AppendLine(dataFolder + RunLogFileName, line);
    if (!error) return;
    const std::string fallback = FallbackRunLogFolder();
    if (fallback.empty() || folders.CreateFolder(fallback)) return;
    // Nothing more to try: the run's memo has said what there is to say.
    AppendLine(fallback + RunLogFileName, FallbackRunLogLine(line, dataFolder, *error));
}

FileBesideLog Win32RunLog::WriteBeside(const std::string& dataFolder, const std::string& fileName, std::string_view text)
{
    Win32QuoteFileStore folders;
    FileError error = folders.CreateFolder(dataFolder);
    if (!error) error = WriteWhole(folders, dataFolder + fileName, text);
    if (!error) return {dataFolder + fileName, std::nullopt};
    // Where the log goes too when the data folder cannot be written; the
    // data folder's reason is the one worth telling.
    const std::string fallback = FallbackRunLogFolder();
    if (fallback.empty() || folders.CreateFolder(fallback) || WriteWhole(folders, fallback + fileName, text))
        return {std::string(), error};
    return {fallback + fileName, std::nullopt};
}
