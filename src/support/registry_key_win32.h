// An open registry key that closes itself. Reads give a plain value or an
// owned string and nothing when the value is missing or of another type;
// writes throw std::runtime_error, so that a failure is never taken for
// success.
#pragma once

#include "support/unique_handle_win32.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

class RegistryKey {
public:
    RegistryKey() = default;

    // Opens an existing key; the result is closed (false) when it is missing
    // or access is refused.
    static RegistryKey Open(HKEY parent, const std::string& path, REGSAM access = KEY_READ);
    // Opens a key, creating every missing level.
    static RegistryKey Create(HKEY parent, const std::string& path, REGSAM access = KEY_ALL_ACCESS);

    explicit operator bool() const { return handle_.Valid(); }
    HKEY Handle() const { return handle_.Get(); }

    // A REG_DWORD of four bytes.
    std::optional<std::uint32_t> ReadDword(const std::string& name) const;
    // A REG_SZ, or a REG_EXPAND_SZ with its environment variables expanded,
    // without its terminating NULs.
    std::optional<std::string> ReadString(const std::string& name) const;
    bool HasString(const std::string& name) const;

    void WriteDword(const std::string& name, std::uint32_t value) const;
    void WriteString(const std::string& name, const std::string& value) const;

private:
    explicit RegistryKey(HKEY handle) : handle_(handle) {}
    std::optional<DWORD> ValueType(const std::string& name) const;

    RegistryKeyHandle handle_;
};
