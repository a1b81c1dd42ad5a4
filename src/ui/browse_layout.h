// The folder browser's arithmetic: where its panels go, the resize rules,
// the on-screen correction, the drive list's entries and the path handed
// back. Sizes are pixels; the small constants of the resize rules (10, 5,
// 2, 1) are used unscaled at any screen density.
#pragma once

#include <optional>
#include <string>

struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

bool operator==(const PixelRect& a, const PixelRect& b);

// The panels as they align in the client area: Panel1 at the bottom,
// BrowsePanel over the rest; inside BrowsePanel's bevel Panel2 at the top,
// then Panel3 at the left, Splitter1 beside it and the file list filling
// what is left (the last two only when the files are shown).
struct BrowseFrame {
    PixelRect BrowsePanel;
    PixelRect Panel1;
    PixelRect Panel2;
    PixelRect Panel3;
    PixelRect Splitter;
    PixelRect FileList;
};

struct BrowseFrameInput {
    int ClientWidth = 0;
    int ClientHeight = 0;
    int Panel1Height = 0;
    int Panel2Height = 0;
    int Panel3Width = 0;
    int SplitterWidth = 0;
    // Width of BrowsePanel's bevel, inside which its children align.
    int Bevel = 0;
    bool ShowFiles = true;
};

BrowseFrame BrowseAlign(const BrowseFrameInput& input);

struct BrowseResizeInput {
    int ClientWidth = 0;
    int SpeedNewWidth = 0;
    int Panel3Width = 0;
    int Panel3Height = 0;
    int BoomTop = 0;
    int Panel1Width = 0;
    int OKWidth = 0;
    int CancelWidth = 0;
};

struct BrowseResizeResult {
    int SpeedNewLeft = 0;
    int DriveLeft = 0;
    int DriveWidth = 0;
    int BoomLeft = 0;
    int BoomWidth = 0;
    int BoomHeight = 0;
    int LabelLeft = 0;
    int LabelWidth = 0;
    int OKLeft = 0;
    int CancelLeft = 0;
};

// SpeedNew 10 pixels from the right edge, the tree filling Panel3, the OK
// and Cancel pair centred with 5 pixels between them (the half truncated
// toward zero).
BrowseResizeResult BrowseResize(const BrowseResizeInput& input);

struct ScreenPlace {
    int Top = 0;
    int Left = 0;
};

// Negative coordinates become 1; a window reaching past the screen's right
// or bottom edge is moved back onto it.
ScreenPlace OnScreen(int top, int left, int height, int width, int screenHeight, int screenWidth);

enum class DriveKind { Removable, Fixed, Remote, CdRom, RamDisk, Other };

// The drive list's entry for a drive: the lower-case letter and a colon,
// then for all but removable drives a blank and the bracketed volume label
// or, for a network drive, its remote name. Labels and names are given in
// lower case; an empty remoteName means the name could not be read. No
// entry for other kinds of drive.
std::optional<std::string> DriveEntry(char letter, DriveKind kind, const std::string& label,
                                      const std::string& remoteName);

// Whether relabelling looks the entry's label up: only entries without text
// after their colon; at a drop-down or paint (floppies spared) never for the
// letters a and b.
bool NeedsLabel(const std::string& entry, bool sparingFloppies);

// entry + " [" + label + "]".
std::string LabelledEntry(const std::string& entry, const std::string& label);

// VolumeLabel's answer when the lookup failed: "Error <number> ...".
bool IsVolumeLabelError(const std::string& label);

// The folder part of a path: up to and including its last backslash or
// colon ("C:\Data\Quotes" gives "C:\Data\").
std::string FolderPart(const std::string& path);

// The chosen folder with a final backslash, followed by the chosen file
// when there is one.
std::string ChosenPath(const std::string& directory, const std::string& fileName);
