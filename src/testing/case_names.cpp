// What each kind of record may name: an answer any name of the base (or a dialog the run
// showed), an expectation a conclusion or a value.
#include "testing/case_names.h"

#include <algorithm>

#include "text/i18n.h"
#include "text/nearest_name.h"
#include "text/number_format.h"

namespace zuva::testing {

namespace {

std::string unknown(const BaseNames& n, const std::string& what, const std::string& name,
                    const std::vector<std::string>& among) {
    std::string m = tr("Baza reguł ") + n.base + tr(" nie zna ") + what + " " + name;
    const std::string near = nearest_name(name, among);
    if (!near.empty()) m += tr(" (czy chodziło o ") + near + "?)";
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
                    add(u, tr("CF warunku ") + u.name +
                               tr(" musi być liczbą od -1 do 1, a odpowiedź podaje ") + u.value + ".");
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
            add(u, names.knows(u.name)
                       ? u.name + tr(" nie jest wnioskiem żadnej reguły ani modelu bazy reguł ") +
                             names.base + "."
                       : unknown(names, "wniosku", u.name, listed({&names.conclusions, &names.results})));
    }
    return out;
}

}  // namespace zuva::testing
