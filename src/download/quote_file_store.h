// The files the download run writes. Every operation opens, writes,
// flushes and closes, so the file on disk is complete up to the last line
// written at every moment.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Empty on success; otherwise the system's reason for the failure.
using FileError = std::optional<std::string>;

class QuoteFileStore {
public:
    virtual ~QuoteFileStore() = default;

    // Creates folder and every missing level above it; an existing folder
    // is fine.
    virtual FileError CreateFolder(const std::string& folder) = 0;

    // Creates path anew (an existing file loses its contents) holding text.
    virtual FileError CreateAnew(const std::string& path, std::string_view text) = 0;

    // Creates an empty file at path unless a file of that name exists,
    // which is left untouched.
    virtual FileError CreateIfMissing(const std::string& path) = 0;

    // Renames the file path to backup, replacing an older backup, when it
    // exists and holds anything. A missing or empty file is left where it
    // is: it holds no quotes, and would only push out an older backup.
    virtual FileError MoveToBackup(const std::string& path, const std::string& backup) = 0;

    // Appends text to the existing file path.
    virtual FileError Append(const std::string& path, std::string_view text) = 0;
};
