// The directory tree on a real tree view under Wine, over folders the test
// makes under C:\KestromTreeTest.
#include "modal_script.h"
#include "scratch_folders.h"
#include "ui/directory_tree.h"
#include "win/application.h"
#include "win/form.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string Base = "C:\\KestromTreeTest\\";

class TreeHost : public Form {
public:
    void Create()
    {
        CreateForm("KestromTreeHost", "Tree", 400, 500);
        Boom.Create(*this, Handle(), {10, 10, 380, 480});
    }
    TBoom Boom;
};

void MakeFolder(const std::string& path, DWORD attributes = 0)
{
    CreateDirectoryA(path.c_str(), nullptr);
    if (attributes) SetFileAttributesA(path.c_str(), attributes);
}

class TreeEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Application::Initialize(GetModuleHandleA(nullptr), "Kestrom");
        RemoveTree(Base.substr(0, Base.size() - 1));
        for (const char* folder : {"", "Data", "Data\\Quotes", "Data\\Quotes\\Old", "Data\\Empty", "Data\\beta",
                                   "Data\\Alpha", "Data\\alpha2", "Data\\_under", "Data\\Zeta"}) {
            MakeFolder(Base + folder);
        }
        MakeFolder(Base + "Data\\Hidden", FILE_ATTRIBUTE_HIDDEN);
        MakeFolder(Base + "Data\\System", FILE_ATTRIBUTE_SYSTEM);
        host.Create();
        host.Show();
    }
    void TearDown() override
    {
        host.Destroy();
        RemoveTree(Base.substr(0, Base.size() - 1));
    }
    TreeHost host;
};

TreeEnvironment* environment =
    static_cast<TreeEnvironment*>(::testing::AddGlobalTestEnvironment(new TreeEnvironment));

TBoom& Boom() { return environment->host.Boom; }

HTREEITEM Child(HTREEITEM parent, const std::string& text)
{
    for (HTREEITEM child = Boom().FirstChild(parent); child; child = Boom().NextSibling(child)) {
        if (Boom().ItemText(child) == text) return child;
    }
    return nullptr;
}

std::vector<std::string> ChildTexts(HTREEITEM parent)
{
    std::vector<std::string> texts;
    for (HTREEITEM child = Boom().FirstChild(parent); child; child = Boom().NextSibling(child)) {
        texts.push_back(Boom().ItemText(child));
    }
    return texts;
}

// The items from the root down to the selected one.
std::vector<HTREEITEM> SelectedChain()
{
    std::vector<HTREEITEM> chain;
    for (HTREEITEM item = Boom().SelectedItem(); item; item = Boom().ParentItem(item)) chain.insert(chain.begin(), item);
    return chain;
}

void PressKey(WORD key)
{
    SendMessageA(Boom().Handle(), WM_KEYDOWN, key, 0x00000001);
    SendMessageA(Boom().Handle(), WM_KEYUP, key, 0xC0000001);
}

TEST(Boom, CreatedWithTheRootCAndReady)
{
    TreeHost fresh;
    fresh.Create();
    EXPECT_TRUE(fresh.Boom.Ready());
    EXPECT_EQ(fresh.Boom.Drive(), 'c');
    EXPECT_EQ(fresh.Boom.ItemText(fresh.Boom.TopItem()), "c:\\");
    EXPECT_EQ(fresh.Boom.NextSibling(fresh.Boom.TopItem()), nullptr);
    fresh.Destroy();
}

TEST(Boom, OpenPathSelectsTheDeepestExistingFolderWithEveryFolderAboveExpanded)
{
    struct Case {
        const char* name;
        std::string path;
        std::string directory;
        std::vector<std::string> chain;
    };
    const Case cases[] = {
        {"nested with final backslash", Base + "Data\\Quotes\\", Base + "Data\\Quotes\\",
         {"C:\\", "KestromTreeTest", "Data", "Quotes"}},
        {"nested without final backslash", Base + "Data\\Quotes", Base + "Data\\Quotes\\",
         {"C:\\", "KestromTreeTest", "Data", "Quotes"}},
        {"missing component stops at its parent", Base + "Data\\Missing\\", Base + "Data\\",
         {"C:\\", "KestromTreeTest", "Data"}},
        {"missing then existing names", Base + "Data\\Missing\\Quotes\\", Base + "Data\\",
         {"C:\\", "KestromTreeTest", "Data"}},
        {"differently cased at the root", "C:\\KESTROMTREETEST\\Data\\", "C:\\", {"C:\\"}},
        {"differently cased deeper", Base + "data\\Quotes\\", Base, {"C:\\", "KestromTreeTest"}},
        {"lower-case drive letter", "c:\\KestromTreeTest\\Data\\", "c:\\KestromTreeTest\\Data\\",
         {"c:\\", "KestromTreeTest", "Data"}},
        {"the root", "C:\\", "C:\\", {"C:\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Boom().OpenPath(c.path);
        EXPECT_TRUE(Boom().Ready());
        EXPECT_EQ(Boom().Directory(), c.directory);
        std::vector<std::string> texts;
        const std::vector<HTREEITEM> chain = SelectedChain();
        for (HTREEITEM item : chain) texts.push_back(Boom().ItemText(item));
        EXPECT_EQ(texts, c.chain);
        // Every folder on the way is expanded, the selected one too.
        for (HTREEITEM item : chain) {
            SCOPED_TRACE(Boom().ItemText(item));
            EXPECT_TRUE(Boom().Expanded(item) || !Boom().HasChildren(item));
        }
        EXPECT_EQ(Boom().NextSibling(Boom().TopItem()), nullptr) << "one root only";
    }
}

TEST(Boom, HiddenAndSystemFoldersAreListedAndEveryLevelIsSorted)
{
    Boom().OpenPath(Base + "Data\\");
    const HTREEITEM data = Boom().SelectedItem();
    const std::vector<std::string> texts = ChildTexts(data);
    for (const char* name : {"Hidden", "System", "Quotes", "Empty", "Alpha", "alpha2", "beta", "_under", "Zeta"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(std::count(texts.begin(), texts.end(), name), 1);
    }
    ASSERT_EQ(texts.size(), 9u);
    for (std::size_t i = 1; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i - 1] + " before " + texts[i]);
        EXPECT_LT(lstrcmpA(texts[i - 1].c_str(), texts[i].c_str()), 0);
    }
    // Unread folders carry the placeholder; the root's level is sorted too.
    EXPECT_EQ(ChildTexts(Child(data, "Empty")), std::vector<std::string>{"..."});
    const std::vector<std::string> top = ChildTexts(Boom().TopItem());
    for (std::size_t i = 1; i < top.size(); ++i) EXPECT_LE(lstrcmpA(top[i - 1].c_str(), top[i].c_str()), 0);
}

TEST(Boom, AFolderWithoutSubfoldersLosesItsExpandButtonWhenExpanded)
{
    Boom().OpenPath(Base + "Data\\");
    const HTREEITEM empty = Child(Boom().SelectedItem(), "Empty");
    ASSERT_NE(empty, nullptr);
    ASSERT_TRUE(Boom().HasChildren(empty));
    Boom().SelectItem(empty);
    PressKey(VK_RIGHT);
    EXPECT_FALSE(Boom().HasChildren(empty));
    EXPECT_EQ(Boom().Directory(), Base + "Data\\Empty\\");

    // A folder with subfolders gets them, sorted, at its first expansion.
    const HTREEITEM quotes = Child(Boom().ParentItem(empty), "Quotes");
    Boom().SelectItem(quotes);
    PressKey(VK_RIGHT);
    EXPECT_TRUE(Boom().Expanded(quotes));
    EXPECT_EQ(ChildTexts(quotes), std::vector<std::string>{"Old"});
    EXPECT_EQ(ChildTexts(Child(quotes, "Old")), std::vector<std::string>{"..."});
}

TEST(Boom, AFolderMadeAfterItsParentWasReadShowsAfterTheNextOpenPath)
{
    Boom().OpenPath(Base + "Data\\Quotes\\");
    const HTREEITEM quotes = Boom().SelectedItem();
    MakeFolder(Base + "Data\\Quotes\\Later");
    Boom().SelectItem(Boom().ParentItem(quotes));
    Boom().SelectItem(quotes);
    EXPECT_EQ(ChildTexts(quotes), std::vector<std::string>{"Old"});
    Boom().OpenPath(Base + "Data\\Quotes\\Later");
    EXPECT_EQ(Boom().Directory(), Base + "Data\\Quotes\\Later\\");
    RemoveDirectoryA((Base + "Data\\Quotes\\Later").c_str());
}

TEST(Boom, OnClickFollowsSelectionChangesAndEveryKeyRelease)
{
    Boom().OpenPath(Base + "Data\\");
    int clicks = 0;
    int changes = 0;
    std::string shown;
    Boom().OnClick = [&] {
        ++clicks;
        shown = Boom().Directory();
    };
    Boom().OnChange = [&] { ++changes; };

    Boom().SelectItem(Child(Boom().SelectedItem(), "Quotes"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(shown, Base + "Data\\Quotes\\");

    // Moving up with the keyboard: the selection change and the key release
    // each raise OnClick, and the shown folder follows.
    PressKey(VK_UP);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(shown, Boom().Directory());
    EXPECT_NE(shown, Base + "Data\\Quotes\\");

    // A key that moves nothing still raises OnClick at its release.
    PressKey(VK_SHIFT);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 4);
    EXPECT_FALSE(Boom().InClick());
    Boom().OnClick = nullptr;
    Boom().OnChange = nullptr;
}

TEST(Boom, OpenPathFromAHandlerWhileTheRootLoadsDoesNothing)
{
    int nested = 0;
    Boom().OnClick = [&] {
        if (Boom().Ready()) return;
        ++nested;
        Boom().OpenPath("C:\\windows\\");
    };
    Boom().OpenPath(Base + "Data\\Quotes\\");
    Boom().OnClick = nullptr;
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(Boom().Directory(), Base + "Data\\Quotes\\");
}

TEST(Boom, AMouseClickOnAFolderSelectsItAndRaisesOnClickAndOnMouseUp)
{
    Boom().OpenPath(Base + "Data\\");
    const HTREEITEM alpha = Child(Boom().SelectedItem(), "Alpha");
    RECT item = {};
    std::memcpy(&item, &alpha, sizeof alpha);
    ASSERT_TRUE(SendMessageA(Boom().Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&item)));
    std::string atMouseUp;
    int clicks = 0;
    Boom().OnClick = [&] { ++clicks; };
    Boom().OnMouseUp = [&] { atMouseUp = Boom().Directory(); };
    // The button is released before the tree's own handling of the press
    // looks at it: it sees a click, not a drag.
    const LPARAM point = MAKELPARAM(item.left + 3, (item.top + item.bottom) / 2);
    PostMessageA(Boom().Handle(), WM_LBUTTONUP, 0, point);
    SendMessageA(Boom().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    Application::ProcessMessages();
    Boom().OnClick = nullptr;
    Boom().OnMouseUp = nullptr;
    EXPECT_EQ(atMouseUp, Base + "Data\\Alpha\\");
    EXPECT_GE(clicks, 2) << "the selection change and the click";
}

} // namespace
