#include "update/installer_signature.h"

#include <algorithm>

namespace {

constexpr std::uint8_t SequenceTag = 0x30;
constexpr std::uint8_t IntegerTag = 0x02;
constexpr std::size_t HalfBytes = 32;

// Reads one INTEGER at der[at] into 32 bytes, right-aligned; moves at past it.
bool ReadInteger(std::string_view der, std::size_t& at, std::uint8_t* out)
{
    if (der.size() - at < 2 || static_cast<std::uint8_t>(der[at]) != IntegerTag) return false;
    const std::size_t length = static_cast<std::uint8_t>(der[at + 1]);
    at += 2;
    // Short-form lengths only: an integer of P-256 takes at most 33 bytes.
    if (length == 0 || length > HalfBytes + 1 || der.size() - at < length) return false;
    std::string_view value = der.substr(at, length);
    at += length;
    const auto first = static_cast<std::uint8_t>(value[0]);
    if (first & 0x80) return false; // negative
    if (first == 0) {
        // A zero byte only in front of a byte with its high bit set.
        if (value.size() == 1 || !(static_cast<std::uint8_t>(value[1]) & 0x80)) return false;
        value.remove_prefix(1);
    }
    if (value.size() > HalfBytes) return false;
    std::fill(out, out + HalfBytes - value.size(), 0);
    std::copy(value.begin(), value.end(), out + HalfBytes - value.size());
    return true;
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

} // namespace

std::optional<RawSignature> RawSignatureFromDer(std::string_view der)
{
    if (der.size() < 2 || static_cast<std::uint8_t>(der[0]) != SequenceTag) return std::nullopt;
    const std::size_t length = static_cast<std::uint8_t>(der[1]);
    if (length >= 0x80 || der.size() != 2 + length) return std::nullopt;
    RawSignature raw{};
    std::size_t at = 2;
    if (!ReadInteger(der, at, raw.data()) || !ReadInteger(der, at, raw.data() + HalfBytes)) return std::nullopt;
    if (at != der.size()) return std::nullopt;
    return raw;
}

std::optional<PublicKey> PublicKeyFromHex(std::string_view hex)
{
    PublicKey key{};
    if (hex.size() != 2 * key.size()) return std::nullopt;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const int high = HexValue(hex[2 * i]);
        const int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        key[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return key;
}
