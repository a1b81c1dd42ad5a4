#include "update/update_record_win32.h"

#include "support/product.h"
#include "support/registry_key_win32.h"

namespace {

std::string ParentPath() { return std::string("Software\\") + ProductNameText; }

constexpr char RecordKeyName[] = "Update";

} // namespace

void WriteUpdateRecord(const char* name, const std::string& value)
{
    const RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, ParentPath() + "\\" + RecordKeyName);
    key.WriteString(name, value);
}

std::optional<std::string> ReadUpdateRecord(const char* name)
{
    const RegistryKey key = RegistryKey::Open(HKEY_CURRENT_USER, ParentPath() + "\\" + RecordKeyName);
    return key ? key.ReadString(name) : std::nullopt;
}

void ForgetUpdateRecord(const char* name)
{
    {
        const RegistryKey key =
            RegistryKey::Open(HKEY_CURRENT_USER, ParentPath() + "\\" + RecordKeyName, KEY_SET_VALUE | KEY_QUERY_VALUE);
        if (!key) return;
        RegDeleteValueA(key.Handle(), name);
        DWORD values = 0;
        DWORD subkeys = 0;
        if (RegQueryInfoKeyA(key.Handle(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr)
                != ERROR_SUCCESS
            || values != 0 || subkeys != 0)
            return;
    }
    const RegistryKey parent = RegistryKey::Open(HKEY_CURRENT_USER, ParentPath(), KEY_ALL_ACCESS);
    if (parent) RegDeleteKeyA(parent.Handle(), RecordKeyName);
}
