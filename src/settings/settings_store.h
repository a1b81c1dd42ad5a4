// The key-value store under the settings: values addressed by a sub-key
// ("Main", "Config", "Defaults") and a value name, like sections of an ini
// file. The registry implements it in the program, a map in the tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Nothing when the sub-key or the value is missing or the value is of
    // another type. Reads never fail otherwise.
    virtual std::optional<std::uint32_t> ReadDword(const std::string& subKey, const std::string& name) = 0;
    virtual std::optional<std::string> ReadString(const std::string& subKey, const std::string& name) = 0;
    virtual bool IsString(const std::string& subKey, const std::string& name) = 0;

    // Create the sub-key when missing and replace a value of any type.
    // A failure throws.
    virtual void WriteDword(const std::string& subKey, const std::string& name, std::uint32_t value) = 0;
    virtual void WriteString(const std::string& subKey, const std::string& name, const std::string& value) = 0;
};
