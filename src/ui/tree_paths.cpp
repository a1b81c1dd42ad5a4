#include "ui/tree_paths.h"

#include "support/text.h"

std::string NodeSearchMask(const PathTree& tree, char drive, TreeNode node)
{
    if (node == 0) return {};
    const std::string text = tree.Text(node);
    std::string mask = text.size() >= 2 && text[1] == ':' ? "*.*" : text + "\\*.*";
    for (TreeNode ancestor = tree.Parent(node); ancestor != 0; ancestor = tree.Parent(ancestor)) {
        if (tree.Parent(ancestor) != 0) mask = tree.Text(ancestor) + "\\" + mask;
    }
    return std::string(1, drive) + ":\\" + mask;
}

std::string MaskDirectory(const std::string& mask)
{
    const std::size_t last = mask.rfind('\\');
    return last == std::string::npos ? std::string() : mask.substr(0, last + 1);
}

void WalkPath(PathTree& tree, const std::string& path)
{
    std::string rest = path;
    TreeNode node = tree.Root();
    if (node == 0) return;
    for (;;) {
        rest = TextAfter('\\', rest);
        std::string name = TextBefore('\\', rest);
        if (name.empty()) name = rest;
        const std::vector<TreeNode> children = tree.Children(node);
        if (children.empty()) return;
        TreeNode match = 0;
        for (TreeNode child : children) {
            if (tree.Text(child) == name) {
                match = child;
                break;
            }
        }
        if (match == 0) return;
        node = match;
        tree.SelectExpanded(node);
        if (TextAfter('\\', rest).empty()) return;
    }
}
