// The maker's public key: the one key whose signature makes a downloaded
// installer trusted enough to start.
#pragma once

#include "update/installer_signature.h"

#include <optional>

// The built-in key, BuiltInMakerKey, is the build's (update/built_in_maker_key.h,
// from the option KESTROM_MAKER_KEY): ECDSA P-256, the point's X then Y as
// 128 hex digits.
//
// A string value of the same form directly under
// HKEY_LOCAL_MACHINE\Software\Kestrom, as the 32-bit program sees it (on
// 64-bit Windows under Software\WOW6432Node), takes the built-in key's
// place: a maker's test server signs with a key of its own. Only an
// administrator can write there, and only an administrator can install
// what the key lets through. The value is read from there only, never from
// the current user's registry (which every program the user runs can
// write), the server, a file or the command line, and never written by the
// program. A string value that is not a key trusts no key at all: a
// damaged setting must not quietly fall back on another key.
inline constexpr char MakerKeyValue[] = "Update Key";

// The key the program trusts now; none when the registry's value is damaged.
std::optional<PublicKey> MakerPublicKey();
