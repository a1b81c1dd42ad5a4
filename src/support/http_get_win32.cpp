#include "support/http_get_win32.h"

#include "support/progress_deadline.h"
#include "support/unique_handle_win32.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// What has arrived and not yet been handed on is held to this much: the
// WinINet thread waits for the caller (who may be writing a file, or
// letting window messages through) instead of reading ahead without end.
constexpr std::size_t HeldBytes = 256 * 1024;

// WinINet threads whose caller has given up on them and that still run.
std::atomic<int> threadsLeftBehind{0};

// Everything the calling thread and the WinINet thread share. Both hold a
// reference, so whichever leaves last frees it; the WinINet handles are
// the WinINet thread's own and never in here.
struct Exchange {
    Exchange(const std::string& address, const HttpRequest& asked) : url(address), request(asked)
    {
        // The thread may outlive the caller's texts.
        userAgent = asked.userAgent ? asked.userAgent : "";
        request.userAgent = userAgent.c_str();
    }

    const std::string url;
    HttpRequest request;
    std::string userAgent;

    std::mutex mutex;
    std::condition_variable changed;
    // Set by the WinINet thread.
    bool headArrived = false;
    unsigned long status = 0;
    std::optional<std::uint64_t> announcedLength;
    std::string arrived;
    std::optional<HttpEnd> end;
    // Set by the caller: nobody waits for the thread any more.
    bool abandoned = false;
    // Abandoned before the thread was done: counted in threadsLeftBehind.
    bool leftBehind = false;
};

void SetTimeout(HINTERNET handle, DWORD option, unsigned milliseconds)
{
    if (milliseconds == 0) return;
    DWORD value = milliseconds;
    InternetSetOptionA(handle, option, &value, sizeof value);
}

// Whether the last WinINet call failed on a time-out: WinINet reports its
// own code, Wine passes on the socket's.
bool LastCallTimedOut()
{
    const DWORD error = GetLastError();
    return error == ERROR_INTERNET_TIMEOUT || error == WSAETIMEDOUT;
}

std::optional<std::uint64_t> AnnouncedLength(HINTERNET request)
{
    char text[32] = {};
    DWORD size = sizeof text - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return std::nullopt;
    char* end = nullptr;
    const unsigned long long length = std::strtoull(text, &end, 10);
    if (end == text) return std::nullopt;
    return length;
}

unsigned long StatusOf(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
    return status;
}

void Finish(Exchange& x, HttpEnd end)
{
    const std::lock_guard<std::mutex> lock(x.mutex);
    x.end = end;
    if (x.leftBehind) --threadsLeftBehind;
    x.changed.notify_all();
}

// Hands a piece over; false once the caller has gone.
bool HandOver(Exchange& x, const char* bytes, std::size_t count)
{
    std::unique_lock<std::mutex> lock(x.mutex);
    x.changed.wait(lock, [&] { return x.abandoned || x.arrived.size() < HeldBytes; });
    if (x.abandoned) return false;
    x.arrived.append(bytes, count);
    x.changed.notify_all();
    return true;
}

// The body as it arrives. Every read asks only for what has already come
// (InternetQueryDataAvailable): a read of a full buffer would wait until
// the buffer is full, which for a server that sends a byte now and then
// means for ever, however short the receive time-out.
HttpEnd ReadBody(Exchange& x, HINTERNET request)
{
    char buffer[4096];
    for (;;) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0))
            return LastCallTimedOut() ? HttpEnd::Silent : HttpEnd::Broken;
        // Nothing available is the body's end; a read of one byte makes sure
        // of it without waiting for more than that byte.
        const DWORD wanted = available == 0 ? 1 : std::min<DWORD>(available, sizeof buffer);
        DWORD read = 0;
        if (!InternetReadFile(request, buffer, wanted, &read))
            return LastCallTimedOut() ? HttpEnd::Silent : HttpEnd::Broken;
        if (read == 0) return HttpEnd::Whole;
        if (!HandOver(x, buffer, read)) return HttpEnd::Stopped;
    }
}

HttpEnd Request(Exchange& x)
{
    const HttpRequest& r = x.request;
    HttpUrlParts parts;
    if (!CrackHttpUrl(x.url, parts)) return HttpEnd::NoSession;
    const InternetHandle internet(InternetOpenA(r.userAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet) return HttpEnd::NoSession;
    const InternetHandle connection(InternetConnectA(internet.Get(), parts.host.c_str(), parts.port, nullptr, nullptr,
                                                     INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return HttpEnd::NoAnswer;
    const InternetHandle request(
        HttpOpenRequestA(connection.Get(), "GET", parts.object.c_str(), nullptr, nullptr, nullptr, r.flags, 0));
    if (!request) return HttpEnd::NoAnswer;
    SetTimeout(request.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, r.timeouts.connectMs);
    SetTimeout(request.Get(), INTERNET_OPTION_SEND_TIMEOUT, r.timeouts.sendMs);
    SetTimeout(request.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, r.timeouts.receiveMs);
    if (!HttpSendRequestA(request.Get(), r.extraHeaders.empty() ? nullptr : r.extraHeaders.c_str(),
                          static_cast<DWORD>(r.extraHeaders.size()), nullptr, 0))
        return LastCallTimedOut() ? HttpEnd::TimedOut : HttpEnd::NoAnswer;
    const unsigned long status = StatusOf(request.Get());
    const std::optional<std::uint64_t> length = AnnouncedLength(request.Get());
    {
        const std::lock_guard<std::mutex> lock(x.mutex);
        x.headArrived = true;
        x.status = status;
        x.announcedLength = length;
        x.changed.notify_all();
        if (x.abandoned) return HttpEnd::Stopped;
    }
    if (r.refuseAnnouncedBeyond && r.maxBytes != 0 && length && *length > r.maxBytes) return HttpEnd::TooLarge;
    return ReadBody(x, request.Get());
}

// The WinINet thread: its handles close before it tells the caller it is
// done, so a finished request leaves nothing open.
void Work(const std::shared_ptr<Exchange>& x)
{
    HttpEnd end = HttpEnd::NoAnswer;
    try {
        end = Request(*x);
    } catch (...) {
        // Out of memory while a piece waited: the caller sees a lost connection.
        end = HttpEnd::Broken;
    }
    Finish(*x, end);
}

DWORD WINAPI WorkerThread(void* parameter)
{
    const std::unique_ptr<std::shared_ptr<Exchange>> x(static_cast<std::shared_ptr<Exchange>*>(parameter));
    Work(*x);
    return 0;
}

// The WinINet thread is a plain Windows thread, not a std::thread: a
// detached std::thread of this toolchain's thread library now and then
// started on a null state under load (an access violation in its start
// routine), which ended the whole run. False when no thread is to be had:
// as good as no connection.
bool StartWorker(const std::shared_ptr<Exchange>& x)
{
    auto parameter = std::make_unique<std::shared_ptr<Exchange>>(x);
    const ThreadHandle thread(CreateThread(nullptr, 0, WorkerThread, parameter.get(), 0, nullptr));
    if (!thread) return false;
    parameter.release();
    return true;
}

// Tells the WinINet thread, on every way out of HttpGet (an exception from
// onPiece included), that nobody waits for it any more.
class Abandon {
public:
    explicit Abandon(Exchange& x) : x_(x) {}
    Abandon(const Abandon&) = delete;
    Abandon& operator=(const Abandon&) = delete;
    ~Abandon()
    {
        const std::lock_guard<std::mutex> lock(x_.mutex);
        x_.abandoned = true;
        if (!x_.end) {
            x_.leftBehind = true;
            ++threadsLeftBehind;
        }
        x_.arrived.clear();
        x_.changed.notify_all();
    }

private:
    Exchange& x_;
};

} // namespace

bool CrackHttpUrl(const std::string& url, HttpUrlParts& parts)
{
    std::vector<char> host(url.size() + 1), path(url.size() + 1), extra(url.size() + 1);
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    components.lpszHostName = host.data();
    components.dwHostNameLength = static_cast<DWORD>(host.size());
    components.lpszUrlPath = path.data();
    components.dwUrlPathLength = static_cast<DWORD>(path.size());
    components.lpszExtraInfo = extra.data();
    components.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) return false;
    if (components.nScheme != INTERNET_SCHEME_HTTP || components.dwHostNameLength == 0) return false;
    parts.host.assign(host.data(), components.dwHostNameLength);
    parts.port = components.nPort;
    parts.object.assign(path.data(), components.dwUrlPathLength);
    parts.object.append(extra.data(), components.dwExtraInfoLength);
    if (parts.object.empty()) parts.object.push_back('/');
    return true;
}

HttpResponse HttpGet(const std::string& url, const HttpRequest& request,
                     const std::function<bool(const char*, std::size_t)>& onPiece)
{
    const Clock::time_point start = Clock::now();
    const auto msSince = [start](Clock::time_point t) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(t - start).count();
    };
    ProgressDeadline deadline(0, request.deadlineMs, request.stallMs, request.stallBytes);
    HttpResponse none;
    none.end = HttpEnd::NoAnswer;
    // Too many threads of earlier requests still block: as good as no
    // connection.
    if (threadsLeftBehind.load() >= MaxThreadsLeftBehind) return none;
    const auto x = std::make_shared<Exchange>(url, request);
    if (!StartWorker(x)) return none;
    const Abandon abandon(*x);
    HttpResponse response;
    std::unique_lock<std::mutex> lock(x->mutex);
    const auto answer = [&](HttpEnd end) {
        response.end = end;
        response.status = x->status;
        response.announcedLength = x->announcedLength;
        return response;
    };
    // Body bytes handed to onPiece so far.
    std::uint64_t handed = 0;
    bool headSeen = false;
    for (;;) {
        if (x->end && x->arrived.empty()) return answer(*x->end);
        const Clock::time_point now = Clock::now();
        // The body's stall time counts from the head.
        if (!headSeen && x->headArrived) {
            headSeen = true;
            deadline.Restart(msSince(now));
        }
        if (const ProgressEnd end = deadline.EndAt(msSince(now)); end != ProgressEnd::Going) {
            if (!x->headArrived) return answer(HttpEnd::TimedOut);
            return answer(end == ProgressEnd::Stalled ? HttpEnd::Stalled : HttpEnd::Overtime);
        }
        if (x->arrived.empty()) {
            x->changed.wait_until(lock, start + std::chrono::milliseconds(deadline.NextEndMs()),
                                  [&] { return x->end || !x->arrived.empty() || (x->headArrived && !headSeen); });
            continue;
        }
        std::string piece = std::exchange(x->arrived, std::string());
        deadline.Arrived(msSince(now), piece.size());
        x->changed.notify_all();
        const bool tooLarge = request.maxBytes != 0 && piece.size() > request.maxBytes - handed;
        if (tooLarge) piece.resize(static_cast<std::size_t>(request.maxBytes - handed));
        handed += piece.size();
        lock.unlock();
        const bool more = piece.empty() || onPiece(piece.data(), piece.size());
        lock.lock();
        if (tooLarge) return answer(HttpEnd::TooLarge);
        if (!more) return answer(HttpEnd::Stopped);
    }
}
