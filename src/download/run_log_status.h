// The status line the next morning: what the last automatic run did, read
// from the run logs (the data folder's and the fallback one).
#pragma once

#include "download/run_log.h"

#include <string>
#include <string_view>
#include <vector>

// The line an automatic run writes when it starts, ending in CR LF: a run
// that never ends (ended by the Task Scheduler's time limit, a PC switched
// off) leaves only this one.
std::string RunLogStartLine(const LocalDateTime& start);

// "Laatste automatische download: di 08-12-2026 22:00, alle koersen van 28
// fondsen", or how else the newest automatic run in logs ended; empty when
// the logs hold none.
std::string LastAutomaticRunStatus(const std::vector<std::string>& logs);
