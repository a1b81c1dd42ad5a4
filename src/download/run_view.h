// What the download run shows and asks in the main window.
#pragma once

#include <string>

class RunView {
public:
    virtual ~RunView() = default;

    virtual void SetStatusText(const std::string& text) = 0;
    virtual void ClearMemo() = 0;
    virtual void AddMemoLine(const std::string& line) = 0;
    virtual void ReplaceLastMemoLine(const std::string& line) = 0;

    // The yes/no dialog with the buttons "Ja" and "Nee", centred on the main
    // window; true only for "Ja".
    virtual bool AskYesNo(const std::string& title, const std::string& message) = 0;

    // Lets pending window messages (timers, button presses, painting)
    // through; the run calls it at its fixed points only.
    virtual void ProcessMessages() = 0;

    // The hourglass cursor over the download button and the memo.
    virtual void SetHourglass(bool on) = 0;

    // Waits without processing window messages.
    virtual void Wait(int milliseconds) = 0;

    // Closes the main window, which ends the program with exitCode.
    virtual void CloseMainWindow(int exitCode) = 0;
};
