#include "update/maker_key.h"

#include "support/product.h"
#include "support/registry_key_win32.h"
#include "update/built_in_maker_key.h"

#include <string>

std::optional<PublicKey> MakerPublicKey()
{
    // The machine's 32-bit view, whatever process reads it: the one view
    // the installer and the maker's tools write.
    const RegistryKey machine =
        RegistryKey::Open(HKEY_LOCAL_MACHINE, std::string("Software\\") + ProductNameText, KEY_READ | KEY_WOW64_32KEY);
    const std::optional<std::string> stored = machine ? machine.ReadString(MakerKeyValue) : std::nullopt;
    return PublicKeyFromHex(stored ? *stored : BuiltInMakerKey);
}
