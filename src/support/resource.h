// Resource identifiers shared by kestrom.rc and the code.
#pragma once

#define IDI_KESTROM 1
#define IDB_DOWNLOAD 101
#define IDB_DOWNLOAD_DISABLED 102
#define IDB_SETTINGS 103
#define IDB_SETTINGS_DISABLED 104
#define IDB_INFORMATION 105
#define IDB_INFORMATION_DISABLED 106
#define IDB_CLOSE 107
// Buttons of the yes/no, message and input dialogs.
#define IDB_OK 120
#define IDB_CANCEL 121
#define IDB_ABORT 122
#define IDB_ABORT_DISABLED 123
// Buttons of the information window.
#define IDB_MAIL 140
#define IDB_HOME 141
#define IDB_AUTHOR 142
#define IDB_AUTHOR_DISABLED 143
