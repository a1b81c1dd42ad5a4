#include "ui/browse_form.h"

#include "support/resource.h"
#include "support/files.h"
#include "support/language.h"
#include "support/product.h"
#include "ui/ask_dialog.h"
#include "ui/browse_layout.h"

#include <commctrl.h>
#include <shellapi.h>
#include <winnetwk.h>

TBrowseForm* BrowseForm = nullptr;

namespace {

// BrowsePanel's lowered bevel; its children align inside it.
constexpr int BevelWidth = 2;

// While it lives, a drive without a medium answers with an error code
// instead of the system's "insert a disk" box.
class CriticalErrorsSuppressed {
public:
    CriticalErrorsSuppressed() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsSuppressed() { SetErrorMode(previous_); }
    CriticalErrorsSuppressed(const CriticalErrorsSuppressed&) = delete;
    CriticalErrorsSuppressed& operator=(const CriticalErrorsSuppressed&) = delete;

private:
    UINT previous_;
};

// Lower case as the ANSI code page has it.
std::string Lower(std::string text)
{
    if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

DriveKind KindOf(UINT type)
{
    switch (type) {
    case DRIVE_REMOVABLE:
        return DriveKind::Removable;
    case DRIVE_FIXED:
        return DriveKind::Fixed;
    case DRIVE_REMOTE:
        return DriveKind::Remote;
    case DRIVE_CDROM:
        return DriveKind::CdRom;
    case DRIVE_RAMDISK:
        return DriveKind::RamDisk;
    default:
        return DriveKind::Other;
    }
}

std::string PlainVolumeLabel(const std::string& root)
{
    char label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) return {};
    return label;
}

std::string RemoteName(const std::string& drive)
{
    char name[MAX_PATH + 1] = {};
    DWORD size = sizeof name;
    if (WNetGetConnectionA(drive.c_str(), name, &size) != NO_ERROR) return {};
    return name;
}

char LowerLetter(char letter) { return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter; }

} // namespace

void TBrowseForm::Create()
{
    BrowseForm = this;
    FormStyle style;
    style.fontFace = "Verdana";
    style.fontHeight = 17;
    CreateForm("KestromBrowseForm", "", 542, 496, style);
    buttonFont_ = Font("Arial", 15);
    labelBrush_ = GdiObject<HBRUSH>(CreateSolidBrush(RGB(255, 255, 0)));
    panel3Width_ = Scale(226);

    BrowsePanel.Create(Handle(), {0, 0, 542, 412}, Bevel::Lowered);
    BrowsePanel.SetFrame(BevelWidth, 0, false);
    Panel2.Create(BrowsePanel.Handle(), {2, 2, 538, 35});
    LabelOptions title;
    title.autoSize = false;
    titleLabel_.Create(*this, Panel2.Handle(), "", {8, 8, 350, 20}, title);
    SpeedNew.Create(*this, Panel2.Handle(), {367, 5, 26, 24}, IDB_VIEW_SMALL_COLOR, VIEW_NEWFOLDER);
    SpeedNew.OnClick = [this] { SpeedNewClick(); };
    Panel3.Create(BrowsePanel.Handle(), {2, 37, 226, 373});
    DriveComboBox.Create(*this, Panel3.Handle(), {9, 6, 216, 26});
    DriveComboBox.OnSelect = [this] { DriveComboBoxClick(); };
    DriveComboBox.OnDropDown = [this] { DriveComboBoxDropDown(); };
    Boom1.Create(*this, Panel3.Handle(), {2, 36, 215, 169});
    Boom1.SetIndent(Scale(19));
    Boom1.OnClick = [this] { Boom1Click(); };
    Boom1.OnMouseUp = [this] { Boom1MouseUp(); };
    Splitter1.Create(BrowsePanel.Handle(), {228, 37, 8, 373});
    Splitter1.OnMoved = [this](int left) {
        panel3Width_ = std::max(0, left - BevelWidth);
        FormResize();
    };
    FileListBox.Create(*this, BrowsePanel.Handle(), {236, 37, 304, 373}, "*.jpg");
    Panel1.Create(Handle(), {0, 412, 542, 84}, Bevel::None);
    LabelOptions directory;
    directory.autoSize = false;
    directory.centred = true;
    DirectoryLabel.Create(*this, Panel1.Handle(), "", {0, 9, 223, 23}, directory);
    OKBtn.Create(*this, Panel1.Handle(), "OK", {154, 43, 107, 31});
    OKBtn.SetImages(IDB_OK);
    OKBtn.OnClick = [this] { OKBtnClick(); };
    CancelBtn.Create(*this, Panel1.Handle(), "Annuleren", {274, 43, 107, 31});
    CancelBtn.SetImages(IDB_CANCEL);
    CancelBtn.OnClick = [this] { CancelBtnClick(); };
    for (Button* button : {&OKBtn, &CancelBtn}) button->SetFont(buttonFont_.Handle());
    for (Control* control : {static_cast<Control*>(&OKBtn), static_cast<Control*>(&CancelBtn),
                             static_cast<Control*>(&SpeedNew), static_cast<Control*>(&DriveComboBox)}) {
        control->SetHandCursor();
    }
    hints_.Create(Handle());
    hints_.Set(SpeedNew, Bilingual("Maak nieuwe Map aan", "Create new Folder"));
    SetDefaultButton(&OKBtn);
    SetCancelButton(&CancelBtn);
    created_ = true;

    FormCreate();
    FormResize();
}

void TBrowseForm::FormCreate()
{
    SetPosition(Scale(505), Scale(139));
    const ScreenPlace place =
        OnScreen(Top(), Left(), Height(), Width(), GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXSCREEN));
    SetPosition(place.Left, place.Top);
    lastDrive_ = 0;
    FillDriveList();
}

void TBrowseForm::FillDriveList()
{
    CriticalErrorsSuppressed quiet;
    DriveComboBox.Clear();
    const DWORD drives = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(drives & (1u << bit))) continue;
        const std::string drive = std::string(1, static_cast<char>('A' + bit)) + ":";
        const std::string root = drive + "\\";
        const DriveKind kind = KindOf(GetDriveTypeA(root.c_str()));
        if (kind == DriveKind::Other) continue;
        // Removable drives are labelled later, from the paint, so that an
        // empty card reader does not hold up the list.
        const std::string label = kind == DriveKind::Removable ? "" : Lower(PlainVolumeLabel(root));
        const std::string remote = kind == DriveKind::Remote ? Lower(RemoteName(drive)) : "";
        SHFILEINFOA info = {};
        const auto images = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA(root.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        if (images) DriveComboBox.SetImages(images);
        if (const auto entry = DriveEntry(drive[0], kind, label, remote)) DriveComboBox.Add(*entry, info.iIcon);
    }
}

void TBrowseForm::SelectDrive(char letter)
{
    const char lower = LowerLetter(letter);
    if (lower == currentDrive_) return;
    for (int index = 0; index < DriveComboBox.Count(); ++index) {
        if (DriveComboBox.ItemText(index)[0] != lower) continue;
        DriveComboBox.SetSelectedIndex(index);
        currentDrive_ = lower;
        DriveComboBoxChange();
        return;
    }
}

bool TBrowseForm::BrowseFolder(const std::string& title, std::string& path, bool showFiles)
{
    if (!showFiles) {
        Splitter1.SetVisible(false);
        FileListBox.SetVisible(false);
        panel3Width_ = ClientWidth();
        filesShown_ = false;
    } else if (!filesShown_) {
        // A list left hidden by an earlier call would hand back a file the
        // user never saw.
        Splitter1.SetVisible(true);
        FileListBox.SetVisible(true);
        panel3Width_ = Scale(226);
        filesShown_ = true;
    }
    FormResize();
    titleLabel_.SetText(title);
    if (path.empty()) path = "C:\\";
    SelectDrive(path[0]);
    Boom1.OpenPath(FolderPart(path));
    FileListBox.SetFolder(Boom1.Directory());

    ShowModal();
    if (accepted_) {
        const int file = FileListBox.SelectedIndex();
        path = ChosenPath(Boom1.Directory(), showFiles && file >= 0 ? FileListBox.ItemText(file) : "");
    }
    return accepted_;
}

LRESULT TBrowseForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == DirectoryLabel.Handle()) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 0));
        return reinterpret_cast<LRESULT>(labelBrush_.Get());
    }
    // The title bar's close box counts as Cancel.
    if (message == WM_CLOSE) accepted_ = false;
    return Form::HandleMessage(message, wParam, lParam);
}

bool TBrowseForm::FormPaint(HDC)
{
    SetCaption(std::string(ProductNameText) + Bilingual(" - Bladeren", " - Browse"));
    hints_.Set(SpeedNew, Bilingual("Maak nieuwe Map aan", "Create new Folder"));
    CancelBtn.SetText(Bilingual("Annuleren", "Cancel"));
    Boom1.Focus();
    Relabel(true);
    return false;
}

void TBrowseForm::FormResize()
{
    if (!created_) return;
    BrowseFrameInput frameInput;
    frameInput.ClientWidth = ClientWidth();
    frameInput.ClientHeight = ClientHeight();
    frameInput.Panel1Height = Scale(84);
    frameInput.Panel2Height = Scale(35);
    frameInput.Panel3Width = panel3Width_;
    frameInput.SplitterWidth = Scale(8);
    frameInput.Bevel = BevelWidth;
    frameInput.ShowFiles = filesShown_;
    const BrowseFrame frame = BrowseAlign(frameInput);
    auto place = [](auto& window, const PixelRect& rect) { window.SetBounds(rect.Left, rect.Top, rect.Width, rect.Height); };
    place(BrowsePanel, frame.BrowsePanel);
    place(Panel1, frame.Panel1);
    place(Panel2, frame.Panel2);
    place(Panel3, frame.Panel3);
    if (filesShown_) {
        place(Splitter1, frame.Splitter);
        place(FileListBox, frame.FileList);
    }

    BrowseResizeInput input;
    input.ClientWidth = ClientWidth();
    input.SpeedNewWidth = SpeedNew.Width();
    input.Panel3Width = frame.Panel3.Width;
    input.Panel3Height = frame.Panel3.Height;
    input.BoomTop = Boom1.Top();
    input.Panel1Width = frame.Panel1.Width;
    input.OKWidth = OKBtn.Width();
    input.CancelWidth = CancelBtn.Width();
    const BrowseResizeResult result = BrowseResize(input);
    SpeedNew.SetBounds(result.SpeedNewLeft, SpeedNew.Top(), SpeedNew.Width(), SpeedNew.Height());
    // The combo box's window includes its dropped-down list.
    DriveComboBox.SetBounds(result.DriveLeft, DriveComboBox.Top(), result.DriveWidth, DriveComboBox.Height());
    Boom1.SetBounds(result.BoomLeft, Boom1.Top(), result.BoomWidth, result.BoomHeight);
    DirectoryLabel.SetBounds(result.LabelLeft, DirectoryLabel.Top(), result.LabelWidth, DirectoryLabel.Height());
    OKBtn.SetBounds(result.OKLeft, OKBtn.Top(), OKBtn.Width(), OKBtn.Height());
    CancelBtn.SetBounds(result.CancelLeft, CancelBtn.Top(), CancelBtn.Width(), CancelBtn.Height());
}

void TBrowseForm::Relabel(bool sparingFloppies)
{
    CriticalErrorsSuppressed quiet;
    const int selected = DriveComboBox.SelectedIndex();
    for (int index = 0; index < DriveComboBox.Count(); ++index) {
        const std::string entry = DriveComboBox.ItemText(index);
        if (entry.empty() || !NeedsLabel(entry, sparingFloppies)) continue;
        const std::string label = VolumeLabel(entry[0]);
        if (IsVolumeLabelError(label)) continue;
        DriveComboBox.SetItemText(index, LabelledEntry(entry, Lower(label)));
    }
    DriveComboBox.SetSelectedIndex(selected);
}

void TBrowseForm::DriveComboBoxChange()
{
    if (currentDrive_ != lastDrive_) {
        Boom1.OpenPath(std::string(1, currentDrive_) + ":\\");
        lastDrive_ = currentDrive_;
    }
    Relabel(false);
}

void TBrowseForm::DriveComboBoxClick()
{
    Boom1.Focus();
    const int selected = DriveComboBox.SelectedIndex();
    if (selected < 0) return;
    const char letter = DriveComboBox.ItemText(selected)[0];
    if (letter == currentDrive_) return;
    currentDrive_ = letter;
    DriveComboBoxChange();
}

void TBrowseForm::DriveComboBoxDropDown() { Relabel(true); }

void TBrowseForm::Boom1Click() { DirectoryLabel.SetCaption(Boom1.Directory()); }

void TBrowseForm::Boom1MouseUp() { FileListBox.SetFolder(Boom1.Directory()); }

void TBrowseForm::SpeedNewClick()
{
    std::string name;
    if (!AskDlg->AskText(Top(), Left(), Height(), Width(),
                         Bilingual("Geef de naam van de nieuwe map:", "Enter Name of new Folder:"), name)) {
        return;
    }
    // The new folder is made relative to the selected one, which stays the
    // process's current directory.
    const std::string parent = Boom1.Directory();
    SetCurrentFolder(parent);
    const DWORD code = CreateDirectoryA(name.c_str(), nullptr) ? ERROR_SUCCESS : GetLastError();
    if (code == ERROR_ALREADY_EXISTS) {
        MessageBoxA(Handle(), Bilingual("Deze map bestaat reeds.", "Folder already exists."), "Open Error", MB_OK);
        return;
    }
    Boom1.OpenPath(parent + name);
}

void TBrowseForm::OKBtnClick()
{
    if (FileListBox.SelectedIndex() < 0 && FileListBox.Count() > 0) FileListBox.SetSelectedIndex(0);
    accepted_ = true;
    SetModalResult(mrOk);
}

void TBrowseForm::CancelBtnClick()
{
    accepted_ = false;
    SetModalResult(mrCancel);
}
