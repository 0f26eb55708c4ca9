// Built in one pass over the rule table with a map from conclusion to its list.
#include "kb/rule_lists.h"

#include <string_view>

#include "session/session.h"
#include "store/flat_map.h"

namespace zuva {

bool is_disjunctive(const Session& s, const std::string& conclusion) {
    return s.kb.rules.regula_dysjunktywna.find_first(
               [&](const RegulaDysjunktywna& d) { return d.conclusion == conclusion; }) != nullptr;
}

namespace {
void build(Session& s, bool disjunctive, Table<PendingRules>& lists) {
    FlatMap<std::string_view, char, TextHash> disj;
    for (const auto& d : s.kb.rules.regula_dysjunktywna)
        disj.try_emplace(d.conclusion, 0);
    auto& rows = lists.mutable_rows();
    // Views into the rows: room for a row per rule of this kind is reserved first, so no
    // row moves (and none for a kind no rule has).
    size_t of_kind = 0;
    for (const auto& r : s.kb.rules.regula)
        of_kind += disj.contains(r.conclusion) == disjunctive;
    rows.reserve(rows.size() + of_kind);
    // Row of each conclusion; the rows that were there before are left as they are.
    FlatMap<std::string_view, size_t, TextHash> at;
    at.reserve(rows.capacity());
    const size_t existing = rows.size();
    for (size_t i = 0; i < rows.size(); ++i)
        at.try_emplace(rows[i].conclusion, i);
    for (const auto& r : s.kb.rules.regula) {
        if (disj.contains(r.conclusion) != disjunctive) continue;
        const size_t* row = at.find(r.conclusion);
        if (!row) {
            rows.push_back({r.conclusion, {r.rule_number}});
            at.try_emplace(rows.back().conclusion, rows.size() - 1);
        } else if (*row >= existing) {
            rows[*row].pending_rules.push_back(r.rule_number);
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
