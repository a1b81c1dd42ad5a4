#include "settings/settings.h"

#include "fake_settings_store.h"

#include <gtest/gtest.h>

namespace {

using Value = FakeSettingsStore::Value;
using Other = FakeSettingsStore::Other;

constexpr char UserFolder[] = "C:\\Users\\jan\\UserData\\Kestrom\\";

struct DataFolderSource {
    int calls = 0;
    std::function<std::string()> Function()
    {
        return [this] {
            ++calls;
            return std::string(UserFolder);
        };
    }
};

TEST(SettingsLoad, FirstRunUsesTheDefaultsAndWritesTheDataFolderAtOnce)
{
    FakeSettingsStore store;
    DataFolderSource source;
    Settings settings;
    settings.Update = false;
    settings.Selection = false;
    const StoredPlaces places = settings.Load(store, source.Function());

    EXPECT_EQ(places.Main.Top, 100);
    EXPECT_EQ(places.Main.Left, 100);
    EXPECT_EQ(places.Config.Top, 100);
    EXPECT_EQ(places.Config.Left, 100);
    EXPECT_EQ(settings.DataPath, UserFolder);
    EXPECT_EQ(source.calls, 1);
    EXPECT_TRUE(settings.Update);
    EXPECT_TRUE(settings.Selection);
    EXPECT_EQ(settings.QuotesHost, DefaultQuotesHost);
    EXPECT_EQ(settings.UpdateHost, DefaultUpdateHost);
    // Only the data folder is written; the host values never are.
    ASSERT_EQ(store.values.size(), 1u);
    EXPECT_EQ(store.values.at({"Defaults", "Data Path"}), Value(std::string(UserFolder)));
}

TEST(SettingsLoad, AStoredDataFolderIsKeptAndNotRewritten)
{
    FakeSettingsStore store;
    store.values[{"Defaults", "Data Path"}] = Value(std::string("D:\\Koersen\\"));
    DataFolderSource source;
    Settings settings;
    settings.Load(store, source.Function());
    EXPECT_EQ(settings.DataPath, "D:\\Koersen\\");
    EXPECT_EQ(source.calls, 0);
    EXPECT_EQ(store.writes, 0);
}

TEST(SettingsLoad, ADataFolderOfAnotherTypeIsReplaced)
{
    FakeSettingsStore store;
    store.values[{"Defaults", "Data Path"}] = Value(Other{});
    DataFolderSource source;
    Settings settings;
    settings.Load(store, source.Function());
    EXPECT_EQ(settings.DataPath, UserFolder);
    EXPECT_EQ(store.values.at({"Defaults", "Data Path"}), Value(std::string(UserFolder)));
}

struct PlaceCase {
    const char* label;
    const char* subKey;
    const char* name;
    Value stored;
    StoredPlaces expected;
};

TEST(SettingsLoad, OnlyTheMainWindowIsKeptFromNegativeEdges)
{
    const PlaceCase cases[] = {
        {"main top -20", "Main", "Top", Value(std::uint32_t(-20)), {{100, 100}, {100, 100}}},
        {"main left -1", "Main", "Left", Value(std::uint32_t(-1)), {{100, 100}, {100, 100}}},
        {"main left -20 as text", "Main", "Left", Value(std::string("-20")), {{100, 100}, {100, 100}}},
        {"main top 0", "Main", "Top", Value(std::uint32_t{0}), {{0, 100}, {100, 100}}},
        {"main left 250 as text", "Main", "Left", Value(std::string("250")), {{100, 250}, {100, 100}}},
        {"config top -20", "Config", "Top", Value(std::uint32_t(-20)), {{100, 100}, {-20, 100}}},
        {"config left -300 as text", "Config", "Left", Value(std::string("-300")), {{100, 100}, {100, -300}}},
        {"config top unparsable", "Config", "Top", Value(std::string("boven")), {{100, 100}, {100, 100}}},
        {"config left binary", "Config", "Left", Value(Other{}), {{100, 100}, {100, 100}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeSettingsStore store;
        store.values[{c.subKey, c.name}] = c.stored;
        Settings settings;
        const StoredPlaces places = settings.Load(store, [] { return std::string(UserFolder); });
        EXPECT_EQ(places.Main.Top, c.expected.Main.Top);
        EXPECT_EQ(places.Main.Left, c.expected.Main.Left);
        EXPECT_EQ(places.Config.Top, c.expected.Config.Top);
        EXPECT_EQ(places.Config.Left, c.expected.Config.Left);
    }
}

struct SwitchCase {
    const char* label;
    std::optional<Value> stored;
    bool expected;
};

TEST(SettingsLoad, UpdateAndSelectionSwitches)
{
    const SwitchCase cases[] = {
        {"missing", std::nullopt, true},
        {"string 0", Value(std::string("0")), false},
        {"string 1", Value(std::string("1")), true},
        {"DWORD 5", Value(std::uint32_t{5}), true},
        {"DWORD 0", Value(std::uint32_t{0}), false},
        {"unparsable", Value(std::string("Uit")), true},
        {"multi-string", Value(Other{}), true},
    };
    for (const char* name : {"Update", "Selection"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << name << ": " << c.label);
            FakeSettingsStore store;
            if (c.stored) store.values[{"Defaults", name}] = *c.stored;
            Settings settings;
            settings.Load(store, [] { return std::string(UserFolder); });
            EXPECT_EQ(std::string(name) == "Update" ? settings.Update : settings.Selection, c.expected);
            EXPECT_EQ(std::string(name) == "Update" ? settings.Selection : settings.Update, true);
        }
    }
}

TEST(SettingsLoad, ServerHostsComeFromTheStoreOrTheBuiltInDefaults)
{
    FakeSettingsStore store;
    store.values[{"Defaults", "Quotes Host"}] = Value(std::string("127.0.0.1:8123"));
    store.values[{"Defaults", "Update Host"}] = Value(std::string(""));
    Settings settings;
    settings.Load(store, [] { return std::string(UserFolder); });
    EXPECT_EQ(settings.QuotesHost, "127.0.0.1:8123");
    EXPECT_EQ(settings.UpdateHost, DefaultUpdateHost);

    store.values[{"Defaults", "Quotes Host"}] = Value(std::uint32_t{8123});
    store.values[{"Defaults", "Update Host"}] = Value(std::string("localhost:9000"));
    settings.Load(store, [] { return std::string(UserFolder); });
    EXPECT_EQ(settings.QuotesHost, DefaultQuotesHost);
    EXPECT_EQ(settings.UpdateHost, "localhost:9000");
}

TEST(SettingsLoad, TheTasksTimeIsReadBackOrTheDefault)
{
    const std::pair<std::optional<Value>, ClockTime> cases[] = {
        {std::nullopt, {22, 0}},
        {Value(std::string("09:05")), {9, 5}},
        {Value(std::string("24:00")), {22, 0}},
        {Value(std::uint32_t{2100}), {22, 0}},
    };
    for (const auto& [stored, expected] : cases) {
        FakeSettingsStore store;
        if (stored) store.values[{"Defaults", "Task Time"}] = *stored;
        Settings settings;
        settings.Load(store, [] { return std::string(UserFolder); });
        EXPECT_EQ(settings.TaskTime, expected) << ClockTimeText(expected);
    }

    FakeSettingsStore store;
    Settings settings;
    settings.TaskTime = {0, 0};
    settings.TaskWake = true;
    settings.SaveTask(store);
    EXPECT_EQ(store.values.at({"Defaults", "Task Time"}), Value(std::string("00:00")));
    Settings loaded;
    loaded.Load(store, [] { return std::string(UserFolder); });
    EXPECT_EQ(loaded.TaskTime, (ClockTime{0, 0}));
    EXPECT_TRUE(loaded.TaskWake);
}

TEST(SettingsSave, DefaultsAreWrittenAsStrings)
{
    FakeSettingsStore store;
    store.values[{"Defaults", "Update"}] = Value(std::uint32_t{5});
    Settings settings;
    settings.DataPath = "E:\\Opties\\";
    settings.Update = false;
    settings.Selection = true;
    settings.QuotesHost = "127.0.0.1:1";
    settings.SaveDefaults(store);
    EXPECT_EQ(store.values.at({"Defaults", "Data Path"}), Value(std::string("E:\\Opties\\")));
    EXPECT_EQ(store.values.at({"Defaults", "Update"}), Value(std::string("0")));
    EXPECT_EQ(store.values.at({"Defaults", "Selection"}), Value(std::string("1")));
    EXPECT_EQ(store.values.size(), 3u);
}

TEST(SettingsSave, WindowPlacesKeepTheTypeTheyWereFoundIn)
{
    FakeSettingsStore store;
    store.values[{"Main", "Left"}] = Value(std::string("250"));
    Settings settings;
    const StoredPlaces places = settings.Load(store, [] { return std::string(UserFolder); });
    EXPECT_EQ(places.Main.Left, 250);

    SaveWindowPlaces(store, {120, 260}, 640, {-20, 30});
    EXPECT_EQ(store.values.at({"Main", "Top"}), Value(std::uint32_t{120}));
    EXPECT_EQ(store.values.at({"Main", "Left"}), Value(std::string("260")));
    EXPECT_EQ(store.values.at({"Main", "Width"}), Value(std::uint32_t{640}));
    EXPECT_EQ(store.values.at({"Config", "Top"}), Value(std::uint32_t(-20)));
    EXPECT_EQ(store.values.at({"Config", "Left"}), Value(std::uint32_t{30}));

    const StoredPlaces again = settings.Load(store, [] { return std::string(UserFolder); });
    EXPECT_EQ(again.Main.Top, 120);
    EXPECT_EQ(again.Main.Left, 260);
    EXPECT_EQ(again.Config.Top, -20);
    EXPECT_EQ(again.Config.Left, 30);
}

} // namespace
