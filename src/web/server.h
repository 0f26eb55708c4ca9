// zuva serve: the HTTP server (cpp-httplib, Debian's libcpp-httplib-dev) over WebApp, its
// options, and the command that runs it until SIGTERM or SIGINT.
#pragma once
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "web/app.h"

namespace zuva::web {

struct ServeOptions {
    std::string dir;
    std::string host = "127.0.0.1";
    int port = 8080;
    int idle_seconds = 30 * 60;
    std::size_t max_sessions = 500;
    std::size_t max_body = 64 * 1024;
    int threads = 32;
    int request_seconds = 10;  // to read one request, its head and body
    std::size_t max_connections = 1000;
    std::size_t client_connections = 32;  // connections held at once per client address
    std::size_t client_sessions = 100;    // live sessions per client address
    std::vector<std::string> proxies;     // whose X-Forwarded-For and -Proto are believed
    std::string state_dir;                // where consultations outlive the process; none when empty
    std::string secret_file;              // the key of consultations kept in the browser, signed
    AppOptions app;
};

// The options of `zuva serve DIR [...]`; none, with the reason in `error`, when they are wrong.
std::optional<ServeOptions> parse_serve_args(const std::vector<std::string>& args, std::string& error);

class Catalog;
class SessionTable;

// With a state folder: the sessions of `sessions` are kept in it and found there again.
void keep_sessions(ServeOptions& options, const Catalog& catalog, SessionTable& sessions);

class WebServer {
  public:
    WebServer(const ServeOptions& options, const Catalog& catalog, SessionTable& sessions);
    ~WebServer();
    // Binds the address (port 0: any free port); false with the reason when it cannot.
    bool bind(std::string& error);
    int port() const;
    // Serves until stop(); sessions idle for too long are swept meanwhile.
    void run();
    void stop();
    // The reply to `bytes` as one connection's input, without a socket (fuzzing).
    std::string answer_bytes(const std::string& bytes);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// `zuva serve`: 0 after a clean end, 1 when it cannot start, 2 for wrong arguments.
int serve_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zuva::web
