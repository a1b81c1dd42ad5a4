// The forward-only scan that the list page and the option pages are read
// with. The working text is a position in the page, never a copy: every
// step moves the position forward, so a page costs time in proportion to
// its length plus the text the scan hands out.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// A text the scan looks for, with the place of its next occurrence
// remembered. The working text only ever loses text at its front (and,
// once, at its end), so an occurrence found from an earlier position stays
// the first one until the position passes it, and a marker that was not
// found never turns up again. That is what keeps a page with a missing
// marker from being searched to its end at every row.
class Marker {
public:
    explicit constexpr Marker(std::string_view text) : text_(text) {}

private:
    friend class PageScanner;
    std::string_view text_;
    std::size_t at_ = Unsearched;
    static constexpr std::size_t Unsearched = std::string_view::npos - 1;
};

class PageScanner {
public:
    explicit PageScanner(std::string_view page);

    // Length of the working text.
    std::size_t Remaining() const { return page_.size() - position_; }

    // Cut after a marker: the working text starts after the marker's first
    // occurrence. False, and the working text unchanged, when it does not
    // occur.
    bool CutAfter(Marker& marker);

    // The working text becomes the text after its first c; it is emptied
    // when c does not occur (as TextAfter gives an empty text then).
    void SkipPast(char c);

    // The working text before its first c; empty when c does not occur.
    std::string TextBefore(char c);

    // Offset of the marker's first occurrence from the start of the working
    // text, or npos.
    std::size_t Find(Marker& marker);

    // Drops the first count characters of the working text.
    void Skip(std::size_t count);

    // Keeps the working text up to and including the first character of the
    // marker's first occurrence; unchanged when the marker does not occur.
    void EndAt(Marker& marker);

    // One table cell: cut after "<td ", skip past the tag's ">", and the
    // cell text is what stands before the next "<". The working text keeps
    // starting at the cell's text.
    std::string NextCell();

private:
    std::size_t FindAbsolute(std::string_view text, std::size_t& at);
    std::size_t FindChar(char c);

    std::string_view page_;
    std::size_t position_ = 0;
    Marker cellStart_{"<td "};
    std::array<std::size_t, 256> nextChar_;
};
