#include "support/progress_deadline.h"

#include <algorithm>

ProgressDeadline::ProgressDeadline(std::int64_t startMs, unsigned capMs, unsigned stallMs, std::size_t stallBytes)
    : capEnd_(startMs + capMs), stallMs_(stallMs), stallBytes_(std::max<std::size_t>(stallBytes, 1)), markMs_(startMs)
{
}

void ProgressDeadline::Arrived(std::int64_t nowMs, std::size_t bytes)
{
    sinceMark_ += bytes;
    if (sinceMark_ < stallBytes_) return;
    markMs_ = nowMs;
    sinceMark_ = 0;
}

void ProgressDeadline::Restart(std::int64_t nowMs)
{
    markMs_ = nowMs;
    sinceMark_ = 0;
}

ProgressEnd ProgressDeadline::EndAt(std::int64_t nowMs) const
{
    if (stallMs_ != 0 && nowMs >= markMs_ + stallMs_) return ProgressEnd::Stalled;
    if (nowMs >= capEnd_) return ProgressEnd::Capped;
    return ProgressEnd::Going;
}

std::int64_t ProgressDeadline::NextEndMs() const
{
    return stallMs_ == 0 ? capEnd_ : std::min(capEnd_, markMs_ + stallMs_);
}
