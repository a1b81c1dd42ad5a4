// A settings store in memory for the host tests. Values of any other type
// (binary, multi-string) are kept as Other, which every typed read rejects.
#pragma once

#include "settings/settings_store.h"

#include <map>
#include <utility>
#include <variant>

class FakeSettingsStore final : public SettingsStore {
public:
    struct Other {
        bool operator==(const Other&) const = default;
    };
    using Value = std::variant<std::uint32_t, std::string, Other>;
    using Address = std::pair<std::string, std::string>;

    std::map<Address, Value> values;

    std::optional<std::uint32_t> ReadDword(const std::string& subKey, const std::string& name) override
    {
        const Value* value = Find(subKey, name);
        if (!value || !std::holds_alternative<std::uint32_t>(*value)) return std::nullopt;
        return std::get<std::uint32_t>(*value);
    }

    std::optional<std::string> ReadString(const std::string& subKey, const std::string& name) override
    {
        const Value* value = Find(subKey, name);
        if (!value || !std::holds_alternative<std::string>(*value)) return std::nullopt;
        return std::get<std::string>(*value);
    }

    bool IsString(const std::string& subKey, const std::string& name) override
    {
        const Value* value = Find(subKey, name);
        return value && std::holds_alternative<std::string>(*value);
    }

    void WriteDword(const std::string& subKey, const std::string& name, std::uint32_t value) override
    {
        values[{subKey, name}] = value;
        ++writes;
    }

    void WriteString(const std::string& subKey, const std::string& name, const std::string& value) override
    {
        values[{subKey, name}] = value;
        ++writes;
    }

    int writes = 0;

private:
    const Value* Find(const std::string& subKey, const std::string& name) const
    {
        const auto found = values.find({subKey, name});
        return found == values.end() ? nullptr : &found->second;
    }
};
