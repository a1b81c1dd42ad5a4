#include "ui/dialog_layout.h"

#include "support/text.h"

#include <algorithm>
#include <cmath>

namespace {

// Halves go to the even neighbour (the default rounding mode).
int RoundToNearest(double value) { return static_cast<int>(std::nearbyint(value)); }

constexpr int PanelMargin = 16;

} // namespace

DialogPlace CentreOn(const CallerRect& caller, int height, int width)
{
    // C++ division truncates toward zero, as the placement rule wants: a
    // dialog taller than its caller by an odd amount moves up by the smaller half.
    return {caller.Top + (caller.Height - height) / 2, caller.Left + (caller.Width - width) / 2};
}

int DisplayLines(int editLineCount, bool lastLineEmpty)
{
    return std::max(0, lastLineEmpty ? editLineCount - 1 : editLineCount);
}

std::string MemoText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> YesNoLines(std::string_view message)
{
    std::vector<std::string> lines;
    std::string rest(message);
    while (rest.find('\r') != std::string::npos) {
        lines.push_back(TextBefore('\r', rest));
        rest = TextAfter('\r', rest);
    }
    lines.push_back(rest);
    return lines;
}

YesNoWidths YesNoHorizontal(int messageWidth, int neeLeft, int neeWidth, int cancelWidth)
{
    YesNoWidths widths;
    widths.PanelLeft = PanelMargin;
    widths.PanelWidth = RoundToNearest(10.0 * std::sqrt(static_cast<double>(std::max(0, messageWidth))));
    widths.PanelWidth = std::max(widths.PanelWidth, neeLeft + neeWidth - PanelMargin);
    widths.MemoLeft = 8;
    widths.MemoWidth = widths.PanelWidth - 16;
    widths.ClientWidth = widths.PanelWidth + 32;
    widths.JaLeft = PanelMargin;
    widths.NeeLeft = widths.ClientWidth - neeWidth - PanelMargin;
    widths.CancelLeft = (widths.ClientWidth - cancelWidth) / 2;
    return widths;
}

YesNoHeights YesNoVertical(int displayLines, int memoFontPoints, int buttonHeight)
{
    YesNoHeights heights;
    heights.MemoHeight = (displayLines + 1) * RoundToNearest(1.6 * memoFontPoints);
    heights.PanelHeight = heights.MemoHeight + 15;
    heights.ButtonTop = heights.PanelHeight + 27;
    heights.ClientHeight = heights.ButtonTop + buttonHeight + 15;
    return heights;
}

std::vector<std::string> MessageLines(const std::string& line1, const std::string& line2)
{
    std::vector<std::string> lines;
    if (!line1.empty()) lines.push_back(line1);
    if (!line2.empty()) lines.push_back(line2);
    return lines;
}

MessageWindowSize MessageWindowLayout(int displayLines, int memoFontPoints, int screenHeight, int panelWidth)
{
    MessageWindowSize size;
    const int height = (displayLines + 2) * memoFontPoints;
    size.MemoHeight = std::min(height, screenHeight - 200);
    size.WindowHeight = size.MemoHeight + 50;
    size.MemoLeft = 20;
    size.MemoWidth = panelWidth - 40;
    return size;
}

AskLayout AskTextLayout(int promptWidth, int labelTop, int labelWidth, int editHeight, int buttonHeight)
{
    AskLayout layout;
    layout.LabelHeight = labelWidth > 0 ? promptWidth * 30 / labelWidth : 0;
    layout.EditTop = labelTop + layout.LabelHeight + 10;
    layout.ButtonTop = layout.EditTop + editHeight + 10;
    layout.ClientHeight = layout.ButtonTop + buttonHeight + 10;
    return layout;
}
