// The settings store against Wine's real registry, under a test product's
// key so that the program's own settings are never touched.
#include "settings/registry_store_win32.h"
#include "settings/settings.h"
#include "support/system_info.h"
#include "support/text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

constexpr char Product[] = "KestromTest";
constexpr char KeyPath[] = "Software\\KestromTest";

// RegDeleteTree is not there before Vista: delete the sub-keys first.
void DeleteTree(HKEY parent, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> children;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, length);
    }
    for (const auto& child : children) DeleteTree(key, child);
    RegCloseKey(key);
    RegDeleteKeyA(parent, path.c_str());
}

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void SetValue(const char* subKey, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(KeyPath) + "\\" + subKey).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetDword(const char* subKey, const char* name, DWORD value)
{
    SetValue(subKey, name, REG_DWORD, &value, sizeof value);
}

void SetString(const char* subKey, const char* name, const std::string& value)
{
    SetValue(subKey, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

struct Stored {
    DWORD type = REG_NONE;
    std::vector<char> data;
    bool exists = false;

    DWORD Dword() const { return data.size() == 4 ? *reinterpret_cast<const DWORD*>(data.data()) : 0xDEADBEEF; }
    std::string Text() const
    {
        std::string text(data.begin(), data.end());
        while (!text.empty() && text.back() == '\0') text.pop_back();
        return text;
    }
};

Stored GetValue(const char* subKey, const char* name)
{
    Stored stored;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(KeyPath) + "\\" + subKey).c_str(), 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return stored;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &stored.type, nullptr, &size) == ERROR_SUCCESS) {
        stored.data.resize(size);
        stored.exists =
            RegQueryValueExA(key, name, nullptr, &stored.type, reinterpret_cast<BYTE*>(stored.data.data()), &size)
            == ERROR_SUCCESS;
        stored.data.resize(size);
    }
    RegCloseKey(key);
    return stored;
}

// What a first run loads: windows at (100, 100), both switches on, the
// built-in quotes server.
void ExpectFirstRunValues(const Settings& settings, const StoredPlaces& places)
{
    EXPECT_EQ(places.Main.Top, 100);
    EXPECT_EQ(places.Main.Left, 100);
    EXPECT_EQ(places.Config.Top, 100);
    EXPECT_EQ(places.Config.Left, 100);
    EXPECT_TRUE(settings.Update);
    EXPECT_TRUE(settings.Selection);
    EXPECT_EQ(settings.QuotesHost, DefaultQuotesHost);
}

class SettingsRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteTree(HKEY_CURRENT_USER, KeyPath);
        DetectWindowsVersion();
        ReadDesktopFolder();
    }
    void TearDown() override
    {
        DeleteTree(HKEY_CURRENT_USER, KeyPath);
        const std::string folder = ProfileDataFolder(DesktopFolder, Product);
        RemoveDirectoryA(folder.c_str());
        // Fails harmlessly when something else keeps data there.
        RemoveDirectoryA(ParentPath('\\', ParentPath('\\', folder)).c_str());
    }

    StoredPlaces Load(Settings& settings)
    {
        RegistryStore store(Product);
        return settings.Load(store, [] { return UserDataFolder(Product); });
    }
};

TEST_F(SettingsRegistryTest, FirstRunCreatesTheKeyAndTheDataFolder)
{
    Settings settings;
    settings.Update = false;
    settings.Selection = false;
    const StoredPlaces places = Load(settings);

    ExpectFirstRunValues(settings, places);
    EXPECT_EQ(settings.UpdateHost, DefaultUpdateHost);

    const std::string expected = ProfileDataFolder(DesktopFolder, Product);
    EXPECT_EQ(settings.DataPath, expected);
    ASSERT_GT(settings.DataPath.size(), std::string("\\UserData\\KestromTest\\").size());
    const DWORD attributes = GetFileAttributesA(settings.DataPath.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    const Stored dataPath = GetValue("Defaults", "Data Path");
    ASSERT_TRUE(dataPath.exists);
    EXPECT_EQ(dataPath.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(dataPath.Text(), expected);
    // Reading creates no sub-key, and the server values are never written.
    EXPECT_FALSE(KeyExists(std::string(KeyPath) + "\\Main"));
    EXPECT_FALSE(KeyExists(std::string(KeyPath) + "\\Config"));
    EXPECT_FALSE(GetValue("Defaults", "Quotes Host").exists);
    EXPECT_FALSE(GetValue("Defaults", "Update").exists);
}

TEST_F(SettingsRegistryTest, NegativeEdgesMoveOnlyTheMainWindow)
{
    SetDword("Main", "Top", static_cast<DWORD>(-20));
    SetDword("Main", "Left", 40);
    SetDword("Config", "Top", static_cast<DWORD>(-20));
    SetString("Config", "Left", "-7");
    Settings settings;
    const StoredPlaces places = Load(settings);
    EXPECT_EQ(places.Main.Top, 100);
    EXPECT_EQ(places.Main.Left, 40);
    EXPECT_EQ(places.Config.Top, -20);
    EXPECT_EQ(places.Config.Left, -7);
}

TEST_F(SettingsRegistryTest, SwitchesFromStringsAndDwords)
{
    SetString("Defaults", "Data Path", "C:\\Koersen\\");
    SetString("Defaults", "Update", "0");
    SetDword("Defaults", "Selection", 5);
    Settings settings;
    Load(settings);
    EXPECT_FALSE(settings.Update);
    EXPECT_TRUE(settings.Selection);
    EXPECT_EQ(settings.DataPath, "C:\\Koersen\\");

    SetDword("Defaults", "Update", 5);
    SetString("Defaults", "Selection", "0");
    Load(settings);
    EXPECT_TRUE(settings.Update);
    EXPECT_FALSE(settings.Selection);
}

TEST_F(SettingsRegistryTest, AStringPositionIsWrittenBackAsAString)
{
    SetString("Main", "Left", "250");
    SetString("Defaults", "Data Path", "C:\\Koersen\\");
    Settings settings;
    const StoredPlaces places = Load(settings);
    EXPECT_EQ(places.Main.Left, 250);

    {
        RegistryStore store(Product);
        SaveWindowPlaces(store, {130, 275}, 612, {-20, 90});
    }
    const Stored left = GetValue("Main", "Left");
    EXPECT_EQ(left.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(left.Text(), "275");
    const struct {
        const char* subKey;
        const char* name;
        DWORD value;
    } dwords[] = {{"Main", "Top", 130}, {"Main", "Width", 612}, {"Config", "Top", static_cast<DWORD>(-20)},
                  {"Config", "Left", 90}};
    for (const auto& d : dwords) {
        SCOPED_TRACE(std::string(d.subKey) + "/" + d.name);
        const Stored stored = GetValue(d.subKey, d.name);
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(stored.Dword(), d.value);
    }
}

TEST_F(SettingsRegistryTest, ValuesOfTheWrongTypeGiveTheDefaults)
{
    const unsigned char binary[] = {0x20, 0x00, 0x00, 0x00};
    const char multi[] = "1\0" "2\0";
    const WORD shortDword = 7;
    SetValue("Main", "Top", REG_BINARY, binary, sizeof binary);
    SetValue("Main", "Left", REG_DWORD, &shortDword, sizeof shortDword);
    SetString("Config", "Top", "boven");
    SetString("Config", "Left", "");
    SetValue("Defaults", "Update", REG_MULTI_SZ, multi, sizeof multi);
    SetValue("Defaults", "Selection", REG_BINARY, binary, sizeof binary);
    SetValue("Defaults", "Quotes Host", REG_MULTI_SZ, multi, sizeof multi);
    SetDword("Defaults", "Data Path", 1);
    Settings settings;
    settings.Update = false;
    settings.Selection = false;
    StoredPlaces places;
    ASSERT_NO_THROW(places = Load(settings));
    ExpectFirstRunValues(settings, places);
    // A data folder that is not a string counts as none and is replaced.
    EXPECT_EQ(settings.DataPath, ProfileDataFolder(DesktopFolder, Product));
    EXPECT_EQ(GetValue("Defaults", "Data Path").type, static_cast<DWORD>(REG_SZ));

    // Saving over them writes the types of the rules.
    RegistryStore store(Product);
    ASSERT_NO_THROW(SaveWindowPlaces(store, {1, 2}, 3, {4, 5}));
    ASSERT_NO_THROW(settings.SaveDefaults(store));
    EXPECT_EQ(GetValue("Main", "Top").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(GetValue("Config", "Top").type, static_cast<DWORD>(REG_SZ)); // "boven" was a string
    EXPECT_EQ(GetValue("Config", "Top").Text(), "4");
    EXPECT_EQ(GetValue("Defaults", "Update").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(GetValue("Defaults", "Update").Text(), "1");
}

TEST_F(SettingsRegistryTest, LongAndUnterminatedStrings)
{
    const std::string longPath = "C:\\" + std::string(5000, 'k') + "\\";
    SetString("Defaults", "Data Path", longPath);
    // Written without its terminating NUL, as other tools may.
    const char host[] = "127.0.0.1:8123";
    SetValue("Defaults", "Quotes Host", REG_SZ, host, sizeof host - 1);
    SetValue("Defaults", "Update Host", REG_EXPAND_SZ, host, sizeof host);
    Settings settings;
    Load(settings);
    EXPECT_EQ(settings.DataPath, longPath);
    EXPECT_EQ(settings.QuotesHost, "127.0.0.1:8123");
    EXPECT_EQ(settings.UpdateHost, "127.0.0.1:8123");
}

// Written by an installer or an administrator as an expandable string,
// the data folder is where its variables point.
TEST_F(SettingsRegistryTest, AnExpandableDataPathIsExpanded)
{
    ASSERT_TRUE(SetEnvironmentVariableA("KESTROM_BELEGGEN", "C:\\Users\\Beleggen"));
    const struct {
        const char* stored;
        const char* expected;
    } cases[] = {
        {"%KESTROM_BELEGGEN%\\Koersen\\", "C:\\Users\\Beleggen\\Koersen\\"},
        {"%KESTROM_BELEGGEN%\\%KESTROM_BELEGGEN%\\", "C:\\Users\\Beleggen\\C:\\Users\\Beleggen\\"},
        {"%KESTROM_ONBEKEND%\\Koersen\\", "%KESTROM_ONBEKEND%\\Koersen\\"},
        {"C:\\Koersen 100%\\", "C:\\Koersen 100%\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        SetValue("Defaults", "Data Path", REG_EXPAND_SZ, c.stored, static_cast<DWORD>(std::strlen(c.stored) + 1));
        Settings settings;
        Load(settings);
        EXPECT_EQ(settings.DataPath, c.expected);
    }
    SetEnvironmentVariableA("KESTROM_BELEGGEN", nullptr);
}

TEST_F(SettingsRegistryTest, SavedDefaultsReadBack)
{
    Settings settings;
    settings.DataPath = "D:\\Opties\\";
    settings.Update = false;
    settings.Selection = true;
    {
        RegistryStore store(Product);
        settings.SaveDefaults(store);
    }
    EXPECT_EQ(GetValue("Defaults", "Update").Text(), "0");
    EXPECT_EQ(GetValue("Defaults", "Selection").Text(), "1");
    Settings loaded;
    Load(loaded);
    EXPECT_EQ(loaded.DataPath, "D:\\Opties\\");
    EXPECT_FALSE(loaded.Update);
    EXPECT_TRUE(loaded.Selection);
}

} // namespace
