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

namespace zuva::web {

class Catalog;
class SessionStore;
class SessionTable;

inline constexpr const char* kCookie = "zuva_sesja";

struct WebRequest {
    std::string method;  // "GET", "POST", ...
    std::string path;    // decoded, without the query
    std::string body;
    std::map<std::string, std::string> headers;  // names in lower case
    std::string header(const std::string& lower_name) const;
};

struct WebResponse {
    int status = 200;
    std::string type = "text/html; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string header(const std::string& name) const;
};

struct AppOptions {
    std::string name;                  // this server's name, in the X-Zuva-Server header
    std::vector<std::string> origins;  // origins allowed besides the request's own host
    std::string token_header;          // a proxy's proposal of a new session's token
    std::size_t max_body = 64 * 1024;
    // Where consultations outlive the process (--state-dir), and where every finished one
    // is recorded (--log-dir); none when not given.
    std::shared_ptr<SessionStore> store;
    std::string log_dir;
};

class WebApp {
  public:
    WebApp(const Catalog& catalog, SessionTable& sessions, AppOptions options);

    // What is refused before the body is read (a body too large or of no stated length, a
    // post from another origin); none when the request may go on.
    std::optional<WebResponse> precheck(const WebRequest& head) const;
    // Never throws: a failure of one consultation becomes a page, and the session of a
    // consultation that failed is dropped.
    WebResponse handle(const WebRequest& request);

  private:
    WebResponse route(const WebRequest& request);
    const Catalog& catalog_;
    SessionTable& sessions_;
    AppOptions options_;
};

}  // namespace zuva::web
