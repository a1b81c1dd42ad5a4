// A drop-down list whose entries show an image beside their text (the
// extended combo box): entries keep their image when their text changes.
#pragma once

#include "win/control.h"

#include <commctrl.h>

#include <functional>
#include <string>

class ImageComboBox : public Control {
public:
    // rect's height is the closed list's; the dropped-down list is taller.
    void Create(Form& owner, HWND parent, const DesignRect& rect, int designDensity = 120);
    // The list does not own images; a shared list (the system's) stays valid.
    void SetImages(HIMAGELIST images);
    void Clear();
    void Add(const std::string& text, int image);
    int Count() const;
    std::string ItemText(int index) const;
    void SetItemText(int index, const std::string& text);
    // -1 when nothing is selected.
    int SelectedIndex() const;
    // Selecting from code raises no OnSelect.
    void SetSelectedIndex(int index);
    bool DroppedDown() const;

    // The user picked an entry.
    std::function<void()> OnSelect;
    // The list is about to drop down.
    std::function<void()> OnDropDown;

    void Command(WORD code) override;
};
