#include "ui/answer_countdown.h"

#include <cstdio>

std::uint32_t AnswerCountdown::LeftMs(std::uint32_t nowMs) const
{
    const std::uint32_t passed = nowMs - startMs_;
    return passed >= limitMs_ ? 0 : limitMs_ - passed;
}

std::string AnswerCountdown::LeftText(std::uint32_t nowMs) const
{
    const std::uint32_t seconds = (LeftMs(nowMs) + 999) / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "Zonder antwoord wordt over %u:%02u \"Nee\" gekozen", seconds / 60, seconds % 60);
    return text;
}
