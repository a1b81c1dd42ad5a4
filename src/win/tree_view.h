// The native tree view: items by handle, texts as byte strings. Expansion,
// selection, key releases and mouse clicks reach a derived class through
// virtual handlers.
#pragma once

#include "win/control.h"

#include <commctrl.h>

#include <string>

class TreeView : public Control {
public:
    ~TreeView() override;
    void Create(Form& owner, HWND parent, const DesignRect& rect, int designDensity = 120);

    // A last child of parent; a null parent adds a top-level item.
    HTREEITEM AddChild(HTREEITEM parent, const std::string& text);
    void DeleteItem(HTREEITEM item);
    void Clear();

    HTREEITEM TopItem() const;
    HTREEITEM ParentItem(HTREEITEM item) const;
    HTREEITEM FirstChild(HTREEITEM item) const;
    HTREEITEM NextSibling(HTREEITEM item) const;
    std::string ItemText(HTREEITEM item) const;
    bool Expanded(HTREEITEM item) const;
    // Whether the item shows an expand button: it has children.
    bool HasChildren(HTREEITEM item) const;

    HTREEITEM SelectedItem() const;
    void SelectItem(HTREEITEM item);
    // Expands without asking ItemExpanding.
    void ExpandItem(HTREEITEM item);
    // Orders parent's children by lstrcmpA of their texts (case matters, as
    // Windows' word sort has it).
    void SortChildrenByText(HTREEITEM parent);
    void SetIndent(int pixels);

    LRESULT Notify(NMHDR& header) override;

protected:
    // The user (or a keyboard command) is expanding or collapsing item.
    virtual void ItemExpanding(HTREEITEM /*item*/, bool /*expand*/) {}
    virtual void SelectionChanged() {}
    // After the tree's own handling of WM_KEYUP.
    virtual void KeyReleased() {}
    // After a mouse button went down and up again over the tree, the tree's
    // own selection included.
    virtual void MouseReleased(bool /*leftButton*/) {}

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    static int CALLBACK CompareTexts(LPARAM first, LPARAM second, LPARAM tree);
};
