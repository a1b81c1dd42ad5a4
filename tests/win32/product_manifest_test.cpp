// The manifest and version information built into Kestrom.exe beside this
// test, read as Windows reads them.
#include "support/product.h"
#include "update/versions_list.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string ProductPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string exe(path);
    return exe.substr(0, exe.rfind('\\') + 1) + "Kestrom.exe";
}

std::string ProductManifest()
{
    const std::string exe = ProductPath();
    const HMODULE product = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!product) return "cannot load " + exe;
    std::string text;
    if (const HRSRC resource = FindResourceA(product, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const HGLOBAL loaded = LoadResource(product, resource);
        text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(product, resource));
    }
    FreeLibrary(product);
    return text;
}

// A 32-bit program without an execution level is a legacy program to
// Windows: its writes under Program Files would silently go to the user's
// VirtualStore, where no other program looks for quote files.
TEST(ProductManifest, RunsAsInvokerOnTheWindowsVersionsItNames)
{
    const std::string manifest = ProductManifest();
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos)
        << manifest;
    for (const char* windows : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                                "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                                "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + windows + "}\"/>"), std::string::npos) << windows;
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

// Windows' four numbers for the version the caption shows, as the update
// check reads it: "versie 1.00c" is 1.0.0.3 (the letter counted from a = 1).
std::vector<int> ExpectedVersionNumbers()
{
    const ProgramVersion running = RunningVersion(VersionTextValue);
    std::vector<int> numbers;
    for (char digit : running.Digits) numbers.push_back(digit - '0');
    numbers.push_back(running.Letter ? running.Letter - 'a' + 1 : 0);
    return numbers;
}

std::string VersionString(const std::vector<char>& info, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\041304E4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !length) return {};
    return std::string(value, strnlen(value, length));
}

// The version information Explorer shows, the manifest and the caption
// come from one build option; a release that disagreed with itself would
// name one version in the list of installed programs and run another.
TEST(ProductVersion, VersionInformationAndManifestCarryTheCaptionsVersion)
{
    const std::string versionText = VersionTextValue;
    ASSERT_EQ(versionText.rfind("versie ", 0), 0u) << versionText;
    const std::string version = versionText.substr(7);
    const std::vector<int> numbers = ExpectedVersionNumbers();
    ASSERT_EQ(numbers.size(), 4u) << versionText;

    const std::string exe = ProductPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << exe;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength));
    ASSERT_GE(fixedLength, sizeof(VS_FIXEDFILEINFO));
    const std::vector<int> fileVersion = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                          HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    const std::vector<int> productVersion = {HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                                             HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
    EXPECT_EQ(fileVersion, numbers);
    EXPECT_EQ(productVersion, numbers);
    EXPECT_EQ(VersionString(info, "FileVersion"), version);
    EXPECT_EQ(VersionString(info, "ProductVersion"), version);
    EXPECT_EQ(VersionString(info, "ProductName"), ProductNameText);

    const std::string identity = std::string("<assemblyIdentity type=\"win32\" name=\"") + ProductNameText
                                 + "\" version=\"" + std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "."
                                 + std::to_string(numbers[2]) + "." + std::to_string(numbers[3]) + "\"";
    const std::string manifest = ProductManifest();
    EXPECT_NE(manifest.find(identity), std::string::npos) << identity << "\n" << manifest;
}

} // namespace
