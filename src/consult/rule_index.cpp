// The index of the rule table for one run (RuleIndex, declared in cf_calculus.h): statement
// ids, the conditions of each rule, the rules that use or conclude a statement, the
// disjunctive and askable statements; built once and rebuilt when the table changes.
#include <utility>
#include <vector>

#include "consult/cf_calculus.h"
#include "kb/askable_conditions.h"
#include "session/session.h"
#include "store/rule_text_ids.h"

namespace zuva {

namespace {

using Offsets = std::vector<std::int32_t>;

// Turns (key, value) pairs into offsets by key and values in pair order.
void compress(std::size_t keys, const std::vector<std::pair<std::int32_t, std::int32_t>>& pairs,
              Offsets& offset, std::vector<std::int32_t>& values) {
    offset.assign(keys + 1, 0);
    for (const auto& [k, v] : pairs)
        ++offset[static_cast<std::size_t>(k) + 1];
    for (std::size_t i = 0; i < keys; ++i)
        offset[i + 1] += offset[i];
    values.resize(pairs.size());
    Offsets at(offset.begin(), offset.end() - 1);
    for (const auto& [k, v] : pairs)
        values[static_cast<std::size_t>(at[static_cast<std::size_t>(k)]++)] = v;
}

void build_static(Session& s, RuleIndex& ix) {
    const auto& rules = s.kb.rules.regula.rows();
    const std::size_t n = rules.size();
    ix.rules_data = rules.data();
    ix.rule_count = n;
    // Room for one statement a rule (the table grows if there are more): a larger table
    // only spreads the lookups over more cache lines.
    // The ids the load made are taken over (once) while the table holds the same texts.
    auto& loaded = s.kb.rule_text_ids;
    RuleTextIds t = loaded && loaded->describes(rules) ? std::move(*loaded) : RuleTextIds::of(rules);
    loaded.reset();
    ix.ids = std::move(t.ids);
    ix.conclusion_of = std::move(t.conclusion_of);
    ix.condition_offset = std::move(t.condition_offset);
    ix.condition_ids = std::move(t.condition_ids);
    std::vector<std::pair<std::int32_t, std::int32_t>> users, concluding;
    users.reserve(n);
    concluding.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto pos = static_cast<std::int32_t>(i);
        concluding.emplace_back(ix.conclusion_of[i], pos);
        const auto first = static_cast<std::size_t>(ix.condition_offset[i]);
        const auto end = static_cast<std::size_t>(ix.condition_offset[i + 1]);
        for (std::size_t k = first; k < end; ++k) {
            const std::int32_t id = ix.condition_ids[k];
            bool seen = false;
            for (std::size_t j = first; j < k && !seen; ++j)
                seen = ix.condition_ids[j] == id;
            if (!seen) users.emplace_back(id, pos);
        }
    }
    const std::size_t ns = ix.statement_count();
    compress(ns, users, ix.user_offset, ix.user_positions);
    compress(ns, concluding, ix.concluding_offset, ix.concluding_positions);
    ix.disjunctive.assign(ns, 0);
    for (const auto& d : s.kb.rules.regula_dysjunktywna) {
        const std::int32_t id = ix.id_of(d.conclusion);
        if (id >= 0) ix.disjunctive[static_cast<std::size_t>(id)] = 1;
    }
    ix.askable.assign(ns, 0);
    for (const auto& a : ogolna_lista_dopytywalnych(s)) {
        const std::int32_t id = ix.id_of(a);
        if (id >= 0)
            ix.askable[static_cast<std::size_t>(id)] = 1;
        else
            ix.askable_elsewhere.insert(a);
    }
    for (const auto& m : s.kb.models.model) {
        const std::int32_t id = ix.id_of(m.result);
        if (id >= 0) ix.askable[static_cast<std::size_t>(id)] = 0;
        ix.askable_elsewhere.erase(m.result);
    }
    ix.pending.assign(n, 0);
    ix.remaining.assign(ns, -1);
    ix.last_reduced.assign(ns, 0);
}

}  // namespace

RuleIndex& rule_index(Session& s) {
    auto& p = s.inference.rule_index;
    const auto& rules = s.kb.rules.regula.rows();
    if (!p || p->rule_count != rules.size() || p->rules_data != rules.data()) {
        p = std::make_shared<RuleIndex>();
        build_static(s, *p);
    }
    return *p;
}

}  // namespace zuva
