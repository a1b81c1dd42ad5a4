#include "ui/browse_layout.h"

#include "support/text.h"

#include <algorithm>

bool operator==(const PixelRect& a, const PixelRect& b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
}

BrowseFrame BrowseAlign(const BrowseFrameInput& input)
{
    BrowseFrame frame;
    const int panel1Height = std::min(input.Panel1Height, input.ClientHeight);
    frame.Panel1 = {0, input.ClientHeight - panel1Height, input.ClientWidth, panel1Height};
    frame.BrowsePanel = {0, 0, input.ClientWidth, input.ClientHeight - panel1Height};

    const int insideLeft = input.Bevel;
    const int insideTop = input.Bevel;
    const int insideWidth = std::max(0, frame.BrowsePanel.Width - 2 * input.Bevel);
    const int insideHeight = std::max(0, frame.BrowsePanel.Height - 2 * input.Bevel);
    const int panel2Height = std::min(input.Panel2Height, insideHeight);
    frame.Panel2 = {insideLeft, insideTop, insideWidth, panel2Height};
    const int belowTop = insideTop + panel2Height;
    const int belowHeight = insideHeight - panel2Height;
    frame.Panel3 = {insideLeft, belowTop, input.Panel3Width, belowHeight};
    if (input.ShowFiles) {
        const int splitterLeft = insideLeft + input.Panel3Width;
        frame.Splitter = {splitterLeft, belowTop, input.SplitterWidth, belowHeight};
        const int listLeft = splitterLeft + input.SplitterWidth;
        frame.FileList = {listLeft, belowTop, std::max(0, insideLeft + insideWidth - listLeft), belowHeight};
    }
    return frame;
}

BrowseResizeResult BrowseResize(const BrowseResizeInput& input)
{
    BrowseResizeResult result;
    result.SpeedNewLeft = input.ClientWidth - input.SpeedNewWidth - 10;
    result.DriveLeft = 5;
    result.DriveWidth = input.Panel3Width - 10;
    result.BoomLeft = 0;
    result.BoomWidth = input.Panel3Width - 2;
    result.BoomHeight = input.Panel3Height - input.BoomTop - 1;
    result.LabelLeft = 0;
    result.LabelWidth = input.Panel1Width - 1;
    result.OKLeft = (input.Panel1Width - input.CancelWidth - input.OKWidth - 5) / 2;
    result.CancelLeft = result.OKLeft + input.OKWidth + 5;
    return result;
}

ScreenPlace OnScreen(int top, int left, int height, int width, int screenHeight, int screenWidth)
{
    ScreenPlace place{top, left};
    if (place.Top < 0) place.Top = 1;
    if (place.Left < 0) place.Left = 1;
    if (place.Top + height > screenHeight) place.Top = screenHeight - height;
    if (place.Left + width > screenWidth) place.Left = screenWidth - width;
    return place;
}

std::optional<std::string> DriveEntry(char letter, DriveKind kind, const std::string& label,
                                      const std::string& remoteName)
{
    const char lower = letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
    const std::string bare = std::string(1, lower) + ":";
    switch (kind) {
    case DriveKind::Removable:
        return bare;
    case DriveKind::Remote:
        if (!remoteName.empty()) return bare + " " + remoteName;
        return LabelledEntry(bare, label);
    case DriveKind::Fixed:
    case DriveKind::CdRom:
    case DriveKind::RamDisk:
        return LabelledEntry(bare, label);
    case DriveKind::Other:
        break;
    }
    return std::nullopt;
}

bool NeedsLabel(const std::string& entry, bool sparingFloppies)
{
    if (sparingFloppies && !entry.empty() && (entry[0] == 'a' || entry[0] == 'b')) return false;
    return TextAfter(':', entry).empty();
}

std::string LabelledEntry(const std::string& entry, const std::string& label) { return entry + " [" + label + "]"; }

bool IsVolumeLabelError(const std::string& label)
{
    return label.size() > 6 && label.compare(0, 6, "Error ") == 0 && label[6] >= '0' && label[6] <= '9';
}

std::string FolderPart(const std::string& path)
{
    const std::size_t last = path.find_last_of("\\:");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string ChosenPath(const std::string& directory, const std::string& fileName)
{
    std::string path = directory;
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + fileName;
}
