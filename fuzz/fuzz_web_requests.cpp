// Fuzzing target: sequences of HTTP requests to the request handling of zuva serve, over
// the sample knowledge base. The input holds requests separated by a line "@@"; each is a
// line "METHOD PATH", header lines "Name: value", an empty line and the body. The harness
// carries the session cookie a response sets into the next requests (unless a request has
// its own) and adds the page's Origin and Host, so that the fuzzer reaches the
// consultations, and "@FORM@" in a body becomes the fields of the last answer form shown; at
// the end of an input every session is dropped.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "web/app.h"
#include "web/catalog.h"
#include "web/html.h"
#include "web/sessions.h"
#include "web_fuzz_support.h"

namespace {

using namespace zuva::web;

using fuzz_support::catalog;
using fuzz_support::fill_form;
using fuzz_support::form_fields;

WebRequest parse_request(std::string_view text) {
    WebRequest r;
    std::size_t eol = text.find('\n');
    std::string_view first = text.substr(0, eol);
    const std::size_t blank = first.find(' ');
    r.method = std::string(first.substr(0, blank));
    r.path = blank == std::string_view::npos ? "/" : std::string(first.substr(blank + 1));
    std::size_t at = eol == std::string_view::npos ? text.size() : eol + 1;
    while (at < text.size()) {
        eol = text.find('\n', at);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = text.substr(at, eol - at);
        at = eol + 1;
        if (line.empty()) break;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string name(line.substr(0, colon));
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && value.front() == ' ')
            value.remove_prefix(1);
        r.headers[name] = std::string(value);
    }
    if (at < text.size()) r.body = std::string(text.substr(at));
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    SessionTable sessions(8, std::chrono::seconds(3600));
    AppOptions options;
    options.name = "fuzz";
    options.token_header = "X-Zuva-Token";
    options.max_body = 4096;
    WebApp app(catalog(), sessions, options);
    std::string cookie, fields;
    std::size_t at = 0;
    for (int n = 0; n < 24 && at <= input.size(); ++n) {
        std::size_t end = input.find("\n@@\n", at);
        if (end == std::string_view::npos) end = input.size();
        WebRequest r = parse_request(input.substr(at, end - at));
        at = end + 4;
        if (!r.headers.count("host")) r.headers["host"] = "zuva.test";
        if (!r.headers.count("origin")) r.headers["origin"] = "http://zuva.test";
        fill_form(r.body, fields);
        if (!r.headers.count("content-length")) r.headers["content-length"] = std::to_string(r.body.size());
        if (!r.headers.count("cookie") && !cookie.empty()) r.headers["cookie"] = cookie;
        WebResponse w = app.handle(r);
        if (const std::string f = form_fields(w.body); !f.empty()) fields = f;
        if (w.status < 200 || w.status > 599) __builtin_trap();
        for (const auto& [k, v] : w.headers)
            if (k == "Set-Cookie") cookie = v.substr(0, v.find(';'));
    }
    // Every session (and its consultation's thread) goes with the table.
    return 0;
}
