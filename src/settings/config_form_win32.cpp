#include "settings/config_form.h"

#include "app/main_form.h"
#include "settings/registry_store_win32.h"
#include "settings/settings.h"
#include "support/system_info.h"

TConfigForm* ConfigForm = nullptr;

void TConfigForm::Create()
{
    ConfigForm = this;
    FormStyle style;
    style.style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
    style.exStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
    CreateForm("KestromConfigForm", "", 697, 361, style);
    buttonFont_ = Font("Verdana", 17);

    FilesBox.Create(*this, Handle(), " Pad voor bestanden ", {18, 18, 661, 82});
    PathEdit.Create(*this, Handle(), "", FilesBox.Inside({27, 30, 486, 30}));
    BrowseButton.Create(*this, Handle(), "Bladeren", FilesBox.Inside({547, 30, 95, 29}));
    UpdateBox.Create(*this, Handle(), " Updates ", {18, 117, 661, 82});
    UpdateCheck.Create(*this, Handle(), "Automatische Updates Aan", UpdateBox.Inside({27, 30, 287, 20}));
    UpdateCheck.SetChecked(true);
    UpdateButton.Create(*this, Handle(), "Update nu", UpdateBox.Inside({531, 29, 108, 29}));
    Selectie.Create(*this, Handle(), " Selectie ", {18, 216, 661, 82});
    RadioAEX.Create(*this, Handle(), "Alleen AEX-opties", Selectie.Inside({18, 27, 289, 19}), true);
    RadioAlles.Create(*this, Handle(), "Alle opties", Selectie.Inside({18, 51, 235, 19}), false);
    RadioAlles.SetChecked(true);
    OKButton.Create(*this, Handle(), "OK", {203, 315, 108, 28});
    CancelButton.Create(*this, Handle(), "Annuleren", {329, 315, 108, 28});
    for (Button* button : {&BrowseButton, &UpdateButton, &OKButton, &CancelButton}) button->SetFont(buttonFont_.Handle());

    OKButton.OnClick = [this] { OKButtonClick(); };
    CancelButton.OnClick = [this] { CancelButtonClick(); };
    BrowseButton.OnClick = [this] { BrowseButtonClick(); };
    UpdateButton.OnClick = [this] { UpdateButtonClick(); };
    SetDefaultButton(&OKButton);

    FormCreate();
}

void TConfigForm::FormCreate()
{
    SetCaption(MainForm->ProductName + " - Instellingen");

    RegistryStore store(MainForm->ProductName);
    const StoredPlaces places =
        CurrentSettings.Load(store, [] { return UserDataFolder(MainForm->ProductName); });
    MainForm->SetPosition(places.Main.Left, places.Main.Top);
    SetPosition(places.Config.Left, places.Config.Top);
    ShowSettings();

    // The client area follows the controls: the group boxes' left margin on
    // the right and below the buttons; Cancel mirrors OK's margin.
    const int margin = FilesBox.Left();
    const int width = margin + FilesBox.Width() + margin;
    SetClientSize(width, OKButton.Top() + OKButton.Height() + margin);
    CancelButton.SetBounds(width - OKButton.Left() - CancelButton.Width(), CancelButton.Top(), CancelButton.Width(),
                           CancelButton.Height());
}

void TConfigForm::ShowSettings()
{
    PathEdit.SetText(CurrentSettings.DataPath);
    UpdateCheck.SetChecked(CurrentSettings.Update);
    RadioAlles.SetChecked(CurrentSettings.Selection);
    RadioAEX.SetChecked(!RadioAlles.Checked());
}

void TConfigForm::FormDestroy()
{
    RegistryStore store(MainForm->ProductName);
    SaveWindowPlaces(store, {MainForm->Top(), MainForm->Left()}, MainForm->ClientWidth(), {Top(), Left()});
}

void TConfigForm::OKButtonClick()
{
    // The folder is taken exactly as typed: nothing is checked or added.
    CurrentSettings.DataPath = PathEdit.Text();
    CurrentSettings.Update = UpdateCheck.Checked();
    CurrentSettings.Selection = RadioAlles.Checked();
    RegistryStore store(MainForm->ProductName);
    CurrentSettings.SaveDefaults(store);
    SetModalResult(mrOk);
}

void TConfigForm::CancelButtonClick()
{
    ShowSettings();
    SetModalResult(mrCancel);
}

void TConfigForm::BrowseButtonClick() {}

void TConfigForm::UpdateButtonClick() {}
