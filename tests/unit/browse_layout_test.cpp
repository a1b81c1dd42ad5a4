// The folder browser's arithmetic: panels, resize rules, on-screen
// correction, drive entries and the path handed back.
#include "ui/browse_layout.h"

#include <gtest/gtest.h>

#include <ostream>

std::ostream& operator<<(std::ostream& out, const PixelRect& r)
{
    return out << "{" << r.Left << ", " << r.Top << ", " << r.Width << ", " << r.Height << "}";
}

namespace {

TEST(BrowseResize, ButtonsCentredAndSpeedNewAtTheRight)
{
    struct Case {
        const char* name;
        BrowseResizeInput input;
        BrowseResizeResult expected;
    };
    const Case cases[] = {
        // The design: client 542 wide, Panel3 226 x 373, the tree at top 36.
        {"design size", {542, 26, 226, 373, 36, 542, 107, 107}, {506, 5, 216, 0, 224, 336, 0, 541, 161, 273}},
        {"wider window", {800, 26, 226, 373, 36, 800, 107, 107}, {764, 5, 216, 0, 224, 336, 0, 799, 290, 402}},
        // 541 - 107 - 107 - 5 = 322: an even half; 543 gives 324.
        {"odd pair remainder truncates", {543, 26, 226, 373, 36, 543, 107, 107}, {507, 5, 216, 0, 224, 336, 0, 542, 162, 274}},
        {"unequal buttons", {600, 26, 300, 200, 36, 600, 100, 120}, {564, 5, 290, 0, 298, 163, 0, 599, 187, 292}},
        // Narrower than the pair: the half of a negative number truncates
        // toward zero.
        {"too narrow for the pair", {200, 26, 100, 50, 36, 200, 107, 107}, {164, 5, 90, 0, 98, 13, 0, 199, -9, 103}},
        {"negative odd half", {201, 26, 100, 50, 36, 208, 107, 107}, {165, 5, 90, 0, 98, 13, 0, 207, -5, 107}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BrowseResizeResult r = BrowseResize(c.input);
        const BrowseResizeResult& e = c.expected;
        EXPECT_EQ(r.SpeedNewLeft, e.SpeedNewLeft);
        EXPECT_EQ(r.DriveLeft, e.DriveLeft);
        EXPECT_EQ(r.DriveWidth, e.DriveWidth);
        EXPECT_EQ(r.BoomLeft, e.BoomLeft);
        EXPECT_EQ(r.BoomWidth, e.BoomWidth);
        EXPECT_EQ(r.BoomHeight, e.BoomHeight);
        EXPECT_EQ(r.LabelLeft, e.LabelLeft);
        EXPECT_EQ(r.LabelWidth, e.LabelWidth);
        EXPECT_EQ(r.OKLeft, e.OKLeft);
        EXPECT_EQ(r.CancelLeft, e.CancelLeft);
        EXPECT_EQ(r.CancelLeft - (r.OKLeft + c.input.OKWidth), 5);
    }
}

TEST(BrowseAlign, PanelsAtTheDesignSize)
{
    BrowseFrameInput input{542, 496, 84, 35, 226, 8, 2, true};
    const BrowseFrame frame = BrowseAlign(input);
    EXPECT_EQ(frame.Panel1, (PixelRect{0, 412, 542, 84}));
    EXPECT_EQ(frame.BrowsePanel, (PixelRect{0, 0, 542, 412}));
    EXPECT_EQ(frame.Panel2, (PixelRect{2, 2, 538, 35}));
    EXPECT_EQ(frame.Panel3, (PixelRect{2, 37, 226, 373}));
    EXPECT_EQ(frame.Splitter, (PixelRect{228, 37, 8, 373}));
    EXPECT_EQ(frame.FileList, (PixelRect{236, 37, 304, 373}));
}

TEST(BrowseAlign, FilesHiddenAndOddSizes)
{
    struct Case {
        const char* name;
        BrowseFrameInput input;
        PixelRect panel3;
        PixelRect fileList;
    };
    const Case cases[] = {
        // Hidden files: Panel3 keeps the width it was given, even the whole
        // client width, and nothing is placed beside it.
        {"files hidden", {542, 496, 84, 35, 542, 8, 2, false}, {2, 37, 542, 373}, {0, 0, 0, 0}},
        {"taller window", {542, 600, 84, 35, 226, 8, 2, true}, {2, 37, 226, 477}, {236, 37, 304, 477}},
        {"splitter past the right edge", {300, 496, 84, 35, 400, 8, 2, true}, {2, 37, 400, 373}, {410, 37, 0, 373}},
        {"window lower than the bottom panel", {542, 50, 84, 35, 226, 8, 2, true}, {2, 2, 226, 0}, {236, 2, 304, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BrowseFrame frame = BrowseAlign(c.input);
        EXPECT_EQ(frame.Panel3, c.panel3);
        EXPECT_EQ(frame.FileList, c.fileList);
    }
}

TEST(OnScreen, CorrectsNegativeAndOverhangingPlaces)
{
    struct Case {
        const char* name;
        int top, left, height, width;
        ScreenPlace expected;
    };
    // A 1024 x 768 screen.
    const Case cases[] = {
        {"inside stays", 139, 505, 541, 500, {139, 505}},
        {"negative top and left become 1", -5, -20, 100, 100, {1, 1}},
        {"bottom overhang", 400, 10, 541, 100, {227, 10}},
        {"right overhang", 10, 900, 100, 560, {10, 464}},
        {"exactly at the edge stays", 227, 464, 541, 560, {227, 464}},
        {"taller than the screen ends above it", 10, 10, 900, 100, {-132, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScreenPlace place = OnScreen(c.top, c.left, c.height, c.width, 768, 1024);
        EXPECT_EQ(place.Top, c.expected.Top);
        EXPECT_EQ(place.Left, c.expected.Left);
    }
}

TEST(DriveEntry, ByKind)
{
    struct Case {
        const char* name;
        char letter;
        DriveKind kind;
        const char* label;
        const char* remote;
        const char* expected;
    };
    const Case cases[] = {
        {"removable: letter only", 'A', DriveKind::Removable, "", "", "a:"},
        {"fixed with label", 'C', DriveKind::Fixed, "system", "", "c: [system]"},
        {"fixed without label", 'C', DriveKind::Fixed, "", "", "c: []"},
        {"network name", 'N', DriveKind::Remote, "share", "\\\\server\\data", "n: \\\\server\\data"},
        {"network name unreadable", 'N', DriveKind::Remote, "share", "", "n: [share]"},
        {"cd-rom as fixed", 'D', DriveKind::CdRom, "disc", "", "d: [disc]"},
        {"ram disk as fixed", 'R', DriveKind::RamDisk, "ram", "", "r: [ram]"},
        {"already lower case", 'z', DriveKind::Fixed, "", "", "z: []"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DriveEntry(c.letter, c.kind, c.label, c.remote).value_or("(none)"), c.expected);
    }
    EXPECT_FALSE(DriveEntry('X', DriveKind::Other, "", "").has_value());
}

TEST(Relabelling, WhichEntriesAreLookedUp)
{
    struct Case {
        const char* entry;
        bool sparing;
        bool expected;
    };
    const Case cases[] = {
        {"e:", true, true},        {"e:", false, true},        {"a:", true, false},  {"b:", true, false},
        {"a:", false, true},       {"b:", false, true},        {"e: [usb]", true, false},
        {"e: []", false, false},   {"n: \\\\s\\d", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + (c.sparing ? " sparing" : ""));
        EXPECT_EQ(NeedsLabel(c.entry, c.sparing), c.expected);
    }
    EXPECT_EQ(LabelledEntry("e:", "usb-stick"), "e: [usb-stick]");
    EXPECT_EQ(LabelledEntry("e:", ""), "e: []");
}

TEST(IsVolumeLabelError, OnlyTheErrorText)
{
    EXPECT_TRUE(IsVolumeLabelError("Error 21 The device is not ready."));
    EXPECT_TRUE(IsVolumeLabelError("Error 3 x"));
    EXPECT_FALSE(IsVolumeLabelError(""));
    EXPECT_FALSE(IsVolumeLabelError("Errors"));
    EXPECT_FALSE(IsVolumeLabelError("Error disk"));
    EXPECT_FALSE(IsVolumeLabelError("SYSTEM"));
}

TEST(FolderPart, UpToTheLastBackslashOrColon)
{
    EXPECT_EQ(FolderPart("C:\\Data\\Quotes"), "C:\\Data\\");
    EXPECT_EQ(FolderPart("C:\\Data\\Quotes\\"), "C:\\Data\\Quotes\\");
    EXPECT_EQ(FolderPart("C:\\"), "C:\\");
    EXPECT_EQ(FolderPart("D:"), "D:");
    EXPECT_EQ(FolderPart("D:file"), "D:");
    EXPECT_EQ(FolderPart("file"), "");
}

TEST(ChosenPath, FinalBackslashAndFile)
{
    EXPECT_EQ(ChosenPath("C:\\Data\\", ""), "C:\\Data\\");
    EXPECT_EQ(ChosenPath("E:\\", ""), "E:\\");
    EXPECT_EQ(ChosenPath("C:\\Data", ""), "C:\\Data\\");
    EXPECT_EQ(ChosenPath("C:\\Data\\", "a.jpg"), "C:\\Data\\a.jpg");
}

} // namespace
