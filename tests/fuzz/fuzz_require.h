// What the fuzz targets share: a broken invariant ends the run like a crash,
// so libFuzzer keeps the input and reports it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

inline void Require(bool holds, const char* invariant)
{
    if (holds) return;
    std::fprintf(stderr, "Broken invariant: %s\n", invariant);
    std::abort();
}

inline std::string_view InputText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// The input's first line (without its LF) and the rest, for targets that
// read a name or a version next to a page; the seeds stay readable that way.
inline std::pair<std::string_view, std::string_view> FirstLine(std::string_view text)
{
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return {text, {}};
    return {text.substr(0, end), text.substr(end + 1)};
}
