#include "update/download_file_name.h"

#include <algorithm>
#include <string>

bool IsDeviceName(std::string_view fileName)
{
    // The name before its first point, trailing blanks dropped, as Windows
    // looks at it.
    std::string base(fileName.substr(0, fileName.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& ch : base)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == device) return true;
    // COM and LPT with a digit 1 to 9, or the superscripts 1, 2 and 3 of
    // the ANSI code page, which Windows also takes for those digits.
    if (base.size() != 4 || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0)) return false;
    const char digit = base[3];
    return (digit >= '1' && digit <= '9') || digit == '\xB9' || digit == '\xB2' || digit == '\xB3';
}

bool IsPlainFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || IsDeviceName(name)) return false;
    // Windows drops a final point or blank from a file name, so the file
    // made would not be the one named.
    if (name.back() == '.' || name.back() == ' ') return false;
    return std::none_of(name.begin(), name.end(), [](char ch) {
        return static_cast<unsigned char>(ch) < 32 || std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos;
    });
}

bool IsProgramName(std::string_view name)
{
    constexpr std::string_view extension = ".exe";
    if (name.size() <= extension.size()) return false;
    const std::string_view end = name.substr(name.size() - extension.size());
    return std::equal(end.begin(), end.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}
