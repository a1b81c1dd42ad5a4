#include "download/day_file_naming.h"

#include <optional>

namespace {

constexpr std::string_view Separator = "; ";

// Field number index (from 0) of a line; nothing when the line has fewer.
std::optional<std::string_view> Field(std::string_view line, int index)
{
    std::size_t start = 0;
    for (int field = 0; field < index; ++field) {
        const std::size_t at = line.find(Separator, start);
        if (at == std::string_view::npos) return std::nullopt;
        start = at + Separator.size();
    }
    const std::size_t end = line.find(Separator, start);
    if (end == std::string_view::npos) return std::nullopt;
    return line.substr(start, end - start);
}

} // namespace

std::string_view LineUnderlying(std::string_view line)
{
    return Field(line, 2).value_or(std::string_view());
}

bool IsSeriesLine(std::string_view line)
{
    const auto expiry = Field(line, 0);
    const auto strike = Field(line, 1);
    if (!expiry || !strike || !Field(line, 2)) return false;
    if (*expiry != "0-0-20") return true;
    // The strike without the "0" a short cell is padded with: a series has
    // a number there.
    std::string_view number = *strike;
    if (number.starts_with('0')) number.remove_prefix(1);
    return number.find_first_of("0123456789") != std::string_view::npos;
}

QuoteContent ContentOfFile(std::string_view text, bool leftover)
{
    QuoteContent content;
    std::string_view last;
    // The first line is the header line.
    std::size_t start = text.find('\n');
    while (start != std::string_view::npos && start + 1 < text.size()) {
        const std::size_t end = text.find('\n', start + 1);
        const std::string_view line =
            text.substr(start + 1, end == std::string_view::npos ? std::string_view::npos : end - start - 1);
        if (IsSeriesLine(line)) {
            last = LineUnderlying(line);
            content.series.emplace(last);
        }
        start = end;
    }
    content.whole = content.series;
    if (leftover && !last.empty()) content.whole.erase(content.whole.find(last));
    return content;
}

bool HoldsAtLeast(const QuoteContent& newcomer, const QuoteContent& holder)
{
    for (const std::string& underlying : holder.series) {
        if (!newcomer.whole.count(underlying)) return false;
    }
    return true;
}

DayNameVerdict JudgeDayName(const QuoteContent& newcomer, const NameHolder& day)
{
    if (newcomer.series.empty()) return DayNameVerdict::Lacks;
    switch (day.state) {
    case NameHolder::State::Free: return DayNameVerdict::Takes;
    case NameHolder::State::Unreadable: return DayNameVerdict::Unread;
    case NameHolder::State::Read: break;
    }
    return HoldsAtLeast(newcomer, day.content) ? DayNameVerdict::Takes : DayNameVerdict::Lacks;
}

bool MayTake(const QuoteContent& newcomer, const NameHolder& name)
{
    switch (name.state) {
    case NameHolder::State::Free: return true;
    case NameHolder::State::Unreadable: return false;
    case NameHolder::State::Read: break;
    }
    return HoldsAtLeast(newcomer, name.content);
}

std::string NumberedName(const std::string& name, int number)
{
    if (number <= 1) return name;
    const std::size_t dot = name.rfind('.');
    const std::size_t at = dot == std::string::npos ? name.size() : dot;
    return name.substr(0, at) + "-" + std::to_string(number) + name.substr(at);
}
