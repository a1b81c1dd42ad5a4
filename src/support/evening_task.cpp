#include "support/evening_task.h"

#include "support/product.h"

namespace {

std::wstring Widened(std::string_view text)
{
    return std::wstring(text.begin(), text.end());
}

// Text for an element's content or an attribute in double quotes.
std::wstring XmlEscaped(std::wstring_view text)
{
    std::wstring escaped;
    for (const wchar_t c : text) {
        switch (c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        case L'"': escaped += L"&quot;"; break;
        case L'\'': escaped += L"&apos;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

bool HasControlCharacter(std::wstring_view text)
{
    for (const wchar_t c : text) {
        if (c < L' ' || c == 0x7f) return true;
    }
    return false;
}

std::wstring Element(const wchar_t* name, std::wstring_view content)
{
    return std::wstring(L"<") + name + L">" + XmlEscaped(content) + L"</" + name + L">";
}

} // namespace

std::string TaskTimeArgument(const ClockTime& time)
{
    return TaskTimeArgumentPrefix + ClockTimeText(time);
}

std::optional<ClockTime> TaskTimeFromArgument(std::string_view argument)
{
    if (!argument.starts_with(TaskTimeArgumentPrefix)) return std::nullopt;
    argument.remove_prefix(sizeof TaskTimeArgumentPrefix - 1);
    // Only the program writes this argument, and always with two digits.
    if (argument.size() != 5 || argument[2] != ':') return std::nullopt;
    return ParseClockTime(argument);
}

std::wstring EveningTaskNamePrefix()
{
    return Widened(ProductNameText) + L" avonddownload ";
}

std::wstring EveningTaskName(std::wstring_view userSid)
{
    return EveningTaskNamePrefix() + std::wstring(userSid);
}

std::wstring ProgramFolder(std::wstring_view program)
{
    const std::size_t separator = program.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos) return {};
    // A drive's root keeps its separator: "C:" alone is the drive's current folder.
    if (separator == 2 && program[1] == L':') return std::wstring(program.substr(0, 3));
    return std::wstring(program.substr(0, separator));
}

std::optional<std::wstring> EveningTaskXml(const EveningTask& task)
{
    const std::wstring folder = ProgramFolder(task.program);
    const std::wstring command = L"\"" + task.program + L"\"";
    if (task.program.empty() || folder.empty() || HasControlCharacter(task.program) ||
        command.size() > TaskPathLimit || task.userSid.empty() || HasControlCharacter(task.userSid))
        return std::nullopt;

    // A date without an offset is local time: the run stays at its hour
    // across summer time. Any past Monday starts the weekly schedule.
    const std::wstring start = L"2024-01-01T" + Widened(ClockTimeText(task.time)) + L":00";
    const std::wstring arguments = L"a " + Widened(TaskTimeArgument(task.time));
    std::wstring xml = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                       L"<Task xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n";
    xml += L"<RegistrationInfo>" + Element(L"Source", task.program) +
           Element(L"Description", L"Downloadt elke handelsdag de optiekoersen") + L"</RegistrationInfo>\r\n";
    xml += L"<Triggers><CalendarTrigger>" + Element(L"StartBoundary", start) +
           L"<ScheduleByWeek><WeeksInterval>1</WeeksInterval><DaysOfWeek>"
           L"<Monday/><Tuesday/><Wednesday/><Thursday/><Friday/>"
           L"</DaysOfWeek></ScheduleByWeek></CalendarTrigger></Triggers>\r\n";
    // Only while the user is logged on, with the user's own rights: no
    // password is stored and nothing runs elevated.
    xml += L"<Principals><Principal id=\"Author\">" + Element(L"UserId", task.userSid) +
           L"<LogonType>InteractiveToken</LogonType><RunLevel>LeastPrivilege</RunLevel></Principal></Principals>\r\n";
    // A PC switched on later that evening still gets the day's quotes, and
    // a laptop on battery gets its run (the scheduler's default is not to
    // start one).
    xml += L"<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
           L"<StartWhenAvailable>true</StartWhenAvailable>"
           L"<WakeToRun>" +
           std::wstring(task.wake ? L"true" : L"false") + L"</WakeToRun>" + Element(L"ExecutionTimeLimit", TaskTimeLimit) +
           L"</Settings>\r\n";
    xml += L"<Actions Context=\"Author\"><Exec>" + Element(L"Command", command) + Element(L"Arguments", arguments) +
           Element(L"WorkingDirectory", folder) + L"</Exec></Actions>\r\n</Task>\r\n";
    return xml;
}
