// Load of zuva serve on loopback: USERS simulated browsers (200 by default) each run a whole
// forward consultation of the sample base at once. Every summary must equal the one the
// terminal program writes for the same answers (tests/data/api/forward.txt); prints the
// answer latency (p50, p99), the server's memory per live session, and fails on any error
// or when the run takes longer than the time limit.
// THINK-MS is how long a user reads each question before answering (on average; each pause
// drawn evenly between half and one and a half of it). 0, the default, answers at once: all
// users at the server all the time, which measures the server saturated (the latency is then
// mostly the wait behind the other users' answers on the machine's cores).
// Then slow connections (half silent, half stopped in the middle of a request's head, from
// loopback addresses 127.0.0.10 and up, 25 each) are held open, 100 to 800 of them, while one
// more consultation runs: prints the most the server holds with every step of that
// consultation (answer and next page) within 100 ms.
//   bench_serve_load ZUVA SOURCE-DIR [USERS] [SECONDS] [THINK-MS] [state|signed]
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/sample_answers.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const auto& kAnswers = zuva::testing_support::kSampleAnswers;

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

long rss_kb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

int run_wait(const std::vector<std::string>& argv, const std::string& cwd) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(cwd.c_str()) != 0) _exit(126);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (!freopen("/dev/null", "w", stdout)) _exit(126);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

// Connects from the loopback address `from`; -1 when it cannot.
int connect_from(const std::string& from, int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, from.c_str(), &a.sin_addr);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    a.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// One whole consultation; the slowest step (answer and next page) in ms, or -1 on an error.
double slowest_step(int port, const std::string& origin) {
    httplib::Client c("127.0.0.1", port);
    c.set_read_timeout(std::chrono::seconds(30));
    httplib::Headers post{{"Origin", origin}};
    auto r = c.Post("/start", post, "baza=BAZY%2FREAUTO.BEN", "application/x-www-form-urlencoded");
    if (!r || r->status != 303) return -1;
    const std::string set = r->get_header_value("Set-Cookie");
    const std::string cookie = set.substr(0, set.find(';'));
    httplib::Headers get{{"Cookie", cookie}};
    post.emplace("Cookie", cookie);
    double slowest = 0;
    for (int guard = 0; guard < 100; ++guard) {
        const auto t0 = Clock::now();
        auto page = c.Get("/konsultacja", get);
        if (!page || page->status != 200) return -1;
        const std::string& body = page->body;
        if (body.find("data-pytanie=\"") == std::string::npos) return slowest;
        auto field = [&](const std::string& key) {
            const std::string mark = "name=\"" + key + "\" value=\"";
            const std::size_t at = body.find(mark);
            if (at == std::string::npos) return std::string();
            const std::size_t from = at + mark.size();
            return body.substr(from, body.find('"', from) - from);
        };
        auto it = kAnswers.find(field("pytanie"));
        if (it == kAnswers.end()) return -1;
        auto a = c.Post("/odpowiedz", post,
                        "numer=" + field("numer") + "&pytanie=" + field("pytanie") + "&konsultacja=" +
                            field("konsultacja") + "&pozycja=" + field("pozycja") + "&wartosc=" + it->second,
                        "application/x-www-form-urlencoded");
        if (!a || a->status != 303) return -1;
        slowest = std::max(slowest, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return -1;
}

// The most slow connections (of 100, 200, 400, 800) held while a consultation answers every
// step within 100 ms.
int slow_connections_survived(int port, const std::string& origin) {
    int survived = 0;
    for (int k : {100, 200, 400, 800}) {
        std::vector<int> held;
        for (int i = 0; i < k; ++i) {
            const int fd = connect_from("127.0.0." + std::to_string(10 + i / 25), port);
            if (fd < 0) break;
            if (i % 2) {
                const char head[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-A: ";
                [[maybe_unused]] ssize_t n = send(fd, head, sizeof head - 1, MSG_NOSIGNAL);
            }
            held.push_back(fd);
        }
        const double slowest = static_cast<int>(held.size()) == k ? slowest_step(port, origin) : -1;
        std::printf("%d slow connections held: slowest step of a consultation %.1f ms\n", k, slowest);
        for (int fd : held)
            close(fd);
        if (slowest < 0 || slowest >= 100) break;
        survived = k;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return survived;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: bench_serve_load ZUVA SOURCE-DIR [USERS] [SECONDS] [THINK-MS] [state|signed]\n");
        return 2;
    }
    const std::string zuva = fs::absolute(argv[1]).string(), source = fs::absolute(argv[2]).string();
    const int users = argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 1000) : 200;
    const int limit = argc > 4 ? std::clamp(std::atoi(argv[4]), 5, 3600) : 120;
    const int think_ms = argc > 5 ? std::clamp(std::atoi(argv[5]), 0, 60000) : 0;
    // Where the consultations are kept besides the process: "state" (a state folder, a file
    // written at every answer), "signed" (a signed cookie sealed at every request), or only
    // in the process (the default).
    const std::string kept = argc > 6 ? argv[6] : "";
    std::string tmpl = (fs::temp_directory_path() / "zuva-load-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 2;
    const std::string work = tmpl;
    fs::copy(source + "/examples", work + "/bazy", fs::copy_options::recursive);
    fs::copy(source + "/examples", work + "/ref", fs::copy_options::recursive);
    // What the terminal program writes for the same answers.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (run_wait({zuva, "--answers", source + "/tests/data/api/forward.txt"}, work + "/ref/BAZY") != 0) {
        std::fprintf(stderr, "the answer script did not run\n");
        return 1;
    }
    const std::string reference = read_all(work + "/ref/BAZY/P.txt");

    int out[2];
    if (pipe(out) != 0) return 2;
    pid_t server = fork();
    if (server == 0) {
        dup2(out[1], 1);
        close(out[0]);
        const std::string sessions = std::to_string(users + 16);
        // The simulated users all come from 127.0.0.1: it is named a proxy (held to the total
        // bound of connections only), and its bounds of sessions and starts are lifted.
        std::vector<std::string> args = {
            zuva,     "serve",           work + "/bazy", "--listen", "127.0.0.1:0", "--max-sessions",
            sessions, "--threads",       "64",           "--proxy",  "127.0.0.1",   "--client-sessions",
            sessions, "--client-starts", "1000000"};
        if (kept == "state") {
            fs::create_directories(work + "/stan");
            args.insert(args.end(), {"--state-dir", work + "/stan"});
        } else if (kept == "signed") {
            std::ofstream(work + "/klucz") << std::string(48, 'k');
            args.insert(args.end(), {"--secret-file", work + "/klucz"});
        }
        std::vector<char*> argp;
        for (auto& a : args)
            argp.push_back(a.data());
        argp.push_back(nullptr);
        execv(argp[0], argp.data());
        _exit(127);
    }
    close(out[1]);
    std::string banner;
    char ch;
    while (banner.find('\n') == std::string::npos && read(out[0], &ch, 1) == 1)
        banner += ch;
    const std::size_t at = banner.find("http://127.0.0.1:");
    if (at == std::string::npos) {
        std::fprintf(stderr, "the server did not start: %s\n", banner.c_str());
        return 1;
    }
    const int port = std::stoi(banner.substr(at + 17));
    const std::string origin = "http://127.0.0.1:" + std::to_string(port);
    {
        httplib::Client warm("127.0.0.1", port);
        warm.Get("/");
    }
    const long rss_idle = rss_kb(server);

    std::atomic<int> errors{0};
    std::mutex m;
    std::vector<double> answer_ms, step_ms;
    long rss_live = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(limit);
    // Everyone holds a live session at the first question before anyone answers.
    std::barrier live(users + 1);
    auto user = [&](int index) {
        httplib::Client c("127.0.0.1", port);
        c.set_read_timeout(std::chrono::seconds(limit));
        std::string cookie;
        auto fail = [&](const char* what) {
            if (errors++ < 5) std::fprintf(stderr, "error: %s\n", what);
        };
        httplib::Headers post{{"Origin", origin}};
        auto r = c.Post("/start", post, "baza=BAZY%2FREAUTO.BEN", "application/x-www-form-urlencoded");
        if (r && r->status == 303) {
            const std::string set = r->get_header_value("Set-Cookie");
            cookie = set.substr(0, set.find(';'));
        } else {
            fail(r ? ("start: status " + std::to_string(r->status)).c_str()
                   : ("start: " + httplib::to_string(r.error())).c_str());
        }
        httplib::Headers get{{"Cookie", cookie}};
        post.emplace("Cookie", cookie);
        std::mt19937 random(static_cast<unsigned>(index) + 1);
        std::uniform_int_distribution<int> pause(think_ms / 2, think_ms + think_ms / 2);
        auto page = c.Get("/konsultacja", get);
        live.arrive_and_wait();
        std::vector<double> mine_answer, mine_step;
        for (int guard = 0; guard < 100 && Clock::now() < deadline; ++guard) {
            if (!page || page->status != 200) {
                fail("page");
                return;
            }
            // The pending question's name and number, as the page's form carries them.
            const std::string& body = page->body;
            const std::size_t name_at = body.find("data-pytanie=\"");
            if (name_at == std::string::npos) break;
            const std::size_t name_from = name_at + std::strlen("data-pytanie=\""),
                              name_end = body.find('"', name_from);
            const std::size_t number_at = body.find("name=\"numer\" value=\"", name_end);
            if (name_end == std::string::npos || number_at == std::string::npos) {
                fail("question form");
                return;
            }
            const std::size_t number_from = number_at + std::strlen("name=\"numer\" value=\"");
            const std::string name = body.substr(name_from, name_end - name_from);
            const std::string number = body.substr(number_from, body.find('"', number_from) - number_from);
            if (think_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            auto it = kAnswers.find(name);
            if (it == kAnswers.end()) {
                fail("unexpected question");
                return;
            }
            const auto t0 = Clock::now();
            // The form's other fields (the sample's names need no encoding).
            auto field = [&](const std::string& key) {
                const std::string mark = "name=\"" + key + "\" value=\"";
                const std::size_t at = body.find(mark, name_end);
                if (at == std::string::npos) return std::string();
                const std::size_t from = at + mark.size();
                return body.substr(from, body.find('"', from) - from);
            };
            const std::string fields = "numer=" + number + "&pytanie=" + field("pytanie") +
                                       "&konsultacja=" + field("konsultacja") +
                                       "&pozycja=" + field("pozycja");
            auto a = c.Post("/odpowiedz", post, fields + "&wartosc=" + it->second,
                            "application/x-www-form-urlencoded");
            const auto t1 = Clock::now();
            if (!a || a->status != 303) fail("answer");
            page = c.Get("/konsultacja", get);
            const auto t2 = Clock::now();
            mine_answer.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            mine_step.push_back(std::chrono::duration<double, std::milli>(t2 - t0).count());
        }
        if (!page || page->body.find("Wyniki konsultacji") == std::string::npos) {
            fail("no results");
            return;
        }
        auto summary = c.Get("/podsumowanie", get);
        if (!summary || summary->body != reference) fail("summary differs from the answer script's");
        std::lock_guard<std::mutex> lock(m);
        answer_ms.insert(answer_ms.end(), mine_answer.begin(), mine_answer.end());
        step_ms.insert(step_ms.end(), mine_step.begin(), mine_step.end());
    };
    const auto t0 = Clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < users; ++i)
        threads.emplace_back(user, i);
    live.arrive_and_wait();
    rss_live = rss_kb(server);
    for (auto& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    const int survived = slow_connections_survived(port, origin);
    kill(server, SIGTERM);
    int status = 0;
    waitpid(server, &status, 0);
    fs::remove_all(work);

    std::printf(
        "users: %d, pause before each answer: %d ms on average, answers: %zu, errors: %d, time: %.2f s\n",
        users, think_ms, answer_ms.size(), errors.load(), seconds);
    std::printf("answer latency (POST): p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", percentile(answer_ms, 0.5),
                percentile(answer_ms, 0.99), percentile(answer_ms, 1.0));
    std::printf("answer and next page (POST + GET): p50 %.2f ms, p99 %.2f ms\n", percentile(step_ms, 0.5),
                percentile(step_ms, 0.99));
    std::printf("server memory: %ld KB idle, %ld KB with %d live sessions: %.0f KB per live session\n",
                rss_idle, rss_live, users, static_cast<double>(rss_live - rss_idle) / users);
    std::printf("slow connections survived (every step of a consultation within 100 ms): %d\n", survived);
    std::printf("server end after SIGTERM: %s\n",
                WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "clean (status 0)" : "NOT CLEAN");
    const bool ok =
        errors == 0 && seconds < limit && !answer_ms.empty() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::printf("%s\n", ok ? "load test: passed" : "load test: FAILED");
    return ok ? 0 : 1;
}
