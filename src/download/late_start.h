// A run the program's own task started late: it downloads only while the
// site still shows the quotes of the evening it was meant for.
#pragma once

#include "download/local_date_time.h"
#include "support/clock_time.h"

// The start of the task (Monday to Friday at time) that a run started at
// now belongs to: the last one not after now. A clock a few minutes behind
// the scheduler's still counts as on time.
LocalDateTime ScheduledStartOf(const ClockTime& time, const LocalDateTime& now);

// True when the trading date at now is not the trading date of the start
// the run belongs to: the PC was off all night, and the site's quotes now
// belong to another day than that evening's.
bool IsMissedEvening(const ClockTime& time, const LocalDateTime& now);
