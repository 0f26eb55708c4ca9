#include "web/responses.h"

#include <charconv>

namespace zuva::web {

WebResponse html(int status, std::string body) {
    WebResponse r;
    r.status = status;
    r.body = std::move(body);
    return r;
}

WebResponse redirect(const std::string& to, int status) {
    WebResponse r;
    r.status = status;
    r.headers.emplace_back("Location", to);
    r.type = "text/plain; charset=utf-8";
    return r;
}

std::string cleared_cookie() {
    return std::string(kCookie) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0";
}

int parse_int(const std::string& text) {
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() ? v : -1;
}

std::string lower_ascii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace zuva::web
