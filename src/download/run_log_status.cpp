#include "download/run_log_status.h"

#include "download/trading_date.h"

#include <cstdio>
#include <optional>
#include <tuple>

namespace {

constexpr std::string_view AutomaticPart = "; automatisch; ";
constexpr std::string_view StartedPart = "gestart";

struct Entry {
    LocalDateTime start;
    bool ended = false;
    int exitCode = 0;
    int withData = 0;
};

auto Order(const LocalDateTime& t)
{
    return std::tuple(t.date.year, t.date.month, t.date.day, t.hour, t.minute, t.second);
}

// "dd-MM-yyyy hh:mm:ss" at the start of a line.
std::optional<LocalDateTime> StartOf(std::string_view line)
{
    LocalDateTime t;
    char tail = 0;
    const std::string head(line.substr(0, 19));
    if (line.size() < 19 || std::sscanf(head.c_str(), "%2d-%2d-%4d %2d:%2d:%2d%c", &t.date.day, &t.date.month,
                                        &t.date.year, &t.hour, &t.minute, &t.second, &tail) != 6)
        return std::nullopt;
    if (t.date.month < 1 || t.date.month > 12 || t.date.day < 1 || t.date.day > 31 || t.hour > 23 || t.minute > 59)
        return std::nullopt;
    return t;
}

// The number after marker in line, or fallback.
int NumberAfter(std::string_view line, std::string_view marker, int fallback)
{
    const std::size_t at = line.find(marker);
    if (at == std::string_view::npos) return fallback;
    int value = 0;
    std::size_t i = at + marker.size();
    if (i >= line.size() || line[i] < '0' || line[i] > '9') return fallback;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9' && value < 100000000; ++i) value = value * 10 + (line[i] - '0');
    return value;
}

// The number just before " fondsen met alle koersen".
int FundsWithData(std::string_view line)
{
    const std::size_t at = line.find(" fondsen met alle koersen");
    if (at == std::string_view::npos) return 0;
    std::size_t begin = at;
    while (begin > 0 && line[begin - 1] >= '0' && line[begin - 1] <= '9') --begin;
    return NumberAfter(line.substr(begin), "", 0);
}

std::optional<Entry> Parse(std::string_view line)
{
    const std::optional<LocalDateTime> start = StartOf(line);
    if (!start || line.substr(19, AutomaticPart.size()) != AutomaticPart) return std::nullopt;
    Entry entry;
    entry.start = *start;
    const std::string_view rest = line.substr(19 + AutomaticPart.size());
    if (rest.starts_with(StartedPart)) return entry;
    // The names of underlyings come before the exit code; the last
    // "exitcode " is the run's own.
    const std::size_t exitAt = line.rfind("; exitcode ");
    if (exitAt == std::string_view::npos) return std::nullopt;
    entry.ended = true;
    entry.exitCode = NumberAfter(line.substr(exitAt), "; exitcode ", -1);
    entry.withData = FundsWithData(line.substr(0, exitAt));
    return entry;
}

std::string Outcome(const Entry& entry)
{
    const std::string seeLog = std::string(": zie ") + RunLogFileName;
    if (!entry.ended) return " is niet afgemaakt (afgebroken, of de computer ging uit)";
    switch (entry.exitCode) {
    case 0:
        return ", alle koersen van " + std::to_string(entry.withData) +
               (entry.withData == 1 ? " fonds" : " fondsen");
    case 1: return ", niet alle koersen" + seeLog;
    case 2: return ", geen lijst met fondsen" + seeLog;
    case 3: return ", het koersbestand kon niet worden geschreven" + seeLog;
    case 4: return " is niet gestart (Nee op de vraag van zondag)";
    case 6: return ", de koersen staan niet onder de naam van de dag" + seeLog;
    case 7: return " is niet gestart: er liep al een download in de map";
    case 8: return ", de koersenserver antwoordde niet meer" + seeLog;
    case 11: return " is gemist";
    default: return ", exitcode " + std::to_string(entry.exitCode) + seeLog;
    }
}

std::string TwoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

} // namespace

std::string RunLogStartLine(const LocalDateTime& start)
{
    return TradingDateText(start.date) + " " + TwoDigits(start.hour) + ":" + TwoDigits(start.minute) + ":" +
           TwoDigits(start.second) + std::string(AutomaticPart) + std::string(StartedPart) + "\r\n";
}

std::string LastAutomaticRunStatus(const std::vector<std::string>& logs)
{
    std::optional<Entry> last;
    for (const std::string& log : logs) {
        std::string_view text = log;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            if (line.ends_with('\r')) line.remove_suffix(1);
            const std::optional<Entry> entry = Parse(line);
            if (!entry) continue;
            // A run's closing line carries its start's time: it settles
            // that start, also when another run's lines came in between.
            if (!last || Order(entry->start) > Order(last->start) ||
                (Order(entry->start) == Order(last->start) && entry->ended))
                last = entry;
        }
    }
    if (!last) return {};
    static const char* const weekdays[] = {"zo", "ma", "di", "wo", "do", "vr", "za"};
    const LocalDateTime& s = last->start;
    return std::string("Laatste automatische download: ") + weekdays[WeekdayOf(s.date) - 1] + " " +
           TradingDateText(s.date) + " " + TwoDigits(s.hour) + ":" + TwoDigits(s.minute) + Outcome(*last);
}
