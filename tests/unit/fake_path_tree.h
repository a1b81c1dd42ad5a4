// A folder tree held in memory, for the tests of the path arithmetic: nodes
// are numbered from 1 (the root) in the order they are added, and each knows
// its path below the root, every folder of it ending in "\". What selecting
// a node does is the test's own.
#pragma once

#include "ui/tree_paths.h"

#include <string>
#include <utility>
#include <vector>

class FakePathTree : public PathTree {
public:
    explicit FakePathTree(std::string rootText) { nodes_.push_back({std::move(rootText), 0, {}, ""}); }

    TreeNode Root() const override { return 1; }
    TreeNode Parent(TreeNode node) const override { return node == 0 ? 0 : nodes_[node - 1].parent; }
    std::vector<TreeNode> Children(TreeNode node) const override { return nodes_[node - 1].children; }
    std::string Text(TreeNode node) const override { return nodes_[node - 1].text; }

    TreeNode Add(TreeNode parent, const std::string& text)
    {
        nodes_.push_back({text, parent, {}, nodes_[parent - 1].path + text + "\\"});
        nodes_[parent - 1].children.push_back(nodes_.size());
        return nodes_.size();
    }

    std::size_t Count() const { return nodes_.size(); }
    const std::string& Path(TreeNode node) const { return nodes_[node - 1].path; }

private:
    struct Node {
        std::string text;
        TreeNode parent;
        std::vector<TreeNode> children;
        std::string path;
    };
    std::vector<Node> nodes_;
};
