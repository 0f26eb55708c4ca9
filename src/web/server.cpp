// The glue between cpp-httplib and WebApp. The checks that must come before the body is
// read (its length, the origin of a post) run in the pre-routing handler, which the
// library calls before it reads any content; everything else is WebApp::handle.
#include "web/server.h"

#include <httplib.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <thread>

#include "text/file_confine.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "web/catalog.h"
#include "web/front.h"
#include "web/session_store.h"
#include "web/sessions.h"
#include "web/signed_log.h"

namespace zuva::web {

namespace {

const char* const kServeUsage =
    N_("Użycie: zuva serve KATALOG [opcje]\n"
       "  Konsultacje z bazami wiedzy z KATALOGU (i jego podkatalogów) w przeglądarce.\n"
       "  --listen ADRES:PORT     adres serwera (domyślnie 127.0.0.1:8080)\n"
       "  --idle-timeout SEKUNDY  czas bezczynności, po którym sesja jest zwalniana (1800)\n"
       "  --max-sessions N        najwięcej żywych sesji naraz (500)\n"
       "  --max-body BAJTY        największa treść żądania (65536)\n"
       "  --threads N             wątki obsługi połączeń (32)\n"
       "  --name NAZWA            nazwa serwera w nagłówku X-Zuva-Server (domyślnie ADRES:PORT)\n"
       "  --allow-origin URL      dodatkowy dozwolony nagłówek Origin (np. https://porady.example)\n"
       "  --token-header NAZWA    nagłówek, w którym pośrednik (nginx) proponuje token nowej sesji\n"
       "  --host NAZWA            nazwa serwera w nagłówku Host (można powtarzać; domyślnie adres\n"
       "                          z --listen i localhost); żądania o inne nazwy są odrzucane\n"
       "  --proxy ADRES           adres pośrednika (nginx), którego X-Forwarded-For i X-Forwarded-Proto\n"
       "                          są wiarygodne (można powtarzać)\n"
       "  --secure-cookie         ciasteczko sesji z atrybutem Secure (serwer za pośrednikiem z TLS)\n"
       "  --request-timeout SEKUNDY  czas na odczyt całego żądania, nagłówków i treści (10)\n"
       "  --max-connections N     najwięcej otwartych połączeń naraz (1000)\n"
       "  --client-connections N  najwięcej połączeń naraz z jednego adresu (32)\n"
       "  --client-sessions N     najwięcej żywych sesji z jednego adresu (100)\n"
       "  --client-starts N       najwięcej nowych konsultacji z jednego adresu na minutę (120)\n"
       "  --state-dir KATALOG     konsultacje przetrwają ponowne uruchomienie: dziennik każdej sesji\n"
       "                          w pliku tego katalogu (poza KATALOGIEM baz; wspólny dla kilku serwerów)\n"
       "  --secret-file PLIK      bez --state-dir: konsultacja przechowywana w przeglądarce, w ciasteczku\n"
       "                          podpisanym HMAC-SHA256 kluczem z PLIKU (co najmniej 32 bajty, poza\n"
       "                          KATALOGIEM baz); każdy serwer z tym kluczem i tymi bazami ją prowadzi\n"
       "  --log-dir KATALOG       każda zakończona konsultacja dopisana jako wiersz JSON do\n"
       "                          KATALOG/zuva-konsultacje.jsonl (czas, baza, dziennik, wnioski)\n"
       "SIGTERM lub SIGINT kończy serwer.\n");

bool to_number(const std::string& text, long long& v, long long min, long long max) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() && v >= min && v <= max;
}

WebRequest request_of(const httplib::Request& req, const std::vector<std::string>& proxies) {
    WebRequest w;
    w.client = req.remote_addr;
    w.method = req.method;
    w.path = req.path;
    w.body = req.body;
    for (const auto& [k, v] : req.headers) {
        std::string key = k;
        for (char& c : key)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        w.headers.emplace(key, v);
    }
    // A configured proxy names the client (the last address it added) and the scheme.
    if (std::find(proxies.begin(), proxies.end(), req.remote_addr) != proxies.end()) {
        std::string forwarded = req.get_header_value("X-Forwarded-For");
        forwarded = forwarded.substr(forwarded.rfind(',') + 1);
        const std::size_t a = forwarded.find_first_not_of(' ');
        if (a != std::string::npos) w.client = forwarded.substr(a, forwarded.find_last_not_of(' ') - a + 1);
        w.secure = req.get_header_value("X-Forwarded-Proto") == "https";
    }
    return w;
}

void apply(const WebResponse& w, httplib::Response& res, const httplib::Request& req) {
    // The library sends the one range asked for (a picture or a sound): the reply says so.
    res.status = w.status == 200 && req.ranges.size() == 1 ? 206 : w.status;
    for (const auto& [k, v] : w.headers)
        res.set_header(k.c_str(), v);
    res.set_content(w.body, w.type.c_str());
}

}  // namespace

std::optional<ServeOptions> parse_serve_args(const std::vector<std::string>& args, std::string& error) {
    ServeOptions o;
    bool named = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = tr("brak wartości po ") + a;
                return false;
            }
            v = args[++i];
            return true;
        };
        std::string v;
        long long n = 0;
        if (a == "--listen") {
            if (!value(v)) return std::nullopt;
            const std::size_t colon = v.rfind(':');
            if (colon == std::string::npos || colon == 0 || !to_number(v.substr(colon + 1), n, 0, 65535)) {
                error = tr("zły adres '") + v + tr("' (ADRES:PORT, np. 127.0.0.1:8080)");
                return std::nullopt;
            }
            o.host = v.substr(0, colon);
            if (o.host.size() > 2 && o.host.front() == '[' && o.host.back() == ']')
                o.host = o.host.substr(1, o.host.size() - 2);
            o.port = static_cast<int>(n);
        } else if (a == "--idle-timeout" || a == "--max-sessions" || a == "--max-body" || a == "--threads" ||
                   a == "--max-connections" || a == "--client-connections" || a == "--client-sessions" ||
                   a == "--client-starts" || a == "--request-timeout") {
            if (!value(v)) return std::nullopt;
            const long long max = a == "--max-body" ? (1LL << 30) : 1000000;
            if (!to_number(v, n, 1, max)) {
                error = tr("zła wartość '") + v + "' po " + a + tr(" (liczba dodatnia)");
                return std::nullopt;
            }
            if (a == "--idle-timeout") o.idle_seconds = static_cast<int>(n);
            if (a == "--max-sessions") o.max_sessions = static_cast<std::size_t>(n);
            if (a == "--max-body") o.max_body = static_cast<std::size_t>(n);
            if (a == "--threads") o.threads = static_cast<int>(std::min<long long>(n, 1024));
            if (a == "--request-timeout") o.request_seconds = static_cast<int>(std::min<long long>(n, 3600));
            if (a == "--max-connections") o.max_connections = static_cast<std::size_t>(n);
            if (a == "--client-connections") o.client_connections = static_cast<std::size_t>(n);
            if (a == "--client-sessions") o.client_sessions = static_cast<std::size_t>(n);
            if (a == "--client-starts") o.app.client_starts = static_cast<int>(n);
        } else if (a == "--host" || a == "--proxy") {
            if (!value(v)) return std::nullopt;
            (a == "--host" ? o.app.hosts : o.proxies).push_back(v);
        } else if (a == "--secure-cookie") {
            o.app.secure_cookie = true;
        } else if (a == "--name") {
            if (!value(o.app.name)) return std::nullopt;
            named = true;
        } else if (a == "--allow-origin") {
            if (!value(v)) return std::nullopt;
            o.app.origins.push_back(v);
        } else if (a == "--token-header") {
            if (!value(o.app.token_header)) return std::nullopt;
        } else if (a == "--secret-file") {
            if (!value(o.secret_file)) return std::nullopt;
        } else if (a == "--state-dir" || a == "--log-dir") {
            if (!value(v)) return std::nullopt;
            std::error_code ec;
            if (!std::filesystem::is_directory(v, ec)) {
                error = tr("katalog '") + v + "' po " + a + tr(" nie istnieje");
                return std::nullopt;
            }
            (a == "--state-dir" ? o.state_dir : o.app.log_dir) = v;
        } else if (a.size() > 1 && a[0] == '-') {
            error = tr("nieznany argument '") + a + "'";
            return std::nullopt;
        } else if (o.dir.empty()) {
            o.dir = a;
        } else {
            error = tr("podano więcej niż jeden katalog");
            return std::nullopt;
        }
    }
    if (o.dir.empty()) {
        error = tr("nie podano katalogu baz wiedzy");
        return std::nullopt;
    }
    // The server's own folders lie outside the served one: no page could ever name them.
    for (const std::string* own : {&o.state_dir, &o.app.log_dir}) {
        if (own->empty()) continue;
        std::error_code ec;
        const auto real = std::filesystem::weakly_canonical(*own, ec).string() + "/";
        const auto served = std::filesystem::weakly_canonical(o.dir, ec).string() + "/";
        if (real.rfind(served, 0) == 0 || served.rfind(real, 0) == 0) {
            error = tr("katalog '") + *own + tr("' nie może leżeć w katalogu baz ani go zawierać");
            return std::nullopt;
        }
    }
    if (!o.secret_file.empty()) {
        if (!o.state_dir.empty()) {
            error =
                tr("--secret-file i --state-dir wykluczają się: konsultacje są albo w katalogu, albo w "
                   "przeglądarce");
            return std::nullopt;
        }
        std::error_code ec;
        const auto key_file = std::filesystem::weakly_canonical(o.secret_file, ec).string();
        const auto served = std::filesystem::weakly_canonical(o.dir, ec).string() + "/";
        if (key_file.rfind(served, 0) == 0) {
            error = tr("plik klucza '") + o.secret_file + tr("' nie może leżeć w katalogu baz");
            return std::nullopt;
        }
        auto key = SignedLogs::read_key(o.secret_file, error);
        if (!key) return std::nullopt;
        o.app.signed_logs =
            std::make_shared<SignedLogs>(std::move(*key), std::chrono::seconds(o.idle_seconds));
    }
    o.app.max_body = o.max_body;
    if (!named) o.app.name = o.host + ":" + std::to_string(o.port);
    return o;
}

FrontLimits limits_of(const ServeOptions& o) {
    FrontLimits l;
    l.request_seconds = o.request_seconds;
    l.max_connections = o.max_connections;
    l.per_client = o.client_connections;
    l.max_body = o.max_body;
    l.threads = o.threads;
    l.proxies = o.proxies;
    return l;
}

AppOptions app_options_of(const ServeOptions& o) {
    AppOptions a = o.app;
    // By default the names of the listening address and of this machine.
    if (a.hosts.empty())
        a.hosts = {o.host.find(':') != std::string::npos ? "[" + o.host + "]" : o.host, "localhost"};
    return a;
}

struct WebServer::Impl {
    ServeOptions options;
    SessionTable& sessions;
    WebApp app;
    Front server;
    int port = -1;
    int listening = -1;  // the listening socket, as the library made it
    std::mutex mutex;
    std::condition_variable stopping;
    bool stopped = false;

    Impl(const ServeOptions& o, const Catalog& catalog, SessionTable& s)
        : options(o), sessions(s), app(catalog, s, app_options_of(o)), server(limits_of(o)) {}
};

WebServer::WebServer(const ServeOptions& options, const Catalog& catalog, SessionTable& sessions)
    : impl_(std::make_unique<Impl>(options, catalog, sessions)) {
    Impl& m = *impl_;
    sessions.per_client = options.client_sessions;
    m.server.set_payload_max_length(options.max_body);
    m.server.set_socket_options([&m](socket_t sock) {
        httplib::default_socket_options(sock);
        m.listening = sock;
    });
    m.server.set_pre_routing_handler([&m](const httplib::Request& req, httplib::Response& res) {
        if (auto refused = m.app.precheck(request_of(req, m.options.proxies))) {
            apply(*refused, res, req);
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    auto handler = [&m](const httplib::Request& req, httplib::Response& res) {
        apply(m.app.handle(request_of(req, m.options.proxies)), res, req);
    };
    m.server.Get(".*", handler);
    m.server.Post(".*", handler);
    m.server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(tr("Błąd serwera."), "text/plain; charset=utf-8");
    });
    // The library's own error replies (a request it cannot parse, a method it does not
    // serve) carry the headers of every other reply and a short text.
    m.server.set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
            if (res.has_header("Content-Security-Policy")) return httplib::Server::HandlerResponse::Unhandled;
            for (const auto& [k, v] : common_headers())
                res.set_header(k.c_str(), v);
            if (res.body.empty())
                res.set_content(tr("Żądanie nie zostało obsłużone."), "text/plain; charset=utf-8");
            return httplib::Server::HandlerResponse::Handled;
        }));
}

WebServer::~WebServer() {
    stop();
}

bool WebServer::bind(std::string& error) {
    Impl& m = *impl_;
    if (m.options.port == 0)
        m.port = m.server.bind_to_any_port(m.options.host);
    else
        m.port = m.server.bind_to_port(m.options.host, m.options.port) ? m.options.port : -1;
    if (m.port <= 0) {
        error = tr("nie można nasłuchiwać na ") + m.options.host + ":" + std::to_string(m.options.port);
        return false;
    }
    // The library listens with a queue of 5 connections: many browsers connecting at once
    // would wait for a second try of their SYN. A second listen() widens the queue.
    if (m.listening >= 0) ::listen(m.listening, SOMAXCONN);
    return true;
}

int WebServer::port() const {
    return impl_->port;
}

void WebServer::run() {
    Impl& m = *impl_;
    // Idle sessions are swept a few times within the idle time (at least every 30 s).
    std::thread sweeper([&m] {
        const auto every = std::chrono::seconds(std::clamp(m.options.idle_seconds / 4, 1, 30));
        std::unique_lock<std::mutex> lock(m.mutex);
        while (!m.stopped) {
            m.stopping.wait_for(lock, every);
            if (m.stopped) break;
            lock.unlock();
            m.sessions.sweep();
            if (m.options.app.store) m.options.app.store->sweep(std::chrono::seconds(m.options.idle_seconds));
            lock.lock();
        }
    });
    m.server.serve();
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        m.stopped = true;
    }
    m.stopping.notify_all();
    sweeper.join();
}

std::string WebServer::answer_bytes(const std::string& bytes) {
    return impl_->server.answer_bytes(bytes);
}

void WebServer::stop() {
    impl_->server.halt();
}

void keep_sessions(ServeOptions& options, const Catalog& catalog, SessionTable& sessions) {
    if (options.state_dir.empty()) return;
    auto store = std::make_shared<SessionStore>(options.state_dir, catalog);
    options.app.store = store;
    sessions.restore = [store](const std::string& token) { return store->restore(token); };
    sessions.forget = [store](const std::string& token) { store->erase(token); };
}

int serve_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") {
            out << tr(kServeUsage);
            return 0;
        }
    std::string error;
    auto options = parse_serve_args(args, error);
    if (!options) {
        err << "zuva serve: " << error << "\n" << tr(kServeUsage);
        return 2;
    }
    // SIGTERM and SIGINT are taken by one thread of their own (blocked in every other).
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> skipped;
    Catalog catalog = Catalog::scan(options->dir, skipped);
    for (const auto& s : skipped)
        err << tr("zuva serve: pominięto ") << s << "\n";
    if (catalog.root().empty()) return 1;
    // From here on nothing outside the folder is read, and nothing is written anywhere but in
    // the server's own folders.
    std::vector<std::string> own;
    if (!options->state_dir.empty()) own.push_back(options->state_dir);
    if (!options->app.log_dir.empty()) own.push_back(options->app.log_dir);
    confine_files(catalog.root(), own);
    SessionTable sessions(options->max_sessions, std::chrono::seconds(options->idle_seconds));
    keep_sessions(*options, catalog, sessions);
    WebServer server(*options, catalog, sessions);
    if (!server.bind(error)) {
        err << "zuva serve: " << error << "\n";
        return 1;
    }
    out << "zuva serve: " << catalog.bases().size() << tr(" baz(y) wiedzy z ") << catalog.root()
        << ", http://" << options->host << ":" << server.port() << "/\n";
    out.flush();
    std::thread waiter([&] {
        int sig = 0;
        sigwait(&signals, &sig);
        server.stop();
    });
    server.run();
    // run() may also end without a signal (the socket failed): the waiter is then woken by one.
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    out << tr("zuva serve: koniec; zwolnione sesje: ") << sessions.size() << "\n";
    return 0;
}

}  // namespace zuva::web
