#include "update/ping_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(PingRulesTest, PingTimeOutOnlyOnTheThirdLine)
{
    const std::vector<std::pair<std::string, bool>> cases = {
        {"\r\nPing wordt uitgevoerd naar www.kestrom.nl [1.2.3.4] met 32 bytes aan gegevens:\r\n"
         "Time-out bij opvragen.\r\n\r\nPing-statistieken\r\n",
         true},
        {"\r\nPinging 1.2.3.4 with 32 bytes of data:\r\nRequest timed out.\r\n", false},
        {"\r\nPinging 1.2.3.4 with 32 bytes of data:\r\nReply from 1.2.3.4: bytes=32 time<1ms TTL=128\r\n", false},
        {"Time-out\r\nTime-out\r\nReply\r\nTime-out\r\n", false},
        {"a\nb\nthe end: Time-out", true},
        {"a\rb\rTime-out\r", true},
        {"a\r\n\r\nTime-out", true},
        {"a\r\nb\r\ntime-out\r\n", false},
        {"a\r\nTime-out", false},
        {"", false},
    };
    for (const auto& [output, timedOut] : cases) {
        SCOPED_TRACE(output);
        EXPECT_EQ(PingTimedOut(output), timedOut);
    }
}

TEST(PingRulesTest, PingCommandFromTheUpdateHost)
{
    const char ping[] = "C:\\Windows\\system32\\ping.exe";
    const char output[] = "C:\\Users\\An de Vries\\Temp\\kes1A2.tmp";
    EXPECT_EQ(PingCommand("www.kestrom.nl", ping, output),
              "\"C:\\Windows\\system32\\ping.exe\" www.kestrom.nl -n 1 -w 100 > "
              "\"C:\\Users\\An de Vries\\Temp\\kes1A2.tmp\"");
    EXPECT_EQ(PingCommand("127.0.0.1:8123", ping, output),
              "\"C:\\Windows\\system32\\ping.exe\" 127.0.0.1 -n 1 -w 100 > "
              "\"C:\\Users\\An de Vries\\Temp\\kes1A2.tmp\"");
    for (const char* unsafe : {"", ":80", "host & del *.*", "host\"x", "[::1]:80", "a|b"}) {
        SCOPED_TRACE(unsafe);
        EXPECT_EQ(PingCommand(unsafe, ping, output), "");
    }
}

} // namespace
