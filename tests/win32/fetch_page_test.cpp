// FetchPage with the real WinINet against a real socket server on a thread
// of the test: each connection gets canned bytes, then is closed, held
// silent, or fed without end.
#include "download/fetch_page.h"

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class Then { Close, Silent, Endless, Drip };

struct Reply {
    Reply(std::string replyBytes, Then replyThen = Then::Close) : bytes(std::move(replyBytes)), then(replyThen) {}

    std::string bytes;
    Then then;
};

std::string Response(const std::string& status, const std::string& body, const std::string& length = "")
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: "
           + (length.empty() ? std::to_string(body.size()) : length) + "\r\nConnection: close\r\n\r\n" + body;
}

std::string Filler(std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

// Serves one reply per connection, in order, and keeps each request.
class CannedServer {
public:
    explicit CannedServer(std::vector<Reply> replies) : replies_(std::move(replies))
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 8);
        int size = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        // std::thread is not available with this MinGW's thread model.
        thread_ = CreateThread(nullptr, 0, &CannedServer::Run, this, 0, nullptr);
    }

    CannedServer(const CannedServer&) = delete;
    CannedServer& operator=(const CannedServer&) = delete;

    ~CannedServer()
    {
        Finish();
        closesocket(listener_);
        WSACleanup();
    }

    std::string Url(const std::string& query = "?call=AEX.AGN/O") const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + "/derivaten/opties/" + query;
    }

    // Waits until every connection has ended; the requests as received.
    std::vector<std::string> Finish()
    {
        InterlockedExchange(&stopping_, 1);
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return requests_;
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        static_cast<CannedServer*>(self)->Serve();
        return 0;
    }

    bool Stopping() { return InterlockedCompareExchange(&stopping_, 0, 0) != 0; }

    void Serve()
    {
        for (const Reply& reply : replies_) {
            SOCKET client = AcceptUnlessStopping();
            if (client == INVALID_SOCKET) return;
            DWORD pollMs = 100;
            setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&pollMs), sizeof pollMs);
            requests_.push_back(ReadRequest(client));
            Answer(client, reply);
            closesocket(client);
        }
    }

    SOCKET AcceptUnlessStopping()
    {
        while (!Stopping()) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval wait{0, 100'000};
            if (select(0, &ready, nullptr, nullptr, &wait) == 1) return accept(listener_, nullptr, nullptr);
        }
        return INVALID_SOCKET;
    }

    std::string ReadRequest(SOCKET client)
    {
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos && !Stopping()) {
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got > 0) request.append(buffer, got);
            else if (got == 0 || WSAGetLastError() != WSAETIMEDOUT) break;
        }
        return request;
    }

    // True while the client keeps the connection open.
    bool ClientStays(SOCKET client)
    {
        char buffer[256];
        const int got = recv(client, buffer, sizeof buffer, 0);
        return got > 0 || (got < 0 && WSAGetLastError() == WSAETIMEDOUT);
    }

    void Answer(SOCKET client, const Reply& reply)
    {
        send(client, reply.bytes.data(), static_cast<int>(reply.bytes.size()), 0);
        const std::string chunk = reply.then == Then::Endless ? Filler(64 * 1024) : "x";
        switch (reply.then) {
        case Then::Close:
            // A graceful close: the client sees the end of the stream, not a reset.
            shutdown(client, SD_SEND);
            while (!Stopping() && ClientStays(client)) {
            }
            break;
        case Then::Silent:
            while (!Stopping() && ClientStays(client)) {
            }
            break;
        case Then::Endless:
        case Then::Drip:
            while (!Stopping() && send(client, chunk.data(), static_cast<int>(chunk.size()), 0) > 0)
                if (reply.then == Then::Drip) Sleep(100);
            break;
        }
    }

    std::vector<Reply> replies_;
    std::vector<std::string> requests_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    HANDLE thread_ = nullptr;
    volatile LONG stopping_ = 0;
};

struct BodyCase {
    const char* name;
    std::string response;
    std::string expected;
};

TEST(FetchPageTest, ReturnsTheBodyAsReceived)
{
    const std::string bytes = std::string("line one\r\nline two\nthree\0four\xA0\xFF", 32) + Filler(700);
    const std::vector<BodyCase> cases = {
        {"exactly one buffer", Response("200 OK", Filler(512)), Filler(512)},
        {"two reads of 512 and 488", Response("200 OK", Filler(1000)), Filler(1000)},
        {"a large page", Response("200 OK", Filler(300'000)), Filler(300'000)},
        {"empty body", Response("200 OK", ""), ""},
        {"404 page", Response("404 Not Found", "<p>Pagina niet gevonden</p>"), "<p>Pagina niet gevonden</p>"},
        {"500 page", Response("500 Internal Server Error", Filler(1500)), Filler(1500)},
        {"bytes untouched", Response("200 OK", bytes), bytes},
        {"no length, body until the close", "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + Filler(2000),
         Filler(2000)},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                    "3e8\r\n" + Filler(1000) + "\r\n5\r\nabcde\r\n0\r\n\r\n",
         Filler(1000) + "abcde"},
        {"connection lost mid-body", Response("200 OK", Filler(3000), "5000"), Filler(3000)},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.name);
        CannedServer server(std::vector<Reply>{Reply(c.response)});
        const std::string page = FetchPage(server.Url());
        EXPECT_EQ(page.size(), c.expected.size());
        EXPECT_TRUE(page == c.expected);
    }
}

TEST(FetchPageTest, SendsOneDirectGetWithTheProgramsUserAgent)
{
    CannedServer server(std::vector<Reply>{Reply(Response("200 OK", Filler(1200)))});
    EXPECT_EQ(FetchPage(server.Url("?put=PHIA.AS/O")), Filler(1200));
    const std::vector<std::string> requests = server.Finish();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& request = requests[0];
    // The code travels unescaped, and the request line names the path, not a proxy URL.
    EXPECT_EQ(request.rfind("GET /derivaten/opties/?put=PHIA.AS/O HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: Quillo Function: Download\r\n"), std::string::npos) << request;
    EXPECT_EQ(request.find("Cookie:"), std::string::npos) << request;
}

TEST(FetchPageTest, EveryFetchReachesTheServer)
{
    CannedServer server(std::vector<Reply>{Reply(Response("200 OK", "first")), Reply(Response("200 OK", "second"))});
    EXPECT_EQ(FetchPage(server.Url()), "first");
    EXPECT_EQ(FetchPage(server.Url()), "second");
    EXPECT_EQ(server.Finish().size(), 2u);
}

TEST(FetchPageTest, UnreachableServerGivesAnEmptyPage)
{
    std::string url;
    {
        // A port that was free a moment ago and has no listener now.
        CannedServer closed(std::vector<Reply>{});
        url = closed.Url();
    }
    EXPECT_EQ(FetchPage(url), "");
    EXPECT_EQ(FetchPage("not a url"), "");
}

struct LimitCase {
    const char* name;
    Reply reply;
    FetchLimits limits;
    std::string expected;
};

FetchLimits Limits(unsigned receiveMs, unsigned pageMs, std::size_t bytes)
{
    FetchLimits limits;
    limits.receiveTimeoutMs = receiveMs;
    limits.pageTimeMs = pageMs;
    limits.pageBytes = bytes;
    return limits;
}

TEST(FetchPageTest, LimitsTurnAHangingOrEndlessPageIntoNoData)
{
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n";
    const std::vector<LimitCase> cases = {
        {"silent after accepting", {"", Then::Silent}, Limits(500, 60'000, 1 << 20), ""},
        {"silent after the head", {Response("200 OK", "", "5000"), Then::Silent}, Limits(500, 60'000, 1 << 20), ""},
        {"silent in mid-body", {Response("200 OK", Filler(1500), "5000"), Then::Silent}, Limits(500, 60'000, 1 << 20),
         ""},
        {"a body without end", {head, Then::Endless}, Limits(30'000, 60'000, 1 << 20), ""},
        {"a body that trickles for ever", {head, Then::Drip}, Limits(30'000, 1'000, 1 << 20), ""},
        {"a page of exactly the limit", {Response("200 OK", Filler(4096))}, Limits(30'000, 60'000, 4096),
         Filler(4096)},
        {"one byte over the limit", {Response("200 OK", Filler(4097))}, Limits(30'000, 60'000, 4096), ""},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        CannedServer server(std::vector<Reply>{c.reply});
        EXPECT_TRUE(FetchPage(server.Url(), c.limits) == c.expected);
    }
}

} // namespace
