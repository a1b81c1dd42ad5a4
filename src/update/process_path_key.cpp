#include "update/process_path_key.h"

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

std::optional<std::string> ProcessPathKey(std::string_view path, UpperCaseMapping upperCase)
{
    while (!path.empty() && IsBlankOrControl(path.front())) path.remove_prefix(1);
    while (!path.empty() && IsBlankOrControl(path.back())) path.remove_suffix(1);
    if (path.empty() || path.size() > MaxProcessPathLength) return std::nullopt;
    return upperCase(path);
}
