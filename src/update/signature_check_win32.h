// Checks the maker's signature of an installer with Windows' own
// cryptography (CNG, bcrypt.dll): SHA-256 of the file, ECDSA P-256.
#pragma once

#include "update/installer.h"
#include "update/installer_signature.h"

#include <windows.h>

#include <optional>
#include <string_view>

// Hashes the file behind file from its start. Missing when the signature is
// not one; Wrong when it is not the key's signature of these bytes or when
// there is no key to check it with; Unreadable when the file cannot be read.
SignatureState CheckInstallerSignature(HANDLE file, std::string_view derSignature,
                                       const std::optional<PublicKey>& key);
