#include "download/quote_file_store_win32.h"

#include "support/system_message_win32.h"

#include <windows.h>

namespace {

FileError Failure(DWORD code)
{
    std::string reason = SystemMessage(code);
    if (reason.empty()) reason = "Windows-fout " + std::to_string(code);
    return reason;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle()
    {
        if (Valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

    // A close can still fail to write the last data (on a network drive),
    // so it is reported like a failed write.
    bool Close()
    {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != FALSE;
    }

private:
    HANDLE handle_;
};

// Others may read the file while a line is written, never write it.
FileHandle OpenFile(const std::string& path, DWORD disposition)
{
    return FileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileError WriteAndClose(FileHandle& file, std::string_view text)
{
    if (!text.empty()) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            return Failure(GetLastError());
        if (written != text.size()) return Failure(ERROR_DISK_FULL);
    }
    if (!FlushFileBuffers(file.Get())) return Failure(GetLastError());
    if (!file.Close()) return Failure(GetLastError());
    return std::nullopt;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// From the top down, by name only: the current directory is the user's
// and stays as it is.
FileError CreateLevels(std::string path)
{
    while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
    if (path.empty() || path.back() == ':' || FolderExists(path)) return std::nullopt;
    std::size_t parent = path.size() - 1;
    while (parent > 0 && !IsSeparator(path[parent])) --parent;
    if (parent > 0) {
        if (auto error = CreateLevels(path.substr(0, parent))) return error;
    }
    if (CreateDirectoryA(path.c_str(), nullptr)) return std::nullopt;
    const DWORD code = GetLastError();
    // Made meanwhile by someone else: just as good.
    if (code == ERROR_ALREADY_EXISTS && FolderExists(path)) return std::nullopt;
    return Failure(code);
}

} // namespace

FileError Win32QuoteFileStore::CreateFolder(const std::string& folder)
{
    return CreateLevels(folder);
}

FileError Win32QuoteFileStore::CreateAnew(const std::string& path, std::string_view text)
{
    FileHandle file = OpenFile(path, CREATE_ALWAYS);
    if (!file.Valid()) return Failure(GetLastError());
    return WriteAndClose(file, text);
}

FileError Win32QuoteFileStore::CreateIfMissing(const std::string& path)
{
    FileHandle file = OpenFile(path, CREATE_NEW);
    if (!file.Valid()) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS) return std::nullopt;
        return Failure(code);
    }
    return WriteAndClose(file, {});
}

FileError Win32QuoteFileStore::MoveToBackup(const std::string& path, const std::string& backup)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return std::nullopt;
        return Failure(code);
    }
    if (data.nFileSizeHigh == 0 && data.nFileSizeLow == 0) return std::nullopt;
    // Fails, and leaves both files as they are, while another program holds
    // either of them without sharing it.
    if (!MoveFileExA(path.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Failure(GetLastError());
    return std::nullopt;
}

FileError Win32QuoteFileStore::Append(const std::string& path, std::string_view text)
{
    FileHandle file = OpenFile(path, OPEN_EXISTING);
    if (!file.Valid()) return Failure(GetLastError());
    if (!SetFilePointerEx(file.Get(), LARGE_INTEGER{}, nullptr, FILE_END)) return Failure(GetLastError());
    return WriteAndClose(file, text);
}
