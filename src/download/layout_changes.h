// What a run saw of pages laid out anew by the quotes site: whether every
// page it could read was such a page, which underlyings gave one, and the
// first of them, kept for the maker to fix the scanner with.
#pragma once

#include "download/page_layout.h"
#include "download/run_log.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Written beside the run log, replacing the one an earlier run kept.
inline constexpr char UnknownPageFileName[] = "Kestrom-onbekende-pagina.html";
// Of a longer page only its start is kept: enough to see the layout, and
// still small enough to go with an e-mail.
inline constexpr std::size_t UnknownPageLimit = 2 * 1024 * 1024;

class LayoutChanges {
public:
    // Forgets an earlier run.
    void Begin();

    // Notes how a page was judged; underlying is empty for the list page.
    void Note(PageJudgement judgement, std::string_view body, const std::string& underlying);

    // A page of a changed layout came.
    bool Seen() const { return seen_; }
    // It did, and no option page of the layout this version reads did.
    bool Everywhere() const { return seen_ && !quotePage_; }
    // The underlyings that gave such a page, each once, in the run's order.
    const std::vector<std::string>& Underlyings() const { return underlyings_; }
    // The first such page, at most UnknownPageLimit bytes of it.
    const std::string& FirstPage() const { return firstPage_; }

private:
    bool seen_ = false;
    bool quotePage_ = false;
    std::vector<std::string> underlyings_;
    std::string firstPage_;
};

// The memo's lines about such pages, names being the underlyings'
// names as the memo joins them; none when no such page came.
std::vector<std::string> LayoutChangeLines(const LayoutChanges& changes, const FileBesideLog& kept,
                                           std::string_view names);
