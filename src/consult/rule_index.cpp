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

std::shared_ptr<const RuleTables> make_tables(Session& s, bool for_sharing) {
    auto made = std::make_shared<RuleTables>();
    RuleTables& ix = *made;
    const auto& rules = s.kb.rules.regula.rows();
    const std::size_t n = rules.size();
    ix.rules_data = rules.data();
    ix.rule_count = n;
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
    const std::size_t ns = ix.ids->size();
    compress(ns, users, ix.user_offset, ix.user_positions);
    compress(ns, concluding, ix.concluding_offset, ix.concluding_positions);
    ix.disjunctive.assign(ns, 0);
    for (const auto& d : s.kb.rules.regula_dysjunktywna) {
        const std::int32_t id = ix.ids->id_of(d.conclusion);
        if (id >= 0) ix.disjunctive[static_cast<std::size_t>(id)] = 1;
    }
    ix.askable.assign(ns, 0);
    for (const auto& a : ogolna_lista_dopytywalnych(s)) {
        const std::int32_t id = ix.ids->id_of(a);
        if (id >= 0)
            ix.askable[static_cast<std::size_t>(id)] = 1;
        else
            ix.askable_elsewhere.insert(a);
    }
    for (const auto& m : s.kb.models.model) {
        const std::int32_t id = ix.ids->id_of(m.result);
        if (id >= 0) ix.askable[static_cast<std::size_t>(id)] = 0;
        ix.askable_elsewhere.erase(m.result);
    }
    ix.initial_remaining.resize(ns);
    for (std::size_t id = 0; id < ns; ++id) {
        const std::int32_t count = ix.concluding_offset[id + 1] - ix.concluding_offset[id];
        ix.initial_remaining[id] = count > 0 ? count : -1;
    }
    if (!for_sharing) return made;
    ix.with_lookups = true;
    number_chains(rules, ix.first_with_number, ix.next_with_number);
    ix.rule_cf_state.assign(n, 2);
    ix.rule_cf.assign(n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        if (const auto v = parse_cf_text(rules[i].cf_text)) {
            ix.rule_cf_state[i] = 1;
            ix.rule_cf[i] = *v;
        }
    return made;
}

}  // namespace

void number_chains(const std::vector<Regula>& rules, std::unordered_map<std::int32_t, std::int32_t>& first,
                   std::vector<std::int32_t>& next) {
    first.reserve(rules.size());
    next.assign(rules.size(), -1);
    for (std::size_t i = rules.size(); i-- > 0;) {
        auto [it, fresh] = first.try_emplace(rules[i].rule_number, static_cast<std::int32_t>(i));
        if (!fresh) {
            next[i] = it->second;
            it->second = static_cast<std::int32_t>(i);
        }
    }
}

std::shared_ptr<const RuleTables> rule_tables(Session& s, bool for_sharing) {
    const auto& shared = s.inference.loaded_rule_tables;
    if (shared && shared->describes(s.kb.rules.regula.rows())) return shared;
    return make_tables(s, for_sharing);
}

RuleIndex::RuleIndex(std::shared_ptr<const RuleTables> t)
    : tables(std::move(t)),
      rules_data(tables->rules_data),
      rule_count(tables->rule_count),
      ids(tables->ids),
      conclusion_of(tables->conclusion_of),
      condition_offset(tables->condition_offset),
      condition_ids(tables->condition_ids),
      user_offset(tables->user_offset),
      user_positions(tables->user_positions),
      concluding_offset(tables->concluding_offset),
      concluding_positions(tables->concluding_positions),
      disjunctive(tables->disjunctive),
      askable(tables->askable),
      askable_elsewhere(tables->askable_elsewhere) {
    const std::size_t ns = statement_count();
    pending.start(rule_count, 1);
    remaining.start(ns, -1, &tables->initial_remaining);
    last_reduced.start(ns, 0);
}

RuleIndex& rule_index(Session& s) {
    auto& p = s.inference.rule_index;
    if (!p || !p->tables->describes(s.kb.rules.regula.rows()))
        p = std::make_shared<RuleIndex>(rule_tables(s));
    return *p;
}

}  // namespace zuva
