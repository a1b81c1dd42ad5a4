#include "support/registry_key_win32.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

void ThrowWriteError(const std::string& name, LONG status)
{
    throw std::runtime_error("Cannot write the registry value \"" + name + "\" (error "
                             + std::to_string(status) + ")");
}

// text with every %NAME% of a defined environment variable replaced by its
// value, as Windows itself reads an expandable string; an undefined one
// stays as written.
std::string ExpandEnvironment(const std::string& text)
{
    std::vector<char> buffer(text.size() + 1);
    for (;;) {
        const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (needed == 0) return text;
        if (needed <= buffer.size()) return std::string(buffer.data());
        // The ANSI form may ask for one character more than it writes.
        buffer.resize(needed + 1);
    }
}

} // namespace

RegistryKey RegistryKey::Open(HKEY parent, const std::string& path, REGSAM access)
{
    HKEY handle = nullptr;
    if (!parent || RegOpenKeyExA(parent, path.c_str(), 0, access, &handle) != ERROR_SUCCESS) return {};
    return RegistryKey(handle);
}

RegistryKey RegistryKey::Create(HKEY parent, const std::string& path, REGSAM access)
{
    HKEY handle = nullptr;
    if (!parent
        || RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                           &handle, nullptr)
               != ERROR_SUCCESS)
        return {};
    return RegistryKey(handle);
}

std::optional<DWORD> RegistryKey::ValueType(const std::string& name) const
{
    DWORD type = REG_NONE;
    if (!handle_ || RegQueryValueExA(handle_.Get(), name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

std::optional<std::uint32_t> RegistryKey::ReadDword(const std::string& name) const
{
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (!handle_
        || RegQueryValueExA(handle_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size)
               != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

std::optional<std::string> RegistryKey::ReadString(const std::string& name) const
{
    if (!handle_) return std::nullopt;
    std::vector<char> buffer(256);
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG status = RegQueryValueExA(handle_.Get(), name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(buffer.data()), &size);
        // The value may grow between the size query and the read; ask again.
        if (status == ERROR_MORE_DATA) {
            buffer.resize(std::max<std::size_t>(size, buffer.size() * 2));
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        // A string value need not carry its terminating NUL, or may carry
        // several; neither belongs to the text.
        std::string text(buffer.data(), std::min<std::size_t>(size, buffer.size()));
        while (!text.empty() && text.back() == '\0') text.pop_back();
        return type == REG_EXPAND_SZ ? ExpandEnvironment(text) : text;
    }
}

bool RegistryKey::HasString(const std::string& name) const
{
    const auto type = ValueType(name);
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

void RegistryKey::WriteDword(const std::string& name, std::uint32_t value) const
{
    const DWORD data = value;
    const LONG status = handle_ ? RegSetValueExA(handle_.Get(), name.c_str(), 0, REG_DWORD,
                                                 reinterpret_cast<const BYTE*>(&data), sizeof data)
                                : ERROR_INVALID_HANDLE;
    if (status != ERROR_SUCCESS) ThrowWriteError(name, status);
}

void RegistryKey::WriteString(const std::string& name, const std::string& value) const
{
    const LONG status = handle_ ? RegSetValueExA(handle_.Get(), name.c_str(), 0, REG_SZ,
                                                 reinterpret_cast<const BYTE*>(value.c_str()),
                                                 static_cast<DWORD>(value.size() + 1))
                                : ERROR_INVALID_HANDLE;
    if (status != ERROR_SUCCESS) ThrowWriteError(name, status);
}
