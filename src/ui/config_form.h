// The settings dialog. Its creation loads the settings and places the
// program's main window; its destruction stores the windows' places.
#pragma once

#include "ui/dialog_layout.h"
#include "win/button.h"
#include "win/check_box.h"
#include "win/edit.h"
#include "win/form.h"
#include "win/group_box.h"
#include "win/label.h"

#include <functional>

class TConfigForm : public Form {
public:
    // "Update nu": checks for a newer version at once, its window centred on
    // the dialog (outer rectangle in screen pixels).
    using UpdateNowAction = std::function<void(const CallerRect& dialog)>;

    // mainWindow is the window the dialog places and whose place it stores;
    // it must exist until this dialog is destroyed.
    void Create(Form& mainWindow, UpdateNowAction updateNow);

    GroupBox FilesBox;
    Edit PathEdit;
    Button BrowseButton;
    GroupBox UpdateBox;
    CheckBox UpdateCheck;
    Button UpdateButton;
    Button OKButton;
    Button CancelButton;
    GroupBox Selectie;
    RadioButton RadioAEX;
    RadioButton RadioAlles;
    GroupBox AutoBox;
    CheckBox AutoCheck;
    Edit AutoTimeEdit;
    CheckBox WakeCheck;
    Label ProgramLabel;

private:
    void FormCreate();
    void FormDestroy() override;
    void OKButtonClick();
    void CancelButtonClick();
    void BrowseButtonClick();
    void UpdateButtonClick();
    void ShowSettings();
    void FormShow() override;
    void ShowTask();
    bool AcceptTask();

    Form* mainWindow_ = nullptr;
    UpdateNowAction updateNow_;
    Font buttonFont_;
    bool schedulerAvailable_ = false;
};

extern TConfigForm* ConfigForm;
