// The modal input dialog that asks for one line of text, centred on the
// caller's window, its height following the prompt's length.
#pragma once

#include "win/button.h"
#include "win/edit.h"
#include "win/form.h"
#include "win/label.h"

#include <string>

class TAskDlg : public Form {
public:
    void Create();

    // True when OKBtn closed the dialog. value: in, the field's first text;
    // out, its text when the dialog closed, after Cancel as well.
    bool AskText(int top, int left, int height, int width, const std::string& prompt, std::string& value);

    Label AskLabel;
    Edit AskEdit;
    Button OKBtn;
    Button CancelBtn;

private:
    void FormCreate();
    bool FormPaint(HDC dc) override;
    void OKBtnClick();
    void CancelBtnClick();

    bool result_ = false;
};

extern TAskDlg* AskDlg;
