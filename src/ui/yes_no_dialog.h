// The modal yes/no question with two or three buttons whose captions the
// caller chooses, centred on the caller's window and sized to its message.
#pragma once

#include "ui/answer_countdown.h"
#include "ui/dialog_layout.h"
#include "win/button.h"
#include "win/form.h"
#include "win/memo.h"
#include "win/panel.h"
#include "win/timer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TYesNoDlg : public Form {
public:
    void Create();

    // True when JaBtn closed the dialog. cancelFlag: in, CancelBtn is shown;
    // out, CancelBtn closed the dialog. defaultYes chooses the button that
    // has the focus and that Enter presses.
    bool AskYesNo(int top, int left, int height, int width, const std::string& caption,
                  const std::string& message, const std::string& yesCaption, const std::string& noCaption,
                  const std::string& cancelCaption, bool defaultYes, bool& cancelFlag);

    // The next AskYesNo answers itself "Nee" after limitMs unless someone
    // answers first, and shows the time left below the message: for a run
    // nobody may be watching.
    void AnswerNoAfter(std::uint32_t limitMs) { limitMs_ = limitMs; }
    // Whether the last AskYesNo was answered that way.
    bool AnsweredItself() const { return answeredItself_; }

    Button NeeBtn;
    Button JaBtn;
    Panel MessagePanel;
    Memo MessageMemo;
    Button CancelBtn;
    Timer CountdownTimer;

private:
    bool FormPaint(HDC dc) override;
    void LayOutHeightsAndCentre();
    void JaBtnClick();
    void NeeBtnClick();
    void CancelBtnClick();
    void CountdownTimerTimer();
    void Answer(bool yes, bool cancelPressed);

    bool answer_ = false;
    bool cancelPressed_ = false;
    CallerRect caller_;
    std::uint32_t limitMs_ = 0;
    std::optional<AnswerCountdown> countdown_;
    std::vector<std::string> lines_;
    bool answeredItself_ = false;
};

extern TYesNoDlg* YesNoDlg;
