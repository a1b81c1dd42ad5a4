#include "update/maker_key.h"

#include "support/product.h"
#include "support/registry_key_win32.h"
#include "update/built_in_maker_key.h"

#include <string>

std::optional<PublicKey> MakerPublicKey()
{
    const RegistryKey defaults =
        RegistryKey::Open(HKEY_CURRENT_USER, std::string("Software\\") + ProductNameText + "\\Defaults");
    const std::optional<std::string> stored = defaults ? defaults.ReadString(MakerKeyValue) : std::nullopt;
    return PublicKeyFromHex(stored ? *stored : BuiltInMakerKey);
}
