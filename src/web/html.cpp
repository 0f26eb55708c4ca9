#include "web/html.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "text/markup_escape.h"
#include "text/number_format.h"
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
    const std::string s = format_lg(value);
    return s == "-0" ? "0" : s;
}

std::string percent_encode(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '.' || c == '_' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string readable_file_name(std::string_view name) {
    // The Polish letters (UTF-8) as their plain forms; anything else not plain becomes '_'.
    static const std::pair<const char*, char> kLetters[] = {
        {"ą", 'a'}, {"ć", 'c'}, {"ę", 'e'}, {"ł", 'l'}, {"ń", 'n'}, {"ó", 'o'},
        {"ś", 's'}, {"ź", 'z'}, {"ż", 'z'}, {"Ą", 'A'}, {"Ć", 'C'}, {"Ę", 'E'},
        {"Ł", 'L'}, {"Ń", 'N'}, {"Ó", 'O'}, {"Ś", 'S'}, {"Ź", 'Z'}, {"Ż", 'Z'}};
    std::string plain;
    for (std::size_t i = 0; i < name.size();) {
        bool done = false;
        for (const auto& [utf8, letter] : kLetters)
            if (name.substr(i, 2) == utf8) {
                plain += letter;
                i += 2;
                done = true;
                break;
            }
        if (done) continue;
        const auto c = static_cast<unsigned char>(name[i]);
        std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        plain += c < 0x80 ? static_cast<char>(c) : '_';
        i += std::min(len, name.size() - i);
    }
    return safe_file_name(plain);
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
