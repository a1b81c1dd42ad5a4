// A question nobody may be there to answer answers itself: after its time
// it takes "Nee", and until then it says how long is left. Times are
// milliseconds of a count that may wrap; only differences count.
#pragma once

#include <cstdint>
#include <string>

class AnswerCountdown {
public:
    AnswerCountdown(std::uint32_t startMs, std::uint32_t limitMs) : startMs_(startMs), limitMs_(limitMs) {}

    std::uint32_t LeftMs(std::uint32_t nowMs) const;
    bool Expired(std::uint32_t nowMs) const { return LeftMs(nowMs) == 0; }

    // The line the question shows, the time left in minutes and seconds,
    // a begun second counted whole: "Zonder antwoord wordt over 9:59 "Nee"
    // gekozen".
    std::string LeftText(std::uint32_t nowMs) const;

private:
    std::uint32_t startMs_;
    std::uint32_t limitMs_;
};
