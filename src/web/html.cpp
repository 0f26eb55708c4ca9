#include "web/html.h"

#include <cmath>
#include <cstdio>

#include "text/markup_escape.h"
#include "text/percent_decode.h"

namespace zuva::web {

std::string html_escape(std::string_view text) {
    return markup_escape(text);
}

std::string url_decode(std::string_view text, bool plus) {
    return percent_decode(text, plus);
}

std::multimap<std::string, std::string> parse_form(std::string_view body) {
    std::multimap<std::string, std::string> out;
    std::size_t at = 0;
    while (at <= body.size()) {
        std::size_t amp = body.find('&', at);
        if (amp == std::string_view::npos) amp = body.size();
        const std::string_view pair = body.substr(at, amp - at);
        if (!pair.empty()) {
            const std::size_t eq = pair.find('=');
            if (eq == std::string_view::npos)
                out.emplace(url_decode(pair, true), std::string());
            else
                out.emplace(url_decode(pair.substr(0, eq), true), url_decode(pair.substr(eq + 1), true));
        }
        at = amp + 1;
    }
    return out;
}

std::string form_value(const std::multimap<std::string, std::string>& form, const std::string& field) {
    auto it = form.find(field);
    return it == form.end() ? std::string() : it->second;
}

std::vector<std::string> form_values(const std::multimap<std::string, std::string>& form,
                                     const std::string& field) {
    std::vector<std::string> out;
    auto [from, to] = form.equal_range(field);
    for (auto it = from; it != to; ++it)
        out.push_back(it->second);
    return out;
}

std::string cookie_value(std::string_view header, std::string_view name) {
    std::size_t at = 0;
    while (at < header.size()) {
        std::size_t semi = header.find(';', at);
        if (semi == std::string_view::npos) semi = header.size();
        std::string_view part = header.substr(at, semi - at);
        while (!part.empty() && (part.front() == ' ' || part.front() == '\t'))
            part.remove_prefix(1);
        const std::size_t eq = part.find('=');
        if (eq != std::string_view::npos && part.substr(0, eq) == name) {
            std::string_view value = part.substr(eq + 1);
            while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
                value.remove_suffix(1);
            return std::string(value);
        }
        at = semi + 1;
    }
    return {};
}

std::string format_number(double value) {
    if (!std::isfinite(value)) return "?";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", value);
    std::string s = buf;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

std::string safe_file_name(std::string_view name) {
    std::string out;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '_' || c == '.';
        out += ok ? c : '_';
    }
    return out.empty() ? "plik" : out;
}

}  // namespace zuva::web
