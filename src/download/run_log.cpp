#include "download/run_log.h"

#include "download/trading_date.h"

#include <cstdio>

namespace {

constexpr std::size_t MaxNamesPart = 2000;

std::string OneLine(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7f') c = ' ';
    }
    return line;
}

std::string TwoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string DateText(const CalendarDate& date)
{
    return TwoDigits(date.day) + "-" + TwoDigits(date.month) + "-" + std::to_string(date.year);
}

std::string StampText(const LocalDateTime& s)
{
    return DateText(s.date) + " " + TwoDigits(s.hour) + ":" + TwoDigits(s.minute) + ":" + TwoDigits(s.second);
}

std::string FilePart(const DayFileResult& file, const CalendarDate& tradingDate)
{
    switch (file.place) {
    case DayFilePlace::Nothing:
        return "geen koersen, niets geschreven";
    case DayFilePlace::Failed:
        return "niets geschreven: " + OneLine(file.reason.value_or(""));
    case DayFilePlace::DayName:
    case DayFilePlace::Partial:
    case DayFilePlace::Beside:
    case DayFilePlace::WorkFile:
        break;
    }
    std::string part = file.fileName + ", " + std::to_string(file.lines) + " regels";
    if (!file.unread.empty())
        part += " (" + QuoteFileName(tradingDate) + " kon niet worden gelezen: " + OneLine(file.unread) + ")";
    if (!file.blocked.empty())
        part += " (" + file.blocked + " kon niet worden vervangen: " + OneLine(file.reason.value_or("")) + ")";
    return part;
}

// part, then ": " and the names.
std::string WithNames(std::string part, const std::vector<std::string>& names)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        // The names come from the list page; a line stays a line.
        if (part.size() > MaxNamesPart) return part + ", ...";
        part += (i == 0 ? ": " : ", ") + OneLine(names[i]);
    }
    return part;
}

std::string FundsPart(const RunRecord& record)
{
    return WithNames(std::to_string(record.withData) + " fondsen met alle koersen, " +
                         std::to_string(record.withoutData.size()) + " zonder",
                     record.withoutData);
}

std::string LayoutPart(const RunRecord& record)
{
    std::string part;
    if (record.changedEverywhere)
        part = "; pagina's van de koersenserver anders opgebouwd dan deze versie kent, geen koersen gelezen";
    else if (record.changedLayout.empty())
        part = "; de lijstpagina anders opgebouwd";
    else
        part = WithNames("; anders opgebouwd", record.changedLayout);
    const FileBesideLog& page = *record.unknownPage;
    return part + (page.error ? "; pagina niet bewaard: " + OneLine(*page.error) : "; pagina bewaard in " + page.path);
}

} // namespace

std::string ExitCodeText(int exitCode)
{
    switch (exitCode) {
    case 0: return "compleet";
    case 1: return "niet alle koersen ontvangen";
    case 2: return "geen lijst met fondsen";
    case 3: return "koersbestand niet geschreven";
    case 4: return "niet gestart (Nee)";
    case 6: return "koersen niet onder de naam van de dag";
    case 7: return "een andere download liep in deze map";
    case 8: return "de koersenserver antwoordde niet meer";
    case 9: return "pagina's anders opgebouwd dan deze versie kent";
    case 10: return "onverwachte fout";
    case 11: return "de avonddownload is gemist";
    default: return "onbekend";
    }
}

std::string UnexpectedErrorLogLine(const LocalDateTime& when, std::string_view message)
{
    return StampText(when) + "; automatisch; fout: " + OneLine(message) + "; exitcode 10 " + ExitCodeText(10) + "\r\n";
}

std::string RunLogLine(const RunRecord& record)
{
    std::string line = StampText(record.start) + "; " + (record.automatic ? "automatisch" : "knop") +
                       "; handelsdag " + DateText(record.tradingDate);
    if (record.downloaded) line += "; " + FilePart(record.file, record.tradingDate) + "; " + FundsPart(record);
    if (record.unknownPage) line += LayoutPart(record);
    if (!record.file.rescued.empty())
        line += "; koersen van een afgebroken download bewaard in " + record.file.rescued;
    line += "; exitcode " + std::to_string(record.exitCode) + " " + ExitCodeText(record.exitCode) + "; " +
            std::to_string((record.milliseconds + 500) / 1000) + " s\r\n";
    return line;
}

bool FitsInRunLog(std::uint64_t logSize, std::size_t lineSize)
{
    return logSize + lineSize <= RunLogLimit;
}

std::string TrimmedRunLog(std::string_view tail, std::string_view line)
{
    // The tail's first line may be the end of a line cut off by the read.
    const std::size_t firstEnd = tail.find('\n');
    std::string text(firstEnd == std::string_view::npos ? std::string_view() : tail.substr(firstEnd + 1));
    text += line;
    return text;
}

std::string FallbackRunLogLine(std::string_view line, std::string_view dataFolder, std::string_view reason)
{
    std::string text(line.substr(0, line.ends_with("\r\n") ? line.size() - 2 : line.size()));
    return text + "; gegevensmap " + OneLine(dataFolder) + " niet beschrijfbaar: " + OneLine(reason) + "\r\n";
}
