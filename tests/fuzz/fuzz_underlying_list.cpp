// The list page scan: the program's forward-only scanner must give exactly
// the entries of the copying reference, on any page.
#include "download/underlying_list.h"
#include "fuzz_require.h"
#include "reference_scanners.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    // The first byte chooses the Selection setting; the rest is the page.
    const bool selectionAll = data[0] & 1;
    const std::string page(InputText(data + 1, size - 1));

    std::optional<UnderlyingList> list;
    ReadUnderlyings(page, selectionAll, list);
    std::optional<std::vector<std::string>> reference;
    ReferenceReadUnderlyings(page, selectionAll, reference);
    Require(list == reference, "the scanner's entries equal the reference's");
    if (list) {
        Require(!list->empty(), "a page with data gives at least one entry");
        Require(selectionAll || list->size() <= 3, "Selection false keeps three entries at most");
    }

    // A page without data leaves an earlier list as it is.
    std::optional<UnderlyingList> earlier = UnderlyingList{"AEX.AGN/O AEX"};
    ReadUnderlyings(page, selectionAll, earlier);
    Require(list ? earlier == list : earlier == UnderlyingList{"AEX.AGN/O AEX"},
            "a page replaces the list only when it has data");
    return 0;
}
