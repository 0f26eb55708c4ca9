// The kinds are those the checks name their findings by: the loads, the diagnoses, the
// analyses and the completeness analysis.
#include "shell/check_filters.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace zuva::check {

const std::set<std::string>& finding_kinds() {
    static const std::set<std::string> kinds = {"file",
                                                "syntax",
                                                "load",
                                                "check",
                                                "not-run",
                                                "single-condition-rule",
                                                "model-results",
                                                "external-contradiction",
                                                "redundancy",
                                                "model-contradiction",
                                                "model-rule-contradiction",
                                                "exact-constraint-contradiction",
                                                "exact-constraint-redundancy",
                                                "uncertain-constraint-contradiction",
                                                "uncertain-constraint-redundancy",
                                                "exclusive-conclusions-one",
                                                "exclusive-conclusions-none",
                                                "non-exclusive-conclusions",
                                                "conflicting-duplicate-rule",
                                                "dangling-reference",
                                                "missing-data-file",
                                                "negated-condition-asked",
                                                "rule-never-fires",
                                                "rule-never-positive",
                                                "unreachable-conclusion",
                                                "unused-constraint-member",
                                                "unused-known-argument",
                                                "unused-model",
                                                "unused-model-fact",
                                                "unknown-text-name",
                                                "missing-text"};
    return kinds;
}

namespace {

const std::string kRules = ": reguły ";

// The items "N (conclusion)" of a list that runs to the end of the text, or none when the text
// is no such list.
std::optional<std::vector<std::pair<long, std::string>>> rule_items(std::string_view list) {
    std::vector<std::pair<long, std::string>> items;
    std::size_t at = 0;
    while (at < list.size()) {
        std::size_t digits = at;
        while (digits < list.size() && std::isdigit(static_cast<unsigned char>(list[digits])))
            ++digits;
        if (digits == at || digits - at > 9 || list.compare(digits, 2, " (") != 0) return std::nullopt;
        // The item ends at the ")" before ", DIGIT" or at the end of the text.
        std::size_t end = digits + 2;
        for (;; ++end) {
            end = list.find(')', end);
            if (end == std::string_view::npos) return std::nullopt;
            if (end + 1 == list.size()) break;
            if (list.compare(end + 1, 2, ", ") == 0 && end + 3 < list.size() &&
                std::isdigit(static_cast<unsigned char>(list[end + 3])))
                break;
        }
        items.emplace_back(std::stol(std::string(list.substr(at, digits - at))),
                           std::string(list.substr(at, end + 1 - at)));
        at = end + 1 == list.size() ? end + 1 : end + 3;
    }
    if (items.empty()) return std::nullopt;
    return items;
}

// A verdict without the property it was tested for: the three say the same of the same rules.
std::string verdict_key(std::string message) {
    for (const std::string with : {" wzajemnie do jednego:", " wzajemnie do żadnego:"})
        for (std::size_t at; (at = message.find(with)) != std::string::npos;)
            message.replace(at, with.size(), " wzajemnie:");
    return message;
}

}  // namespace

std::string rules_in_number_order(const std::string& message) {
    const std::size_t at = message.rfind(kRules);
    if (at == std::string::npos) return message;
    auto items = rule_items(std::string_view(message).substr(at + kRules.size()));
    if (!items) return message;
    std::stable_sort(items->begin(), items->end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out = message.substr(0, at + kRules.size());
    for (std::size_t i = 0; i < items->size(); ++i)
        out += (i ? ", " : "") + (*items)[i].second;
    return out;
}

void merge_exclusiveness(std::vector<Finding>& findings) {
    const std::map<std::string, int> rank = {{"exclusive-conclusions-one", 1},
                                             {"exclusive-conclusions-none", 2},
                                             {"non-exclusive-conclusions", 3}};
    std::map<std::pair<std::string, std::string>, int> best;  // (file, rules) -> highest rank
    for (const auto& f : findings)
        if (auto r = rank.find(f.kind); r != rank.end()) {
            int& b = best[{f.file, verdict_key(f.message)}];
            b = std::max(b, r->second);
        }
    std::erase_if(findings, [&](const Finding& f) {
        auto r = rank.find(f.kind);
        return r != rank.end() && r->second < best[{f.file, verdict_key(f.message)}];
    });
}

void apply_kind_settings(CheckResult& r, const CheckOptions& o) {
    std::erase_if(r.findings, [&](const Finding& f) { return o.disabled.count(f.kind) > 0; });
    for (auto& f : r.findings)
        if (o.warned.count(f.kind))
            f.error = false;
        else if (o.warnings_as_errors)
            f.error = true;
}

std::optional<std::string> read_check_conf(const std::string& path, const std::string& text,
                                           CheckOptions& o) {
    std::size_t at = 0;
    for (int line = 1; at <= text.size(); ++line) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string l = text.substr(at, end - at);
        at = end + 1;
        if (auto hash = l.find('#'); hash != std::string::npos) l.erase(hash);
        std::erase_if(l, [](char c) { return c == '\r'; });
        const std::size_t b = l.find_first_not_of(" \t");
        if (b == std::string::npos) continue;
        const std::size_t gap = l.find_first_of(" \t", b);
        const std::string word = l.substr(b, gap == std::string::npos ? std::string::npos : gap - b);
        const std::size_t k = gap == std::string::npos ? std::string::npos : l.find_first_not_of(" \t", gap);
        const std::size_t ke = k == std::string::npos ? k : l.find_first_of(" \t", k);
        const std::string kind =
            k == std::string::npos ? "" : l.substr(k, ke == std::string::npos ? ke : ke - k);
        const std::string place = path + ":" + std::to_string(line) + ": ";
        if (word != "disable" && word != "warn" && word != "enable")
            return place + "nieznane polecenie '" + word + "' (disable, warn albo enable RODZAJ)";
        if (!finding_kinds().count(kind))
            return place + (kind.empty() ? "brak rodzaju po " + word : "nieznany rodzaj '" + kind + "'") +
                   " (rodzaje podaje zuva check --help)";
        (word == "disable" ? o.disabled : word == "warn" ? o.warned : o.enabled).insert(kind);
    }
    return std::nullopt;
}

}  // namespace zuva::check
