#include "support/text.h"

#include <algorithm>

std::string TextAfter(char c, std::string_view text)
{
    const auto at = text.find(c);
    if (at == std::string_view::npos) return {};
    return std::string(text.substr(at + 1));
}

std::string TextBefore(char c, std::string_view text)
{
    const auto at = text.find(c);
    if (at == std::string_view::npos) return {};
    return std::string(text.substr(0, at));
}

std::string ParentPath(char c, std::string_view text)
{
    if (text.empty()) return {};
    if (text.back() == c) return std::string(text.substr(0, text.size() - 1));
    const auto last = text.rfind(c);
    if (last == std::string_view::npos) return {};
    // Everything up to the last separator, without that separator.
    return std::string(text.substr(0, last));
}

std::string FolderPrefix(std::string_view folder)
{
    std::string prefix(folder);
    if (!prefix.empty() && prefix.back() != '\\' && prefix.back() != '/') prefix += '\\';
    return prefix;
}

namespace {

template <typename Keep>
std::string FilterShortString(std::string_view s, Keep keep)
{
    s = s.substr(0, std::min(s.size(), ShortStringCapacity));
    std::string result;
    std::copy_if(s.begin(), s.end(), std::back_inserter(result), keep);
    return result;
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

} // namespace

std::string StripDigits(std::string_view s)
{
    return FilterShortString(s, [](char ch) { return !IsDigit(ch); });
}

std::string NumberChars(std::string_view s)
{
    return FilterShortString(s, [](char ch) { return IsDigit(ch) || ch == ',' || ch == '.'; });
}

std::string RemoveBlanks(std::string_view text)
{
    std::string result;
    std::copy_if(text.begin(), text.end(), std::back_inserter(result), [](char ch) { return ch != ' '; });
    return result;
}

std::string TrimLeadingBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first));
}

std::string TrimTrailingBlanks(std::string_view text)
{
    const auto last = text.find_last_not_of(' ');
    // All blanks (or empty): handed back unchanged, unlike TrimLeadingBlanks.
    if (last == std::string_view::npos) return std::string(text);
    return std::string(text.substr(0, last + 1));
}
