// The quote file store over the Windows file functions.
#pragma once

#include "download/quote_file_store.h"

class Win32QuoteFileStore : public QuoteFileStore {
public:
    FileError CreateFolder(const std::string& folder) override;
    FileError CreateAnew(const std::string& path, std::string_view text) override;
    FileError CreateIfMissing(const std::string& path) override;
    FileError MoveToBackup(const std::string& path, const std::string& backup) override;
    FileError Append(const std::string& path, std::string_view text) override;
};
