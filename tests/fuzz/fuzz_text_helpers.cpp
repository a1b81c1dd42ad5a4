// The text helpers, the process path key and the directory tree's path
// arithmetic. The input's first byte is the separator; its first line then
// the text and the path, the other lines a tree of folders (one tab per
// level below the root).
#include "../unit/fake_path_tree.h"
#include "fuzz_require.h"
#include "support/text.h"
#include "ui/tree_paths.h"
#include "update/process_path_key.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSubsequence(std::string_view part, std::string_view whole)
{
    std::size_t at = 0;
    for (const char c : part) {
        at = whole.find(c, at);
        if (at == std::string_view::npos) return false;
        ++at;
    }
    return true;
}

void CheckTextHelpers(char c, std::string_view text)
{
    const std::string before = TextBefore(c, text);
    const std::string after = TextAfter(c, text);
    if (text.find(c) == std::string_view::npos) {
        Require(before.empty() && after.empty(), "without c, nothing before or after it");
    } else {
        Require(before + c + after == text, "before, c and after make up the text");
        Require(before.find(c) == std::string::npos, "the text before is before the first c");
    }

    const std::string parent = ParentPath(c, text);
    Require(text.rfind(parent, 0) == 0 && parent.size() < std::max<std::size_t>(text.size(), 1),
            "the parent is a shorter front part");
    if (!text.empty() && text.back() != c && text.find(c) != std::string_view::npos)
        Require(text[parent.size()] == c && text.find(c, parent.size() + 1) == std::string_view::npos,
                "the parent ends before the last separator");

    const std::string_view head = text.substr(0, std::min(text.size(), ShortStringCapacity));
    const std::string stripped = StripDigits(text);
    const std::string number = NumberChars(text);
    Require(IsSubsequence(stripped, head) && std::none_of(stripped.begin(), stripped.end(), IsDigit),
            "StripDigits keeps the other characters of the first 79");
    Require(stripped.size() + std::count_if(head.begin(), head.end(), IsDigit) == head.size(),
            "StripDigits drops digits only");
    Require(IsSubsequence(number, head) && std::all_of(number.begin(), number.end(), [](char ch) {
                return IsDigit(ch) || ch == ',' || ch == '.';
            }),
            "NumberChars keeps digits, commas and points of the first 79");

    const std::string noBlanks = RemoveBlanks(text);
    Require(noBlanks.find(' ') == std::string::npos &&
                noBlanks.size() + std::count(text.begin(), text.end(), ' ') == text.size(),
            "RemoveBlanks drops blanks only");
    const std::string leading = TrimLeadingBlanks(text);
    const std::string trailing = TrimTrailingBlanks(text);
    const bool allBlanks = text.find_first_not_of(' ') == std::string_view::npos;
    Require(text.size() >= leading.size() && text.substr(text.size() - leading.size()) == leading,
            "TrimLeadingBlanks keeps an end part");
    Require(allBlanks ? leading.empty() : leading.front() != ' ', "no leading blank is left");
    Require(text.rfind(trailing, 0) == 0, "TrimTrailingBlanks keeps a front part");
    Require(allBlanks ? trailing == text : trailing.back() != ' ', "no trailing blank is left");

    const auto identity = [](std::string_view path) { return std::string(path); };
    const auto key = ProcessPathKey(text, identity);
    if (key) {
        Require(!key->empty() && key->size() <= MaxProcessPathLength, "a key fits the process path buffer");
        Require(static_cast<unsigned char>(key->front()) > ' ' && static_cast<unsigned char>(key->back()) > ' ',
                "a key has no blanks or control characters at its ends");
        Require(text.find(*key) != std::string_view::npos, "a key is the path's middle");
    }
}

// Folders given by indentation, one a line.
class IndentedTree : public FakePathTree {
public:
    explicit IndentedTree(std::string_view lines) : FakePathTree("C:")
    {
        std::vector<TreeNode> levels{1};
        while (!lines.empty() && Count() < 64) {
            auto end = lines.find('\n');
            std::string_view line = lines.substr(0, end);
            lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
            std::size_t depth = 0;
            while (depth < line.size() && line[depth] == '\t') ++depth;
            depth = std::min(depth, levels.size() - 1);
            const TreeNode parent = levels[depth];
            const std::string text(line.substr(depth));
            // A folder always has a name.
            if (text.empty()) continue;
            levels.resize(depth + 1);
            levels.push_back(Add(parent, text));
        }
    }

    void SelectExpanded(TreeNode node) override { selected.push_back(node); }

    std::vector<TreeNode> selected;
};

void CheckTreePaths(std::string_view path, std::string_view folders)
{
    IndentedTree tree(folders);
    for (TreeNode node = 1; node <= tree.Count(); ++node) {
        const std::string mask = NodeSearchMask(tree, 'C', node);
        const std::string expected = node == 1 ? "C:\\*.*" : "C:\\" + tree.Path(node) + "*.*";
        // A folder named like a drive ("x:...") stands for the drive's root.
        if (tree.Text(node).size() < 2 || tree.Text(node)[1] != ':')
            Require(mask == expected, "a node's mask is its path below the root and *.*");
        const std::string directory = MaskDirectory(mask);
        Require(!directory.empty() && directory.back() == '\\' && mask.rfind(directory, 0) == 0,
                "a mask's folder is its front part up to the last backslash");
    }
    Require(NodeSearchMask(tree, 'C', 0).empty(), "no node gives no mask");

    // The walk opens one folder per path component, each a child of the
    // one before, and never more folders than the path has backslashes.
    WalkPath(tree, std::string(path));
    TreeNode parent = tree.Root();
    for (const TreeNode node : tree.selected) {
        Require(tree.Parent(node) == parent, "the walk goes down one level at a time");
        Require(path.find(tree.Text(node)) != std::string_view::npos, "a selected folder is named in the path");
        parent = node;
    }
    Require(tree.selected.size() <= static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')),
            "a folder per component at most");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const char separator = static_cast<char>(data[0]);
    const auto [line, folders] = FirstLine(InputText(data + 1, size - 1));
    CheckTextHelpers(separator, line);
    CheckTreePaths(line, folders);
    return 0;
}
