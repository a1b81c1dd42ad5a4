// The information window: product, version, copyright, feedback to the
// maker by e-mail (with the web form as fallback), the maker's home page,
// and a second view with the maker's contact details. Created once at
// start for the window that opens it, and shown modally by that window.
#pragma once

#include "win/bevel_frame.h"
#include "win/button.h"
#include "win/font.h"
#include "win/form.h"
#include "win/hints.h"
#include "win/label.h"
#include "win/memo.h"
#include "win/panel.h"

#include <string>

class TAboutForm : public Form {
public:
    // The product's texts come from support/product.h. The caption follows
    // the opener's and every show centres the window on the opener, which
    // must exist as long as this window does.
    void Create(const Form& opener);

    // Main view.
    Panel MainPanel;
    BevelFrame Bevel4;
    Label NameLabel;
    Label VersionLabel;
    BevelFrame Bevel3;
    Label CopyrightLabel;
    Button AutorBtn;
    BevelFrame Bevel2;
    Label Label1;
    Label Label2;
    Button MailBtn;
    Button OKBtn;
    Button HomeBtn;
    // The e-mail body; never shown.
    Memo MailMemo;

    // Contact view, shown while MainPanel is hidden.
    Panel Panel1;
    Memo Memo1;
    Button OKBtn1;

    // The hint a control shows; empty when it has none.
    std::string Hint(const Control& control) const { return hints_.Get(control); }

    // The maker's web form, the fallback for the e-mail.
    void OpenWebForm();

private:
    void FormCreate();
    void FormShow() override;
    bool FormPaint(HDC dc) override;
    void OKBtnClick();
    void AutorBtnClick();
    void OKBtn1Click();
    void MailBtnClick();
    void HomeBtnClick();

    bool MainViewShown() const;
    void ShowMainView(bool shown);
    std::string InformationCaption() const;
    // ShellExecuteA "open" with this window as owner; true when a program took the address.
    bool OpenAddress(const std::string& address);
    // The message window, centred on this window, for three seconds.
    void ShowMessage(const std::string& line1, const std::string& line2);

    const Form* opener_ = nullptr;
    Hints hints_;
    Font nameFont_;
    Font versionFont_;
    Font copyrightFont_;
    Font autorFont_;
    Font contactFont_;
    Font okBtn1Font_;
};

extern TAboutForm* AboutForm;
