#include "ui/config_form.h"

#include "settings/registry_store_win32.h"
#include "settings/settings.h"
#include "support/product.h"
#include "support/system_info.h"
#include "ui/browse_form.h"
#include "ui/config_layout.h"

TConfigForm* ConfigForm = nullptr;

namespace {

// A stored place that no screen shows (a monitor that is gone, a damaged
// value) would hide the window for good: it opens where a first run puts it.
WindowPlace OnAScreen(const WindowPlace& place, const Form& form)
{
    const RECT rect = {place.Left, place.Top, place.Left + form.Width(), place.Top + form.Height()};
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) ? place : WindowPlace{};
}

} // namespace

void TConfigForm::Create(Form& mainWindow, UpdateNowAction updateNow)
{
    ConfigForm = this;
    mainWindow_ = &mainWindow;
    updateNow_ = std::move(updateNow);
    FormStyle style;
    // No WS_CLIPCHILDREN: the group boxes leave their inside to the form.
    style.style = WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    style.exStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
    CreateForm("KestromConfigForm", "", 697, 361, style);
    buttonFont_ = Font("Verdana", 17);

    // Created in the tab order: the files group, the updates group, OK,
    // Cancel, the selection group.
    FilesBox.Create(*this, Handle(), " Pad voor bestanden ", {18, 18, 661, 82});
    PathEdit.Create(*this, Handle(), "", FilesBox.Inside({27, 30, 486, 30}));
    PathEdit.DisableAutoSelect();
    BrowseButton.Create(*this, Handle(), "Bladeren", FilesBox.Inside({547, 30, 95, 29}));
    UpdateBox.Create(*this, Handle(), " Updates ", {18, 117, 661, 82});
    UpdateCheck.Create(*this, Handle(), "Automatische Updates Aan", UpdateBox.Inside({27, 30, 287, 20}));
    UpdateCheck.SetChecked(true);
    UpdateButton.Create(*this, Handle(), "Update nu", UpdateBox.Inside({531, 29, 108, 29}));
    OKButton.Create(*this, Handle(), "OK", {203, 315, 108, 28});
    CancelButton.Create(*this, Handle(), "Annuleren", {329, 315, 108, 28});
    Selectie.Create(*this, Handle(), " Selectie ", {18, 216, 661, 82});
    RadioAEX.Create(*this, Handle(), "Alleen AEX-opties", Selectie.Inside({18, 27, 289, 19}), true);
    RadioAlles.Create(*this, Handle(), "Alle opties", Selectie.Inside({18, 51, 235, 19}), false);
    RadioAlles.SetChecked(true);
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
    SetCaption(std::string(ProductNameText) + " - Instellingen");

    RegistryStore store(ProductNameText);
    const StoredPlaces places =
        CurrentSettings.Load(store, [] { return UserDataFolder(ProductNameText); });
    const WindowPlace main = OnAScreen(places.Main, *mainWindow_);
    const WindowPlace config = OnAScreen(places.Config, *this);
    mainWindow_->SetPosition(main.Left, main.Top);
    SetPosition(config.Left, config.Top);
    ShowSettings();

    // The client area follows the controls: the group boxes' left margin on
    // the right and below the buttons; Cancel mirrors OK's margin.
    const ConfigSize size = ConfigFormSize(FilesBox.Left(), FilesBox.Width(), OKButton.Left(), OKButton.Top(),
                                           OKButton.Height(), CancelButton.Width());
    SetClientSize(size.ClientWidth, size.ClientHeight);
    CancelButton.SetBounds(size.CancelLeft, CancelButton.Top(), CancelButton.Width(), CancelButton.Height());
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
    RegistryStore store(ProductNameText);
    SaveWindowPlaces(store, {mainWindow_->Top(), mainWindow_->Left()}, mainWindow_->ClientWidth(),
                     {Top(), Left()});
}

void TConfigForm::OKButtonClick()
{
    // The folder is taken exactly as typed: nothing is checked or added.
    CurrentSettings.DataPath = PathEdit.Text();
    CurrentSettings.Update = UpdateCheck.Checked();
    CurrentSettings.Selection = RadioAlles.Checked();
    RegistryStore store(ProductNameText);
    CurrentSettings.SaveDefaults(store);
    SetModalResult(mrOk);
}

void TConfigForm::CancelButtonClick()
{
    ShowSettings();
    SetModalResult(mrCancel);
}

void TConfigForm::BrowseButtonClick()
{
    // Browsing always starts at C:\, whatever the data folder is; nothing
    // is stored before OK.
    std::string path;
    if (BrowseForm->BrowseFolder("Selecteer Pad voor Bestanden", path, false)) PathEdit.SetText(path);
}

void TConfigForm::UpdateButtonClick() { updateNow_({Top(), Left(), Height(), Width()}); }
