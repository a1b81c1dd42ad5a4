// The run log in the data folder, and in the user's local application data
// folder when the data folder cannot be written.
#pragma once

#include "download/run_log.h"

// Kestrom's folder in the user's local application data folder, ending in
// "\"; empty when the system names none.
std::string FallbackRunLogFolder();

class Win32RunLog : public RunLog {
public:
    void Append(const std::string& dataFolder, const std::string& line) override;
    FileBesideLog WriteBeside(const std::string& dataFolder, const std::string& fileName,
                              std::string_view text) override;
};
