// Fetching the maker's versions list over HTTP.
#pragma once

#include "update/versions_list.h"

#include <cstddef>
#include <string>

// The list is small and the check blocks the program's one thread (also
// in an unattended run): a silent, endless or dripping server must not hold
// it for long. An attempt that runs into the byte or time limit counts as
// an attempt that brought nothing.
struct VersionsFetchLimits {
    unsigned connectTimeoutMs = 2000;
    unsigned receiveTimeoutMs = 2000;
    // The whole attempt, from connecting to the list's last byte.
    unsigned attemptTimeMs = 10'000;
    std::size_t listBytes = 1024 * 1024;
};

// At most two attempts, the second only when the first brought nothing.
// The body is read as it arrives and made text by VersionsListText.
FetchedList FetchVersionsList(const std::string& url, const VersionsFetchLimits& limits = VersionsFetchLimits{});
