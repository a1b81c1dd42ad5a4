// The directory tree's path arithmetic: a node's search mask, the folder it
// stands for, and the walk that opens a path one folder at a time. The tree
// itself is reached through PathTree, so that the rules run on any tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A node of the tree; 0 is no node.
using TreeNode = std::uintptr_t;

class PathTree {
public:
    virtual ~PathTree() = default;
    // The topmost node; 0 when the tree is empty.
    virtual TreeNode Root() const = 0;
    virtual TreeNode Parent(TreeNode node) const = 0;
    // In the tree's order.
    virtual std::vector<TreeNode> Children(TreeNode node) const = 0;
    virtual std::string Text(TreeNode node) const = 0;
    // Selects node with auto-expand on: the node is expanded and its folders
    // are read from disk.
    virtual void SelectExpanded(TreeNode node) = 0;
};

// The text of the placeholder child that gives an unread folder its expand
// button.
inline constexpr const char* PlaceholderText = "...";

// drive + ":\" + the texts of the node's ancestors below the root, top down,
// + the node's text + "\*.*"; a root node (a colon as its text's second
// character) gives drive + ":\*.*". The root's own text is never used. Empty
// for no node.
std::string NodeSearchMask(const PathTree& tree, char drive, TreeNode node);

// The mask up to and including its last backslash; empty without one.
std::string MaskDirectory(const std::string& mask);

// Walks path's components below the root: each child whose text equals the
// component exactly (case-sensitive) is selected in auto-expand mode; a
// missing component ends the walk at its parent. A final backslash is
// optional.
void WalkPath(PathTree& tree, const std::string& path);
