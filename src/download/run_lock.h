// One run at a time per data folder, also across programs: a scheduled run
// and a button run (or two scheduled ones) never write the same day's files
// at once.
#pragma once

#include <string>
#include <string_view>

class RunLock {
public:
    virtual ~RunLock() = default;

    // Takes the lock of folder for this run, without waiting; false while
    // another run holds it.
    virtual bool TryLock(const std::string& folder) = 0;

    // Gives back the lock TryLock took.
    virtual void Unlock() = 0;
};

// The system-wide name of the lock of a data folder, given as a full path
// in upper case: one name whatever separators it ends in or uses, of a
// fixed length whatever the path's length.
std::string RunLockName(std::string_view fullFolder);
