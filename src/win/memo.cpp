#include "win/memo.h"

void Memo::Create(Form& owner, HWND parent, const DesignRect& rect, const MemoOptions& options, int designDensity)
{
    DWORD style = WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL;
    if (options.verticalScrollBar) style |= WS_VSCROLL;
    if (options.readOnly) style |= ES_READONLY;
    if (options.wantReturns) style |= ES_WANTRETURN;
    if (options.centred) style |= ES_CENTER;
    CreateControl(owner, parent, "EDIT", "", style, options.border ? WS_EX_CLIENTEDGE : 0, rect, designDensity);
    // The default limit of 32767 characters would cut long progress logs.
    SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void Memo::SetLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    SetText(text);
}

std::vector<std::string> Memo::Lines() const
{
    std::vector<std::string> lines;
    const std::string text = Text();
    if (text.empty()) return lines;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

void Memo::Clear() { SetText(""); }

void Memo::AddLine(const std::string& line)
{
    // Appends at the end without rewriting the whole text, and scrolls there.
    const int length = GetWindowTextLengthA(Handle());
    const std::string addition = (length > 0 ? "\r\n" : "") + line;
    SendMessageA(Handle(), EM_SETSEL, length, length);
    SendMessageA(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(addition.c_str()));
}

void Memo::ReplaceLastLine(const std::string& line)
{
    auto lines = Lines();
    if (lines.empty()) lines.emplace_back();
    lines.back() = line;
    SetLines(lines);
}

int Memo::LineCount() const { return static_cast<int>(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0)); }

bool Memo::LastLineEmpty() const
{
    const LRESULT start = SendMessageA(Handle(), EM_LINEINDEX, LineCount() - 1, 0);
    return SendMessageA(Handle(), EM_LINELENGTH, start, 0) == 0;
}

void Memo::CaretToStart()
{
    SendMessageA(Handle(), EM_SETSEL, 0, 0);
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}
