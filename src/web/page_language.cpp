// Accept-Language read as RFC 9110 gives it: tags with optional weights, the heaviest first,
// "q=0" never; a tag counts by its primary language ("en-GB" is English).
#include "web/page_language.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "web/html.h"
#include "web/responses.h"

namespace zuva::web {
namespace {

std::string trimmed(std::string s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") + 1 - b);
}

std::optional<Language> known(std::string tag) {
    tag = lower_ascii(tag.substr(0, tag.find('-')));
    if (tag == "en") return Language::english;
    if (tag == "pl") return Language::polish;
    return std::nullopt;
}

}  // namespace

Language page_language(const std::string& cookie_header, const std::string& accept_language) {
    const std::string chosen = cookie_value(cookie_header, kLanguageCookie);
    if (auto l = known(chosen)) return *l;
    struct Tag {
        double weight;
        std::size_t order;
        Language language;
    };
    std::vector<Tag> tags;
    std::size_t start = 0;
    while (start <= accept_language.size()) {
        const std::size_t comma = std::min(accept_language.find(',', start), accept_language.size());
        const std::string item = accept_language.substr(start, comma - start);
        start = comma + 1;
        const std::size_t semi = item.find(';');
        double weight = 1.0;
        if (semi != std::string::npos) {
            const std::string param = trimmed(item.substr(semi + 1));
            if (param.rfind("q=", 0) == 0) weight = std::strtod(param.c_str() + 2, nullptr);
        }
        if (weight <= 0) continue;
        if (auto l = known(trimmed(item.substr(0, semi)))) tags.push_back({weight, tags.size(), *l});
    }
    std::stable_sort(tags.begin(), tags.end(),
                     [](const Tag& a, const Tag& b) { return a.weight > b.weight; });
    return tags.empty() ? Language::polish : tags.front().language;
}

}  // namespace zuva::web
