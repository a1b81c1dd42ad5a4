#include "download/quote_line.h"

#include <initializer_list>

namespace {

// The file's readers take one record per line, and a cell that a page
// spreads over source lines would split its record: each CR LF and each
// lone LF in a field becomes a blank. Every other byte stays as it came.
void AppendField(std::string& line, std::string_view field)
{
    if (field.find('\n') == std::string_view::npos) {
        line += field;
        return;
    }
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\r' && i + 1 < field.size() && field[i + 1] == '\n') ++i;
        line += field[i] == '\n' ? ' ' : field[i];
    }
}

std::string JoinLine(std::initializer_list<std::string_view> fields)
{
    std::size_t size = 2;
    for (const auto field : fields) size += field.size() + 2;
    std::string line;
    line.reserve(size);
    bool first = true;
    for (const auto field : fields) {
        if (!first) line += "; ";
        AppendField(line, field);
        first = false;
    }
    line += "\r\n";
    return line;
}

} // namespace

// The page's columns 2 and 5 are not written; the order of the others is
// the file's, not the page's.
std::string HeaderLine(const HeadingRecord& heading, std::string_view name)
{
    const auto& h = heading.headings;
    return JoinLine({h[0], h[2], name, "C/P", h[6], h[5], h[7], h[8], h[3], h[9], h[10], h[11], h[12], "Koers"});
}

std::string QuoteLine(const QuoteRecord& quote)
{
    const auto& c = quote.cells;
    return JoinLine({c[0], c[2], quote.name, quote.kind, c[6], c[5], c[7], c[8], c[3], c[9], c[10], c[11], c[12],
                     quote.price});
}
