// The files of the data folder that the download run reads and writes.
// The run's work file stays open from OpenWork to CloseWork; every other
// operation opens and closes what it touches. Only CloseWork, CopyThrough
// and the moves wait for the disk.
#pragma once

#include <cstddef>
#include <cstdint>
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

    // Creates the work file path anew, empty (an existing file loses its
    // contents), and keeps it open until CloseWork: nobody else can write,
    // rename or delete it meanwhile (others may read it), so that no other
    // program can come between two blocks of lines.
    virtual FileError OpenWork(const std::string& path) = 0;

    // Appends text to the open work file; the system's cache decides when
    // it reaches the disk.
    virtual FileError AppendWork(std::string_view text) = 0;

    // Closes the open work file once everything written to it is on the
    // disk; an error when that failed or no work file was open.
    virtual FileError CloseWork() = 0;

    // Creates an empty file at path unless a file of that name exists,
    // which is left untouched.
    virtual FileError CreateIfMissing(const std::string& path) = 0;

    // The size of the file path; nothing when there is no file of that name.
    virtual std::optional<std::uint64_t> SizeOf(const std::string& path) = 0;

    // Reads the whole file path into text; a file of more than limit bytes
    // is not read and gives an error.
    virtual FileError Read(const std::string& path, std::size_t limit, std::string& text) = 0;

    // Gives the file from the name to in one step, replacing a file of that
    // name, and returns once the new name is on the disk. Fails, and leaves
    // both files as they are, while another program holds either of them
    // without letting it be deleted (as a spreadsheet does with the file it
    // shows).
    virtual FileError Move(const std::string& from, const std::string& to) = 0;

    // As Move, but fails, and leaves both files as they are, when a file of
    // the name to exists.
    virtual FileError MoveToFreeName(const std::string& from, const std::string& to) = 0;

    // Copies the file from to the name to, replacing a file of that name,
    // and returns once the copy is on the disk.
    virtual FileError CopyThrough(const std::string& from, const std::string& to) = 0;

    virtual FileError Delete(const std::string& path) = 0;
};
