// Layer app, the top: start-up, the main window, automatic mode; the one
// place that knows every window and wires them together.
//
// The program's one main window: four buttons, the memo with the help text
// and the download progress, and the status line.
#pragma once

#include "download/download_run.h"
#include "download/fetch_page.h"
#include "download/quote_file_store_win32.h"
#include "download/run_lock_win32.h"
#include "download/run_log_win32.h"
#include "win/button.h"
#include "win/form.h"
#include "win/label.h"
#include "win/memo.h"
#include "win/panel.h"
#include "win/timer.h"

#include <string>

// The main window is also the download run's view: its status line, memo
// and cursor show the run's progress.
class TMainForm : public Form, private RunView {
public:
    TMainForm();
    void Create();

    std::string ProductName;
    std::string VersionText;
    std::string CopyrightText;
    // The bare name of the current or last run's quote file.
    const std::string& QuoteFileName() const { return run_.QuoteFileName(); }

    Panel Panel1;
    Button DownloadButton;
    Button InstellingenButton;
    Button InformatieButton;
    Button CloseButton;
    Memo Memo;
    Panel StatusPanel;
    Label StatusLabel;
    Timer UpdateTimer;
    Timer DownloadTimer;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FormCreate();
    void FormResize() override;
    void FormShow() override;
    void FormDestroy() override;
    void DownloadButtonClick();
    void InstellingenButtonClick();
    void InformatieButtonClick();
    void CloseButtonClick();
    void DownloadTimerTimer();
    void UpdateTimerTimer();

    void SetStatusText(const std::string& text) override;
    void ClearMemo() override;
    void AddMemoLine(const std::string& line) override;
    void ReplaceLastMemoLine(const std::string& line) override;
    bool AskYesNo(const std::string& title, const std::string& message) override;
    void ProcessMessages() override;
    void SetHourglass(bool on) override;
    void Wait(int milliseconds) override;
    void CloseMainWindow(int exitCode) override;

    Font buttonFont_;
    bool resizing_ = false;
    bool hourglass_ = false;
    // The run the download timer started in automatic mode: nobody may be
    // there to answer its question.
    bool unattended_ = false;
    bool declinedByItself_ = false;
    bool shown_ = false;
    InternetPageFetcher fetcher_;
    Win32QuoteFileStore quoteFiles_;
    Win32RunLock runLock_;
    Win32RunLog runLog_;
    DownloadRun run_;
};

extern TMainForm* MainForm;
