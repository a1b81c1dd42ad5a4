#include "app/unattended_errors_win32.h"

#include "app/system_clock_win32.h"
#include "download/download_run.h"
#include "download/run_log.h"
#include "download/run_log_win32.h"
#include "support/text.h"
#include "win/error_handler.h"

#include <windows.h>

#include <utility>

void EndOnTopLevelErrors(std::function<std::string()> dataFolder)
{
    SetTopLevelErrorAction([dataFolder = std::move(dataFolder)](const std::string& message) {
        try {
            Win32RunLog log;
            log.Append(FolderPrefix(dataFolder()), UnexpectedErrorLogLine(TheSystemClock().Now(), message));
        } catch (...) {
            // A log that cannot be written never keeps the program from
            // ending.
        }
        ExitProcess(static_cast<UINT>(RunOutcome::UnexpectedError));
    });
}
