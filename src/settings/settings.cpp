#include "settings/settings.h"

#include "settings/settings_encoding.h"

Settings CurrentSettings;

namespace {

constexpr char MainKey[] = "Main";
constexpr char ConfigKey[] = "Config";
constexpr char DefaultsKey[] = "Defaults";

constexpr char TopValue[] = "Top";
constexpr char LeftValue[] = "Left";
constexpr char WidthValue[] = "Width";
constexpr char DataPathValue[] = "Data Path";
constexpr char UpdateValue[] = "Update";
constexpr char SelectionValue[] = "Selection";
constexpr char QuotesHostValue[] = "Quotes Host";
constexpr char UpdateHostValue[] = "Update Host";
constexpr char TaskTimeValue[] = "Task Time";
constexpr char TaskWakeValue[] = "Task Wake";

constexpr int DefaultEdge = 100;

// Only the main window is kept from starting above or left of the screen;
// the dialog is placed as stored.
int VisibleEdge(int edge) { return edge < 0 ? DefaultEdge : edge; }

std::string HostOrDefault(SettingsStore& store, const char* name, const char* defaultHost)
{
    std::string host = ReadText(store, DefaultsKey, name);
    return host.empty() ? defaultHost : host;
}

} // namespace

StoredPlaces Settings::Load(SettingsStore& store, const std::function<std::string()>& defaultDataFolder)
{
    StoredPlaces places;
    places.Main.Top = VisibleEdge(ReadInteger(store, MainKey, TopValue, DefaultEdge));
    places.Main.Left = VisibleEdge(ReadInteger(store, MainKey, LeftValue, DefaultEdge));
    places.Config.Top = ReadInteger(store, ConfigKey, TopValue, DefaultEdge);
    places.Config.Left = ReadInteger(store, ConfigKey, LeftValue, DefaultEdge);

    DataPath = ReadText(store, DefaultsKey, DataPathValue);
    if (DataPath.empty()) {
        DataPath = defaultDataFolder();
        WriteText(store, DefaultsKey, DataPathValue, DataPath);
    }
    Update = ReadBoolean(store, DefaultsKey, UpdateValue, true);
    Selection = ReadBoolean(store, DefaultsKey, SelectionValue, true);

    QuotesHost = HostOrDefault(store, QuotesHostValue, DefaultQuotesHost);
    UpdateHost = HostOrDefault(store, UpdateHostValue, DefaultUpdateHost);
    // A time that is no time (edited by hand) leaves the default.
    TaskTime = ParseClockTime(ReadText(store, DefaultsKey, TaskTimeValue)).value_or(ClockTime{});
    TaskWake = ReadBoolean(store, DefaultsKey, TaskWakeValue, false);
    return places;
}

void Settings::SaveDefaults(SettingsStore& store) const
{
    WriteText(store, DefaultsKey, DataPathValue, DataPath);
    WriteBoolean(store, DefaultsKey, UpdateValue, Update);
    WriteBoolean(store, DefaultsKey, SelectionValue, Selection);
}

void Settings::SaveTask(SettingsStore& store) const
{
    WriteText(store, DefaultsKey, TaskTimeValue, ClockTimeText(TaskTime));
    WriteBoolean(store, DefaultsKey, TaskWakeValue, TaskWake);
}

void SaveWindowPlaces(SettingsStore& store, const WindowPlace& main, int mainClientWidth, const WindowPlace& config)
{
    WriteInteger(store, MainKey, TopValue, main.Top);
    WriteInteger(store, MainKey, LeftValue, main.Left);
    WriteInteger(store, MainKey, WidthValue, mainClientWidth);
    WriteInteger(store, ConfigKey, TopValue, config.Top);
    WriteInteger(store, ConfigKey, LeftValue, config.Left);
}
