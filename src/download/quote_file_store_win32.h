// The quote file store over the Windows file functions.
#pragma once

#include "download/quote_file_store.h"
#include "support/unique_handle_win32.h"

class Win32QuoteFileStore : public QuoteFileStore {
public:
    FileError CreateFolder(const std::string& folder) override;
    FileError OpenWork(const std::string& path) override;
    FileError AppendWork(std::string_view text) override;
    FileError CloseWork() override;
    FileError CreateIfMissing(const std::string& path) override;
    std::optional<std::uint64_t> SizeOf(const std::string& path) override;
    FileError Read(const std::string& path, std::size_t limit, std::string& text) override;
    FileError Move(const std::string& from, const std::string& to) override;
    FileError MoveToFreeName(const std::string& from, const std::string& to) override;
    FileError CopyThrough(const std::string& from, const std::string& to) override;
    FileError Delete(const std::string& path) override;

private:
    FileHandle work_;
};

// The reason for a failed file operation as the memo and the run log show
// it: what it means for the user where that is clear, then the system's
// text.
FileError FileFailure(unsigned long code);
