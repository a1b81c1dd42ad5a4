#include "update/installer_folder_win32.h"

#include "support/system_folders_win32.h"
#include "support/unique_handle_win32.h"
#include "update/installer.h"
#include "update/update_record_win32.h"

#include <windows.h>
#include <bcrypt.h>
#include <sddl.h>

#include <memory>

namespace {

constexpr int FolderAttempts = 10;

// The running user's SID in its string form ("S-1-5-21-..."); empty when
// the process token cannot say.
std::string UserSid()
{
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return {};
    const TokenHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::unique_ptr<BYTE[]> buffer(size ? new BYTE[size] : nullptr);
    char* sid = nullptr;
    if (!buffer || !GetTokenInformation(token.Get(), TokenUser, buffer.get(), size, &size)
        || !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &sid))
        return {};
    const LocalMemory<char*> owned(sid);
    return owned.Get();
}

// Full control for the user, SYSTEM and the administrators, passed on to
// everything made inside; nothing inherited from the temporary folder.
LocalMemory<PSECURITY_DESCRIPTOR> OwnFolderSecurity()
{
    const std::string user = UserSid();
    if (user.empty()) return {};
    const std::string sddl = "D:P(A;OICI;FA;;;" + user + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return {};
    return LocalMemory<PSECURITY_DESCRIPTOR>(descriptor);
}

bool RandomBytes(FolderNameBytes& bytes)
{
    return BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

std::string FolderOf(const std::string& file) { return file.substr(0, file.rfind('\\') + 1); }

// Open for listing only; others may read and write inside, never delete or
// rename the folder.
FileHandle HoldFolder(const std::string& folder)
{
    return FileHandle(CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

} // namespace

InstallerFolder NewInstallerFolder(const std::string& productName, const std::string& fileName)
{
    const std::string temp = TempFolder();
    const auto security = OwnFolderSecurity();
    if (temp.empty() || !security) return {};
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, security.Get(), FALSE};
    for (int attempt = 0; attempt < FolderAttempts; ++attempt) {
        FolderNameBytes bytes;
        if (!RandomBytes(bytes)) return {};
        const std::string folder = temp + InstallerFolderName(productName, bytes) + "\\";
        // CreateDirectory fails for a name that exists: the folder is new,
        // and nobody had it before.
        if (!CreateDirectoryA(folder.c_str(), &attributes)) {
            if (GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return {};
        }
        InstallerFolder made{folder, HoldFolder(folder)};
        if (!made.Hold) {
            RemoveDirectoryA(folder.c_str());
            return {};
        }
        try {
            WriteUpdateRecord(InstallerFileRecord, folder + fileName);
        } catch (...) {
            made.Hold.Close();
            RemoveDirectoryA(folder.c_str());
            throw;
        }
        return made;
    }
    return {};
}

bool FolderHoldsOnly(const std::string& folder, const std::string& fileName)
{
    WIN32_FIND_DATAA entry;
    const FindHandle find(FindFirstFileA((folder + "*").c_str(), &entry));
    if (!find) return false;
    bool found = false;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (name != fileName || (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
        found = true;
    } while (FindNextFileA(find.Get(), &entry));
    return found && GetLastError() == ERROR_NO_MORE_FILES;
}

bool RemoveInstallerFolder(const std::string& file)
{
    DeleteFileA(file.c_str());
    if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    // What else lies there is not the program's: it stays, with the folder.
    RemoveDirectoryA(FolderOf(file).c_str());
    ForgetUpdateRecord(InstallerFileRecord);
    return true;
}

bool RemoveRecordedInstallerFolder(const std::string& productName)
{
    const std::optional<std::string> file = ReadUpdateRecord(InstallerFileRecord);
    if (!file) return true;
    if (!IsInstallerFolderFile(*file, TempFolder(), productName)) {
        ForgetUpdateRecord(InstallerFileRecord);
        return true;
    }
    return RemoveInstallerFolder(*file);
}
