// The maker's signing for Win32 tests: a key pair made with openssl when
// the test runs (tools/sign_installer.sh, a Linux program that Wine starts
// like a Windows one), installers signed with it, and its public key named
// under "Update Key" (the machine's, in the 32-bit view this 32-bit test
// sees) for as long as the signer lives. Key and files lie in
// a scratch folder beside the test, on drive Z:, so that the script gets
// their Linux paths.
#pragma once

#include "update/maker_key.h"
#include "wait_for.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

class MakerSigner {
public:
    MakerSigner()
    {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        folder_ = std::string(path);
        folder_ = folder_.substr(0, folder_.rfind('\\') + 1) + "signing_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        const std::string hex = folder_ + "\\maker.hex";
        Run("--new-key \"" + LinuxPath(folder_ + "\\maker.pem") + "\" \"" + LinuxPath(hex) + "\"", hex);
        PublicKey = ReadAll(hex);
        while (!PublicKey.empty() && (PublicKey.back() == '\n' || PublicKey.back() == '\r')) PublicKey.pop_back();
        if (!PublicKeyFromHex(PublicKey)) throw std::runtime_error("no key from sign_installer.sh: " + PublicKey);
        SetKeyValue(PublicKey);
    }

    ~MakerSigner()
    {
        SetKeyValue("");
        DeleteFileA((folder_ + "\\maker.pem").c_str());
        DeleteFileA((folder_ + "\\maker.hex").c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    MakerSigner(const MakerSigner&) = delete;
    MakerSigner& operator=(const MakerSigner&) = delete;

    // The DER signature that tools/sign_installer.sh writes for bytes.
    std::string Sign(const std::string& bytes) const
    {
        const std::string file = folder_ + "\\installer.exe";
        std::ofstream(file, std::ios::binary) << bytes;
        Run("\"" + LinuxPath(folder_ + "\\maker.pem") + "\" \"" + LinuxPath(file) + "\"", file + ".sig");
        const std::string signature = ReadAll(file + ".sig");
        DeleteFileA(file.c_str());
        DeleteFileA((file + ".sig").c_str());
        if (signature.empty()) throw std::runtime_error("sign_installer.sh wrote no signature");
        return signature;
    }

    // "Update Key" as a test sets it, where the program reads it: empty
    // deletes the value.
    static void SetKeyValue(const std::string& value) { SetValue(HKEY_LOCAL_MACHINE, "Software\\Kestrom", value); }

    // The same value where the program must not read it: the current user's.
    static void SetUserKeyValue(const std::string& value)
    {
        SetValue(HKEY_CURRENT_USER, "Software\\Kestrom\\Defaults", value);
    }

    std::string PublicKey;

private:
    static void SetValue(HKEY root, const char* path, const std::string& value)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != 0)
            throw std::runtime_error(std::string("cannot open the key ") + path);
        if (value.empty()) RegDeleteValueA(key, MakerKeyValue);
        else RegSetValueExA(key, MakerKeyValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }

    // "Z:\a\b" is /a/b to a Linux program.
    static std::string LinuxPath(std::string path)
    {
        if (path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':') path.erase(0, 2);
        for (char& ch : path)
            if (ch == '\\') ch = '/';
        return path;
    }

    static std::string ReadAll(const std::string& path)
    {
        std::ifstream stream(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    }

    // Runs the script and waits for the file it makes. Wine does not wait
    // for a Linux program's end, nor give its output to a Windows pipe or
    // file; the script writes each file aside and renames it when whole.
    static void Run(const std::string& arguments, const std::string& made)
    {
        std::string script = std::string("Z:") + KESTROM_SOURCE_DIR + "/tools/sign_installer.sh";
        for (char& ch : script)
            if (ch == '/') ch = '\\';
        DeleteFileA(made.c_str());
        std::system(("\"\"" + script + "\" " + arguments + "\"").c_str());
        WaitUntil([&] { return GetFileAttributesA(made.c_str()) != INVALID_FILE_ATTRIBUTES; });
    }

    std::string folder_;
};
