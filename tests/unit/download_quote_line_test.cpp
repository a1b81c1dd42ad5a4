#include "download/quote_line.h"

#include <gtest/gtest.h>

namespace {

HeadingRecord Headings()
{
    return {{"H1", "H2", "H3", "H4", "H5", "H6", "H7", "H8", "H9", "H10", "H11", "H12", "H13"}};
}

QuoteRecord Quote(std::array<std::string, OptionColumnCount> cells, std::string_view kind = "Call",
                  std::string_view price = "21,35")
{
    return {std::move(cells), kind, "Philips", price};
}

TEST(QuoteLine, FieldsInTheFilesOrder)
{
    EXPECT_EQ(HeaderLine(Headings(), "AEX"), "H1; H3; AEX; C/P; H7; H6; H8; H9; H4; H10; H11; H12; H13; Koers\r\n");

    struct Case {
        const char* name;
        QuoteRecord quote;
        const char* line;
    };
    const Case cases[] = {
        {"every cell", Quote({"C1", "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9", "C10", "C11", "C12", "C13"}),
         "C1; C3; Philips; Call; C7; C6; C8; C9; C4; C10; C11; C12; C13; 21,35\r\n"},
        {"empty cells and price", Quote({}, "Put", ""), "; ; Philips; Put; ; ; ; ; ; ; ; ; ; \r\n"},
        {"a cell holding \"; \"", Quote({"a; b", "", "", "", "", "", "", "", "", "", "", "", ""}),
         "a; b; ; Philips; Call; ; ; ; ; ; ; ; ; ; 21,35\r\n"},
        {"bytes as they came", Quote({"\xe9", "", "", "", "", "", "\t1\"", "", "", "", "", "", "x\ry"}),
         "\xe9; ; Philips; Call; \t1\"; ; ; ; ; ; ; ; x\ry; 21,35\r\n"},
        {"cells over several source lines",
         Quote({"15-03-2013\r\n", "", "\r\n250,00", "", "", "", "a\nb\r\r\n", "", "", "", "", "", "\n\n"}),
         "15-03-2013 ;  250,00; Philips; Call; a b\r ; ; ; ; ; ; ; ;   ; 21,35\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QuoteLine(c.quote), c.line);
    }
}

} // namespace
