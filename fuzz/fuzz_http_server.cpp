// Fuzzing target: the HTTP server as a whole. The input is the bytes of connections, one
// after another, separated by a line "@@": each is read and judged as the server's poll loop
// does, parsed by cpp-httplib and answered by the application (the sample knowledge base).
// "@TOKEN@" in a connection's bytes becomes the session token the server gave last, so that
// inputs reach a consultation, "@FORM@" the fields of the last answer form shown, and
// "@LEN@" in a head the length of what follows it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "web/catalog.h"
#include "web/server.h"
#include "web/sessions.h"
#include "web_fuzz_support.h"

using namespace zuva::web;

namespace {

using fuzz_support::catalog;
using fuzz_support::fill_form;
using fuzz_support::form_fields;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    SessionTable sessions(8, std::chrono::seconds(3600));
    ServeOptions options;
    options.dir = ZUVA_EXAMPLES;
    options.max_body = 4096;
    options.app.name = "fuzz";
    auto server = std::make_unique<WebServer>(options, catalog(), sessions);
    std::string token, fields;
    std::size_t at = 0;
    for (int n = 0; n < 16 && at <= input.size(); ++n) {
        std::size_t end = input.find("\n@@\n", at);
        if (end == std::string_view::npos) end = input.size();
        std::string bytes(input.substr(at, end - at));
        at = end + 4;
        for (std::size_t p; (p = bytes.find("@TOKEN@")) != std::string::npos;)
            bytes.replace(p, 7, token);
        fill_form(bytes, fields);
        // "@LEN@": the length of what follows the head (one request per connection's bytes).
        if (const std::size_t len = bytes.find("@LEN@"), head = bytes.find("\r\n\r\n");
            len != std::string::npos && head != std::string::npos && len < head)
            bytes.replace(len, 5, std::to_string(bytes.size() - head - 4));
        const std::string reply = server->answer_bytes(bytes);
        if (!reply.empty() && reply.rfind("HTTP/1.", 0) != 0) __builtin_trap();
        if (const std::string f = form_fields(reply); !f.empty()) fields = f;
        const std::size_t cookie = reply.find(std::string("Set-Cookie: ") + kCookie + "=");
        if (cookie != std::string::npos)
            token = reply.substr(cookie + 12 + std::string(kCookie).size() + 1, 32);
    }
    return 0;
}
