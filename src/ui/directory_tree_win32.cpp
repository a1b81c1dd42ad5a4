#include "ui/directory_tree.h"

#include "support/unique_handle_win32.h"

namespace {

TreeNode NodeOf(HTREEITEM item) { return reinterpret_cast<TreeNode>(item); }
HTREEITEM ItemOf(TreeNode node) { return reinterpret_cast<HTREEITEM>(node); }

// Clears a flag when the scope ends, also when a handler throws.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace

void TBoom::Create(Form& owner, HWND parent, const DesignRect& rect, int designDensity)
{
    TreeView::Create(owner, parent, rect, designDensity);
    drive_ = 'c';
    AddChild(nullptr, "c:\\");
    ready_ = true;
}

std::string TBoom::SearchMask(HTREEITEM node) const { return NodeSearchMask(*this, drive_, NodeOf(node)); }

std::string TBoom::Directory() const { return MaskDirectory(SearchMask(SelectedItem())); }

void TBoom::OpenPath(const std::string& path)
{
    if (!ready_ || path.empty()) return;
    ready_ = false;
    drive_ = path[0];
    // The bare root text matches no entry: this only empties the tree and
    // plants the root.
    LoadChildren(path.substr(0, 3), nullptr);
    ready_ = false;
    // Selecting the root reads its folders (Ready being false) and, in
    // auto-expand mode, expands it.
    SelectExpanded(NodeOf(TopItem()));
    if (!ready_) {
        // The root was selected already, so no selection change read it.
        ClickBehaviour();
        AutoExpand(TopItem());
    }
    SortTree(nullptr);
    WalkPath(*this, path);
}

void TBoom::LoadChildren(const std::string& mask, HTREEITEM node)
{
    if (!node) {
        {
            FlagScope clearing(clearing_);
            Clear();
        }
        node = AddChild(nullptr, mask);
    }
    // Every entry comes back, hidden and system folders included; a folder
    // that cannot be read simply gets no children.
    WIN32_FIND_DATAA entry = {};
    const FindHandle find(FindFirstFileA(mask.c_str(), &entry));
    if (find) {
        do {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) AddFolderNode(node, entry.cFileName);
        } while (FindNextFileA(find.Get(), &entry));
    }
    ready_ = true;
}

void TBoom::AddFolderNode(HTREEITEM node, const std::string& name)
{
    if (name == "." || name == "..") return;
    RemovePlaceholder(node);
    AddChild(AddChild(node, name), PlaceholderText);
}

void TBoom::RemovePlaceholder(HTREEITEM node)
{
    const HTREEITEM first = FirstChild(node);
    if (first && ItemText(first) == PlaceholderText) DeleteItem(first);
}

void TBoom::SortTree(HTREEITEM parent)
{
    SortChildrenByText(parent);
    for (HTREEITEM child = parent ? FirstChild(parent) : TopItem(); child; child = NextSibling(child)) {
        SortTree(child);
    }
}

void TBoom::Expand(HTREEITEM node)
{
    if (OnExpanded) OnExpanded();
    const HTREEITEM first = FirstChild(node);
    if (first && ItemText(first) == PlaceholderText) LoadChildren(SearchMask(node), node);
    // A folder without subfolders thereby loses its expand button for good.
    RemovePlaceholder(node);
    SelectItem(node);
    SortTree(nullptr);
}

void TBoom::ItemExpanding(HTREEITEM item, bool expand)
{
    if (expand && !expanding_) Expand(item);
}

void TBoom::SelectionChanged()
{
    if (clearing_) return;
    if (OnChange) OnChange();
    if (!inClick_) ClickBehaviour();
    if (autoExpand_ && SelectedItem()) AutoExpand(SelectedItem());
}

void TBoom::AutoExpand(HTREEITEM node)
{
    FlagScope expanding(expanding_);
    Expand(node);
    ExpandItem(node);
}

void TBoom::ClickBehaviour()
{
    if (OnClick) OnClick();
    FlagScope inClick(inClick_);
    const HTREEITEM node = SelectedItem();
    if (!ready_ && node) LoadChildren(SearchMask(node), node);
}

void TBoom::KeyReleased() { ClickBehaviour(); }

void TBoom::MouseReleased(bool leftButton)
{
    if (leftButton) ClickBehaviour();
    if (OnMouseUp) OnMouseUp();
}

TreeNode TBoom::Root() const { return NodeOf(TopItem()); }

TreeNode TBoom::Parent(TreeNode node) const { return NodeOf(ParentItem(ItemOf(node))); }

std::vector<TreeNode> TBoom::Children(TreeNode node) const
{
    std::vector<TreeNode> children;
    for (HTREEITEM child = FirstChild(ItemOf(node)); child; child = NextSibling(child)) children.push_back(NodeOf(child));
    return children;
}

std::string TBoom::Text(TreeNode node) const { return ItemText(ItemOf(node)); }

void TBoom::SelectExpanded(TreeNode node)
{
    FlagScope autoExpand(autoExpand_);
    SelectItem(ItemOf(node));
}
