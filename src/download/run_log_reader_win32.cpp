#include "download/run_log_reader_win32.h"

#include "download/run_log.h"
#include "download/run_log_win32.h"
#include "support/text.h"
#include "support/unique_handle_win32.h"

#include <windows.h>

#include <algorithm>

namespace {

// Only the log's tail: a log grown beyond its limit by someone else costs
// no more than the program's own would.
std::string ReadTail(const std::string& path)
{
    const FileHandle log(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log.Valid()) return {};
    LARGE_INTEGER size;
    if (!GetFileSizeEx(log.Get(), &size)) return {};
    const std::uint64_t kept = std::min<std::uint64_t>(static_cast<std::uint64_t>(size.QuadPart), RunLogLimit);
    LARGE_INTEGER from;
    from.QuadPart = size.QuadPart - static_cast<LONGLONG>(kept);
    if (!SetFilePointerEx(log.Get(), from, nullptr, FILE_BEGIN)) return {};
    std::string text(static_cast<std::size_t>(kept), '\0');
    DWORD read = 0;
    if (!ReadFile(log.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) return {};
    text.resize(read);
    return text;
}

} // namespace

std::vector<std::string> ReadRunLogs(const std::string& dataFolder)
{
    std::vector<std::string> logs;
    logs.push_back(ReadTail(FolderPrefix(dataFolder) + RunLogFileName));
    const std::string fallback = FallbackRunLogFolder();
    if (!fallback.empty()) logs.push_back(ReadTail(fallback + RunLogFileName));
    return logs;
}
