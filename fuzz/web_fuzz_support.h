// What the two web-server harnesses share: the served catalog of the sample knowledge base,
// and the "@FORM@" placeholder that stands for the hidden fields of the last answer form a
// page showed, so that inputs reach the answers past the form checks.
#pragma once
#include <string>
#include <vector>

#include "web/catalog.h"

namespace zuva::web::fuzz_support {

inline const Catalog& catalog() {
    static const Catalog c = [] {
        std::vector<std::string> skipped;
        return Catalog::scan(ZUVA_EXAMPLES, skipped);
    }();
    return c;
}

// "numer=..&pytanie=..&konsultacja=..&pozycja=.." of the last answer form of `page`.
inline std::string form_fields(const std::string& page) {
    std::string out;
    for (const char* name : {"numer", "pytanie", "konsultacja", "pozycja"}) {
        const std::string mark = std::string("name=\"") + name + "\" value=\"";
        const std::size_t at = page.find(mark);
        if (at == std::string::npos) return {};
        const std::size_t from = at + mark.size();
        out += (out.empty() ? "" : "&") + std::string(name) + "=" +
               page.substr(from, page.find('"', from) - from);
    }
    return out;
}

inline void fill_form(std::string& text, const std::string& fields) {
    for (std::size_t p; (p = text.find("@FORM@")) != std::string::npos;)
        text.replace(p, 6, fields);
}

}  // namespace zuva::web::fuzz_support
