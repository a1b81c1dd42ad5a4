// The fixed texts of the option pages' markup that the option page scanner
// cuts at, in the order they stand on a page.
#pragma once

#include <string_view>

namespace OptionPageMarkers {

inline constexpr std::string_view SelectionLabel = "Kies onderliggende waarde:";
inline constexpr std::string_view Divider = "quoteLine bottomDivider\"";
inline constexpr std::string_view TableEnd = "</table>";
inline constexpr std::string_view Heading = "\"col\">";
inline constexpr std::string_view DateCell = "px;\">";
inline constexpr std::string_view Percentage = "percentage";
inline constexpr std::string_view LastCell = "<td ";
// The selection list of underlyings, and what each of its entries begins
// with; the list page's entries are read from there.
inline constexpr std::string_view SelectStart = "<select name=";
inline constexpr std::string_view OptionValue = "value=\"";
// Ends every row of the option table, the headings' row included.
inline constexpr std::string_view RowEnd = "</tr>";

} // namespace OptionPageMarkers
