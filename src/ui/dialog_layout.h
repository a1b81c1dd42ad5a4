// Layer ui, above download and settings: the dialogs, the settings dialog
// among them, and controls of our own. A dialog gets its opener and any
// action of a higher layer from whoever creates it.
//
// The sizing rules of the yes/no dialog, the message window and the input
// dialog. The windows measure their texts and controls and apply what these
// functions return; every size is in pixels, and the small constants in the
// rules (16, 27, 50, 200, ...) are used unscaled at any screen density.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The rectangle of the window a dialog is centred on (outer size).
struct CallerRect {
    int Top = 0;
    int Left = 0;
    int Height = 0;
    int Width = 0;
};

struct DialogPlace {
    int Top = 0;
    int Left = 0;
};

// Centres a window of the given outer size on the caller. The halves are
// truncated toward zero and nothing keeps the window on the screen.
DialogPlace CentreOn(const CallerRect& caller, int height, int width);

// Number of lines a memo shows: the edit control's line count without an
// empty last line (the line after a final CR LF, or of an empty memo).
int DisplayLines(int editLineCount, bool lastLineEmpty);

// The memo's text for its lines: each line ends in CR LF, as a memo adds it.
std::string MemoText(const std::vector<std::string>& lines);

// --- Yes/no dialog ---

// The message's lines: split at each CR, the remainder always the last line
// (also when empty). An LF after a CR stays at the start of the next line.
std::vector<std::string> YesNoLines(std::string_view message);

struct YesNoWidths {
    int PanelLeft = 0;
    int PanelWidth = 0;
    int MemoLeft = 0;
    int MemoWidth = 0;
    int ClientWidth = 0;
    int JaLeft = 0;
    int NeeLeft = 0;
    int CancelLeft = 0;
};

// messageWidth is the text width of the whole message. The panel is never
// narrower than the current NeeBtn's right edge - 16, which after a first
// call is that call's panel width: the dialog does not shrink within a run.
YesNoWidths YesNoHorizontal(int messageWidth, int neeLeft, int neeWidth, int cancelWidth);

struct YesNoHeights {
    int MemoHeight = 0;
    int PanelHeight = 0;
    int ButtonTop = 0;
    int ClientHeight = 0;
};

// FormPaint: memoFontPoints is the memo font's size in points (10 points:
// 16 pixels a line); one line more than the memo shows is kept free.
YesNoHeights YesNoVertical(int displayLines, int memoFontPoints, int buttonHeight);

// --- Message window ---

// Line1 and Line2, each left out when empty.
std::vector<std::string> MessageLines(const std::string& line1, const std::string& line2);

struct MessageWindowSize {
    int MemoLeft = 0;
    int MemoWidth = 0;
    int MemoHeight = 0;
    int WindowHeight = 0;
};

// displayLines is counted at the memo's width before this call. The memo is
// at most screenHeight - 200 high; the text is then cut off at the bottom.
MessageWindowSize MessageWindowLayout(int displayLines, int memoFontPoints, int screenHeight, int panelWidth);

// --- Input dialog ---

struct AskLayout {
    int LabelHeight = 0;
    int EditTop = 0;
    int ButtonTop = 0;
    int ClientHeight = 0;
};

// promptWidth is the text width of the prompt; the label's height is an
// estimate of 30 pixels per wrapped line of labelWidth.
AskLayout AskTextLayout(int promptWidth, int labelTop, int labelWidth, int editHeight, int buttonHeight);
