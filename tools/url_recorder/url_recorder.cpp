// Stands in for the mail program and the web browser in the end-to-end
// scenarios. Registered as the shell's command for an address scheme,
//     "url_recorder.exe" "LOG" "%1"
// it appends the address it was given to the file LOG, byte for byte, each
// record followed by a NUL byte (an address may hold CR and LF characters).
#include <windows.h>

#include <string>

namespace {

// One command-line token from pos on: quoted (quotes removed) or up to the
// next blank. pos ends after it.
std::string Token(const std::string& line, std::size_t& pos)
{
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos < line.size() && line[pos] == '"') {
        const std::size_t end = line.find('"', pos + 1);
        const std::size_t stop = end == std::string::npos ? line.size() : end;
        std::string token = line.substr(pos + 1, stop - pos - 1);
        pos = stop == line.size() ? stop : stop + 1;
        return token;
    }
    const std::size_t end = line.find(' ', pos);
    const std::size_t stop = end == std::string::npos ? line.size() : end;
    std::string token = line.substr(pos, stop - pos);
    pos = stop;
    return token;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string line = GetCommandLineA();
    std::size_t pos = 0;
    Token(line, pos);
    const std::string log = Token(line, pos);
    // The rest is the address, taken whole: it may hold blanks and
    // quotes of its own. Only the one pair of quotes around it goes.
    if (pos < line.size() && line[pos] == ' ') ++pos;
    std::string address = line.substr(pos);
    if (address.size() >= 2 && address.front() == '"' && address.back() == '"') {
        address = address.substr(1, address.size() - 2);
    }
    address += '\0';

    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, address.data(), static_cast<DWORD>(address.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == address.size() ? 0 : 1;
}
