#include "download/page_scanner.h"

#include <gtest/gtest.h>

namespace {

TEST(PageScanner, RemembersMarkersAcrossTheEndMovingIn)
{
    // "</table>" found first, then the end moved in before it: the earlier
    // find must not reach past the new end.
    PageScanner scan("ab</table>cd<x");
    Marker tableEnd("</table>");
    Marker tag("<x");
    ASSERT_EQ(scan.Find(tableEnd), 2u);
    ASSERT_EQ(scan.Find(tag), 12u);
    Marker first("<");
    scan.EndAt(first);
    EXPECT_EQ(scan.Remaining(), 3u);
    EXPECT_EQ(scan.Find(tableEnd), std::string_view::npos);
    EXPECT_EQ(scan.Find(tag), std::string_view::npos);
    EXPECT_EQ(scan.TextBefore('<'), "ab");
    EXPECT_EQ(scan.TextBefore('d'), "");
}

TEST(PageScanner, FindsOverlappingOccurrencesAfterACut)
{
    PageScanner scan("aaab");
    Marker pair("aa");
    EXPECT_TRUE(scan.CutAfter(pair));
    EXPECT_EQ(scan.Remaining(), 2u);
    EXPECT_FALSE(scan.CutAfter(pair));
    EXPECT_EQ(scan.Remaining(), 2u);
    Marker empty("");
    EXPECT_FALSE(scan.CutAfter(empty));
}

TEST(PageScanner, SkipPastAMissingCharacterEmptiesTheWorkingText)
{
    PageScanner scan("<td class=\"a\">1<td x>2");
    EXPECT_EQ(scan.NextCell(), "1");
    EXPECT_EQ(scan.NextCell(), "");
    EXPECT_EQ(scan.Remaining(), 1u);
    scan.SkipPast('>');
    EXPECT_EQ(scan.Remaining(), 0u);
    EXPECT_EQ(scan.NextCell(), "");
}

} // namespace
