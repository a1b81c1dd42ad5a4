// The program's one main window: four buttons, the memo with the help text
// and the download progress, and the status line.
#pragma once

#include "win/button.h"
#include "win/form.h"
#include "win/label.h"
#include "win/memo.h"
#include "win/panel.h"
#include "win/timer.h"

#include <string>

class TMainForm : public Form {
public:
    void Create();

    std::string ProductName;
    std::string VersionText;
    std::string CopyrightText;
    std::string QuoteFileName;
    bool HeaderPending = false;

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
    void FormCreate();
    void FormResize() override;
    void FormDestroy() override;
    void DownloadButtonClick();
    void InstellingenButtonClick();
    void InformatieButtonClick();
    void CloseButtonClick();
    void DownloadTimerTimer();
    void UpdateTimerTimer();

    Font buttonFont_;
    bool resizing_ = false;
};

extern TMainForm* MainForm;
