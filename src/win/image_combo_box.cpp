#include "win/image_combo_box.h"

#include "win/scaling.h"

void ImageComboBox::Create(Form& owner, HWND parent, const DesignRect& rect, int designDensity)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);
    // The window's height includes the dropped-down list: room for a full
    // alphabet of drives.
    DesignRect window = rect;
    window.height = rect.height * 10;
    CreateControl(owner, parent, WC_COMBOBOXEXA, "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                  window, designDensity);
}

void ImageComboBox::SetImages(HIMAGELIST images)
{
    SendMessageA(Handle(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

void ImageComboBox::Clear() { SendMessageA(Handle(), CB_RESETCONTENT, 0, 0); }

void ImageComboBox::Add(const std::string& text, int image)
{
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = -1;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    item.iSelectedImage = image;
    SendMessageA(Handle(), CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int ImageComboBox::Count() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)); }

std::string ImageComboBox::ItemText(int index) const
{
    char text[MAX_PATH + 64] = {};
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!SendMessageA(Handle(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return {};
    return item.pszText;
}

void ImageComboBox::SetItemText(int index, const std::string& text)
{
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(Handle(), CBEM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int ImageComboBox::SelectedIndex() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void ImageComboBox::SetSelectedIndex(int index) { SendMessageA(Handle(), CB_SETCURSEL, index, 0); }

bool ImageComboBox::DroppedDown() const { return SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

void ImageComboBox::Command(WORD code)
{
    if (code == CBN_SELCHANGE && OnSelect) OnSelect();
    if (code == CBN_DROPDOWN && OnDropDown) OnDropDown();
}
