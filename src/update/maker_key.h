// The maker's public key: the one key whose signature makes a downloaded
// installer trusted enough to start.
#pragma once

#include "update/installer_signature.h"

#include <optional>

// The built-in key, BuiltInMakerKey, is the build's (update/built_in_maker_key.h,
// from the option KESTROM_MAKER_KEY): ECDSA P-256, the point's X then Y as
// 128 hex digits.
//
// A string value of the same form under HKCU\Software\Kestrom\Defaults
// takes the built-in key's place, as "Update Host" takes the built-in
// host's: a maker's test server signs with a key of its own. It gives an
// attacker nothing: whoever can write the user's registry can already make
// the user run any program (a Run value, a file association), so the key
// is trusted exactly as far as the registry that names the update host.
// The value is read from the current user's registry only, never from the
// server, a file or the command line, and never written by the program.
// A string value that is not a key trusts no key at all: a damaged setting
// must not quietly fall back on another key.
inline constexpr char MakerKeyValue[] = "Update Key";

// The key the program trusts now; none when the registry's value is damaged.
std::optional<PublicKey> MakerPublicKey();
