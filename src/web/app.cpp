// Routes: GET / (the bases), POST /start, GET /konsultacja (the pending question or the
// results), POST /odpowiedz, POST /dlaczego, POST /koniec, GET /raport, GET /podsumowanie,
// GET /plik/obraz/N and /plik/dzwiek/N (the pictures and sounds of the finished run, by
// position: no path ever comes from a request), GET /assets/NAME (the embedded files).
#include "web/app.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <iostream>

#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "web/catalog.h"
#include "web/html.h"
#include "web/page_language.h"
#include "web/pages.h"
#include "web/responses.h"
#include "web/session_store.h"
#include "web/sessions.h"
#include "web/signed_log.h"

namespace zuva::web {

namespace {

// The name a Host header gives, without its port, in lower case ("[::1]" keeps its brackets).
std::string host_name(const std::string& host) {
    std::string h = host;
    if (!h.empty() && h.front() == '[')
        h = h.substr(0, h.find(']') + 1);
    else if (h.find(':') == h.rfind(':'))
        h = h.substr(0, h.find(':'));
    for (char& c : h)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return h;
}

}  // namespace

std::string WebRequest::header(const std::string& lower_name) const {
    auto it = headers.find(lower_name);
    return it == headers.end() ? std::string() : it->second;
}

std::string WebResponse::header(const std::string& name) const {
    for (const auto& [k, v] : headers)
        if (lower_ascii(k) == lower_ascii(name)) return v;
    return {};
}

const std::vector<std::pair<std::string, std::string>>& common_headers() {
    static const std::vector<std::pair<std::string, std::string>> headers = {
        {"X-Content-Type-Options", "nosniff"},
        // Not "no-referrer": with it a browser sends "Origin: null" on a post, and the origin
        // check refuses the page itself.
        {"Referrer-Policy", "same-origin"},
        {"X-Frame-Options", "DENY"},
        {"Content-Security-Policy",
         "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; media-src 'self'; "
         "form-action 'self'; base-uri 'none'; frame-ancestors 'none'"},
    };
    return headers;
}

WebApp::WebApp(const Catalog& catalog, SessionTable& sessions, AppOptions options)
    : catalog_(catalog),
      sessions_(sessions),
      options_(std::move(options)),
      starts_(std::make_unique<StartRate>(options_.client_starts)) {
    // Pages are in each visitor's language: the English catalog is needed whatever the
    // process's own language.
    prepare_catalog();
    for (auto& h : options_.hosts)
        h = host_name(h);
}

WebApp::~WebApp() = default;

std::string WebApp::cookie_of(const WebRequest& q, const std::string& token) const {
    return std::string(kCookie) + "=" + token + "; Path=/; HttpOnly; SameSite=Strict" +
           (options_.secure_cookie || q.secure ? "; Secure" : "");
}

void WebApp::seal_into(const WebRequest& q, WebSession& s, WebResponse& r) const {
    std::string text = session_text(s);
    if (text.empty()) return;
    // Sealed again when the consultation moved on, and at a request a minute after the last
    // seal: the time it carries is then the time of last use, give or take that minute.
    const auto now = std::chrono::steady_clock::now();
    if (text == s.stored && now - s.sealed < std::chrono::seconds(60)) return;
    s.sealed = now;
    const std::string value = options_.signed_logs->seal(s.token, text);
    if (!value.empty())
        r.headers.emplace_back("Set-Cookie", std::string(kLogCookie) + "=" + value +
                                                 "; Path=/; HttpOnly; SameSite=Strict" +
                                                 (options_.secure_cookie || q.secure ? "; Secure" : ""));
    s.stored = std::move(text);
}

std::optional<WebResponse> WebApp::precheck(const WebRequest& head) const {
    // Only the server's own names: a page of another site whose name is made to point here
    // (DNS rebinding) names its own host.
    if (!options_.hosts.empty()) {
        const std::string name = host_name(head.header("host"));
        if (std::find(options_.hosts.begin(), options_.hosts.end(), name) == options_.hosts.end()) {
            WebResponse r = html(421, message_page(tr("Odmowa"), tr("Ten serwer nie obsługuje tej nazwy.")));
            r.headers.emplace_back("Connection", "close");
            return r;
        }
    }
    if (head.method != "POST") return std::nullopt;
    const std::string origin = head.header("origin");
    const std::string host = head.header("host");
    bool same =
        !origin.empty() && !host.empty() && (origin == "http://" + host || origin == "https://" + host);
    for (const auto& o : options_.origins)
        same = same || (!origin.empty() && origin == o);
    // A refused post's body is not read: the connection ends with the answer.
    if (!same) {
        WebResponse r = html(
            403, message_page(tr("Odmowa"), tr("Odpowiedzi przyjmowane są tylko ze strony tego serwera.")));
        r.headers.emplace_back("Connection", "close");
        return r;
    }
    if (!head.header("transfer-encoding").empty() || head.header("content-length").empty()) {
        WebResponse r = html(411, message_page(tr("Odmowa"), tr("Żądanie musi podawać długość treści.")));
        r.headers.emplace_back("Connection", "close");
        return r;
    }
    const std::string length = head.header("content-length");
    std::size_t n = 0;
    auto [end, ec] = std::from_chars(length.data(), length.data() + length.size(), n);
    if (ec != std::errc() || end != length.data() + length.size() || n > options_.max_body) {
        WebResponse r = html(413, message_page(tr("Odmowa"), tr("Treść żądania jest za duża.")));
        r.headers.emplace_back("Connection", "close");
        return r;
    }
    return std::nullopt;
}

WebResponse WebApp::handle(const WebRequest& request) {
    // The page and the consultations it starts speak the visitor's language.
    const ThreadLanguage language(page_language(request.header("cookie"), request.header("accept-language")));
    WebResponse r;
    try {
        if (auto refused = precheck(request))
            r = std::move(*refused);
        else if (request.method == "POST" && request.body.size() > options_.max_body)
            r = html(413, message_page(tr("Odmowa"), tr("Treść żądania jest za duża.")));
        else
            r = route(request);
    } catch (const std::exception& e) {
        // The reason goes to the server's log, not to the page.
        std::cerr << "zuva serve: " << request.method << " " << request.path << ": " << e.what() << "\n";
        r = html(500, message_page(tr("Błąd serwera"), tr("Żądanie nie zostało obsłużone.")));
    } catch (...) {
        r = html(500, message_page(tr("Błąd serwera"), tr("Żądanie nie zostało obsłużone.")));
    }
    for (const auto& h : common_headers())
        r.headers.push_back(h);
    if (r.header("Cache-Control").empty()) r.headers.emplace_back("Cache-Control", "no-store");
    if (!options_.name.empty()) r.headers.emplace_back("X-Zuva-Server", options_.name);
    return r;
}
WebResponse WebApp::route(const WebRequest& q) {
    const std::string token = cookie_value(q.header("cookie"), kCookie);
    // With signed consultations, what the browser carries: a session this process does not
    // hold (after a restart, or another server's) comes back from it.
    std::string carried;
    SessionTable::Restore from_cookie;
    if (options_.signed_logs && !token.empty()) {
        if (auto text = options_.signed_logs->open(token, cookie_value(q.header("cookie"), kLogCookie)))
            carried = std::move(*text);
        if (!carried.empty())
            from_cookie = [this, &carried](const std::string& t) -> std::shared_ptr<WebSession> {
                auto kept = std::make_shared<WebSession>();
                kept->token = t;
                try {
                    resume_session(*kept, catalog_, carried);
                } catch (const api::Error&) {
                    return nullptr;
                }
                return kept;
            };
    }
    std::shared_ptr<WebSession> s = token.empty() ? nullptr : sessions_.find(token, from_cookie);
    // A token this process does not hold (forged, expired, another server's) is cleared in
    // the browser; it never names a session here.
    const bool stale = !token.empty() && !s;
    auto finish = [&](WebResponse r) {
        if (stale && r.header("Set-Cookie").empty()) r.headers.emplace_back("Set-Cookie", cleared_cookie());
        return r;
    };
    const bool get = q.method == "GET" || q.method == "HEAD";
    const bool post = q.method == "POST";

    if (get && q.path.rfind("/assets/", 0) == 0) {
        const Asset* a = find_asset(q.path.substr(8));
        if (!a) return finish(html(404, message_page(tr("Nie znaleziono"), tr("Nie ma takiej strony."))));
        WebResponse r;
        r.type = a->type;
        r.body.assign(reinterpret_cast<const char*>(a->data), a->size);
        r.headers.emplace_back("Cache-Control", "max-age=3600");
        return finish(r);
    }
    if (get && q.path == "/") return finish(html(200, bases_page(catalog_)));
    // The language switch of the page: remembered in a cookie, back to where the visitor was.
    if (get && (q.path == "/jezyk/en" || q.path == "/jezyk/pl")) {
        WebResponse r = redirect(s ? "/konsultacja" : "/");
        r.headers.emplace_back("Set-Cookie", std::string(kLanguageCookie) + "=" + q.path.substr(7) +
                                                 "; Path=/; Max-Age=31536000; SameSite=Strict");
        return finish(r);
    }
    if (get && q.path == "/wygasla")
        return finish(html(200, bases_page(catalog_, tr("Twoja konsultacja wygasła albo została zakończona. "
                                                        "Wybierz bazę wiedzy, aby zacząć nową."))));

    if (post && q.path == "/start") return start(q, s, token, stale);
    const bool consultation_route = q.path == "/konsultacja" || q.path == "/odpowiedz" ||
                                    q.path == "/dlaczego" || q.path == "/raport" ||
                                    q.path == "/podsumowanie" || q.path.rfind("/plik/", 0) == 0;
    if (post && q.path == "/koniec") {
        if (s) sessions_.remove(s->token);
        WebResponse r = redirect("/");
        if (s) r.headers.emplace_back("Set-Cookie", cleared_cookie());
        if (options_.signed_logs)
            r.headers.emplace_back(
                "Set-Cookie", std::string(kLogCookie) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0");
        return finish(r);
    }
    if (!consultation_route || (!get && !post))
        return finish(html(404, message_page(tr("Nie znaleziono"), tr("Nie ma takiej strony."))));
    // A browser whose consultation is gone is told so on the list of bases.
    if (!s) return finish(redirect(token.empty() ? "/" : "/wygasla"));

    std::unique_lock<std::mutex> lock(s->mutex);
    // A parked consultation is resumed from its log.
    if (!s->consultation && !s->parked.empty() && s->kb) {
        try {
            s->consultation.emplace(s->kb->resume(api::Log::from_json(s->parked)));
        } catch (const api::Error&) {
        }
        s->parked.clear();
    }
    // Another process sharing the state folder may have moved the consultation on, or
    // ended it.
    if (options_.store && !options_.store->refresh(*s)) s->consultation.reset();
    // Or the browser's signed consultation may be ahead of the one held here.
    if (!carried.empty() && carried != s->stored) {
        try {
            resume_session(*s, catalog_, carried);
        } catch (const api::Error&) {
            s->consultation.reset();
        }
    }
    if (!s->consultation) return finish(redirect("/wygasla"));
    try {
        WebResponse r = in_consultation(q, *s);
        if (options_.signed_logs) seal_into(q, *s, r);
        return r;
    } catch (const api::Error& e) {
        // The consultation cannot go on: it is dropped, the server and the others go on.
        s->consultation.reset();
        lock.unlock();
        sessions_.remove(s->token);
        WebResponse r = html(500, message_page(tr("Konsultacja przerwana"), e.message()));
        r.headers.emplace_back("Set-Cookie", cleared_cookie());
        return r;
    }
}

// POST /start: a new session under a new token, its consultation started.
WebResponse WebApp::start(const WebRequest& q, std::shared_ptr<WebSession> s, const std::string& token,
                          bool stale) {
    auto finish = [&](WebResponse r) {
        if (stale && r.header("Set-Cookie").empty()) r.headers.emplace_back("Set-Cookie", cleared_cookie());
        return r;
    };
    const auto form = parse_form(q.body);
    const BaseEntry* base = catalog_.find(form_value(form, "baza"));
    if (!base) return finish(html(404, bases_page(catalog_, tr("Nie ma takiej bazy wiedzy."))));
    // The browser repeats the post without the stale token, so that a proxy routing by
    // the token can place the new session where it will be found again.
    if (stale) {
        WebResponse r = redirect("/start", 307);
        r.headers.emplace_back("Set-Cookie", cleared_cookie());
        return r;
    }
    // Every start is a new session under a new token: a token planted in the browser
    // before (session fixation) never names the consultation that follows, and a form
    // of the consultation it replaces names another consultation.
    // A client starts a bounded number of consultations a minute.
    int retry_after = 0;
    if (!starts_->allow(q.client, retry_after)) {
        WebResponse r = html(429, message_page(tr("Za dużo konsultacji"),
                                               tr("Z tego adresu rozpoczęto ostatnio zbyt wiele konsultacji. "
                                                  "Spróbuj za chwilę.")));
        r.headers.emplace_back("Retry-After", std::to_string(retry_after));
        return r;
    }
    if (s) {
        const std::string old = s->token;
        s.reset();
        sessions_.remove(old);
    }
    const std::string proposed =
        options_.token_header.empty() ? std::string() : q.header(lower_ascii(options_.token_header));
    s = sessions_.create(proposed, q.client, &retry_after);
    if (!s) {
        WebResponse r =
            html(503, message_page(tr("Serwer zajęty"), tr("Serwer prowadzi teraz tyle konsultacji, "
                                                           "ile może. Spróbuj za chwilę.")));
        r.headers.emplace_back("Retry-After", std::to_string(retry_after));
        return r;
    }
    const std::string hypothesis = form_value(form, "hipoteza");
    std::lock_guard<std::mutex> lock(s->mutex);
    s->consultation.reset();
    s->parked.clear();
    s->why.reset();
    s->error.clear();
    s->result_html.clear();
    s->base = base;
    s->hypothesis = hypothesis;
    s->consultation_id = new_token().substr(0, 16);
    try {
        const api::KnowledgeBase kb = base->live->current();
        s->consultation.emplace(hypothesis.empty() ? kb.forward() : kb.backward(hypothesis));
        s->kb = kb;
        if (options_.store) options_.store->save(*s);
    } catch (const api::Error& e) {
        sessions_.remove(s->token);
        WebResponse r = html(422, bases_page(catalog_, e.message()));
        if (!token.empty()) r.headers.emplace_back("Set-Cookie", cleared_cookie());
        return r;
    }
    WebResponse r = redirect("/konsultacja");
    r.headers.emplace_back("Set-Cookie", cookie_of(q, s->token));
    if (options_.signed_logs) seal_into(q, *s, r);
    return r;
}

}  // namespace zuva::web
