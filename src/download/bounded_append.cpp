#include "download/bounded_append.h"

#include <algorithm>

bool AppendWithinLimit(std::string& text, std::string_view chunk, std::size_t limit)
{
    if (chunk.size() > limit || text.size() > limit - chunk.size()) return false;
    const std::size_t needed = text.size() + chunk.size();
    if (needed > text.capacity()) {
        // The string's own growth would double past the limit; a fresh
        // string reserves exactly what it is asked for.
        std::string larger;
        larger.reserve(std::min(limit, std::max(needed, 2 * text.capacity())));
        larger.append(text);
        text.swap(larger);
    }
    text.append(chunk);
    return true;
}
