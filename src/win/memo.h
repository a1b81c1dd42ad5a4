// A multi-line edit control whose text is handled as lines.
#pragma once

#include "win/control.h"

#include <vector>

struct MemoOptions {
    bool readOnly = false;
    bool verticalScrollBar = true;
    bool border = true;
    bool wantReturns = true;
    bool centred = false;
};

class Memo : public Control {
public:
    void Create(Form& owner, HWND parent, const DesignRect& rect, const MemoOptions& options = {},
                int designDensity = 120);

    // Lines are joined with CR LF in the control.
    void SetLines(const std::vector<std::string>& lines);
    std::vector<std::string> Lines() const;
    void Clear();
    void AddLine(const std::string& line);
    void ReplaceLastLine(const std::string& line);

    // Lines as the control shows them at its present width, word-wrapped
    // lines counted one by one; the line after a final CR LF counts too.
    int LineCount() const;
    bool LastLineEmpty() const;
    // Caret at the start, nothing selected.
    void CaretToStart();
};
