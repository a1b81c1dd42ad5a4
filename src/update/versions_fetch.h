// Fetching the maker's versions list over HTTP.
#pragma once

#include "update/versions_list.h"

#include <cstddef>
#include <string>

// The list is small and the check blocks the program's one thread: a silent
// or endless server must not hold it for long. An attempt that runs into
// the byte or time limit counts as an attempt that brought nothing.
struct VersionsFetchLimits {
    unsigned connectTimeoutMs = 2000;
    unsigned receiveTimeoutMs = 2000;
    unsigned attemptTimeMs = 20'000;
    std::size_t listBytes = 1024 * 1024;
};

// At most two attempts, the second only when the first brought nothing.
// Each block is taken up to its first zero byte, as the list is text.
FetchedList FetchVersionsList(const std::string& url, const VersionsFetchLimits& limits = VersionsFetchLimits{});
