#include "update/installer_check_win32.h"

#include "update/installer_version_win32.h"
#include "update/maker_key.h"
#include "update/signature_check_win32.h"

FileHandle LockInstaller(const std::string& path)
{
    return FileHandle(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void CheckLockedInstaller(const FileHandle& installer, const std::string& path, std::string_view signature,
                          ReceivedInstaller& received)
{
    received.Signature = installer ? CheckInstallerSignature(installer.Get(), signature, MakerPublicKey())
                                   : SignatureState::Unreadable;
    // Read while the file is locked: the bytes whose signature held.
    received.Version = received.Signature == SignatureState::Valid ? InstallerVersion(path) : std::string();
}
