// The pending-rule lists of a run: loaded into the rule index, reduced as rules are applied
// (a reduced list goes to the end of its table), and written back into the two tables.
#include <algorithm>
#include <utility>
#include <vector>

#include "consult/cf_calculus.h"
#include "kb/rule_lists.h"
#include "session/session.h"

namespace zuva {

namespace {

void load_lists(Session& s, RuleIndex& ix) {
    ix.lists_loaded = true;
    ix.rows_deferred = false;
    ix.pending.fill(0);
    ix.remaining.fill(-1);
    const auto& rules = s.kb.rules.regula.rows();
    auto load = [&](const Table<PendingRules>& t, std::vector<std::int32_t>& row_ids) {
        row_ids.clear();
        row_ids.reserve(t.count());
        for (const auto& row : t) {
            const std::int32_t id = ix.id_of(row.conclusion);
            row_ids.push_back(id);
            if (id < 0) continue;
            const auto uid = static_cast<std::size_t>(id);
            ix.remaining.mut(uid) = 0;
            // Lists are built in table order: match the numbers against the rules that
            // conclude the statement, in order; a number out of that order is looked up.
            const std::int32_t* p = ix.concluding_positions.data() + ix.concluding_offset[uid];
            const std::int32_t* end = ix.concluding_positions.data() + ix.concluding_offset[uid + 1];
            for (std::int32_t number : row.pending_rules) {
                const std::int32_t* q = p;
                while (q != end && (rules[static_cast<std::size_t>(*q)].rule_number != number ||
                                    ix.pending[static_cast<std::size_t>(*q)]))
                    ++q;
                if (q == end) {
                    for (q = ix.concluding_positions.data() + ix.concluding_offset[uid]; q != end; ++q)
                        if (rules[static_cast<std::size_t>(*q)].rule_number == number &&
                            !ix.pending[static_cast<std::size_t>(*q)])
                            break;
                    if (q == end) continue;
                } else {
                    p = q + 1;
                }
                ix.pending.mut(static_cast<std::size_t>(*q)) = 1;
                ++ix.remaining.mut(uid);
            }
        }
    };
    load(s.inference.lista_numerow_regul_kumulatywnych, ix.row_ids[0]);
    load(s.inference.lista_numerow_regul_dysjunktywnych, ix.row_ids[1]);
}

RuleIndex& loaded_index(Session& s) {
    RuleIndex& ix = rule_index(s);
    if (!ix.lists_loaded) load_lists(s, ix);
    return ix;
}

void reduce_at(RuleIndex& ix, std::size_t pos) {
    ix.pending.mut(pos) = 0;
    const auto uid = static_cast<std::size_t>(ix.conclusion_of[pos]);
    const std::int32_t left = --ix.remaining.mut(uid);
    ix.last_reduced.mut(uid) = ++ix.reductions;
    if (left == 0) ix.emptied.push_back(ix.conclusion_of[pos]);
}

// Rule positions by number: the shared tables', else made by the index on first use.
struct NumberChains {
    const std::unordered_map<std::int32_t, std::int32_t>& first;
    const std::vector<std::int32_t>& next;
};
NumberChains number_chains_of(Session& s, RuleIndex& ix) {
    if (ix.tables->with_lookups) return {ix.tables->first_with_number, ix.tables->next_with_number};
    if (!ix.numbers_built) {
        ix.numbers_built = true;
        number_chains(s.kb.rules.regula.rows(), ix.own_first_with_number, ix.own_next_with_number);
    }
    return {ix.own_first_with_number, ix.own_next_with_number};
}

// The rows of both tables as the state in which every rule is pending gives them: every
// conclusion in the order of its first rule, with the numbers of all its rules in table
// order.
void make_rows(Session& s, RuleIndex& ix) {
    auto& cum = s.inference.lista_numerow_regul_kumulatywnych;
    auto& dis = s.inference.lista_numerow_regul_dysjunktywnych;
    const auto& rules = s.kb.rules.regula.rows();
    std::vector<char> listed(ix.statement_count(), 0);
    ix.row_ids[0].clear();
    ix.row_ids[1].clear();
    for (std::size_t p = 0; p < rules.size(); ++p) {
        const auto id = static_cast<std::size_t>(ix.conclusion_of[p]);
        if (listed[id]) continue;
        listed[id] = 1;
        PendingRules row{rules[p].conclusion, {}};
        row.pending_rules.reserve(
            static_cast<std::size_t>(ix.concluding_offset[id + 1] - ix.concluding_offset[id]));
        for (std::int32_t k = ix.concluding_offset[id]; k < ix.concluding_offset[id + 1]; ++k)
            row.pending_rules.push_back(
                rules[static_cast<std::size_t>(ix.concluding_positions[static_cast<std::size_t>(k)])]
                    .rule_number);
        ix.row_ids[ix.disjunctive[id] ? 1 : 0].push_back(static_cast<std::int32_t>(id));
        (ix.disjunctive[id] ? dis : cum).append(std::move(row));
    }
    ix.rows_deferred = false;
}

bool redukuj(Session& s, const std::string& conclusion, std::int32_t rule_number) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = ix.id_of(conclusion);
    if (id < 0 || ix.remaining[static_cast<std::size_t>(id)] <= 0) return false;
    const NumberChains n = number_chains_of(s, ix);
    auto f = n.first.find(rule_number);
    for (std::int32_t p = f == n.first.end() ? -1 : f->second; p >= 0;
         p = n.next[static_cast<std::size_t>(p)]) {
        auto up = static_cast<std::size_t>(p);
        if (ix.conclusion_of[up] != id || !ix.pending[up]) continue;
        reduce_at(ix, up);
        return true;
    }
    return false;
}

}  // namespace

void tworz_listy_oczekujacych(Session& s) {
    auto& cum = s.inference.lista_numerow_regul_kumulatywnych;
    auto& dis = s.inference.lista_numerow_regul_dysjunktywnych;
    RuleIndex& ix = rule_index(s);
    if ((cum.empty() && dis.empty()) || ix.rows_deferred) {
        // Every rule pending: the initial state of the index's arrays, which a run holds
        // no copy of until it applies a rule.
        ix.pending.reset();
        ix.remaining.reset();
        ix.rows_deferred = true;
        ix.lists_loaded = true;
        // A session that owns its base (the programs of the menu) keeps the rows as they are
        // made; a consultation of a shared base makes them only when it writes them back.
        if (!ix.tables->with_lookups) make_rows(s, ix);
        return;
    }
    if (cum.empty()) tworz_listy_numerow_regul_kumulatywnych(s);
    if (dis.empty()) tworz_listy_numerow_regul_dysjunktywnych(s);
    load_lists(s, ix);
}

bool lista_oczekujacych_pusta(Session& s, const std::string& conclusion) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = ix.id_of(conclusion);
    return id >= 0 && ix.remaining[static_cast<std::size_t>(id)] == 0;
}

bool lista_oczekujacych_niepusta(Session& s, const std::string& conclusion) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = ix.id_of(conclusion);
    return id >= 0 && ix.remaining[static_cast<std::size_t>(id)] > 0;
}

bool regula_oczekuje(Session& s, const std::string& conclusion, std::int32_t rule_number) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = ix.id_of(conclusion);
    if (id < 0) return false;
    const NumberChains n = number_chains_of(s, ix);
    auto f = n.first.find(rule_number);
    for (std::int32_t p = f == n.first.end() ? -1 : f->second; p >= 0;
         p = n.next[static_cast<std::size_t>(p)])
        if (ix.conclusion_of[static_cast<std::size_t>(p)] == id && ix.pending[static_cast<std::size_t>(p)])
            return true;
    return false;
}

bool redukuj_liste_regul_kumulatywnych(Session& s, const std::string& conclusion, std::int32_t rule_number) {
    return redukuj(s, conclusion, rule_number);
}

bool redukuj_liste_regul_dysjunktywnych(Session& s, const std::string& conclusion, std::int32_t rule_number) {
    return redukuj(s, conclusion, rule_number);
}

bool redukuj_pozycje(Session& s, std::int32_t position) {
    RuleIndex& ix = loaded_index(s);
    const auto up = static_cast<std::size_t>(position);
    if (ix.pending[up]) {
        // The first occurrence of the number in the list is this rule's unless an
        // earlier rule of the same conclusion carries the same number.
        const auto uid = static_cast<std::size_t>(ix.conclusion_of[up]);
        const std::int32_t number = s.kb.rules.regula[up].rule_number;
        for (std::int32_t k = ix.concluding_offset[uid]; k < ix.concluding_offset[uid + 1]; ++k) {
            const auto q = static_cast<std::size_t>(ix.concluding_positions[static_cast<std::size_t>(k)]);
            if (q >= up) break;
            if (ix.pending[q] && s.kb.rules.regula[q].rule_number == number)
                return redukuj(s, s.kb.rules.regula[up].conclusion, number);
        }
        reduce_at(ix, up);
        return true;
    }
    return redukuj(s, s.kb.rules.regula[up].conclusion, s.kb.rules.regula[up].rule_number);
}

void sync_pending_lists(Session& s) {
    RuleIndex& ix = loaded_index(s);
    if (ix.rows_deferred) make_rows(s, ix);
    const auto& rules = s.kb.rules.regula.rows();
    std::vector<std::int32_t> row_of(ix.statement_count(), -1);
    auto sync = [&](Table<PendingRules>& t, std::vector<std::int32_t>& row_ids) {
        auto& rows = t.mutable_rows();
        if (rows.empty()) return;
        // The id of a row's text: the one noted at loading when the row still holds that
        // statement's text (ids are unique per text), else looked up.
        auto id_of_row = [&](std::size_t i) {
            if (i < row_ids.size()) {
                const std::int32_t h = row_ids[i];
                if (h >= 0 && ix.statement(h) == rows[i].conclusion) return h;
            }
            return ix.id_of(rows[i].conclusion);
        };
        std::vector<std::pair<std::uint64_t, std::size_t>> order;
        order.reserve(rows.size());
        std::vector<std::int32_t> touched, ids(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::int32_t id = id_of_row(i);
            ids[i] = id;
            order.emplace_back(id < 0 ? 0 : ix.last_reduced[static_cast<std::size_t>(id)], i);
            if (id >= 0) {
                row_of[static_cast<std::size_t>(id)] = static_cast<std::int32_t>(i);
                touched.push_back(id);
                rows[i].pending_rules.clear();
            }
        }
        for (std::size_t p = 0; p < rules.size(); ++p) {
            if (!ix.pending[p]) continue;
            const std::int32_t r = row_of[static_cast<std::size_t>(ix.conclusion_of[p])];
            if (r >= 0) rows[static_cast<std::size_t>(r)].pending_rules.push_back(rules[p].rule_number);
        }
        for (std::int32_t id : touched)
            row_of[static_cast<std::size_t>(id)] = -1;
        // Stable order by the last reduction: the rows never reduced keep their order at
        // the front, then the others by their reduction, which is one of its own for each
        // statement; a repeated one (a conclusion listed twice) takes the general sort.
        std::vector<std::int32_t> by_seq(ix.reductions + 1, -1);
        std::size_t unreduced = 0;
        bool distinct = true;
        for (const auto& [seq, i] : order) {
            if (seq == 0) {
                order[unreduced++].second = i;
                continue;
            }
            if (seq > ix.reductions || by_seq[seq] >= 0) {
                distinct = false;
                break;
            }
            by_seq[seq] = static_cast<std::int32_t>(i);
        }
        if (distinct) {
            std::size_t k = unreduced;
            for (std::uint64_t q = 1; q <= ix.reductions; ++q)
                if (by_seq[q] >= 0) order[k++] = {q, static_cast<std::size_t>(by_seq[q])};
            for (std::size_t j = 0; j < unreduced; ++j)
                order[j].first = 0;
        } else {
            order.clear();
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const std::int32_t id = ids[i];
                order.emplace_back(id < 0 ? 0 : ix.last_reduced[static_cast<std::size_t>(id)], i);
            }
            std::stable_sort(order.begin(), order.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        }
        row_ids.clear();
        row_ids.reserve(order.size());
        for (const auto& [seq, i] : order)
            row_ids.push_back(ids[i]);
        // The rows into that order in place, one cycle of the permutation at a time (a
        // row that stays where it is, as most do, is not moved at all).
        for (std::size_t k = 0; k < order.size(); ++k) {
            if (order[k].second == k) continue;
            PendingRules held = std::move(rows[k]);
            std::size_t j = k;
            for (;;) {
                const std::size_t from = order[j].second;
                order[j].second = j;
                if (from == k) {
                    rows[j] = std::move(held);
                    break;
                }
                rows[j] = std::move(rows[from]);
                j = from;
            }
        }
    };
    sync(s.inference.lista_numerow_regul_kumulatywnych, ix.row_ids[0]);
    sync(s.inference.lista_numerow_regul_dysjunktywnych, ix.row_ids[1]);
}

}  // namespace zuva
