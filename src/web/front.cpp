// One poll loop owns every connection while its request arrives (and between requests), a
// pool of handler threads owns it while its request is answered; a connection is in one of
// the two places at a time, handed over through the pool's queue and the `returned` list.
#include "web/front.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "web/app.h"

namespace zuva::web {

namespace {

using Clock = std::chrono::steady_clock;

struct Conn {
    int fd = -1;
    std::string peer, local;
    int peer_port = 0, local_port = 0;
    std::string buf;
    std::size_t request_len = 0;  // the bytes of the request handed to a handler
    Clock::time_point deadline;
    bool started = false;    // a request's first byte has arrived
    bool draining = false;   // refused: what still arrives is read and dropped until the deadline
    bool close = false;      // set by the handler: the connection ends
    bool head_only = false;  // handed over without its body (of no usable length): ends after
    bool waiting = false;    // whole, waiting for a handler while its client has enough of them
    // The request being read: how far its head was searched, the lines seen there, and once
    // the head is whole, the bytes of the whole request (0 before).
    std::size_t scanned = 0, lines = 0, need = 0;
};

std::string address_of(const sockaddr_storage& a, int& port) {
    char text[INET6_ADDRSTRLEN] = "";
    if (a.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&a);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    } else if (a.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&a);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    }
    std::string s = text;
    if (s.rfind("::ffff:", 0) == 0 && s.find('.') != std::string::npos) s = s.substr(7);
    return s;
}

std::string reply(int status, const char* reason, const char* text, int retry_after = 0) {
    std::string r = "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
    for (const auto& [k, v] : common_headers())
        r += k + ": " + v + "\r\n";
    if (retry_after > 0) r += "Retry-After: " + std::to_string(retry_after) + "\r\n";
    r += "Content-Type: text/plain; charset=utf-8\r\nContent-Length: " + std::to_string(std::strlen(text)) +
         "\r\nConnection: close\r\n\r\n" + text;
    return r;
}

// A send that does not wait: the refusals are small enough for the socket's buffer.
void send_now(int fd, const std::string& bytes) {
    [[maybe_unused]] ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// What a whole head makes of a request: a refusal, or a request of `length` bytes (its body
// too when its length is stated and allowed; the bytes may not all be there yet).
struct Verdict {
    enum Kind { More, Refuse, Ready } kind = More;
    int status = 0;
    std::size_t length = 0;
    bool head_only = false;
};

Verdict judge(const std::string& buf, const FrontLimits& l) {
    Verdict v;
    const std::size_t end = buf.find("\r\n\r\n");
    const std::size_t head = end == std::string::npos ? buf.size() : end + 4;
    const auto lines = static_cast<std::size_t>(std::count(buf.begin(), buf.begin() + head, '\n'));
    if (head > l.max_head_bytes || lines > l.max_head_lines + 1) {
        v.kind = Verdict::Refuse;
        v.status = 431;
        return v;
    }
    if (end == std::string::npos) return v;
    const std::size_t first_eol = buf.find("\r\n");
    const std::string request_line = buf.substr(0, first_eol);
    const std::string version = request_line.substr(request_line.rfind(' ') + 1);
    int hosts = 0;
    bool chunked = false;
    std::set<std::string> lengths;
    for (std::size_t at = first_eol + 2; at < end;) {
        const std::size_t eol = buf.find("\r\n", at);
        const std::string line = buf.substr(at, eol - at);
        at = eol + 2;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string name = lower(trim(line.substr(0, colon)));
        if (name == "host") ++hosts;
        if (name == "transfer-encoding") chunked = true;
        if (name == "content-length") lengths.insert(trim(line.substr(colon + 1)));
    }
    if ((version == "HTTP/1.1" && hosts == 0) || hosts > 1 || lengths.size() > 1) {
        v.kind = Verdict::Refuse;
        v.status = 400;
        return v;
    }
    std::size_t body = 0;
    if (chunked || lengths.size() == 1) {
        const std::string& text = chunked ? std::string() : *lengths.begin();
        auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), body);
        if (chunked || ec != std::errc() || p != text.data() + text.size() || body > l.max_body) {
            // The handler refuses it by its head; its body is never read.
            v.kind = Verdict::Ready;
            v.length = head;
            v.head_only = true;
            return v;
        }
    }
    v.kind = Verdict::Ready;
    v.length = head + body;
    return v;
}

// A request read whole, as cpp-httplib reads it; the response goes to the socket.
class ConnStream : public httplib::Stream {
  public:
    ConnStream(Conn& c, int write_seconds)
        : c_(c), deadline_(Clock::now() + std::chrono::seconds(write_seconds)) {}
    bool is_readable() const override { return pos_ < c_.request_len; }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override {
        const std::size_t n = std::min(size, c_.request_len - pos_);
        std::copy_n(c_.buf.data() + pos_, n, ptr);
        pos_ += n;
        return static_cast<ssize_t>(n);
    }
    ssize_t write(const char* ptr, size_t size) override {
        if (head_.size() < 8192 && head_.find("\r\n\r\n") == std::string::npos)
            head_.append(ptr, std::min<std::size_t>(size, 8192));
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::send(c_.fd, ptr + done, size - done, MSG_NOSIGNAL);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
                pollfd p{c_.fd, POLLOUT, 0};
                if (left.count() > 0 && ::poll(&p, 1, static_cast<int>(left.count())) > 0) continue;
            }
            return -1;
        }
        return static_cast<ssize_t>(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = c_.peer;
        port = c_.peer_port;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = c_.local;
        port = c_.local_port;
    }
    socket_t socket() const override { return c_.fd; }
    // Whether the response said the connection ends.
    bool said_close() const {
        const std::size_t end = head_.find("\r\n\r\n");
        return lower(head_.substr(0, end)).find("\r\nconnection: close") != std::string::npos;
    }

  private:
    Conn& c_;
    std::size_t pos_ = 0;
    Clock::time_point deadline_;
    std::string head_;
};

// Ranges are served of the pictures and sounds only, one at a time: several ranges of one
// file could make a reply many times its size, and a request for more than one gets the
// whole file.
void one_range_of_media(httplib::Request& req) {
    if (req.ranges.size() > 1 || req.path.rfind("/plik/", 0) != 0) req.ranges.clear();
}

}  // namespace

struct Front::State {
    FrontLimits limits;
    int wake = -1;
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::vector<std::shared_ptr<Conn>> returned;  // by the handlers, to the poll loop
    // The poll loop's own:
    std::vector<std::shared_ptr<Conn>> polled;
    std::map<std::string, std::size_t> per_client;
    std::map<std::string, std::size_t> busy;  // requests of each client in the handlers
    std::size_t open = 0;
    std::set<std::string> proxies;

    void close(const std::shared_ptr<Conn>& c) {
        ::close(c->fd);
        --open;
        auto it = per_client.find(c->peer);
        if (it != per_client.end() && --it->second == 0) per_client.erase(it);
    }
};

Front::Front(FrontLimits limits) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.limits = std::move(limits);
    s.proxies.insert(s.limits.proxies.begin(), s.limits.proxies.end());
    // Every connection is a descriptor: the bound stays below the process's limit.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY && files.rlim_cur > 128)
        s.limits.max_connections = std::min<std::size_t>(s.limits.max_connections, files.rlim_cur - 64);
    s.wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

Front::~Front() {
    halt();
    const socket_t sock = svr_sock_.exchange(INVALID_SOCKET);
    if (sock != INVALID_SOCKET) ::close(sock);
    if (state_->wake >= 0) ::close(state_->wake);
}

void Front::halt() {
    state_->stopping = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(state_->wake, &one, sizeof one);
}

std::string Front::answer_bytes(const std::string& bytes) {
    State& s = *state_;
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return {};
    int size = 1 << 20;
    ::setsockopt(pair[0], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    ::setsockopt(pair[1], SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    Conn c;
    c.fd = pair[0];
    c.peer = "127.0.0.1";
    c.buf = bytes;
    std::string out;
    auto drain = [&] {
        char buf[65536];
        for (ssize_t n; (n = ::recv(pair[1], buf, sizeof buf, MSG_DONTWAIT)) > 0;)
            out.append(buf, static_cast<std::size_t>(n));
    };
    // Each whole request in turn, as the poll loop hands them over.
    for (int n = 0; n < 32; ++n) {
        while (c.buf.rfind("\r\n", 0) == 0)
            c.buf.erase(0, 2);
        const Verdict v = judge(c.buf, s.limits);
        if (v.kind == Verdict::Refuse) out += "HTTP/1.1 " + std::to_string(v.status) + " (refused)\r\n\r\n";
        if (v.kind != Verdict::Ready || v.length > c.buf.size()) break;
        c.request_len = v.length;
        ConnStream stream(c, 1);
        bool closed = false;
        const bool ok = process_request(stream, false, closed, one_range_of_media);
        drain();
        c.buf.erase(0, c.request_len);
        if (!ok || closed || v.head_only || stream.said_close()) break;
    }
    drain();
    ::close(pair[0]);
    ::close(pair[1]);
    return out;
}

void Front::serve() {
    State& s = *state_;
    const FrontLimits& l = s.limits;
    const int listener = svr_sock_;
    if (listener == INVALID_SOCKET) return;
    ::fcntl(listener, F_SETFL, ::fcntl(listener, F_GETFL) | O_NONBLOCK);
    httplib::ThreadPool pool(static_cast<std::size_t>(std::max(1, l.threads)));
    const std::size_t cap = l.max_head_bytes + l.max_body + 16 * 1024;

    auto hand_over = [&](const std::shared_ptr<Conn>& c, const Verdict& v) {
        ++s.busy[c->peer];
        c->waiting = false;
        c->request_len = v.length;
        c->head_only = v.head_only;
        pool.enqueue([this, c, &s] {
            ConnStream stream(*c, s.limits.write_seconds);
            bool closed = false;
            const bool ok = process_request(stream, s.stopping, closed, one_range_of_media);
            c->buf.erase(0, c->request_len);
            c->close = !ok || closed || c->head_only || stream.said_close() || s.stopping;
            {
                std::lock_guard<std::mutex> lock(s.mutex);
                s.returned.push_back(c);
            }
            const std::uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(s.wake, &one, sizeof one);
        });
    };
    // Judges the bytes of a polled connection; false when it left the poll set.
    auto look = [&](const std::shared_ptr<Conn>& c, Clock::time_point now) {
        if (c->scanned == 0) c->buf.erase(0, std::min(c->buf.find_first_not_of("\r\n"), c->buf.size()));
        if (c->buf.empty()) return true;
        if (!c->started) {
            c->started = true;
            c->deadline = now + std::chrono::seconds(l.request_seconds);
        }
        Verdict v;
        if (c->need == 0) {
            // The head is searched and its lines counted once over its bytes, as they arrive.
            const std::size_t end = c->buf.find("\r\n\r\n", c->scanned >= 3 ? c->scanned - 3 : 0);
            const std::size_t upto = end == std::string::npos ? c->buf.size() : end + 4;
            c->lines += static_cast<std::size_t>(
                std::count(c->buf.begin() + static_cast<std::ptrdiff_t>(c->scanned),
                           c->buf.begin() + static_cast<std::ptrdiff_t>(upto), '\n'));
            c->scanned = upto;
            if (upto > l.max_head_bytes || c->lines > l.max_head_lines + 1) {
                v.kind = Verdict::Refuse;
                v.status = 431;
            } else if (end == std::string::npos) {
                return true;
            } else {
                v = judge(c->buf, l);
                c->need = v.length;
                c->head_only = v.head_only;
            }
        }
        if (v.kind != Verdict::Refuse) {
            if (c->buf.size() < c->need) return true;
            v.kind = Verdict::Ready;
            v.length = c->need;
            v.head_only = c->head_only;
        }
        if (v.kind == Verdict::Refuse) {
            send_now(c->fd, v.status == 431 ? reply(431, "Request Header Fields Too Large",
                                                    "Nagłówki żądania są za duże.")
                                            : reply(400, "Bad Request", "Złe żądanie."));
            ::shutdown(c->fd, SHUT_WR);
            c->draining = true;
            c->buf.clear();
            c->deadline = now + std::chrono::seconds(2);
            return true;
        }
        // A client's requests take a bounded share of the handlers (one that does not read
        // its replies holds a handler until the write's time runs out).
        const auto busy = s.busy.find(c->peer);
        if (!s.proxies.count(c->peer) && busy != s.busy.end() && busy->second >= l.per_client_handlers) {
            c->waiting = true;
            return true;
        }
        hand_over(c, v);
        return false;
    };

    while (!s.stopping) {
        auto now = Clock::now();
        std::vector<std::shared_ptr<Conn>> back;
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            back.swap(s.returned);
        }
        for (auto& c : back) {
            if (--s.busy[c->peer] == 0) s.busy.erase(c->peer);
            if (c->close) {
                s.close(c);
                continue;
            }
            c->started = false;
            c->scanned = c->lines = c->need = 0;
            c->deadline = now + std::chrono::seconds(l.idle_seconds);
            if (look(c, now)) s.polled.push_back(c);
        }
        if (!back.empty()) {
            std::vector<std::shared_ptr<Conn>> still;
            for (auto& c : s.polled)
                if (!c->waiting || look(c, now)) still.push_back(c);
            s.polled.swap(still);
        }
        std::vector<pollfd> fds;
        fds.push_back({listener, POLLIN, 0});
        fds.push_back({s.wake, POLLIN, 0});
        auto soonest = now + std::chrono::seconds(1);
        for (const auto& c : s.polled) {
            fds.push_back({c->fd, POLLIN, 0});
            soonest = std::min(soonest, c->deadline);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(soonest - now).count();
        if (::poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(wait, 0) + 1)) < 0 &&
            errno != EINTR)
            break;
        now = Clock::now();
        if (fds[1].revents) {
            std::uint64_t count = 0;
            [[maybe_unused]] ssize_t n = ::read(s.wake, &count, sizeof count);
        }
        // Reading, judging and expiring the polled connections.
        std::vector<std::shared_ptr<Conn>> keep;
        for (std::size_t i = 0; i < s.polled.size(); ++i) {
            const auto& c = s.polled[i];
            bool gone = false;
            if (fds[i + 2].revents) {
                char chunk[16 * 1024];
                const ssize_t n = ::recv(c->fd, chunk, sizeof chunk, MSG_DONTWAIT);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                    gone = true;
                } else if (n > 0 && !c->draining) {
                    c->buf.append(chunk, static_cast<std::size_t>(n));
                    if (c->buf.size() > cap) {
                        gone = true;
                    } else if (!look(c, now)) {
                        continue;  // handed to a handler
                    }
                }
            }
            if (!gone && now >= c->deadline) gone = true;
            if (gone)
                s.close(c);
            else
                keep.push_back(c);
        }
        s.polled.swap(keep);
        // New connections, within the bounds.
        if (fds[0].revents) {
            for (;;) {
                sockaddr_storage peer{};
                socklen_t len = sizeof peer;
                const int fd = ::accept4(listener, reinterpret_cast<sockaddr*>(&peer), &len,
                                         SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd < 0) {
                    // Out of descriptors: the waiting connections stay queued a moment
                    // rather than the loop spinning on them.
                    if (errno == EMFILE || errno == ENFILE)
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    break;
                }
                auto c = std::make_shared<Conn>();
                c->fd = fd;
                c->peer = address_of(peer, c->peer_port);
                sockaddr_storage local{};
                len = sizeof local;
                if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) == 0)
                    c->local = address_of(local, c->local_port);
                const bool proxy = s.proxies.count(c->peer) != 0;
                if (s.open >= l.max_connections || (!proxy && s.per_client[c->peer] >= l.per_client)) {
                    send_now(fd, reply(503, "Service Unavailable",
                                       "Za dużo połączeń naraz. Spróbuj za chwilę.", 1));
                    ::close(fd);
                    if (s.per_client[c->peer] == 0) s.per_client.erase(c->peer);
                    continue;
                }
                ++s.open;
                ++s.per_client[c->peer];
                c->deadline = now + std::chrono::seconds(l.idle_seconds);
                s.polled.push_back(c);
            }
        }
    }
    for (const auto& c : s.polled)
        s.close(c);
    s.polled.clear();
    pool.shutdown();  // the handlers finish their requests
    for (const auto& c : s.returned)
        s.close(c);
    s.returned.clear();
}

}  // namespace zuva::web
