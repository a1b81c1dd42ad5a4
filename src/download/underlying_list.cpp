#include "download/underlying_list.h"

#include "download/option_page_markers.h"
#include "download/page_length.h"
#include "download/page_scanner.h"

void ReadUnderlyings(std::string_view page, bool selectionAll, std::optional<UnderlyingList>& underlyings)
{
    if (!PageHasData(page)) return;
    underlyings.emplace();

    Marker selectStart(OptionPageMarkers::SelectStart);
    Marker value(OptionPageMarkers::OptionValue);
    PageScanner scan(page);
    scan.CutAfter(selectStart);
    scan.CutAfter(value);
    // The scan is not bounded by the select element: every later value
    // attribute of the page gives an entry too. At least one entry is made
    // even when neither marker occurs.
    for (int count = 1;; ++count) {
        std::string entry = scan.TextBefore('"');
        scan.SkipPast('>');
        entry += ' ';
        entry += scan.TextBefore('<');
        underlyings->push_back(std::move(entry));
        if (count >= 3 && !selectionAll) break;
        if (!scan.CutAfter(value)) break;
    }
}
