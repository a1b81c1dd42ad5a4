// The ping that precedes the update check: the command that runs it and
// how its output is read.
#pragma once

#include <string>
#include <string_view>

// The ping's verdict: its third output line holds "Time-out" (the word
// the Dutch ping prints; case matters).
bool PingTimedOut(std::string_view pingOutput);

// The host part of "host[:port]"; empty when it holds anything beyond
// letters, digits, points and hyphens, since it goes onto a command line.
std::string PingableHost(std::string_view updateHost);

// The ping of the maker's server: pingExe (the system folder's ping.exe)
// with one echo request of 100 ms, its output redirected to outputFile;
// both paths quoted. Empty when the host cannot be pinged safely.
std::string PingCommand(std::string_view updateHost, std::string_view pingExe, std::string_view outputFile);
