// The request handling of zuva serve, apart from the HTTP library: a request as data in, a
// response as data out. The server glue (server.cpp) only converts; tests and the fuzzing
// harness call `handle` directly.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "zuva/zuva.h"

namespace zuva::web {

class Catalog;
class SessionStore;
class SignedLogs;
class SessionTable;
class StartRate;
struct WebSession;

inline constexpr const char* kCookie = "zuva_sesja";
// The signed consultation of a session (with --secret-file and no state folder).
inline constexpr const char* kLogCookie = "zuva_stan";

struct WebRequest {
    std::string method;  // "GET", "POST", ...
    std::string path;    // decoded, without the query
    std::string body;
    std::map<std::string, std::string> headers;  // names in lower case
    std::string client;   // the client's address (behind a configured proxy: the one it names)
    bool secure = false;  // came over TLS (a configured proxy says so)
    std::string header(const std::string& lower_name) const;
};

struct WebResponse {
    int status = 200;
    std::string type = "text/html; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string header(const std::string& name) const;
};

// The headers every reply carries (the server's own refusals and the HTTP library's too).
const std::vector<std::pair<std::string, std::string>>& common_headers();

struct AppOptions {
    std::string name;                  // this server's name, in the X-Zuva-Server header
    std::vector<std::string> origins;  // origins allowed besides the request's own host
    std::string token_header;          // a proxy's proposal of a new session's token
    // The host names a request may name (Host); any when empty.
    std::vector<std::string> hosts;
    bool secure_cookie = false;  // the session cookie is Secure on every reply
    int client_starts = 120;     // consultations a client address may start per minute
    std::size_t max_body = 64 * 1024;
    // Where consultations outlive the process (--state-dir), and where every finished one
    // is recorded (--log-dir); none when not given.
    std::shared_ptr<SessionStore> store;
    std::string log_dir;
    // With a key and no state folder (--secret-file): consultations kept in a signed cookie.
    std::shared_ptr<const SignedLogs> signed_logs;
};

class WebApp {
  public:
    WebApp(const Catalog& catalog, SessionTable& sessions, AppOptions options);
    ~WebApp();

    // What is refused before the body is read (a body too large or of no stated length, a
    // post from another origin); none when the request may go on.
    std::optional<WebResponse> precheck(const WebRequest& head) const;
    // Never throws: a failure of one consultation becomes a page, and the session of a
    // consultation that failed is dropped.
    WebResponse handle(const WebRequest& request);

  private:
    // Routing: the embedded files, the list of bases, the sessions (start, end), and the
    // routes of a live consultation (app_consult.cpp): its page, its forms, its files.
    WebResponse route(const WebRequest& request);
    WebResponse start(const WebRequest& q, std::shared_ptr<WebSession> s, const std::string& token,
                      bool stale);
    WebResponse in_consultation(const WebRequest& q, WebSession& s);
    WebResponse answer(const WebRequest& q, WebSession& s, const std::optional<api::Question>& pending);
    WebResponse download(const WebRequest& q, WebSession& s);
    std::string cookie_of(const WebRequest& q, const std::string& token) const;
    // Sets the signed cookie of the session (locked) on the reply.
    void seal_into(const WebRequest& q, WebSession& s, WebResponse& r) const;
    const Catalog& catalog_;
    SessionTable& sessions_;
    AppOptions options_;
    std::unique_ptr<StartRate> starts_;
};

}  // namespace zuva::web
