// The run logs as they are now, for the status line the next morning.
#pragma once

#include <string>
#include <vector>

// The texts of the data folder's run log and the fallback one; a log that
// is missing or cannot be read gives nothing.
std::vector<std::string> ReadRunLogs(const std::string& dataFolder);
