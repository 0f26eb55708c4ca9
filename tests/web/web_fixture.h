// A zuva serve in the test process: a copy of the sample knowledge base (and whatever a
// test adds) under a temporary folder, served on a free loopback port, and an HTTP client
// that keeps the session cookie like a browser.
#pragma once
#include <gtest/gtest.h>
#include <httplib.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <thread>

#include "support/sample_answers.h"
#include "support/temp_dir.h"
#include "web/catalog.h"
#include "web/html.h"
#include "web/server.h"
#include "web/sessions.h"

namespace zuva::web::testing {

inline const std::string kExamples = std::string(ZUVA_TEST_DATA) + "/../../examples";

inline const auto& kAnswers = zuva::testing_support::kSampleAnswers;

// One browser: its cookie, the origin it posts from.
struct Browser {
    explicit Browser(int port)
        : client("127.0.0.1", port), origin("http://127.0.0.1:" + std::to_string(port)) {
        client.set_read_timeout(20);
    }
    httplib::Client client;
    std::string origin;
    std::string cookie;      // "zuva_sesja=..." or ""
    std::string log_cookie;  // "zuva_stan=..." or "": a consultation signed by the server

    httplib::Headers headers(bool post) const {
        httplib::Headers h;
        const std::string both = cookie + (cookie.empty() || log_cookie.empty() ? "" : "; ") + log_cookie;
        if (!both.empty()) h.emplace("Cookie", both);
        if (post) h.emplace("Origin", origin);
        return h;
    }
    void keep_cookie(const httplib::Result& r) {
        if (!r) return;
        for (const auto& [k, v] : r->headers) {
            if (k != "Set-Cookie") continue;
            const std::string value = v.substr(0, v.find(';'));
            if (value.rfind(std::string(kLogCookie) + "=", 0) == 0)
                log_cookie = value == std::string(kLogCookie) + "=" ? std::string() : value;
            else
                cookie = value == std::string(kCookie) + "=" ? std::string() : value;
        }
    }
    httplib::Result get(const std::string& path) {
        auto r = client.Get(path.c_str(), headers(false));
        keep_cookie(r);
        return r;
    }
    httplib::Result post(const std::string& path, const std::string& body) {
        auto r = client.Post(path.c_str(), headers(true), body, "application/x-www-form-urlencoded");
        keep_cookie(r);
        return r;
    }
    std::string token() const { return cookie.empty() ? "" : cookie.substr(cookie.find('=') + 1); }
};

// The pending question of a question page: its name (unescaped) and number, and the fields
// its answer form sends besides the answer ("numer=3&pytanie=...&konsultacja=...&pozycja=2").
struct PendingQuestion {
    std::string name;
    int number = 0;
    std::string form;
};
inline std::string unescape_html(std::string text) {
    for (auto [from, to] : {std::pair<std::string, std::string>{"&lt;", "<"},
                            {"&gt;", ">"},
                            {"&quot;", "\""},
                            {"&#39;", "'"},
                            {"&amp;", "&"}})
        for (std::size_t at; (at = text.find(from)) != std::string::npos;)
            text.replace(at, from.size(), to);
    return text;
}
inline std::string form_encode(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '_' || c == '-' || c == '.') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}
inline std::optional<PendingQuestion> pending_of(const std::string& page) {
    static const std::regex form(
        R"re(data-pytanie="([^"]*)">\s*<input type="hidden" name="numer" value="(\d+)"><input type="hidden" name="pytanie" value="([^"]*)"><input type="hidden" name="konsultacja" value="([^"]*)"><input type="hidden" name="pozycja" value="(\d+)">)re");
    std::smatch m;
    if (!std::regex_search(page, m, form)) return std::nullopt;
    PendingQuestion q{unescape_html(m[1]), std::stoi(m[2]), {}};
    q.form = "numer=" + std::string(m[2]) + "&pytanie=" + form_encode(unescape_html(m[3])) +
             "&konsultacja=" + std::string(m[4]) + "&pozycja=" + std::string(m[5]);
    return q;
}

// Answers the pending question from kAnswers; none when the consultation has ended.
inline std::optional<PendingQuestion> answer_one(Browser& b) {
    auto q = pending_of(b.get("/konsultacja")->body);
    if (!q) return std::nullopt;
    EXPECT_EQ(b.post("/odpowiedz", q->form + "&wartosc=" + kAnswers.at(q->name))->status, 303);
    return q;
}
// Starts a forward consultation of the sample and answers three questions; the question
// it then stands at.
inline std::optional<PendingQuestion> three_answers(Browser& b) {
    EXPECT_EQ(b.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    for (int i = 0; i < 3; ++i)
        if (!answer_one(b)) return std::nullopt;
    return pending_of(b.get("/konsultacja")->body);
}

class WebTest : public ::testing::Test {
  protected:
    void SetUp() override {
        temp = std::make_unique<testing_support::TempDir>("zuva-web");
        root = temp->path("serwis");
        std::filesystem::copy(kExamples, root, std::filesystem::copy_options::recursive);
    }
    void TearDown() override {
        stop();
        temp.reset();
    }
    // Scans the folder and serves it; `tune` may change the options first.
    void start(const std::function<void(ServeOptions&)>& tune = {}) {
        options.dir = root;
        options.port = 0;
        options.app.name = "test";
        if (tune) tune(options);
        skipped.clear();
        catalog = std::make_unique<Catalog>(Catalog::scan(root, skipped));
        sessions =
            std::make_unique<SessionTable>(options.max_sessions, std::chrono::seconds(options.idle_seconds));
        keep_sessions(options, *catalog, *sessions);
        server = std::make_unique<WebServer>(options, *catalog, *sessions);
        std::string error;
        ASSERT_TRUE(server->bind(error)) << error;
        port = server->port();
        thread = std::thread([this] { server->run(); });
    }
    void stop() {
        if (server) server->stop();
        if (thread.joinable()) thread.join();
        server.reset();
        sessions.reset();
        catalog.reset();
    }
    // Answers every question from kAnswers; returns the result page.
    std::string consult(Browser& b, const std::string& start_body) {
        auto r = b.post("/start", start_body);
        EXPECT_TRUE(r && r->status == 303) << (r ? r->status : -1);
        for (int guard = 0; guard < 200; ++guard) {
            auto page = b.get("/konsultacja");
            if (!page || page->status != 200) {
                ADD_FAILURE() << "no page: " << (page ? page->status : -1);
                return {};
            }
            auto q = pending_of(page->body);
            if (!q) return page->body;
            auto it = kAnswers.find(q->name);
            if (it == kAnswers.end()) {
                ADD_FAILURE() << "unexpected question about " << q->name;
                return {};
            }
            auto a = b.post("/odpowiedz", q->form + "&wartosc=" + it->second);
            EXPECT_TRUE(a && a->status == 303);
        }
        ADD_FAILURE() << "the consultation did not end";
        return {};
    }

    std::unique_ptr<testing_support::TempDir> temp;
    std::string root;
    ServeOptions options;
    std::vector<std::string> skipped;
    std::unique_ptr<Catalog> catalog;
    std::unique_ptr<SessionTable> sessions;
    std::unique_ptr<WebServer> server;
    std::thread thread;
    int port = 0;
};

}  // namespace zuva::web::testing
