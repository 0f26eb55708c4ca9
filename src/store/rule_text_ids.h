// Statement ids of a rule table: the conclusion and the conditions of each rule by id.
// The load makes them once; the rule index of the next inference takes them over when the
// table still holds the same texts, instead of hashing every text again.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "store/knowledge_base.h"
#include "store/statement_ids.h"

namespace zuva {

struct RuleTextIds {
    std::shared_ptr<StatementIds> ids = std::make_shared<StatementIds>();
    std::vector<std::int32_t> conclusion_of;     // by rule position
    std::vector<std::int32_t> condition_offset;  // rule i: [offset[i], offset[i + 1])
    std::vector<std::int32_t> condition_ids;

    // Interns the rules' texts: each rule's conclusion, then its conditions.
    static RuleTextIds of(const std::vector<Regula>& rules) {
        RuleTextIds t;
        const std::size_t n = rules.size();
        t.ids->reserve(n + 16);
        t.conclusion_of.resize(n);
        t.condition_offset.assign(n + 1, 0);
        t.condition_ids.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            t.conclusion_of[i] = t.ids->intern(rules[i].conclusion);
            for (const auto& c : rules[i].conditions)
                t.condition_ids.push_back(t.ids->intern(c));
            t.condition_offset[i + 1] = static_cast<std::int32_t>(t.condition_ids.size());
        }
        return t;
    }

    // The ids still describe `rules`: the same number of rules, and every text the same.
    // Comparing texts in order costs far less than hashing them.
    bool describes(const std::vector<Regula>& rules) const {
        if (!ids || conclusion_of.size() != rules.size() || condition_offset.size() != rules.size() + 1)
            return false;
        for (std::size_t i = 0; i < rules.size(); ++i) {
            const Regula& r = rules[i];
            if (ids->text(conclusion_of[i]) != r.conclusion) return false;
            const auto first = static_cast<std::size_t>(condition_offset[i]);
            if (static_cast<std::size_t>(condition_offset[i + 1]) - first != r.conditions.size())
                return false;
            for (std::size_t k = 0; k < r.conditions.size(); ++k)
                if (ids->text(condition_ids[first + k]) != r.conditions[k]) return false;
        }
        return true;
    }
};

}  // namespace zuva
