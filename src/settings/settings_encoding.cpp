#include "settings/settings_encoding.h"

#include <charconv>

std::optional<int> ParseDecimal(std::string_view text)
{
    // from_chars takes "-" but not "+".
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int ReadInteger(SettingsStore& store, const std::string& subKey, const std::string& name, int defaultValue)
{
    if (const auto dword = store.ReadDword(subKey, name)) return static_cast<int>(*dword);
    if (const auto text = store.ReadString(subKey, name)) return ParseDecimal(*text).value_or(defaultValue);
    return defaultValue;
}

void WriteInteger(SettingsStore& store, const std::string& subKey, const std::string& name, int value)
{
    if (store.IsString(subKey, name))
        store.WriteString(subKey, name, std::to_string(value));
    else
        store.WriteDword(subKey, name, static_cast<std::uint32_t>(value));
}

bool ReadBoolean(SettingsStore& store, const std::string& subKey, const std::string& name, bool defaultValue)
{
    return ReadInteger(store, subKey, name, defaultValue ? 1 : 0) != 0;
}

void WriteBoolean(SettingsStore& store, const std::string& subKey, const std::string& name, bool value)
{
    store.WriteString(subKey, name, value ? "1" : "0");
}

std::string ReadText(SettingsStore& store, const std::string& subKey, const std::string& name)
{
    return store.ReadString(subKey, name).value_or("");
}

void WriteText(SettingsStore& store, const std::string& subKey, const std::string& name, const std::string& value)
{
    store.WriteString(subKey, name, value);
}
