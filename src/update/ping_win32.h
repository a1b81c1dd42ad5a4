// The ping of the maker's server before its versions list is asked for:
// the system's own ping.exe, run through the command interpreter.
#pragma once

#include <string>

// The ping's output for updateHost ("host[:port]"); empty when it could
// not run (PingCommand refuses the host, or no file for its output).
std::string PingOutput(const std::string& updateHost);
