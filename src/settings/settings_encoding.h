// How integers, booleans and texts are kept in the settings store. An
// integer may be found as a DWORD or as a decimal string (whoever edited the
// key chose), so both are read, and a value that is a string stays one.
#pragma once

#include "settings/settings_store.h"

#include <optional>
#include <string>
#include <string_view>

// Decimal text with an optional sign, nothing else, within 32 bits.
std::optional<int> ParseDecimal(std::string_view text);

// From a DWORD (as a signed 32-bit value) or a decimal string; anything
// else, or nothing, gives defaultValue.
int ReadInteger(SettingsStore& store, const std::string& subKey, const std::string& name, int defaultValue);
// As a DWORD, or as decimal text when the value already exists as a string.
void WriteInteger(SettingsStore& store, const std::string& subKey, const std::string& name, int value);

// Read through the integer rule: non-zero is true.
bool ReadBoolean(SettingsStore& store, const std::string& subKey, const std::string& name, bool defaultValue);
// Always the string "1" or "0".
void WriteBoolean(SettingsStore& store, const std::string& subKey, const std::string& name, bool value);

// A missing value, or one that is not a string, reads as empty.
std::string ReadText(SettingsStore& store, const std::string& subKey, const std::string& name);
void WriteText(SettingsStore& store, const std::string& subKey, const std::string& name, const std::string& value);
