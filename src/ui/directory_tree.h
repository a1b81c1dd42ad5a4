// The directory tree: the folders of one drive, each folder read from disk
// at its first expansion. Unread folders carry a "..." placeholder child so
// that they show an expand button.
#pragma once

#include "ui/tree_paths.h"
#include "win/tree_view.h"

#include <functional>
#include <string>

class TBoom : public TreeView, private PathTree {
public:
    // Holds the root "c:\" at once, before anything opens a path.
    void Create(Form& owner, HWND parent, const DesignRect& rect, int designDensity = 120);

    // Rebuilds the tree for path's drive and opens path's folders one by one:
    // the deepest existing folder (matching in case) ends up selected, every
    // folder above it expanded. path begins with letter, colon and
    // backslash; the final backslash is optional. Does nothing while a
    // previous call is still loading the root.
    virtual void OpenPath(const std::string& path);

    // The selected folder, ending in "\"; empty without a selection.
    std::string Directory() const;
    // The letter every path is built with, in the case OpenPath was given.
    char Drive() const { return drive_; }
    bool Ready() const { return ready_; }
    bool InClick() const { return inClick_; }

    // After every selection change, every key release and every mouse click.
    std::function<void()> OnClick;
    std::function<void()> OnChange;
    std::function<void()> OnMouseUp;
    std::function<void()> OnExpanded;

private:
    void ItemExpanding(HTREEITEM item, bool expand) override;
    void SelectionChanged() override;
    void KeyReleased() override;
    void MouseReleased(bool leftButton) override;

    void ClickBehaviour();
    void Expand(HTREEITEM node);
    // The expansion a selection in auto-expand mode makes.
    void AutoExpand(HTREEITEM node);
    void LoadChildren(const std::string& mask, HTREEITEM node);
    void AddFolderNode(HTREEITEM node, const std::string& name);
    void RemovePlaceholder(HTREEITEM node);
    void SortTree(HTREEITEM parent);
    std::string SearchMask(HTREEITEM node) const;

    TreeNode Root() const override;
    TreeNode Parent(TreeNode node) const override;
    std::vector<TreeNode> Children(TreeNode node) const override;
    std::string Text(TreeNode node) const override;
    void SelectExpanded(TreeNode node) override;

    char drive_ = 'c';
    bool ready_ = false;
    bool inClick_ = false;
    bool autoExpand_ = false;
    // Set while an expansion runs from code, so that the tree's own
    // expansion notice does not run it a second time.
    bool expanding_ = false;
    // Set while the tree is emptied: the selection moving through the
    // disappearing nodes is no click.
    bool clearing_ = false;
};
