// The directory tree's path arithmetic over a fake tree: masks, the folder
// of a node, and the walk that opens a path.
#include "fake_path_tree.h"
#include "ui/tree_paths.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Folders by full path below the root, each ending in "\"; the tree reads a folder's children
// when it is selected in auto-expand mode, as the real tree does.
class FakeTree : public FakePathTree {
public:
    FakeTree(std::string rootText, std::vector<std::string> folders)
        : FakePathTree(std::move(rootText)), folders_(std::move(folders))
    {
        Load(1);
    }

    void SelectExpanded(TreeNode node) override
    {
        selected.push_back(Path(node));
        Load(node);
    }

    std::vector<std::string> selected;

private:
    void Load(TreeNode node)
    {
        if (!Children(node).empty()) return;
        const std::string prefix = Path(node);
        for (const std::string& folder : folders_) {
            if (folder.size() <= prefix.size() || folder.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string rest = folder.substr(prefix.size());
            if (rest.find('\\') == rest.size() - 1) Add(node, rest.substr(0, rest.size() - 1));
        }
    }

    std::vector<std::string> folders_;
};

TEST(NodeSearchMask, RootAndNestedNodes)
{
    FakeTree tree("C:\\", {});
    const TreeNode data = tree.Add(1, "Data");
    const TreeNode quotes = tree.Add(data, "Quotes");
    const TreeNode deep = tree.Add(quotes, "2024 Q1");
    struct Case {
        const char* name;
        char drive;
        TreeNode node;
        const char* mask;
        const char* directory;
    };
    const Case cases[] = {
        {"root", 'C', 1, "C:\\*.*", "C:\\"},
        {"first level", 'C', data, "C:\\Data\\*.*", "C:\\Data\\"},
        {"second level", 'C', quotes, "C:\\Data\\Quotes\\*.*", "C:\\Data\\Quotes\\"},
        {"third level with a blank", 'C', deep, "C:\\Data\\Quotes\\2024 Q1\\*.*", "C:\\Data\\Quotes\\2024 Q1\\"},
        {"lower-case drive keeps its case", 'c', quotes, "c:\\Data\\Quotes\\*.*", "c:\\Data\\Quotes\\"},
        {"no node", 'C', 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string mask = NodeSearchMask(tree, c.drive, c.node);
        EXPECT_EQ(mask, c.mask);
        EXPECT_EQ(MaskDirectory(mask), c.directory);
    }
}

TEST(NodeSearchMask, TheRootTextIsNeverUsed)
{
    // The tree was opened as "d:\" but the drive letter builds the paths.
    FakeTree tree("d:\\", {});
    const TreeNode data = tree.Add(1, "Data");
    EXPECT_EQ(NodeSearchMask(tree, 'D', 1), "D:\\*.*");
    EXPECT_EQ(NodeSearchMask(tree, 'D', data), "D:\\Data\\*.*");
}

TEST(MaskDirectory, UpToTheLastBackslash)
{
    EXPECT_EQ(MaskDirectory("C:\\a\\b\\*.*"), "C:\\a\\b\\");
    EXPECT_EQ(MaskDirectory("*.*"), "");
    EXPECT_EQ(MaskDirectory(""), "");
}

TEST(WalkPath, SelectsTheDeepestExistingFolderAndEveryFolderAbove)
{
    const std::vector<std::string> folders = {"Data\\", "Data\\Quotes\\", "Data\\Quotes\\Old\\", "Docs\\",
                                              "data2\\"};
    struct Case {
        const char* name;
        const char* path;
        std::vector<std::string> selected;
    };
    const Case cases[] = {
        {"nested with final backslash", "C:\\Data\\Quotes\\", {"Data\\", "Data\\Quotes\\"}},
        {"nested without final backslash", "C:\\Data\\Quotes", {"Data\\", "Data\\Quotes\\"}},
        {"three levels", "C:\\Data\\Quotes\\Old\\", {"Data\\", "Data\\Quotes\\", "Data\\Quotes\\Old\\"}},
        {"missing component stops at its parent", "C:\\Data\\Missing\\", {"Data\\"}},
        {"missing component without backslash", "C:\\Data\\Missing", {"Data\\"}},
        {"components after a missing one are ignored", "C:\\Data\\Missing\\Quotes\\", {"Data\\"}},
        {"different case stops at the root", "C:\\DATA\\", {}},
        {"different case deeper stops at its parent", "C:\\Data\\quotes\\", {"Data\\"}},
        {"a prefix of a name is no match", "C:\\Dat\\", {}},
        {"the root alone", "C:\\", {}},
        {"lower-case drive", "c:\\Docs", {"Docs\\"}},
        {"a folder without subfolders ends the walk", "C:\\Docs\\Sub\\", {"Docs\\"}},
        {"double backslash", "C:\\Data\\\\Quotes\\", {"Data\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTree tree("C:\\", folders);
        WalkPath(tree, c.path);
        EXPECT_EQ(tree.selected, c.selected);
    }
}

TEST(WalkPath, FirstExactMatchAmongChildrenInTreeOrder)
{
    // Names differing only in case are different folders to the walk.
    FakeTree tree("C:\\", {"quotes\\", "Quotes\\", "Quotes\\A\\"});
    WalkPath(tree, "C:\\Quotes\\A");
    EXPECT_EQ(tree.selected, (std::vector<std::string>{"Quotes\\", "Quotes\\A\\"}));
}

TEST(WalkPath, AnEmptyTreeOrPathDoesNothing)
{
    FakeTree tree("C:\\", {"Data\\"});
    WalkPath(tree, "");
    EXPECT_TRUE(tree.selected.empty());
}

} // namespace
