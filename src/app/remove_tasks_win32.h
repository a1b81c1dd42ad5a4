// What the uninstaller starts the program for before it removes it.
#pragma once

// Removes every user's evening task that starts this program (and no other
// task): the process's exit code, 0 when none is left.
int RemoveOwnEveningTasks();
