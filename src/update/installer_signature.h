// The maker's signature of an installer: ECDSA P-256 over the installer's
// SHA-256, published as the installer's name plus ".sig" in the DER form
// openssl writes. Windows verifies the raw form: r then s, 32 bytes each.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr char SignatureSuffix[] = ".sig";
// A DER signature of P-256 is at most 72 bytes; anything much larger is
// not one.
inline constexpr std::size_t SignatureFileLimit = 256;

using RawSignature = std::array<std::uint8_t, 64>;
// The public point: X then Y, 32 bytes each.
using PublicKey = std::array<std::uint8_t, 64>;

// SEQUENCE { INTEGER r, INTEGER s } in strict DER (shortest lengths, no
// padding beyond a sign byte, positive values of at most 32 bytes, nothing
// after it); none for anything else.
std::optional<RawSignature> RawSignatureFromDer(std::string_view der);

// 128 hex digits, either case, nothing else; none otherwise.
std::optional<PublicKey> PublicKeyFromHex(std::string_view hex);
