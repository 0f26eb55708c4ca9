// What strangers' connections may hold and do: slow and idle connections, floods of header
// lines, many ranges, many starts, a planted cookie, another host's name. Raw sockets on
// loopback, each bounded in count and time (clients from 127.0.0.x addresses are separate
// clients to the server).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "web_fixture.h"

namespace zuva::web::testing {
namespace {

using Clock = std::chrono::steady_clock;

// One connection from the loopback address `from`.
struct Raw {
    int fd = -1;
    Raw(int port, const std::string& from = "127.0.0.1") {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, from.c_str(), &a.sin_addr);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        a.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~Raw() {
        if (fd >= 0) ::close(fd);
    }
    bool send(const std::string& bytes) const {
        return fd >= 0 &&
               ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // What arrives until the server closes or `ms` pass.
    std::string read(int ms) const {
        std::string got;
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            pollfd p{fd, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return got;
            char buf[65536];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return got;
            got.append(buf, static_cast<std::size_t>(n));
        }
    }
    // Whether the server has closed the connection (within `ms`).
    bool closed(int ms) const {
        pollfd p{fd, POLLIN, 0};
        char c;
        return ::poll(&p, 1, ms) > 0 && ::recv(fd, &c, 1, MSG_DONTWAIT) <= 0;
    }
};

int status_of(const std::string& reply) {
    return reply.size() > 12 && reply.rfind("HTTP/1.", 0) == 0 ? std::stoi(reply.substr(9, 3)) : -1;
}

std::string from(int n) {
    return "127.0.0." + std::to_string(n);
}

TEST_F(WebTest, SlowAndIdleConnectionsHoldNoHandlerThread) {
    start([](ServeOptions& o) {
        o.threads = 4;
        o.request_seconds = 2;
        o.client_connections = 20;
    });
    // 200 connections from ten addresses: half idle, half stopped in the middle of a head.
    std::vector<std::unique_ptr<Raw>> slow;
    for (int i = 0; i < 200; ++i) {
        slow.push_back(std::make_unique<Raw>(port, from(10 + i / 20)));
        ASSERT_GE(slow.back()->fd, 0);
        if (i % 2) slow.back()->send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-A: ");
    }
    // A normal consultation goes on, each step in well under the slow ones' time.
    Browser b(port);
    ASSERT_EQ(b.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    std::vector<double> ms;
    for (int guard = 0; guard < 100; ++guard) {
        const auto t0 = Clock::now();
        auto page = b.get("/konsultacja");
        ASSERT_TRUE(page);
        auto q = pending_of(page->body);
        if (!q) break;
        ASSERT_EQ(b.post("/odpowiedz", q->form + "&wartosc=" + kAnswers.at(q->name))->status, 303);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    ASSERT_GT(ms.size(), 5u);
    std::sort(ms.begin(), ms.end());
    EXPECT_LT(ms[ms.size() / 2], 100.0) << "median of question and answer, ms";
    EXPECT_LT(ms.back(), 1000.0) << "slowest question and answer, ms";
    // One more from a client at its bound is refused at once.
    Raw extra(port, from(10));
    EXPECT_EQ(status_of(extra.read(2000)), 503);
    // A connection that trickles its head, a byte at a time, is closed at the request's time.
    Raw trickle(port, from(40));
    const auto t0 = Clock::now();
    const std::string head =
        "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Long: aaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n\r\n";
    std::size_t sent = 0;
    while (sent < head.size() && trickle.send(head.substr(sent, 1)) && !trickle.closed(150))
        ++sent;
    EXPECT_LT(sent, head.size()) << "the trickle was served";
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - t0).count(), 4.0);
}

TEST_F(WebTest, HeadsPastTheirBoundsAreRefusedAsTheyArrive) {
    start();
    const std::string begin = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    std::string lines, long_line = "X-Long: " + std::string(20000, 'a') + "\r\n";
    for (int i = 0; i < 300; ++i)
        lines += "X-" + std::to_string(i) + ": y\r\n";
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"many short lines, unfinished", begin + lines},
        {"one long line, unfinished", begin + long_line},
        {"many short lines", begin + lines + "\r\n"},
    };
    for (const auto& c : cases) {
        Raw r(port);
        r.send(c.bytes);
        const std::string reply = r.read(2000);
        EXPECT_EQ(status_of(reply), 431) << c.what;
        EXPECT_NE(reply.find("Content-Security-Policy:"), std::string::npos) << c.what;
    }
    // Within the bounds, a request is served.
    Raw r(port);
    r.send(begin + "X-A: b\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(status_of(r.read(2000)), 200);
}

TEST_F(WebTest, ManyRangesOfAPictureGetThePictureOnce) {
    start();
    Browser b(port);
    consult(b, "baza=BAZY%2FREAUTO.BEN");
    const auto whole = b.get("/plik/obraz/1");
    ASSERT_TRUE(whole && whole->status == 200);
    std::string ranges = "bytes=0-";
    for (int i = 0; i < 200; ++i)
        ranges += ",0-" + std::to_string(whole->body.size() - 1);
    auto h = b.headers(false);
    h.emplace("Range", ranges);
    auto many = b.client.Get("/plik/obraz/1", h);
    ASSERT_TRUE(many);
    EXPECT_LE(many->body.size(), whole->body.size());
    h = b.headers(false);
    h.emplace("Range", "bytes=0-9");
    auto one = b.client.Get("/plik/obraz/1", h);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->status, 206);
    EXPECT_EQ(one->body, whole->body.substr(0, 10));
    h = b.headers(false);
    h.emplace("Range", "bytes=999999999-");
    auto past = b.client.Get("/plik/obraz/1", h);
    ASSERT_TRUE(past);
    EXPECT_LE(past->body.size(), whole->body.size());
}

TEST_F(WebTest, StartsAreBoundedPerClientAndTheLeastRecentlyUsedSessionGivesWay) {
    start([](ServeOptions& o) {
        o.app.client_starts = 4;
        o.client_sessions = 2;
        o.max_sessions = 3;
        o.proxies = {"127.0.0.1"};
    });
    auto now = SessionTable::Clock::now();
    sessions->now = [&now] { return now; };
    // Through the proxy, each client is the address it names; one client's starts are bounded
    // and a refused start says when to come back.
    auto start_as = [&](Browser& b, const std::string& client) {
        httplib::Headers h = b.headers(true);
        h.emplace("X-Forwarded-For", "203.0.113.9, " + client);
        auto r = b.client.Post("/start", h, "baza=BAZY%2FREAUTO.BEN", "application/x-www-form-urlencoded");
        b.keep_cookie(r);
        return r;
    };
    std::vector<std::unique_ptr<Browser>> alice;
    for (int i = 0; i < 4; ++i) {
        alice.push_back(std::make_unique<Browser>(port));
        ASSERT_EQ(start_as(*alice.back(), "198.51.100.1")->status, 303) << i;
        now += std::chrono::seconds(1);
    }
    Browser fifth(port);
    auto refused = start_as(fifth, "198.51.100.1");
    EXPECT_EQ(refused->status, 429);
    EXPECT_GE(std::atoi(refused->get_header_value("Retry-After").c_str()), 1);
    // Alice holds two sessions at most: her first two gave way to her later ones.
    EXPECT_EQ(alice[0]->get("/konsultacja")->status, 303);
    EXPECT_EQ(alice[1]->get("/konsultacja")->status, 303);
    EXPECT_EQ(alice[3]->get("/konsultacja")->status, 200);
    // The table is full (two of Alice's, one of Bob's): a new client waits while all are
    // in use, and takes the place of the least recently used one once it is idle.
    Browser bob(port), carol(port);
    ASSERT_EQ(start_as(bob, "198.51.100.2")->status, 303);
    refused = start_as(carol, "198.51.100.3");
    EXPECT_EQ(refused->status, 503);
    EXPECT_GE(std::atoi(refused->get_header_value("Retry-After").c_str()), 1);
    now += std::chrono::seconds(31);
    EXPECT_EQ(alice[3]->get("/konsultacja")->status, 200);
    EXPECT_EQ(bob.get("/konsultacja")->status, 200);
    ASSERT_EQ(start_as(carol, "198.51.100.3")->status, 303);
    EXPECT_EQ(alice[2]->get("/konsultacja")->status, 303) << "the least recently used gave way";
    EXPECT_EQ(carol.get("/konsultacja")->status, 200);
    // An address that is not the proxy names no client: its X-Forwarded-For is not believed.
    Raw r(port, from(50));
    const std::string body = "baza=BAZY%2FREAUTO.BEN";
    for (int i = 0; i < 5; ++i)
        r.send("POST /start HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
               "\r\nOrigin: http://127.0.0.1:" + std::to_string(port) + "\r\nX-Forwarded-For: 192.0.2." +
               std::to_string(i) + "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\n\r\n" + body);
    const std::string replies = r.read(1000);
    EXPECT_NE(replies.find("HTTP/1.1 429"), std::string::npos);
}

TEST_F(WebTest, EveryStartIsANewTokenAndTheCookieIsSecureBehindTls) {
    start([](ServeOptions& o) { o.proxies = {"127.0.0.1"}; });
    // Mallory plants her own valid token in Victor's browser; Victor's start gets another.
    Browser mallory(port), victor(port);
    ASSERT_EQ(mallory.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    victor.cookie = mallory.cookie;
    auto started = victor.post("/start", "baza=BAZY%2FREAUTO.BEN&hipoteza=naladuj_lub_wymien_akumulator");
    ASSERT_EQ(started->status, 303);
    EXPECT_NE(victor.token(), mallory.token());
    EXPECT_EQ(started->get_header_value("Set-Cookie").find("Secure"), std::string::npos);
    auto q = pending_of(victor.get("/konsultacja")->body);
    ASSERT_TRUE(q);
    ASSERT_EQ(victor.post("/odpowiedz", q->form + "&wartosc=1")->status, 303);
    EXPECT_NE(mallory.get("/konsultacja")->status, 200) << "the planted token names no consultation";
    EXPECT_NE(mallory.get("/raport")->status, 200);
    // Over TLS at the proxy, the cookie is Secure.
    Browser tls(port);
    httplib::Headers h = tls.headers(true);
    h.emplace("X-Forwarded-Proto", "https");
    auto r = tls.client.Post("/start", h, "baza=BAZY%2FREAUTO.BEN", "application/x-www-form-urlencoded");
    EXPECT_NE(r->get_header_value("Set-Cookie").find("; Secure"), std::string::npos);
}

TEST_F(WebTest, OnlyTheServersHostNamesAndWellFormedHeadsAreServed) {
    start();
    const std::string p = std::to_string(port);
    const struct {
        std::string head;
        int status;
    } cases[] = {
        {"GET / HTTP/1.1\r\nHost: 127.0.0.1:" + p + "\r\n", 200},
        {"GET / HTTP/1.1\r\nHost: LOCALHOST:" + p + "\r\n", 200},
        {"GET / HTTP/1.1\r\nHost: evil.example\r\n", 421},
        {"POST /koniec HTTP/1.1\r\nHost: evil.example:" + p + "\r\nOrigin: http://evil.example:" + p +
             "\r\nContent-Length: 0\r\n",
         421},
        {"GET / HTTP/1.1\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nHost: evil.example\r\n", 400},
        {"POST /koniec HTTP/1.1\r\nHost: 127.0.0.1\r\nOrigin: http://127.0.0.1\r\nContent-Length: 0\r\n"
         "Content-Length: 5\r\n",
         400},
        {"GARBAGE\r\nHost: 127.0.0.1\r\n", 400},
    };
    for (const auto& c : cases) {
        Raw r(port);
        r.send(c.head + "Connection: close\r\n\r\n");
        const std::string reply = r.read(2000);
        EXPECT_EQ(status_of(reply), c.status) << c.head;
        EXPECT_NE(reply.find("Content-Security-Policy:"), std::string::npos) << c.head;
    }
}

}  // namespace
}  // namespace zuva::web::testing

namespace zuva::web::testing {
namespace {

TEST_F(WebTest, BytesWithoutASocketAreAnsweredAsAConnectionsAre) {
    start();
    // What the HTTP fuzzing harness drives: a start, then two requests in one connection's bytes.
    const std::string body = "baza=BAZY%2FREAUTO.BEN";
    const std::string started = server->answer_bytes(
        "POST /start HTTP/1.1\r\nHost: 127.0.0.1\r\nOrigin: http://127.0.0.1\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body);
    ASSERT_EQ(status_of(started), 303);
    const std::size_t at = started.find("zuva_sesja=");
    ASSERT_NE(at, std::string::npos);
    const std::string cookie = started.substr(at, 11 + 32);
    const std::string two =
        server->answer_bytes("GET /konsultacja HTTP/1.1\r\nHost: 127.0.0.1\r\nCookie: " + cookie +
                             "\r\n\r\nGET /nie-ma HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_NE(two.find("data-pytanie=\"wskaznik_paliwa_na_zero\""), std::string::npos);
    EXPECT_NE(two.find("HTTP/1.1 404"), std::string::npos) << "the second request of the bytes";
}

}  // namespace
}  // namespace zuva::web::testing
