// FetchPage with the real WinINet against a real socket server on a thread
// of the test: each connection gets canned bytes, then is closed, held
// silent, or fed without end.
// First: the canned server's HttpResponse() would hide the type of that name.
#include "support/http_get_win32.h"

#include "canned_http_server.h"
#include "download/fetch_page.h"
#include "wait_for.h"

#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Reply = CannedHttpServer::Reply;
using Then = CannedHttpServer::Then;

std::string Response(const std::string& status, const std::string& body, const std::string& length = "")
{
    return HttpResponse(status, body, "text/html", length);
}

std::string Filler(std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

std::string PageUrl(const CannedHttpServer& server, const std::string& query = "?call=AEX.AGN/O")
{
    return server.Url("/derivaten/opties/" + query);
}

struct BodyCase {
    const char* name;
    std::string response;
    std::string expected;
    unsigned long status = 200;
    bool complete = true;
};

TEST(FetchPageTest, ReturnsTheBodyAsReceivedWithItsStatus)
{
    const std::string bytes = std::string("line one\r\nline two\nthree\0four\xA0\xFF", 32) + Filler(700);
    const std::vector<BodyCase> cases = {
        {"exactly one buffer", Response("200 OK", Filler(512)), Filler(512)},
        {"two reads of 512 and 488", Response("200 OK", Filler(1000)), Filler(1000)},
        {"a large page", Response("200 OK", Filler(300'000)), Filler(300'000)},
        {"empty body", Response("200 OK", ""), ""},
        {"404 page", Response("404 Not Found", "<p>Pagina niet gevonden</p>"), "<p>Pagina niet gevonden</p>", 404},
        {"500 page", Response("500 Internal Server Error", Filler(1500)), Filler(1500), 500},
        {"a long 503 page", Response("503 Service Unavailable", Filler(5000)), Filler(5000), 503},
        {"bytes untouched", Response("200 OK", bytes), bytes},
        {"no length, body until the close", "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + Filler(2000),
         Filler(2000)},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                    "3e8\r\n" + Filler(1000) + "\r\n5\r\nabcde\r\n0\r\n\r\n",
         Filler(1000) + "abcde"},
        {"connection lost mid-body", Response("200 OK", Filler(3000), "5000"), Filler(3000), 200, false},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.name);
        CannedHttpServer server(std::vector<Reply>{Reply(c.response)});
        const FetchedPage page = FetchPage(PageUrl(server));
        EXPECT_EQ(page.body.size(), c.expected.size());
        EXPECT_TRUE(page.body == c.expected);
        EXPECT_EQ(page.status, c.status);
        EXPECT_EQ(page.complete, c.complete);
    }
}

TEST(FetchPageTest, SendsOneDirectGetWithTheProgramsUserAgent)
{
    CannedHttpServer server(std::vector<Reply>{Reply(Response("200 OK", Filler(1200)))});
    EXPECT_EQ(FetchPage(PageUrl(server, "?put=PHIA.AS/O")).body, Filler(1200));
    const std::vector<std::string> requests = server.Finish();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& request = requests[0];
    // The code travels unescaped, and the request line names the path, not a proxy URL.
    EXPECT_EQ(request.rfind("GET /derivaten/opties/?put=PHIA.AS/O HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: Quillo Function: Download\r\n"), std::string::npos) << request;
    EXPECT_EQ(request.find("Cookie:"), std::string::npos) << request;
}

// A browser's visit that leaves the page in the cache WinINet shares
// between programs, with leave to use it for an hour.
void VisitAsABrowser(const std::string& url)
{
    const HINTERNET internet = InternetOpenA("Browser", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const HINTERNET page = InternetOpenUrlA(internet, url.c_str(), nullptr, 0, 0, 0);
    char buffer[512];
    DWORD read = 0;
    while (InternetReadFile(page, buffer, sizeof buffer, &read) && read > 0) {
    }
    InternetCloseHandle(page);
    InternetCloseHandle(internet);
}

// Every fetch asks the server itself, also for a page that the shared cache
// holds, and tells caches on the way not to answer for it.
TEST(FetchPageTest, EveryFetchReachesTheServerNotTheSharedCache)
{
    const std::string cacheable = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nCache-Control: public, max-age=3600\r\n"
                                  "Content-Length: 9\r\nConnection: close\r\n\r\nyesterday";
    CannedHttpServer server(std::vector<Reply>{Reply(cacheable), Reply(Response("200 OK", "first")),
                                               Reply(Response("200 OK", "second"))});
    VisitAsABrowser(PageUrl(server));
    EXPECT_EQ(FetchPage(PageUrl(server)).body, "first");
    EXPECT_EQ(FetchPage(PageUrl(server)).body, "second");
    const std::vector<std::string> requests = server.Finish();
    ASSERT_EQ(requests.size(), 3u);
    for (std::size_t i = 1; i < requests.size(); ++i)
        EXPECT_NE(requests[i].find("\r\nPragma: no-cache\r\n"), std::string::npos) << requests[i];
}

TEST(FetchPageTest, UnreachableServerGivesAnEmptyPage)
{
    std::string url;
    {
        // A port that was free a moment ago and has no listener now.
        CannedHttpServer closed(std::vector<Reply>{});
        url = PageUrl(closed);
    }
    for (const std::string& address : {url, std::string("not a url")}) {
        const FetchedPage page = FetchPage(address);
        EXPECT_EQ(page.body, "");
        EXPECT_EQ(page.status, 0u);
        EXPECT_TRUE(page.unanswered);
    }
}

struct LimitCase {
    const char* name;
    Reply reply;
    FetchLimits limits;
    std::string expected;
    // A time-out: worth asking for again, unlike a page beyond the limit.
    bool unanswered;
};

FetchLimits Limits(unsigned receiveMs, unsigned pageMs, std::size_t bytes, unsigned stallMs = 30'000,
                   std::size_t stallBytes = 2048)
{
    FetchLimits limits;
    limits.receiveTimeoutMs = receiveMs;
    limits.pageTimeMs = pageMs;
    limits.pageBytes = bytes;
    limits.stallMs = stallMs;
    limits.stallBytes = stallBytes;
    return limits;
}

TEST(FetchPageTest, LimitsTurnAHangingOrEndlessPageIntoNoData)
{
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n";
    // A byte every 100 ms: the head alone would take about a minute.
    const std::string longHead = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nX-Padding: " + Filler(500)
                                 + "\r\nContent-Length: 1200\r\nConnection: close\r\n\r\n" + Filler(1200);
    const std::vector<LimitCase> cases = {
        {"silent after accepting", {"", Then::Silent}, Limits(500, 60'000, 1 << 20), "", true},
        {"silent after the head", {Response("200 OK", "", "5000"), Then::Silent}, Limits(500, 60'000, 1 << 20), "",
         true},
        {"silent in mid-body", {Response("200 OK", Filler(1500), "5000"), Then::Silent}, Limits(500, 60'000, 1 << 20),
         "", true},
        {"a body without end", {head, Then::Endless}, Limits(30'000, 60'000, 1 << 20), "", false},
        // Ten bytes a second: too few for the stall rule, long before the
        // page's time.
        {"a body that trickles for ever", {head, Then::Drip}, Limits(30'000, 600'000, 1 << 20, 1'000), "", true},
        // Each byte comes well within the receive time-out, which WinINet
        // then never reaches; only the stall rule ends the wait.
        {"a head that trickles", {longHead, Then::Trickle}, Limits(30'000, 600'000, 1 << 20, 1'000), "", true},
        {"a page of exactly the limit", {Response("200 OK", Filler(4096))}, Limits(30'000, 60'000, 4096),
         Filler(4096), false},
        {"one byte over the limit", {Response("200 OK", Filler(4097))}, Limits(30'000, 60'000, 4096), "", false},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        CannedHttpServer server(std::vector<Reply>{c.reply});
        const FetchedPage page = FetchPage(PageUrl(server), c.limits);
        EXPECT_TRUE(page.body == c.expected);
        EXPECT_EQ(page.unanswered, c.unanswered);
        EXPECT_FALSE(page.stillArriving);
    }
}

// A slow line: bytes keep coming, enough for the stall rule, when the
// page's time is up. What came is the page, not complete, and the server
// counts as answering.
TEST(FetchPageTest, APageStillArrivingAtItsTimeKeepsWhatCame)
{
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n";
    CannedHttpServer server(std::vector<Reply>{Reply(head, Then::Drip)});
    const FetchedPage page = FetchPage(PageUrl(server), Limits(30'000, 3'000, 1 << 20, 1'000, 2));
    EXPECT_TRUE(page.stillArriving);
    EXPECT_FALSE(page.unanswered);
    EXPECT_FALSE(page.complete);
    EXPECT_EQ(page.status, 200u);
    EXPECT_FALSE(page.body.empty());
    EXPECT_EQ(page.body, std::string(page.body.size(), 'x'));
}

// Requests whose time is up leave their WinINet threads blocked on a
// server that holds the connection; past the bound no request is begun
// until such threads have ended.
TEST(FetchPageTest, ThreadsLeftBehindAreBounded)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    // Takes connections into its backlog and never answers.
    SOCKET holder = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(holder, 64), 0);
    int size = sizeof address;
    getsockname(holder, reinterpret_cast<sockaddr*>(&address), &size);
    const std::string held = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/derivaten/opties/";

    // No head within 200 ms: given up, the thread left blocked.
    FetchLimits quick = Limits(60'000, 60'000, 1 << 20, 200);
    quick.connectTimeoutMs = 60'000;
    for (int i = 0; i < MaxThreadsLeftBehind; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(FetchPage(held, quick).unanswered);
    }
    // A server that answers at once is not even asked now.
    CannedHttpServer server(std::vector<Reply>{Reply(Response("200 OK", Filler(1200)))});
    const FetchedPage refused = FetchPage(PageUrl(server));
    EXPECT_TRUE(refused.unanswered);
    EXPECT_EQ(refused.body, "");
    EXPECT_EQ(server.Requests().size(), 0u);

    // Once the held connections are gone the threads end, and requests
    // are made again.
    closesocket(holder);
    std::string body;
    EXPECT_TRUE(WaitUntil([&] {
        body = FetchPage(PageUrl(server)).body;
        return !body.empty();
    }, 300'000));
    EXPECT_EQ(body, Filler(1200));
    WSACleanup();
}

} // namespace
