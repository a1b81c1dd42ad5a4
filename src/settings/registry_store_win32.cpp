#include "settings/registry_store_win32.h"

#include <stdexcept>

RegistryStore::RegistryStore(const std::string& productName)
    : path_("Software\\" + productName), key_(RegistryKey::Create(HKEY_CURRENT_USER, path_))
{
    // Without the key every value reads as missing and the first write
    // reports the failure.
}

RegistryKey RegistryStore::ReadKey(const std::string& subKey) const
{
    return RegistryKey::Open(key_.Handle(), subKey, KEY_READ);
}

RegistryKey RegistryStore::WriteKey(const std::string& subKey) const
{
    RegistryKey key = RegistryKey::Create(key_.Handle(), subKey);
    if (!key) throw std::runtime_error("Cannot open the registry key HKEY_CURRENT_USER\\" + path_ + "\\" + subKey);
    return key;
}

std::optional<std::uint32_t> RegistryStore::ReadDword(const std::string& subKey, const std::string& name)
{
    return ReadKey(subKey).ReadDword(name);
}

std::optional<std::string> RegistryStore::ReadString(const std::string& subKey, const std::string& name)
{
    return ReadKey(subKey).ReadString(name);
}

bool RegistryStore::IsString(const std::string& subKey, const std::string& name)
{
    return ReadKey(subKey).HasString(name);
}

void RegistryStore::WriteDword(const std::string& subKey, const std::string& name, std::uint32_t value)
{
    WriteKey(subKey).WriteDword(name, value);
}

void RegistryStore::WriteString(const std::string& subKey, const std::string& name, const std::string& value)
{
    WriteKey(subKey).WriteString(name, value);
}
