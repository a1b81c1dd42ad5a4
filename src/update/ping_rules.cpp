#include "update/ping_rules.h"

#include <algorithm>

bool PingTimedOut(std::string_view pingOutput)
{
    // Lines end in CR LF, LF or a lone CR, as a text file is read.
    std::size_t start = 0;
    for (int line = 1; line < 3; ++line) {
        const auto end = pingOutput.find_first_of("\r\n", start);
        if (end == std::string_view::npos) return false;
        start = end + (pingOutput.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    const auto end = pingOutput.find_first_of("\r\n", start);
    const std::string_view third = pingOutput.substr(start, end == std::string_view::npos ? end : end - start);
    return third.find("Time-out") != std::string_view::npos;
}

std::string PingableHost(std::string_view updateHost)
{
    const std::string_view host = updateHost.substr(0, updateHost.find(':'));
    const bool plain = !host.empty() && std::all_of(host.begin(), host.end(), [](char ch) {
        return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '.'
               || ch == '-';
    });
    return plain ? std::string(host) : std::string();
}

std::string PingCommand(std::string_view updateHost, std::string_view pingExe, std::string_view outputFile)
{
    const std::string host = PingableHost(updateHost);
    if (host.empty()) return {};
    std::string command = "\"";
    command.append(pingExe).append("\" ").append(host).append(" -n 1 -w 100 > \"").append(outputFile).append("\"");
    return command;
}
