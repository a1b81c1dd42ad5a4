#include "ui/config_form.h"

#include "settings/registry_store_win32.h"
#include "settings/settings.h"
#include "support/evening_task.h"
#include "support/product.h"
#include "support/system_info.h"
#include "support/task_scheduler_win32.h"
#include "ui/browse_form.h"
#include "ui/config_layout.h"
#include "ui/message_form.h"

TConfigForm* ConfigForm = nullptr;

namespace {

// A stored place that no screen shows (a monitor that is gone, a damaged
// value) would hide the window for good: it opens where a first run puts it.
WindowPlace OnAScreen(const WindowPlace& place, const Form& form)
{
    const RECT rect = {place.Left, place.Top, place.Left + form.Width(), place.Top + form.Height()};
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) ? place : WindowPlace{};
}

// Paths go into the ANSI texts of the dialog as the code page gives them.
std::string Narrow(const std::wstring& text)
{
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// A program started from a download folder, an archive or a USB stick may
// be gone by the evening.
const char* PlaceWarning(const std::wstring& program)
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length > 0 && length <= MAX_PATH && program.size() > length && _wcsnicmp(program.c_str(), temp, length) == 0)
        return " (let op: dit programma staat in een tijdelijke map)";
    if (program.size() >= 3 && program[1] == L':') {
        const std::wstring root = program.substr(0, 3);
        if (GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE)
            return " (let op: dit programma staat op een verwisselbare schijf)";
    }
    return "";
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
    CreateForm("KestromConfigForm", "", 697, 460, style);
    buttonFont_ = Font("Verdana", 17);

    // Created in the tab order: the files group, the updates group, OK,
    // Cancel, the selection group, the evening run's group.
    FilesBox.Create(*this, Handle(), " Pad voor bestanden ", {18, 18, 661, 82});
    PathEdit.Create(*this, Handle(), "", FilesBox.Inside({27, 30, 486, 30}));
    PathEdit.DisableAutoSelect();
    BrowseButton.Create(*this, Handle(), "Bladeren", FilesBox.Inside({547, 30, 95, 29}));
    UpdateBox.Create(*this, Handle(), " Updates ", {18, 117, 661, 82});
    UpdateCheck.Create(*this, Handle(), "Automatische Updates Aan", UpdateBox.Inside({27, 30, 287, 20}));
    UpdateCheck.SetChecked(true);
    UpdateButton.Create(*this, Handle(), "Update nu", UpdateBox.Inside({531, 29, 108, 29}));
    OKButton.Create(*this, Handle(), "OK", {203, 414, 108, 28});
    CancelButton.Create(*this, Handle(), "Annuleren", {329, 414, 108, 28});
    Selectie.Create(*this, Handle(), " Selectie ", {18, 216, 661, 82});
    RadioAEX.Create(*this, Handle(), "Alleen AEX-opties", Selectie.Inside({18, 27, 289, 19}), true);
    RadioAlles.Create(*this, Handle(), "Alle opties", Selectie.Inside({18, 51, 235, 19}), false);
    RadioAlles.SetChecked(true);
    AutoBox.Create(*this, Handle(), " Automatisch downloaden ", {18, 315, 661, 82});
    AutoCheck.Create(*this, Handle(), "Elke handelsdag automatisch downloaden om", AutoBox.Inside({18, 20, 412, 20}));
    AutoTimeEdit.Create(*this, Handle(), ClockTimeText(ClockTime{}), AutoBox.Inside({434, 17, 70, 26}));
    AutoTimeEdit.DisableAutoSelect();
    WakeCheck.Create(*this, Handle(), "De computer hiervoor uit de slaapstand halen", AutoBox.Inside({18, 44, 420, 20}));
    ProgramLabel.Create(*this, Handle(), "", AutoBox.Inside({18, 64, 0, 0}));
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

void TConfigForm::FormShow() { ShowTask(); }

// What the Task Scheduler holds now: a task deleted, or not registered,
// behind the dialog's back shows unticked.
void TConfigForm::ShowTask()
{
    const ScheduledTaskState task = ReadScheduledTask(EveningTaskName(CurrentUserSid()));
    schedulerAvailable_ = task.available;
    for (Control* control : std::initializer_list<Control*>{&AutoBox, &AutoCheck, &AutoTimeEdit, &WakeCheck})
        control->SetEnabled(task.available);
    if (!task.available) {
        AutoCheck.SetChecked(false);
        ProgramLabel.SetCaption("Hiervoor is de Taakplanner van Windows Vista of later nodig");
        return;
    }
    AutoCheck.SetChecked(task.exists);
    // Not every Task Scheduler gives the trigger back: the time comes from
    // the settings, the wake switch from the task where there is one.
    AutoTimeEdit.SetText(ClockTimeText(CurrentSettings.TaskTime));
    WakeCheck.SetChecked(task.exists ? task.wake : CurrentSettings.TaskWake);
    const std::wstring running = RunningProgramPath();
    if (task.exists && !task.source.empty() && !SamePath(task.source, running)) {
        ProgramLabel.SetCaption("De taak start " + Narrow(task.source) + " (let op: niet dit programma)");
        return;
    }
    ProgramLabel.SetCaption("De taak start " + Narrow(running) + PlaceWarning(running));
}

// Takes the evening run's time and wake switch; false when the time is no
// time, which keeps the dialog open with nothing stored.
bool TConfigForm::AcceptTask()
{
    const std::optional<ClockTime> time = ParseClockTime(AutoTimeEdit.Text());
    // A time is only asked for when the run is switched on.
    if (!time && AutoCheck.Checked()) {
        MessageForm->ShowMessageWindow(Top(), Left(), Height(), Width(), "Dat is geen tijd: " + AutoTimeEdit.Text(),
                                       "Typ uren en minuten, bijvoorbeeld 22:00", 5000);
        return false;
    }
    if (time) CurrentSettings.TaskTime = *time;
    CurrentSettings.TaskWake = WakeCheck.Checked();
    return true;
}

void TConfigForm::FormDestroy()
{
    RegistryStore store(ProductNameText);
    SaveWindowPlaces(store, {mainWindow_->Top(), mainWindow_->Left()}, mainWindow_->ClientWidth(),
                     {Top(), Left()});
}

void TConfigForm::OKButtonClick()
{
    if (!AcceptTask()) return;
    // The folder is taken exactly as typed: nothing is checked or added.
    CurrentSettings.DataPath = PathEdit.Text();
    CurrentSettings.Update = UpdateCheck.Checked();
    CurrentSettings.Selection = RadioAlles.Checked();
    RegistryStore store(ProductNameText);
    CurrentSettings.SaveDefaults(store);
    CurrentSettings.SaveTask(store);
    if (schedulerAvailable_) {
        const std::wstring name = EveningTaskName(CurrentUserSid());
        std::optional<std::string> failure;
        if (AutoCheck.Checked()) {
            const auto xml = EveningTaskXml(
                {RunningProgramPath(), CurrentUserSid(), CurrentSettings.TaskTime, CurrentSettings.TaskWake});
            failure = xml ? RegisterScheduledTask(name, *xml)
                          : std::optional<std::string>("het pad van dit programma is te lang voor een taak");
        } else {
            failure = DeleteScheduledTask(name);
        }
        if (failure)
            MessageForm->ShowMessageWindow(Top(), Left(), Height(), Width(),
                                           "De automatische download kon niet worden ingesteld:", *failure, 8000);
    }
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
