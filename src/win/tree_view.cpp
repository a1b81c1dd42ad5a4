#include "win/tree_view.h"

#include "win/error_handler.h"

#include <vector>

TreeView::~TreeView()
{
    if (Handle()) RemoveWindowSubclass(Handle(), SubclassProc, 0);
}

void TreeView::Create(Form& owner, HWND parent, const DesignRect& rect, int designDensity)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CreateControl(owner, parent, WC_TREEVIEWA, "",
                  WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                      TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                  0, rect, designDensity);
    // Key releases and mouse clicks arrive at the tree itself, not at the form.
    SetWindowSubclass(Handle(), SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

HTREEITEM TreeView::AddChild(HTREEITEM parent, const std::string& text)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    const auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    // The item's own handle as its parameter: the sort callback sees only
    // parameters and reads the texts through them.
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    data.lParam = reinterpret_cast<LPARAM>(item);
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return item;
}

void TreeView::DeleteItem(HTREEITEM item) { SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)); }

void TreeView::Clear() { SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

HTREEITEM TreeView::TopItem() const
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM TreeView::ParentItem(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM TreeView::FirstChild(HTREEITEM item) const
{
    if (!item) return nullptr;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM TreeView::NextSibling(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
}

std::string TreeView::ItemText(HTREEITEM item) const
{
    // A folder name is at most MAX_PATH characters.
    char text[MAX_PATH + 1] = {};
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    if (!SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return {};
    return data.pszText;
}

bool TreeView::Expanded(HTREEITEM item) const
{
    return (SendMessageA(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

bool TreeView::HasChildren(HTREEITEM item) const { return FirstChild(item) != nullptr; }

HTREEITEM TreeView::SelectedItem() const
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TreeView::SelectItem(HTREEITEM item)
{
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void TreeView::ExpandItem(HTREEITEM item)
{
    SendMessageA(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

void TreeView::SortChildrenByText(HTREEITEM parent)
{
    TVSORTCB sort = {};
    sort.hParent = parent ? parent : TVI_ROOT;
    sort.lpfnCompare = CompareTexts;
    sort.lParam = reinterpret_cast<LPARAM>(this);
    SendMessageA(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void TreeView::SetIndent(int pixels) { SendMessageA(Handle(), TVM_SETINDENT, pixels, 0); }

int CALLBACK TreeView::CompareTexts(LPARAM first, LPARAM second, LPARAM tree)
{
    const auto* self = reinterpret_cast<const TreeView*>(tree);
    return lstrcmpA(self->ItemText(reinterpret_cast<HTREEITEM>(first)).c_str(),
                    self->ItemText(reinterpret_cast<HTREEITEM>(second)).c_str());
}

LRESULT TreeView::Notify(NMHDR& header)
{
    switch (header.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        const auto& change = reinterpret_cast<NMTREEVIEWA&>(header);
        ItemExpanding(change.itemNew.hItem, (change.action & TVE_EXPAND) != 0);
        return FALSE;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        SelectionChanged();
        return 0;
    default:
        return 0;
    }
}

LRESULT CALLBACK TreeView::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self)
{
    auto* tree = reinterpret_cast<TreeView*>(self);
    switch (message) {
    case WM_KEYUP: {
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        Guarded([tree] { tree->KeyReleased(); });
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        // The tree follows the mouse inside its button-down handling until
        // the button is released, and selects the item only then; the
        // button-up message itself never arrives here.
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        Guarded([tree, message] { tree->MouseReleased(message == WM_LBUTTONDOWN); });
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, SubclassProc, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
