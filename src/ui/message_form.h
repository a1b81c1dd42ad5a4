// The borderless message window: one or two lines of text, shown without
// holding the caller up, that closes itself after a given time.
#pragma once

#include "win/form.h"
#include "win/memo.h"
#include "win/panel.h"
#include "win/timer.h"

#include <cstdint>
#include <string>

class TMessageForm : public Form {
public:
    void Create();

    // Returns at once. An empty line is left out; interval 0 keeps the
    // window up until a later call gives it a time. Called again while up,
    // the text is replaced and the running countdown goes on unless the
    // interval changes.
    void ShowMessageWindow(int top, int left, int height, int width, const std::string& line1,
                           const std::string& line2, std::uint16_t interval);

    Panel MessagePanel;
    Memo MessageMemo;
    Timer Timer;

private:
    void FormShow() override;
    void FormResize() override;
    void TimerTimer();
};

extern TMessageForm* MessageForm;
