#include "download/page_scanner.h"

#include <algorithm>

PageScanner::PageScanner(std::string_view page) : page_(page)
{
    nextChar_.fill(Marker::Unsearched);
}

std::size_t PageScanner::FindAbsolute(std::string_view text, std::size_t& at)
{
    if (at == Marker::Unsearched || (at != std::string_view::npos && at < position_)) {
        at = page_.find(text, position_);
    }
    // An occurrence found before the end was moved in may now reach past it.
    if (at == std::string_view::npos || at + text.size() > page_.size()) return std::string_view::npos;
    return at;
}

std::size_t PageScanner::FindChar(char c)
{
    return FindAbsolute(std::string_view(&c, 1), nextChar_[static_cast<unsigned char>(c)]);
}

std::size_t PageScanner::Find(Marker& marker)
{
    const auto at = FindAbsolute(marker.text_, marker.at_);
    return at == std::string_view::npos ? at : at - position_;
}

bool PageScanner::CutAfter(Marker& marker)
{
    // An empty marker never occurs, as in the text search the pages were
    // first read with.
    if (marker.text_.empty()) return false;
    const auto at = FindAbsolute(marker.text_, marker.at_);
    if (at == std::string_view::npos) return false;
    position_ = at + marker.text_.size();
    return true;
}

void PageScanner::SkipPast(char c)
{
    const auto at = FindChar(c);
    position_ = at == std::string_view::npos ? page_.size() : at + 1;
}

std::string PageScanner::TextBefore(char c)
{
    const auto at = FindChar(c);
    if (at == std::string_view::npos) return {};
    return std::string(page_.substr(position_, at - position_));
}

void PageScanner::Skip(std::size_t count)
{
    position_ += std::min(count, Remaining());
}

void PageScanner::EndAt(Marker& marker)
{
    if (marker.text_.empty()) return;
    const auto at = FindAbsolute(marker.text_, marker.at_);
    if (at == std::string_view::npos) return;
    page_ = page_.substr(0, at + 1);
}

std::string PageScanner::NextCell()
{
    CutAfter(cellStart_);
    SkipPast('>');
    return TextBefore('<');
}
