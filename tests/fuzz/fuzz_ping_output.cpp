// The ping's verdict from its output file, and the host that goes onto the
// ping's command line.
#include "fuzz_require.h"
#include "update/ping_rules.h"

#include <string>
#include <vector>

namespace {

// The output's lines as a text file is read: a line ends at CR LF, LF or a
// lone CR.
std::vector<std::string> TextFileLines(std::string_view text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

bool IsHostChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = InputText(data, size);

    const std::vector<std::string> lines = TextFileLines(text);
    const bool timedOut = lines.size() >= 3 && lines[2].find("Time-out") != std::string::npos;
    Require(PingTimedOut(text) == timedOut, "the verdict is the third line's");

    // The update host goes onto a command line: only a plain host name may.
    const std::string host = PingableHost(text);
    for (const char c : host) Require(IsHostChar(c), "the pinged host is letters, digits, points and hyphens");
    Require(host.empty() || text.rfind(host, 0) == 0, "the pinged host is the setting's host part");
    const std::string command = PingCommand(text, "C:\\W\\ping.exe", "C:\\T\\k.tmp");
    Require(command.empty() == host.empty(), "a command exactly when the host is plain");
    if (!command.empty())
        Require(command == "\"C:\\W\\ping.exe\" " + host + " -n 1 -w 100 > \"C:\\T\\k.tmp\"", "the command's form");
    return 0;
}
