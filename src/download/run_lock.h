// One run at a time per data folder, also across programs, users, sessions
// and machines: a scheduled run and a button run (or two scheduled ones)
// never write the same day's files at once.
#pragma once

#include <string>

// The lock is a file in the data folder itself, so that every spelling of
// the folder (a mapped drive and its network path, a short 8.3 name) finds
// the one lock, and nobody can take it first without the right to write
// the folder.
inline constexpr char RunLockFileName[] = "Kestrom.lock";

class RunLock {
public:
    virtual ~RunLock() = default;

    // Takes the lock of folder (empty or ending in a separator) for this
    // run, without waiting; false while another run holds it.
    virtual bool TryLock(const std::string& folder) = 0;

    // Gives back the lock TryLock took.
    virtual void Unlock() = 0;
};
