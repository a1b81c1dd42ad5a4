#include "settings/settings.h"
#include "ui/about_texts.h"
#include "ui/maker.h"
#include "ui/maker_links.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Lines = std::vector<std::string>;

// The address the Mail button hands to the shell, written out byte for
// byte: every CR is a single code 13, the body ends in CR and one blank.
const std::string ExpectedMailto = std::string("mailto:") + MakerEmail +
                                   "?Subject=Programma Kestrom, versie 1.00c"
                                   "&Body=Hallo " + MakerFirstName +
                                   "\r\r\rIk vond op je Home Page het \rprogramma \rKestrom.\r\r"
                                   "Ik wil hierover het volgende kwijt:\r\r\r\r\r\r"
                                   "Met vriendelijke groet,\r ";

TEST(MailtoUrl, TheProgramsMailIsBuiltExactlyAndNothingIsEscaped)
{
    const std::string url =
        MailtoUrl(MakerEmail, MailSubject("Kestrom", "versie 1.00c"), MailBody(MailBodyLines("Kestrom")));
    EXPECT_EQ(url, ExpectedMailto);
    EXPECT_EQ(url.find('\n'), std::string::npos);
    EXPECT_EQ(url.find('%'), std::string::npos);
    EXPECT_EQ(std::count(url.begin(), url.end(), '\r'), 14);
}

TEST(MailBody, JoinsWithSingleCrsAndNoneAfterTheLastLine)
{
    const std::pair<Lines, std::string> cases[] = {
        {{}, ""},
        {{""}, ""},
        {{"", ""}, "\r"},
        {{"a"}, "a"},
        {{"a", "b"}, "a\rb"},
        {{"a", "", "b", ""}, "a\r\rb\r"},
        {{" ", " "}, " \r "},
        // A line that already holds CR LF is taken as it is.
        {{"a\r\nb", "c"}, "a\r\nb\rc"},
    };
    for (const auto& [lines, body] : cases) {
        SCOPED_TRACE(::testing::PrintToString(lines));
        EXPECT_EQ(MailBody(lines), body);
    }
}

TEST(MailBodyLines, FifteenLinesWithTheirTrailingBlanks)
{
    const Lines lines = MailBodyLines("Kestrom");
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], std::string("Hallo ") + MakerFirstName);
    EXPECT_EQ(lines[3], "Ik vond op je Home Page het ");
    EXPECT_EQ(lines[4], "programma ");
    EXPECT_EQ(lines[5], "Kestrom.");
    EXPECT_EQ(lines[7], "Ik wil hierover het volgende kwijt:");
    EXPECT_EQ(lines[13], "Met vriendelijke groet,");
    EXPECT_EQ(lines[14], " ");
    for (const int empty : {1, 2, 6, 8, 9, 10, 11, 12}) {
        SCOPED_TRACE(empty + 1);
        EXPECT_EQ(lines[empty], "");
    }
}

TEST(MakerServerUrls, HttpHostAndPathWithTheQueryValueRaw)
{
    struct Case {
        const char* host;
        const char* product;
        const char* version;
        const char* webForm;
        const char* home;
    };
    const Case cases[] = {
        {"www.kestrom.nl", "Kestrom", "versie 1.00c",
         "http://www.kestrom.nl/mailform_n_php.php?ProgNam=Kestrom, versie 1.00c",
         "http://www.kestrom.nl/index_n.php"},
        {"127.0.0.1:8123", "Kestrom", "versie 1.00c",
         "http://127.0.0.1:8123/mailform_n_php.php?ProgNam=Kestrom, versie 1.00c",
         "http://127.0.0.1:8123/index_n.php"},
        {"", "", "", "http:///mailform_n_php.php?ProgNam=, ", "http:///index_n.php"},
        {"h", "A&B", "v 2 %20", "http://h/mailform_n_php.php?ProgNam=A&B, v 2 %20", "http://h/index_n.php"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        EXPECT_EQ(WebFormUrl(c.host, c.product, c.version), c.webForm);
        EXPECT_EQ(HomePageUrl(c.host), c.home);
    }
}

TEST(MakerLinks, AnyLengthFits)
{
    // The addresses once lived in buffers of 1000 and 256 bytes; long hosts,
    // addresses and versions must come through whole.
    const std::string host(300, 'h');
    const std::string version(2000, 'v');
    const std::string address = std::string(1200, 'a') + "@kestrom.nl";
    EXPECT_EQ(HomePageUrl(host), "http://" + host + "/index_n.php");
    EXPECT_EQ(WebFormUrl(host, "Kestrom", version).size(), 7 + 300 + 28 + 7 + 2 + 2000);
    const std::string mail = MailtoUrl(address, MailSubject("Kestrom", version), "x");
    EXPECT_EQ(mail, "mailto:" + address + "?Subject=Programma Kestrom, " + version + "&Body=x");
}

TEST(ContactLines, TheMakersSixLinesBetweenTheFixedOnes)
{
    const Lines lines = ContactLines("Kestrom");
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "Het programma Kestrom is geschreven door:");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], MakerFullName);
    EXPECT_EQ(lines[7], std::string("E-mail: ") + MakerEmail);
    EXPECT_EQ(lines[8], std::string("Internet: ") + DefaultUpdateHost);
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[10], "Schrijf, bel of mail voor nadere informatie!");
    for (int i = 3; i <= 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(lines[i].empty());
    }
    // The greeting names the same person the contact view does.
    EXPECT_EQ(std::string(MakerFullName).rfind(MakerFirstName, 0), 0u);
}

} // namespace
