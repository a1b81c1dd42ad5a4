// The files of one folder that match a mask, each with the shell's small
// image for its kind, one selectable at a time.
#pragma once

#include "win/control.h"

#include <string>

class FileListBox : public Control {
public:
    void Create(Form& owner, HWND parent, const DesignRect& rect, const std::string& mask,
                int designDensity = 120);
    // folder ends in "\" or not; an unreadable folder gives an empty list.
    void SetFolder(const std::string& folder);
    const std::string& Folder() const { return folder_; }
    int Count() const;
    // -1 when nothing is selected.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    std::string ItemText(int index) const;

private:
    std::string mask_;
    std::string folder_;
};
