#include "update/signature_check_win32.h"

#include <bcrypt.h>

#include <cstring>
#include <vector>

namespace {

class Algorithm {
public:
    explicit Algorithm(const wchar_t* name)
    {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, name, nullptr, 0))) handle_ = nullptr;
    }
    ~Algorithm()
    {
        if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE Get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class HashHandle {
public:
    explicit HashHandle(BCRYPT_ALG_HANDLE algorithm)
    {
        if (!algorithm || !BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &handle_, nullptr, 0, nullptr, 0, 0)))
            handle_ = nullptr;
    }
    ~HashHandle()
    {
        if (handle_) BCryptDestroyHash(handle_);
    }
    HashHandle(const HashHandle&) = delete;
    HashHandle& operator=(const HashHandle&) = delete;
    BCRYPT_HASH_HANDLE Get() const { return handle_; }

private:
    BCRYPT_HASH_HANDLE handle_ = nullptr;
};

class KeyHandle {
public:
    KeyHandle(BCRYPT_ALG_HANDLE algorithm, const PublicKey& key)
    {
        // BCRYPT_ECCKEY_BLOB, then X and Y.
        std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.size());
        BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, static_cast<ULONG>(key.size() / 2)};
        std::memcpy(blob.data(), &header, sizeof header);
        std::memcpy(blob.data() + sizeof header, key.data(), key.size());
        if (!algorithm || !BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle_,
                                                              blob.data(), static_cast<ULONG>(blob.size()), 0)))
            handle_ = nullptr;
    }
    ~KeyHandle()
    {
        if (handle_) BCryptDestroyKey(handle_);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    BCRYPT_KEY_HANDLE Get() const { return handle_; }

private:
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

constexpr ULONG Sha256Bytes = 32;

// SHA-256 of the whole file from its first byte; false when it cannot be read.
bool HashFile(HANDLE file, UCHAR (&digest)[Sha256Bytes])
{
    const Algorithm sha256(BCRYPT_SHA256_ALGORITHM);
    const HashHandle hash(sha256.Get());
    if (!hash.Get() || SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
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
    const Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
    const KeyHandle publicKey(ecdsa.Get(), *key);
    if (!publicKey.Get()) return SignatureState::Wrong;
    const NTSTATUS status = BCryptVerifySignature(publicKey.Get(), nullptr, digest, Sha256Bytes, signature->data(),
                                                  static_cast<ULONG>(signature->size()), 0);
    return BCRYPT_SUCCESS(status) ? SignatureState::Valid : SignatureState::Wrong;
}
