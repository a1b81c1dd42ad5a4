#include "win/file_list_box.h"

#include "support/unique_handle_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

void FileListBox::Create(Form& owner, HWND parent, const DesignRect& rect, const std::string& mask,
                         int designDensity)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    mask_ = mask;
    // The system's image list is shared by every program: the list must
    // not destroy it.
    CreateControl(owner, parent, WC_LISTVIEWA, "",
                  WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                      LVS_SHAREIMAGELISTS,
                  0, rect, designDensity);
    SHFILEINFOA info = {};
    const auto images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("x.jpg", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void FileListBox::SetFolder(const std::string& folder)
{
    folder_ = folder;
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry = {};
    const FindHandle find(FindFirstFileA((prefix + mask_).c_str(), &entry));
    if (find) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(entry.cFileName);
        } while (FindNextFileA(find.Get(), &entry));
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });

    SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
    for (const std::string& name : names) {
        SHFILEINFOA info = {};
        SHGetFileInfoA(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = Count();
        item.pszText = const_cast<char*>(name.c_str());
        item.iImage = info.iIcon;
        SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

int FileListBox::Count() const { return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

int FileListBox::SelectedIndex() const
{
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void FileListBox::SetSelectedIndex(int index)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

std::string FileListBox::ItemText(int index) const
{
    char text[MAX_PATH + 1] = {};
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    const auto length = SendMessageA(Handle(), LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    return std::string(text, static_cast<std::size_t>(length));
}
