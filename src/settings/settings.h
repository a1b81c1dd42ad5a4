// Layer settings, above win and beside download: the settings model and
// its registry store; no windows.
//
// The program's settings in memory, and how they are loaded from and saved
// to the settings store. Only the settings dialog changes them.
#pragma once

#include "settings/settings_store.h"
#include "support/clock_time.h"

#include <functional>
#include <string>

// Where the program's servers are when the store names none. The program
// never writes these values; tests and the demo set them to 127.0.0.1:port.
inline constexpr char DefaultQuotesHost[] = "koersen.kestrom.nl";
inline constexpr char DefaultUpdateHost[] = "www.kestrom.nl";

// Top-left corner of a window in screen pixels.
struct WindowPlace {
    int Top = 100;
    int Left = 100;
};

// The places Load finds for the main window and the settings dialog.
struct StoredPlaces {
    WindowPlace Main;
    WindowPlace Config;
};

struct Settings {
    std::string DataPath;   // folder of the quote files, normally ending in "\"
    bool Update = true;     // "Automatische Updates Aan"
    bool Selection = true;  // true: all options; false: the AEX funds only
    std::string QuotesHost = DefaultQuotesHost; // host[:port]
    std::string UpdateHost = DefaultUpdateHost; // host[:port]
    // The evening run's time and wake switch, kept here as well as in the
    // task: not every Task Scheduler gives a task's trigger back.
    ClockTime TaskTime;     // 22:00 unless stored
    bool TaskWake = false;

    // Reads every setting. The main window's place is never negative (a
    // negative edge becomes 100); the dialog's is taken as stored. When no
    // data folder is stored, defaultDataFolder() gives it and it is written
    // to the store at once.
    StoredPlaces Load(SettingsStore& store, const std::function<std::string()>& defaultDataFolder);

    // Writes "Data Path", "Update" and "Selection" (the dialog's OK).
    void SaveDefaults(SettingsStore& store) const;

    // Writes "Task Time" ("22:00") and "Task Wake".
    void SaveTask(SettingsStore& store) const;
};

// Writes the windows' places at program end; the main window's client
// width is stored but never read back.
void SaveWindowPlaces(SettingsStore& store, const WindowPlace& main, int mainClientWidth,
                      const WindowPlace& config);

// The one instance the program runs with.
extern Settings CurrentSettings;
