// How the update check asks the maker's server: the versions list, the
// installer and its signature always come from the server itself, never
// from the cache that WinINet shares with browsers, are never stored in it,
// and no cache or proxy on the way may answer for them.
#pragma once

#include <windows.h>
#include <wininet.h>

inline constexpr DWORD UpdateRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
