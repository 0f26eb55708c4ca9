// The findings of `zuva check` as text (one a line, in the form compilers use) or as JSON.
#include <algorithm>
#include <string>
#include <string_view>

#include "shell/check.h"

namespace zuva {

namespace {

std::string json_string(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20) {
                    static const char* hex = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[u >> 4];
                    out += hex[u & 15];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace

int CheckResult::errors() const {
    return static_cast<int>(
        std::count_if(findings.begin(), findings.end(), [](const Finding& f) { return f.error; }));
}

int CheckResult::warnings() const {
    return static_cast<int>(findings.size()) - errors();
}

std::string format_findings_text(const CheckResult& r) {
    std::string out;
    for (const auto& f : r.findings)
        out += f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " +
               (f.error ? "error" : "warning") + ": " + f.message + "\n";
    return out;
}

std::string format_findings_json(const CheckResult& r) {
    std::string out = "{\"file\":" + json_string(r.rule_file) + ",\"bases\":[";
    for (std::size_t i = 0; i < r.files.size(); ++i) {
        if (i) out += ',';
        out += json_string(r.files[i]);
    }
    out += "],\"errors\":" + std::to_string(r.errors()) + ",\"warnings\":" + std::to_string(r.warnings()) +
           ",\"findings\":[";
    for (std::size_t i = 0; i < r.findings.size(); ++i) {
        const Finding& f = r.findings[i];
        if (i) out += ',';
        out += "{\"file\":" + json_string(f.file) + ",\"line\":" + std::to_string(f.line) +
               ",\"column\":" + std::to_string(f.column) + ",\"level\":\"" + (f.error ? "error" : "warning") +
               "\",\"kind\":" + json_string(f.kind) + ",\"message\":" + json_string(f.message) + "}";
    }
    out += "]}\n";
    return out;
}

}  // namespace zuva
