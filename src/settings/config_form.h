// The settings dialog. Its creation loads the settings and places the main
// window; its destruction stores the windows' places.
#pragma once

#include "win/button.h"
#include "win/check_box.h"
#include "win/edit.h"
#include "win/form.h"
#include "win/group_box.h"

class TConfigForm : public Form {
public:
    void Create();

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

private:
    void FormCreate();
    void FormDestroy() override;
    void OKButtonClick();
    void CancelButtonClick();
    void BrowseButtonClick();
    void UpdateButtonClick();
    void ShowSettings();

    Font buttonFont_;
};

extern TConfigForm* ConfigForm;
