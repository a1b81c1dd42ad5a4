// The settings store in the registry: HKEY_CURRENT_USER\Software\<product>,
// opened with full access and created when missing, its sub-keys opened per
// access so that reading never creates one.
#pragma once

#include "settings/settings_store.h"
#include "support/registry_key_win32.h"

#include <string>

class RegistryStore final : public SettingsStore {
public:
    explicit RegistryStore(const std::string& productName);

    std::optional<std::uint32_t> ReadDword(const std::string& subKey, const std::string& name) override;
    std::optional<std::string> ReadString(const std::string& subKey, const std::string& name) override;
    bool IsString(const std::string& subKey, const std::string& name) override;
    void WriteDword(const std::string& subKey, const std::string& name, std::uint32_t value) override;
    void WriteString(const std::string& subKey, const std::string& name, const std::string& value) override;

private:
    RegistryKey ReadKey(const std::string& subKey) const;
    RegistryKey WriteKey(const std::string& subKey) const;

    std::string path_;
    RegistryKey key_;
};
