#include "download/quote_file_store_win32.h"

#include "support/files.h"
#include "support/system_message_win32.h"
#include "support/unique_handle_win32.h"

#include <windows.h>

#include <vector>

namespace {

// Others may read a file while it is written, never write it.
FileHandle OpenForWriting(const std::string& path, DWORD disposition)
{
    return FileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Replacing or moving a file that another program holds open fails as
// "access denied"; that program is the reason the user can do something
// about.
DWORD MoveFailure(const std::string& from, const std::string& to)
{
    const DWORD code = GetLastError();
    if (code != ERROR_ACCESS_DENIED) return code;
    for (const std::string* path : {&to, &from}) {
        FileHandle probe(CreateFileA(path->c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe.Valid() && GetLastError() == ERROR_SHARING_VIOLATION) return ERROR_SHARING_VIOLATION;
    }
    return code;
}

} // namespace

FileError FileFailure(unsigned long code)
{
    std::string reason = SystemMessage(code);
    if (reason.empty()) reason = "Windows-fout " + std::to_string(code);
    // A spreadsheet that shows the day's file lets others read it, not
    // rename, replace or delete it.
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION)
        return "het is geopend in een ander programma (" + reason + ")";
    if (code == ERROR_ACCESS_DENIED) return "het is alleen-lezen of er is geen toegang (" + reason + ")";
    return reason;
}

FileError Win32QuoteFileStore::CreateFolder(const std::string& folder)
{
    if (const unsigned long code = CreateFolderLevels(folder)) return FileFailure(code);
    return std::nullopt;
}

FileError Win32QuoteFileStore::OpenWork(const std::string& path)
{
    work_.Close();
    work_ = OpenForWriting(path, CREATE_ALWAYS);
    if (!work_.Valid()) return FileFailure(GetLastError());
    return std::nullopt;
}

FileError Win32QuoteFileStore::AppendWork(std::string_view text)
{
    if (!work_.Valid()) return FileFailure(ERROR_INVALID_HANDLE);
    if (text.empty()) return std::nullopt;
    DWORD written = 0;
    if (!WriteFile(work_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        return FileFailure(GetLastError());
    if (written != text.size()) return FileFailure(ERROR_DISK_FULL);
    return std::nullopt;
}

FileError Win32QuoteFileStore::CloseWork()
{
    if (!work_.Valid()) return FileFailure(ERROR_INVALID_HANDLE);
    const bool flushed = FlushFileBuffers(work_.Get());
    const DWORD code = GetLastError();
    if (!work_.Close()) return FileFailure(GetLastError());
    if (!flushed) return FileFailure(code);
    return std::nullopt;
}

FileError Win32QuoteFileStore::CreateIfMissing(const std::string& path)
{
    FileHandle file = OpenForWriting(path, CREATE_NEW);
    if (!file.Valid()) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS) return std::nullopt;
        return FileFailure(code);
    }
    if (!file.Close()) return FileFailure(GetLastError());
    return std::nullopt;
}

std::optional<std::uint64_t> Win32QuoteFileStore::SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

FileError Win32QuoteFileStore::Read(const std::string& path, std::size_t limit, std::string& text)
{
    text.clear();
    // Whoever else has the file open may go on with it as before.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return FileFailure(GetLastError());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return FileFailure(GetLastError());
    if (static_cast<std::uint64_t>(size.QuadPart) > limit) return FileFailure(ERROR_FILE_TOO_LARGE);
    // Read until the end, never beyond the limit: the size may change
    // while it is read.
    std::vector<char> block(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr))
            return FileFailure(GetLastError());
        if (read == 0) return std::nullopt;
        if (text.size() + read > limit) return FileFailure(ERROR_FILE_TOO_LARGE);
        text.append(block.data(), read);
    }
}

FileError Win32QuoteFileStore::Move(const std::string& from, const std::string& to)
{
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FileFailure(MoveFailure(from, to));
    return std::nullopt;
}

FileError Win32QuoteFileStore::MoveToFreeName(const std::string& from, const std::string& to)
{
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return FileFailure(MoveFailure(from, to));
    return std::nullopt;
}

FileError Win32QuoteFileStore::CopyThrough(const std::string& from, const std::string& to)
{
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return FileFailure(GetLastError());
    FileHandle copy = OpenForWriting(to, OPEN_EXISTING);
    if (!copy.Valid()) return FileFailure(GetLastError());
    if (!FlushFileBuffers(copy.Get())) return FileFailure(GetLastError());
    if (!copy.Close()) return FileFailure(GetLastError());
    return std::nullopt;
}

FileError Win32QuoteFileStore::Delete(const std::string& path)
{
    if (!DeleteFileA(path.c_str())) return FileFailure(GetLastError());
    return std::nullopt;
}
