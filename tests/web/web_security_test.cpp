// What a request from outside may not do: read outside the served folder, take another
// browser's session, post from another site, send a body too large; and what a failing or
// abandoned consultation may not do: take the server down or stay forever.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>

#include "text/file_confine.h"
#include "text/file_io.h"
#include "web_fixture.h"

namespace zuva::web::testing {
namespace {

TEST_F(WebTest, PathsOutsideTheFolderAreRefused) {
    // Outside the served folder: a base and a picture, reached by links from inside it.
    temp->write_cp1250("poza/BAZY/REPOZA.BEN", "reguła(1,\"tajne\",[\"sekret\"],1,\"0.9\")\n");
    std::filesystem::create_directories(root + "/LINK");
    std::filesystem::create_symlink(temp->path("poza/BAZY/REPOZA.BEN"), root + "/LINK/REPOZA.BEN");
    std::filesystem::create_directory_symlink(temp->path("poza/BAZY"), root + "/KATALOG");
    const std::string secret = temp->write("poza/tajny.bmp", "BM sekret");
    const std::string picture = root + "/GRAFIKA/AUTO/akumulator.bmp";
    std::filesystem::remove(picture);
    std::filesystem::create_symlink(secret, picture);
    start();
    ASSERT_EQ(catalog->bases().size(), 1u);
    ASSERT_FALSE(skipped.empty());
    EXPECT_NE(skipped.front().find("LINK/REPOZA.BEN"), std::string::npos) << skipped.front();

    Browser b(port);
    for (const std::string base :
         {"LINK%2FREPOZA.BEN", "KATALOG%2FREPOZA.BEN", "..%2Fpoza%2FBAZY%2FREPOZA.BEN",
          "%2E%2E%2Fpoza%2FBAZY%2FREPOZA.BEN", "BAZY%2F..%2F..%2Fpoza%2FBAZY%2FREPOZA.BEN", "%2Fetc%2Fpasswd",
          "..%252Fpoza%252FBAZY%252FREPOZA.BEN"}) {
        auto r = b.post("/start", "baza=" + base);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 404) << base;
        EXPECT_TRUE(b.cookie.empty()) << base;
    }
    for (const std::string path : {"/assets/../../poza/tajny.bmp", "/assets/..%2F..%2Fpoza%2Ftajny.bmp",
                                   "/assets/%2e%2e/%2e%2e/etc/passwd", "/plik/obraz/..%2F..%2Fetc%2Fpasswd",
                                   "//etc/passwd", "/etc/passwd"}) {
        auto r = b.get(path);
        ASSERT_TRUE(r) << path;
        EXPECT_TRUE(r->status == 404 || r->status == 400 || r->status == 303) << path << " " << r->status;
        EXPECT_EQ(r->body.find("sekret"), std::string::npos) << path;
        EXPECT_EQ(r->body.find("root:"), std::string::npos) << path;
    }
    // The picture a base names, linked out of the folder, is not served.
    consult(b, "baza=BAZY%2FREAUTO.BEN");
    auto r = b.get("/plik/obraz/1");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 404);
    EXPECT_EQ(r->body.find("sekret"), std::string::npos);
}

TEST(FileConfinement, ReadsOutsideTheRootFailAndNothingIsWritten) {
    testing_support::TempDir t("zuva-confine");
    const std::string inside = t.write("root/a.txt", "a");
    const std::string outside = t.write("out/b.txt", "b");
    std::filesystem::create_symlink(outside, t.path("root/link.txt"));
    confine_files(t.path("root"));
    EXPECT_EQ(read_file_bytes(inside).value_or(""), "a");
    EXPECT_FALSE(read_file_bytes(outside));
    EXPECT_FALSE(read_file_bytes(t.path("root/link.txt")));
    EXPECT_FALSE(read_file_bytes(t.path("root/../out/b.txt")));
    EXPECT_FALSE(write_file_bytes(t.path("root/new.txt"), "x"));
    EXPECT_FALSE(remove_file(inside));
    release_files();
    EXPECT_EQ(read_file_bytes(outside).value_or(""), "b");
    EXPECT_FALSE(std::filesystem::exists(t.path("root/new.txt")));
    // The process's own folder (its state): read, written and removed there, nowhere else.
    confine_files(t.path("root"), {t.path("out")});
    EXPECT_TRUE(write_file_bytes(t.path("out/stan.zuva"), "s"));
    EXPECT_EQ(read_file_bytes(t.path("out/stan.zuva")).value_or(""), "s");
    EXPECT_TRUE(remove_file(t.path("out/stan.zuva")));
    EXPECT_FALSE(write_file_bytes(t.path("root/new.txt"), "x"));
    EXPECT_FALSE(write_file_bytes(t.path("out/../root/new.txt"), "x"));
    EXPECT_FALSE(write_file_bytes(t.path("stan.zuva"), "x"));
    EXPECT_FALSE(remove_file(inside));
    release_files();
    EXPECT_FALSE(std::filesystem::exists(t.path("root/new.txt")));
}

TEST(FileConfinement, ALinkSwappedWhileFilesAreReadNeverLeadsOut) {
    // root/cur is a link that another thread swaps, as fast as it can, between a folder inside
    // the root and one outside it; reads of root/cur/plik.txt get the inside file or nothing.
    testing_support::TempDir t("zuva-swap");
    t.write("root/in/plik.txt", "wewnatrz");
    t.write("out/plik.txt", "sekret");
    std::filesystem::create_directory_symlink(t.path("root/in"), t.path("root/link-in"));
    std::filesystem::create_directory_symlink(t.path("out"), t.path("root/link-out"));
    std::filesystem::create_directory_symlink("in", t.path("root/cur"));
    confine_files(t.path("root"));
    std::atomic<bool> done{false};
    std::thread swapper([&] {
        const std::string tmp = t.path("root/tmp"), cur = t.path("root/cur");
        for (int i = 0; !done; ++i) {
            ::unlink(tmp.c_str());
            if (::symlink(i % 2 ? t.path("out").c_str() : "in", tmp.c_str()) == 0)
                ::rename(tmp.c_str(), cur.c_str());
        }
    });
    int inside = 0, outside = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < until) {
        const auto got = read_file_bytes(t.path("root/cur/plik.txt"));
        inside += got && *got == "wewnatrz";
        outside += got && *got == "sekret";
    }
    done = true;
    swapper.join();
    release_files();
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 0) << "the link to the inside folder is followed";
}

TEST_F(WebTest, ATokenThisServerDidNotGiveNeverReachesASession) {
    start();
    Browser alice(port);
    ASSERT_TRUE(alice.post("/start", "baza=BAZY%2FREAUTO.BEN"));
    ASSERT_TRUE(well_formed_token(alice.token()));
    auto first = pending_of(alice.get("/konsultacja")->body);
    ASSERT_TRUE(first);
    ASSERT_TRUE(alice.post("/odpowiedz", first->form + "&wartosc=-1"));

    // Forged tokens: random, empty, of the wrong form, a prefix of Alice's, Alice's in upper case.
    const std::string a = alice.token();
    std::string upper = a;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const std::string& forged : {new_token(), std::string("x"), a.substr(0, 31), upper, a + "0"}) {
        Browser mallory(port);
        mallory.cookie = std::string(kCookie) + "=" + forged;
        auto page = mallory.get("/konsultacja");
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 303) << forged;
        EXPECT_EQ(page->get_header_value("Location"), "/wygasla");
        EXPECT_TRUE(mallory.cookie.empty()) << "the stale cookie is cleared";
        mallory.cookie = std::string(kCookie) + "=" + forged;
        auto start = mallory.post("/start", "baza=BAZY%2FREAUTO.BEN");
        ASSERT_TRUE(start);
        EXPECT_EQ(start->status, 307);
        EXPECT_TRUE(mallory.cookie.empty());
        start = mallory.post("/start", "baza=BAZY%2FREAUTO.BEN");
        ASSERT_TRUE(start && start->status == 303);
        const std::string given = mallory.token();
        EXPECT_TRUE(well_formed_token(given));
        EXPECT_NE(given, forged);
        EXPECT_NE(given, a);
        EXPECT_EQ(pending_of(mallory.get("/konsultacja")->body)->number, 1) << "a new consultation";
    }
    // Alice's consultation is where she left it.
    EXPECT_EQ(pending_of(alice.get("/konsultacja")->body)->number, 2);
    // The cookie is HttpOnly and SameSite=Strict.
    Browser bob(port);
    auto r = bob.post("/start", "baza=BAZY%2FREAUTO.BEN");
    const std::string set = r->get_header_value("Set-Cookie");
    EXPECT_NE(set.find("HttpOnly"), std::string::npos);
    EXPECT_NE(set.find("SameSite=Strict"), std::string::npos);
}

TEST_F(WebTest, AProxysTokenProposalIsTakenOnlyForANewWellFormedToken) {
    start([](ServeOptions& o) { o.app.token_header = "X-Zuva-Token"; });
    const std::string proposal = new_token();
    httplib::Client c("127.0.0.1", port);
    httplib::Headers h{{"Origin", "http://127.0.0.1:" + std::to_string(port)}, {"X-Zuva-Token", proposal}};
    auto r = c.Post("/start", h, "baza=BAZY%2FREAUTO.BEN", "application/x-www-form-urlencoded");
    ASSERT_TRUE(r && r->status == 303);
    EXPECT_EQ(r->get_header_value("Set-Cookie").substr(0, 11 + 32), std::string(kCookie) + "=" + proposal);
    // The same proposal again (in use) and a malformed one give fresh tokens.
    for (const std::string& p : {proposal, std::string("../../x")}) {
        h = {{"Origin", "http://127.0.0.1:" + std::to_string(port)}, {"X-Zuva-Token", p}};
        r = c.Post("/start", h, "baza=BAZY%2FREAUTO.BEN", "application/x-www-form-urlencoded");
        ASSERT_TRUE(r && r->status == 303);
        const std::string set = r->get_header_value("Set-Cookie");
        EXPECT_EQ(set.find(p), std::string::npos) << p;
        EXPECT_TRUE(well_formed_token(set.substr(11, 32)));
    }
}

TEST_F(WebTest, PostsFromAnotherOriginAreRefused) {
    start([](ServeOptions& o) { o.app.origins = {"https://porady.example"}; });
    Browser b(port);
    ASSERT_TRUE(b.post("/start", "baza=BAZY%2FREAUTO.BEN"));
    const std::string token = b.token();
    for (const std::string& origin : {std::string(), std::string("http://evil.example"), std::string("null"),
                                      "http://127.0.0.1:" + std::to_string(port) + ".evil.example"}) {
        httplib::Headers h{{"Cookie", b.cookie}};
        if (!origin.empty()) h.emplace("Origin", origin);
        auto r = b.client.Post("/odpowiedz", h, "numer=1&wartosc=1", "application/x-www-form-urlencoded");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 403) << origin;
        r = b.client.Post("/koniec", h, "", "application/x-www-form-urlencoded");
        EXPECT_EQ(r->status, 403) << origin;
    }
    EXPECT_EQ(pending_of(b.get("/konsultacja")->body)->number, 1) << "nothing was answered";
    httplib::Headers h{{"Cookie", b.cookie}, {"Origin", "https://porady.example"}};
    auto r = b.client.Post("/odpowiedz", h, "numer=1&wartosc=-1", "application/x-www-form-urlencoded");
    EXPECT_EQ(r->status, 303) << "an origin allowed by the options";
    EXPECT_EQ(b.token(), token);
}

// Sends raw bytes and returns what comes back within the time, or when the server closes.
std::string raw_exchange(int port, const std::string& bytes, std::chrono::milliseconds wait) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return {};
    }
    (void)!send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    timeval tv{static_cast<time_t>(wait.count() / 1000),
               static_cast<suseconds_t>((wait.count() % 1000) * 1000)};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::string got;
    char buf[4096];
    for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;) {
        got.append(buf, static_cast<std::size_t>(n));
        if (got.find("\r\n\r\n") != std::string::npos && got.find("Content-Length") != std::string::npos)
            break;
    }
    close(fd);
    return got;
}

TEST_F(WebTest, ABodyTooLargeIsRefusedBeforeItIsRead) {
    start();
    const std::string host = "127.0.0.1:" + std::to_string(port);
    // Ten megabytes announced, one kilobyte sent: the refusal comes without the rest.
    const auto t0 = std::chrono::steady_clock::now();
    std::string reply = raw_exchange(port,
                                     "POST /start HTTP/1.1\r\nHost: " + host + "\r\nOrigin: http://" + host +
                                         "\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                                         "Content-Length: 10485760\r\n\r\n" +
                                         std::string(1024, 'a'),
                                     std::chrono::milliseconds(5000));
    EXPECT_EQ(reply.rfind("HTTP/1.1 413", 0), 0u) << reply.substr(0, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(3));
    // Chunked or of no stated length: refused too.
    reply = raw_exchange(port,
                         "POST /start HTTP/1.1\r\nHost: " + host + "\r\nOrigin: http://" + host +
                             "\r\nTransfer-Encoding: chunked\r\n\r\n400\r\n" + std::string(1024, 'a'),
                         std::chrono::milliseconds(5000));
    EXPECT_EQ(reply.rfind("HTTP/1.1 411", 0), 0u) << reply.substr(0, 200);
    EXPECT_EQ(sessions->size(), 0u);
    // The server goes on.
    Browser b(port);
    EXPECT_EQ(b.get("/")->status, 200);
}

TEST_F(WebTest, SessionsAreBoundedFreedWhenIdleAndAFailedOneLeavesTheOthers) {
    start([](ServeOptions& o) {
        o.max_sessions = 2;
        o.idle_seconds = 60;
    });
    auto now = std::chrono::steady_clock::now();
    sessions->now = [&now] { return now; };
    Browser a(port), b(port), c(port);
    ASSERT_EQ(a.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    ASSERT_EQ(b.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    auto full = c.post("/start", "baza=BAZY%2FREAUTO.BEN");
    EXPECT_EQ(full->status, 503);
    EXPECT_TRUE(c.cookie.empty());
    // Time passes; a keeps working, b is abandoned.
    now += std::chrono::seconds(45);
    ASSERT_TRUE(pending_of(a.get("/konsultacja")->body));
    now += std::chrono::seconds(30);
    EXPECT_EQ(c.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303) << "b's place is freed";
    EXPECT_EQ(sessions->size(), 2u);
    EXPECT_EQ(b.get("/konsultacja")->get_header_value("Location"), "/wygasla");
    EXPECT_EQ(sessions->sweep(), 0u);
    now += std::chrono::seconds(61);
    EXPECT_EQ(sessions->sweep(), 2u);

    // A base that can no longer be loaded: that start fails with the reason, nothing else.
    now += std::chrono::seconds(1);
    EXPECT_EQ(a.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 307) << "its session was freed";
    ASSERT_EQ(a.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    std::filesystem::rename(root + "/BAZY/REAUTO.BEN", root + "/BAZY/REAUTO.OLD");
    auto failed = b.post("/start", "baza=BAZY%2FREAUTO.BEN");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 422);
    EXPECT_NE(failed->body.find("role=\"alert\""), std::string::npos);
    EXPECT_TRUE(b.cookie.empty());
    EXPECT_EQ(sessions->size(), 1u);
    auto page = a.get("/konsultacja");
    ASSERT_TRUE(page);
    EXPECT_TRUE(pending_of(page->body)) << "the consultation already loaded goes on";
}

TEST(ServeCommand, ServesUntilSigtermAndWritesNothingInTheFolder) {
    testing_support::TempDir t("zuva-serve");
    const std::string root = t.path("bazy");
    std::filesystem::copy(kExamples, root, std::filesystem::copy_options::recursive);
    auto listing = [&] {
        std::string all;
        for (const auto& e : std::filesystem::recursive_directory_iterator(root))
            all += e.path().string() + " " +
                   std::to_string(e.is_regular_file() ? std::filesystem::file_size(e.path()) : 0) + "\n";
        return all;
    };
    const std::string before = listing();
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        execl(ZUVA_BINARY, ZUVA_BINARY, "serve", root.c_str(), "--listen", "127.0.0.1:0", nullptr);
        _exit(127);
    }
    close(out[1]);
    std::string banner;
    char ch;
    while (banner.find('\n') == std::string::npos && read(out[0], &ch, 1) == 1)
        banner += ch;
    const std::size_t at = banner.find("http://127.0.0.1:");
    ASSERT_NE(at, std::string::npos) << banner;
    const int port = std::stoi(banner.substr(at + 17));
    {
        Browser b(port);
        ASSERT_EQ(b.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
        auto q = pending_of(b.get("/konsultacja")->body);
        ASSERT_TRUE(q);
        ASSERT_EQ(b.post("/odpowiedz", q->form + "&wartosc=1")->status, 303);
        // A consultation is left open when the server is told to end.
    }
    kill(pid, SIGTERM);
    int status = 0;
    const auto t0 = std::chrono::steady_clock::now();
    while (waitpid(pid, &status, WNOHANG) == 0 &&
           std::chrono::steady_clock::now() - t0 < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal or still running";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::string rest;
    while (read(out[0], &ch, 1) == 1)
        rest += ch;
    close(out[0]);
    EXPECT_NE(rest.find("koniec; zwolnione sesje: 1"), std::string::npos) << rest;
    EXPECT_EQ(listing(), before);
}

}  // namespace
}  // namespace zuva::web::testing
