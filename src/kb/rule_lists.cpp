// Built in one pass over the rule table with a map from conclusion to its list.
#include "kb/rule_lists.h"

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
    std::unordered_set<std::string> disj;
    for (const auto& d : s.kb.rules.regula_dysjunktywna)
        disj.insert(d.conclusion);
    std::unordered_map<std::string, size_t> at;
    for (size_t i = 0; i < lists.count(); ++i)
        at.emplace(lists[i].conclusion, i);
    auto& rows = lists.mutable_rows();
    std::unordered_set<std::string> existed;
    for (const auto& [c, i] : at)
        existed.insert(c);
    for (const auto& r : s.kb.rules.regula) {
        if ((disj.count(r.conclusion) != 0) != disjunctive) continue;
        if (existed.count(r.conclusion)) continue;
        auto it = at.find(r.conclusion);
        if (it == at.end()) {
            at.emplace(r.conclusion, rows.size());
            rows.push_back({r.conclusion, {r.rule_number}});
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
