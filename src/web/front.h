// The connections of zuva serve before a handler thread sees them. One thread polls every
// open connection and reads each request whole (its head and its body) before a handler
// thread takes it, so a client that sends slowly, or not at all, holds a socket and a little
// memory for a bounded time, and never a handler thread. The reader refuses as the bytes
// arrive what no handler should see: a head of too many lines or bytes (431), a request of
// HTTP/1.1 without Host, two Host headers or two different Content-Length headers (400).
// It bounds the connections held in all and per client address (a proxy named in the
// options is held to the total only). The handler threads run cpp-httplib's own request
// processing on the bytes read.
#pragma once
#include <httplib.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace zuva::web {

struct FrontLimits {
    int request_seconds = 10;  // from a request's first byte to its last
    int idle_seconds = 5;      // waiting for the next request on a kept-alive connection
    int write_seconds = 20;    // to write one response
    std::size_t max_connections = 1000;
    std::size_t per_client = 32;
    std::size_t per_client_handlers = 4;  // requests of one client in the handlers at once
    std::size_t max_head_bytes = 16 * 1024;
    std::size_t max_head_lines = 100;
    std::size_t max_body = 64 * 1024;
    int threads = 32;
    std::vector<std::string> proxies;  // addresses held to the total bound only
};

class Front : public httplib::Server {
  public:
    explicit Front(FrontLimits limits);
    ~Front() override;
    // After bind_to_port or bind_to_any_port: serves until halt().
    void serve();
    void halt();
    // The reply to `bytes` as one connection's input, read and judged as the poll loop does
    // and processed as a handler does (tests and fuzzing; no socket).
    std::string answer_bytes(const std::string& bytes);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace zuva::web
