// A real HTTP server on a thread of the test: each connection gets the next
// canned reply, then is closed, held silent or fed without end. The
// requests are kept.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A length other than the body's size makes a connection lost mid-body.
inline std::string HttpResponse(const std::string& status, const std::string& body,
                                const std::string& contentType = "text/plain", const std::string& length = "")
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType + "\r\nContent-Length: "
           + (length.empty() ? std::to_string(body.size()) : length) + "\r\nConnection: close\r\n\r\n" + body;
}

class CannedHttpServer {
public:
    // Endless: 64 KiB pieces as fast as the client takes them; Drip: one
    // byte every 100 ms. Both until the client leaves or the server stops.
    // Trickle: the reply itself, head and all, one byte every 100 ms, then
    // closed.
    enum class Then { Close, Silent, Endless, Drip, Trickle };
    struct Reply {
        Reply(std::string replyBytes, Then replyThen = Then::Close) : bytes(std::move(replyBytes)), then(replyThen) {}
        std::string bytes;
        Then then;
    };

    explicit CannedHttpServer(std::vector<Reply> replies) : replies_(std::move(replies))
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
        thread_ = std::thread([this] { Serve(); });
    }

    CannedHttpServer(const CannedHttpServer&) = delete;
    CannedHttpServer& operator=(const CannedHttpServer&) = delete;

    ~CannedHttpServer()
    {
        Finish();
        closesocket(listener_);
        WSACleanup();
    }

    // "127.0.0.1:port", as the Update Host setting holds it.
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Url(const std::string& path) const { return "http://" + Host() + path; }

    // Waits until every connection has ended; the requests as received.
    std::vector<std::string> Finish()
    {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
        return Requests();
    }

    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void Serve()
    {
        for (const Reply& reply : replies_) {
            SOCKET client = AcceptUnlessStopping();
            if (client == INVALID_SOCKET) return;
            DWORD pollMs = 100;
            setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&pollMs), sizeof pollMs);
            const std::string request = ReadRequest(client);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            Answer(client, reply);
            closesocket(client);
        }
    }

    SOCKET AcceptUnlessStopping()
    {
        while (!stopping_) {
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
        while (request.find("\r\n\r\n") == std::string::npos && !stopping_) {
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got > 0) request.append(buffer, got);
            else if (got == 0 || WSAGetLastError() != WSAETIMEDOUT) break;
        }
        return request;
    }

    // True while the client keeps the connection open.
    static bool ClientStays(SOCKET client)
    {
        char buffer[256];
        const int got = recv(client, buffer, sizeof buffer, 0);
        return got > 0 || (got < 0 && WSAGetLastError() == WSAETIMEDOUT);
    }

    void Answer(SOCKET client, const Reply& reply)
    {
        const bool trickle = reply.then == Then::Trickle;
        std::size_t sent = 0;
        while (sent < reply.bytes.size() && !(trickle && stopping_)) {
            const std::size_t piece = trickle ? 1 : reply.bytes.size() - sent;
            const int n = send(client, reply.bytes.data() + sent, static_cast<int>(piece), 0);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
            if (trickle) Sleep(100);
        }
        switch (reply.then) {
        case Then::Trickle:
        case Then::Close:
            // A graceful close: the client sees the end of the stream, not a reset.
            shutdown(client, SD_SEND);
            [[fallthrough]];
        case Then::Silent:
            while (!stopping_ && ClientStays(client)) {
            }
            break;
        case Then::Endless:
        case Then::Drip: {
            const std::string piece(reply.then == Then::Endless ? 64 * 1024 : 1, 'x');
            while (!stopping_ && send(client, piece.data(), static_cast<int>(piece.size()), 0) > 0)
                if (reply.then == Then::Drip) Sleep(100);
            break;
        }
        }
    }

    std::vector<Reply> replies_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};
