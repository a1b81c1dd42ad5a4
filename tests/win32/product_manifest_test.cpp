// The manifest built into Kestrom.exe beside this test, read as Windows
// reads it when the program starts.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::string ProductManifest()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path);
    exe = exe.substr(0, exe.rfind('\\') + 1) + "Kestrom.exe";
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

} // namespace
