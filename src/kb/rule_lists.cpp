// Built in one pass over the rule table with a map from conclusion to its list.
#include "kb/rule_lists.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "session/session.h"

namespace zuva {

bool is_disjunctive(const Session& s, const std::string& conclusion) {
    return s.kb.rules.regula_dysjunktywna.find_first(
               [&](const RegulaDysjunktywna& d) { return d.conclusion == conclusion; }) != nullptr;
}

namespace {
void build(Session& s, bool disjunctive, Table<PendingRules>& lists) {
    std::unordered_set<std::string_view> disj;
    for (const auto& d : s.kb.rules.regula_dysjunktywna)
        disj.insert(d.conclusion);
    auto& rows = lists.mutable_rows();
    // Views into the rows: room for every rule is reserved first, so no row moves.
    rows.reserve(rows.size() + s.kb.rules.regula.count());
    std::unordered_map<std::string_view, size_t> at;
    at.reserve(rows.capacity());
    for (size_t i = 0; i < rows.size(); ++i)
        at.emplace(rows[i].conclusion, i);
    std::unordered_set<std::string_view> existed;
    for (const auto& [c, i] : at)
        existed.insert(c);
    for (const auto& r : s.kb.rules.regula) {
        if ((disj.count(r.conclusion) != 0) != disjunctive) continue;
        if (existed.count(r.conclusion)) continue;
        auto it = at.find(r.conclusion);
        if (it == at.end()) {
            rows.push_back({r.conclusion, {r.rule_number}});
            at.emplace(rows.back().conclusion, rows.size() - 1);
        } else {
            rows[it->second].pending_rules.push_back(r.rule_number);
        }
    }
}
}  // namespace

void tworz_listy_numerow_regul_kumulatywnych(Session& s) {
    build(s, false, s.inference.lista_numerow_regul_kumulatywnych);
}

void tworz_listy_numerow_regul_dysjunktywnych(Session& s) {
    build(s, true, s.inference.lista_numerow_regul_dysjunktywnych);
}

}  // namespace zuva
