#include "update/ping_win32.h"

#include "support/files.h"
#include "support/system_folders_win32.h"
#include "support/temp_files_win32.h"
#include "update/ping_rules.h"
#include "update/process_run_win32.h"

#include <fstream>

namespace {

constexpr std::streamsize PingOutputLimit = 64 * 1024;

std::string ReadFileUpTo(const std::string& path, std::streamsize limit)
{
    std::string text;
    std::ifstream file(path, std::ios::binary);
    if (file) {
        text.resize(static_cast<std::size_t>(limit));
        file.read(text.data(), limit);
        text.resize(static_cast<std::size_t>(file.gcount()));
    }
    return text;
}

} // namespace

std::string PingOutput(const std::string& updateHost)
{
    // The output goes to a new file of the ping's own, which is read and
    // deleted here; no other file is ever read or deleted.
    const std::string output = NewTempFile();
    const std::string system = SystemFolder();
    if (output.empty()) return {};
    const std::string command = system.empty() ? std::string() : PingCommand(updateHost, system + "\\ping.exe", output);
    if (!command.empty()) RunInterpreterCommand(command, true);
    std::string text = ReadFileUpTo(output, PingOutputLimit);
    DeleteFileByName(output);
    return text;
}
