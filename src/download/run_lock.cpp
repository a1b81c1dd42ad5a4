#include "download/run_lock.h"

#include <cstdint>
#include <cstdio>

std::string RunLockName(std::string_view fullFolder)
{
    while (!fullFolder.empty() && (fullFolder.back() == '\\' || fullFolder.back() == '/')) fullFolder.remove_suffix(1);
    // FNV-1a: a path may be longer than a lock's name can be, and holds
    // characters a name must not (the "\" of a name is its namespace's).
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : fullFolder) {
        hash ^= static_cast<unsigned char>(c == '/' ? '\\' : c);
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    // Global, so that a scheduled run in another session of the same user
    // sees it too.
    return std::string("Global\\Kestrom.DataFolder.") + hex;
}
