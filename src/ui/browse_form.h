// The folder browser: a drive list, the directory tree, an optional file
// list, a button that makes a new folder, OK and Cancel. Created once and
// opened through BrowseFolder.
#pragma once

#include "support/unique_handle_win32.h"
#include "ui/directory_tree.h"
#include "win/button.h"
#include "win/file_list_box.h"
#include "win/form.h"
#include "win/hints.h"
#include "win/image_combo_box.h"
#include "win/label.h"
#include "win/panel.h"
#include "win/speed_button.h"
#include "win/splitter.h"

#include <string>

class TBrowseForm : public Form {
public:
    void Create();

    // Shows the browser modally at path (empty: "C:\"); true when OK closed
    // it, and path is then the chosen folder ending in "\", followed by the
    // chosen file when showFiles is true. Cancel and the title bar's close
    // box give false and leave path as it was (empty having become "C:\").
    bool BrowseFolder(const std::string& title, std::string& path, bool showFiles);

    bool Accepted() const { return accepted_; }
    // The title shown in the bar above the tree.
    std::string Panel2Caption() const { return titleLabel_.Text(); }

    Panel BrowsePanel;
    Panel Panel2;
    SpeedButton SpeedNew;
    Panel Panel3;
    ImageComboBox DriveComboBox;
    TBoom Boom1;
    Splitter Splitter1;
    FileListBox FileListBox;
    Panel Panel1;
    Label DirectoryLabel;
    Button OKBtn;
    Button CancelBtn;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FormCreate();
    bool FormPaint(HDC dc) override;
    void FormResize() override;
    void FillDriveList();
    void SelectDrive(char letter);
    void Relabel(bool sparingFloppies);
    void DriveComboBoxChange();
    void DriveComboBoxClick();
    void DriveComboBoxDropDown();
    void Boom1Click();
    void Boom1MouseUp();
    void SpeedNewClick();
    void OKBtnClick();
    void CancelBtnClick();

    Label titleLabel_;
    Hints hints_;
    Font buttonFont_;
    GdiObject<HBRUSH> labelBrush_;
    bool accepted_ = false;
    // The drive whose tree the drive list's change built last; 0 at first.
    char lastDrive_ = 0;
    // The letter of the drive list's selected entry, in lower case.
    char currentDrive_ = 0;
    // Panel3's width in pixels; the splitter changes it.
    int panel3Width_ = 0;
    bool filesShown_ = true;
    bool created_ = false;
};

extern TBrowseForm* BrowseForm;
