// Built in one pass over the rule table, finding the list of each conclusion by its
// statement id when the load made them, else through a map from its text.
#include "kb/rule_lists.h"

#include <string_view>

#include "session/session.h"
#include "store/flat_map.h"
#include "store/rule_text_ids.h"

namespace zuva {

bool is_disjunctive(const Session& s, const std::string& conclusion) {
    return s.kb.rules.regula_dysjunktywna.find_first(
               [&](const RegulaDysjunktywna& d) { return d.conclusion == conclusion; }) != nullptr;
}

namespace {
void build(Session& s, bool disjunctive, Table<PendingRules>& lists) {
    const auto& rules = s.kb.rules.regula.rows();
    const bool any_disjunctive = !s.kb.rules.regula_dysjunktywna.empty();
    if (disjunctive && !any_disjunctive) return;
    FlatMap<std::string_view, char, TextHash> disj;
    for (const auto& d : s.kb.rules.regula_dysjunktywna)
        disj.try_emplace(d.conclusion, 0);
    auto of_kind = [&](const Regula& r) {
        return any_disjunctive ? disj.contains(r.conclusion) == disjunctive : !disjunctive;
    };
    auto& rows = lists.mutable_rows();
    // Views into the rows: room for a row per rule of this kind is reserved first, so no
    // row moves (and none for a kind no rule has).
    size_t count = 0;
    for (const auto& r : rules)
        count += of_kind(r);
    rows.reserve(rows.size() + count);
    // Fresh lists of a table whose statement ids the load made: the row of each
    // conclusion by its id.
    const RuleTextIds* t = s.kb.rule_text_ids.get();
    if (rows.empty() && t && t->describes(rules)) {
        std::vector<std::int32_t> row_of(t->ids->size(), -1);
        for (size_t i = 0; i < rules.size(); ++i) {
            const Regula& r = rules[i];
            if (!of_kind(r)) continue;
            std::int32_t& row = row_of[static_cast<size_t>(t->conclusion_of[i])];
            if (row < 0) {
                row = static_cast<std::int32_t>(rows.size());
                rows.push_back({r.conclusion, {r.rule_number}});
            } else {
                rows[static_cast<size_t>(row)].pending_rules.push_back(r.rule_number);
            }
        }
        return;
    }
    // Row of each conclusion; the rows that were there before are left as they are.
    FlatMap<std::string_view, size_t, TextHash> at;
    at.reserve(rows.capacity());
    const size_t existing = rows.size();
    for (size_t i = 0; i < rows.size(); ++i)
        at.try_emplace(rows[i].conclusion, i);
    for (const auto& r : rules) {
        if (!of_kind(r)) continue;
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
