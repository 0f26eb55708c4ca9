// Letters are compared as code points, so that a Polish letter typed without its mark ("zolw"
// for "żółw") is one edit per letter.
#include "testing/case_names.h"

#include <algorithm>

#include "text/number_format.h"

namespace zuva::testing {

namespace {

std::u32string code_points(const std::string& s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        for (std::size_t k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += n;
    }
    return out;
}

std::size_t distance(const std::u32string& a, const std::u32string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::string unknown(const BaseNames& n, const std::string& what, const std::string& name,
                    const std::vector<std::string>& among) {
    std::string m = "Baza reguł " + n.base + " nie zna " + what + " " + name;
    const std::string near = nearest_name(name, among);
    if (!near.empty()) m += " (czy chodziło o " + near + "?)";
    return m + ".";
}

std::vector<std::string> listed(std::initializer_list<const std::set<std::string>*> sets) {
    std::set<std::string> all;
    for (const auto* s : sets)
        all.insert(s->begin(), s->end());
    return {all.begin(), all.end()};
}

}  // namespace

bool BaseNames::knows(const std::string& name) const {
    return std::binary_search(all.begin(), all.end(), name);
}

BaseNames base_names(const std::string& base, const api::Inventory& inv) {
    BaseNames n;
    n.base = base;
    for (const auto& i : inv.askable_conditions)
        n.conditions.insert(i.name);
    for (const auto& i : inv.askable_arguments)
        n.arguments.insert(i.name);
    for (const auto& i : inv.rules)
        n.conclusions.insert(i.name);
    for (const auto& i : inv.models)
        n.results.insert(i.name);
    n.all = listed({&n.conditions, &n.arguments, &n.conclusions, &n.results});
    return n;
}

std::string nearest_name(const std::string& name, const std::vector<std::string>& among) {
    const std::u32string n = code_points(name);
    std::string best;
    std::size_t best_distance = std::max<std::size_t>(2, n.size() / 3) + 1;
    for (const auto& candidate : among) {
        const std::size_t d = distance(n, code_points(candidate));
        if (d < best_distance) {
            best_distance = d;
            best = candidate;
        }
    }
    return best;
}

std::vector<CaseFileError> check_case_names(const TestCase& c, const BaseNames& names,
                                            const std::vector<std::string>* asked) {
    std::vector<CaseFileError> out;
    auto add = [&](const NameUse& u, const std::string& message) {
        out.push_back({c.file, u.line, u.column, message});
    };
    for (const auto& u : c.names) {
        using K = NameUse::Kind;
        if (u.kind == K::Answer) {
            if (asked) {
                if (!names.knows(u.name) && std::find(asked->begin(), asked->end(), u.name) == asked->end())
                    add(u, unknown(names, "nazwy", u.name, names.all));
            } else if (names.conditions.count(u.name)) {
                auto v = parse_real(u.value);
                if (v && (*v < -1.0 || *v > 1.0))
                    add(u, "CF warunku " + u.name + " musi być liczbą od -1 do 1, a odpowiedź podaje " +
                               u.value + ".");
            }
            continue;
        }
        if (asked) continue;
        if (u.kind == K::Fact && !names.knows(u.name))
            add(u, unknown(names, "warunku", u.name, listed({&names.conditions, &names.conclusions})));
        else if (u.kind == K::Argument && !names.knows(u.name))
            add(u, unknown(names, "argumentu", u.name, listed({&names.arguments, &names.results})));
        else if (u.kind == K::Value && !names.arguments.count(u.name) && !names.results.count(u.name))
            add(u, unknown(names, "argumentu", u.name, listed({&names.arguments, &names.results})));
        else if (u.kind == K::Conclusion && !names.conclusions.count(u.name) && !names.results.count(u.name))
            add(u,
                names.knows(u.name)
                    ? u.name + " nie jest wnioskiem żadnej reguły ani modelu bazy reguł " + names.base + "."
                    : unknown(names, "wniosku", u.name, listed({&names.conclusions, &names.results})));
    }
    return out;
}

}  // namespace zuva::testing
