#include "update/signature_check_win32.h"

#include "support/unique_handle_win32.h"

#include <bcrypt.h>

#include <cstring>
#include <vector>

namespace {

// The three kinds of CNG handle, each with its own close function.
struct AlgorithmTraits {
    using Type = BCRYPT_ALG_HANDLE;
    static Type Empty() { return nullptr; }
    static bool Close(Type handle) { return BCRYPT_SUCCESS(BCryptCloseAlgorithmProvider(handle, 0)); }
};

struct HashTraits {
    using Type = BCRYPT_HASH_HANDLE;
    static Type Empty() { return nullptr; }
    static bool Close(Type handle) { return BCRYPT_SUCCESS(BCryptDestroyHash(handle)); }
};

struct KeyTraits {
    using Type = BCRYPT_KEY_HANDLE;
    static Type Empty() { return nullptr; }
    static bool Close(Type handle) { return BCRYPT_SUCCESS(BCryptDestroyKey(handle)); }
};

using AlgorithmHandle = UniqueHandle<AlgorithmTraits>;
using HashHandle = UniqueHandle<HashTraits>;
using KeyHandle = UniqueHandle<KeyTraits>;

AlgorithmHandle OpenAlgorithm(const wchar_t* name)
{
    BCRYPT_ALG_HANDLE handle = nullptr;
    return AlgorithmHandle(BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, name, nullptr, 0)) ? handle : nullptr);
}

HashHandle CreateHash(const AlgorithmHandle& algorithm)
{
    BCRYPT_HASH_HANDLE handle = nullptr;
    if (!algorithm || !BCRYPT_SUCCESS(BCryptCreateHash(algorithm.Get(), &handle, nullptr, 0, nullptr, 0, 0)))
        return {};
    return HashHandle(handle);
}

KeyHandle ImportPublicKey(const AlgorithmHandle& algorithm, const PublicKey& key)
{
    // BCRYPT_ECCKEY_BLOB, then X and Y.
    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.size());
    BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, static_cast<ULONG>(key.size() / 2)};
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, key.data(), key.size());
    BCRYPT_KEY_HANDLE handle = nullptr;
    if (!algorithm || !BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle,
                                                          blob.data(), static_cast<ULONG>(blob.size()), 0)))
        return {};
    return KeyHandle(handle);
}

constexpr ULONG Sha256Bytes = 32;

// SHA-256 of the whole file from its first byte; false when it cannot be read.
bool HashFile(HANDLE file, UCHAR (&digest)[Sha256Bytes])
{
    const AlgorithmHandle sha256 = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
    const HashHandle hash = CreateHash(sha256);
    if (!hash || SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    std::vector<UCHAR> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
        if (read == 0) break;
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.Get(), buffer.data(), read, 0))) return false;
    }
    return BCRYPT_SUCCESS(BCryptFinishHash(hash.Get(), digest, Sha256Bytes, 0));
}

} // namespace

SignatureState CheckInstallerSignature(HANDLE file, std::string_view derSignature,
                                       const std::optional<PublicKey>& key)
{
    std::optional<RawSignature> signature = RawSignatureFromDer(derSignature);
    if (!signature) return SignatureState::Missing;
    if (!key) return SignatureState::Wrong;
    UCHAR digest[Sha256Bytes];
    if (!HashFile(file, digest)) return SignatureState::Unreadable;
    const AlgorithmHandle ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    const KeyHandle publicKey = ImportPublicKey(ecdsa, *key);
    if (!publicKey) return SignatureState::Wrong;
    const NTSTATUS status = BCryptVerifySignature(publicKey.Get(), nullptr, digest, Sha256Bytes, signature->data(),
                                                  static_cast<ULONG>(signature->size()), 0);
    return BCRYPT_SUCCESS(status) ? SignatureState::Valid : SignatureState::Wrong;
}
