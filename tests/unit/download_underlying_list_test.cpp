#include "download/underlying_list.h"

#include "sample_option_page.h"

#include <gtest/gtest.h>

namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

Options TenOptions()
{
    Options options = {{"AEX.AGN/O", "AEX"}, {"AEX.AGN/W", "AEX week"}, {"AEX.AGN/D", "AEX dag"}};
    for (int i = 4; i <= 10; ++i) {
        const std::string number = std::to_string(i);
        options.emplace_back(std::string("F").append(number), std::string("Fonds ").append(number));
    }
    return options;
}

TEST(ReadUnderlyings, EntriesAreCodeBlankName)
{
    struct Case {
        const char* name;
        std::string page;
        bool selectionAll;
        UnderlyingList expected;
    };
    const Case cases[] = {
        {"two options", SampleListPage({{"AEX.AGN/O", "AEX"}, {"V", "T met (haakjes) en blanks"}}), true,
         {"AEX.AGN/O AEX", "V T met (haakjes) en blanks"}},
        {"ten options, all", SampleListPage(TenOptions()), true,
         {"AEX.AGN/O AEX", "AEX.AGN/W AEX week", "AEX.AGN/D AEX dag", "F4 Fonds 4", "F5 Fonds 5", "F6 Fonds 6",
          "F7 Fonds 7", "F8 Fonds 8", "F9 Fonds 9", "F10 Fonds 10"}},
        {"ten options, AEX only", SampleListPage(TenOptions()), false,
         {"AEX.AGN/O AEX", "AEX.AGN/W AEX week", "AEX.AGN/D AEX dag"}},
        {"two options, AEX only", SampleListPage({{"A", "a"}, {"B", "b"}}), false, {"A a", "B b"}},
        {"further attributes", SampleListPage({{"X\" selected=\"selected", "Naam"}}), true, {"X Naam"}},
        {"empty option text", SampleListPage({{"E", ""}}), true, {"E "}},
        {"hidden input after the list", SampleListPage({{"A", "a"}}) + "<input type=\"hidden\" value=\"h\">na<", true,
         {"A a", "h na"}},
        {"hidden input, AEX only", SampleListPage({{"A", "a"}}) + "<input type=\"hidden\" value=\"h\">na<", false,
         {"A a", "h na"}},
        {"no markers", std::string(1000, 'x'), true, {" "}},
        {"no markers but text", "ab\"cd>ef<" + std::string(1000, 'x'), true, {"ab ef"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<UnderlyingList> list = UnderlyingList{"OLD Oud"};
        ReadUnderlyings(c.page, c.selectionAll, list);
        ASSERT_TRUE(list.has_value());
        EXPECT_EQ(*list, c.expected);
    }
}

TEST(ReadUnderlyings, APageWithoutDataLeavesTheListAsItIs)
{
    std::string page = SampleListPage({{"A", "a"}});
    page.resize(999);
    std::optional<UnderlyingList> absent;
    ReadUnderlyings(page, true, absent);
    EXPECT_FALSE(absent.has_value());

    std::optional<UnderlyingList> earlier = UnderlyingList{"OLD Oud"};
    ReadUnderlyings(page, true, earlier);
    EXPECT_EQ(earlier, UnderlyingList{"OLD Oud"});

    page += 'x';
    ReadUnderlyings(page, true, earlier);
    EXPECT_EQ(earlier, UnderlyingList{"A a"});
}

} // namespace
