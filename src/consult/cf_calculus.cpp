// The calculus works on the indexed working tables of InferenceState and on a per-run
// index of the rule table, so that each operation costs what its own records cost.
#include "consult/cf_calculus.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "consult/pytaj.h"
#include "kb/rule_lists.h"
#include "report/report.h"
#include "session/session.h"
#include "store/rule_text_ids.h"
#include "text/number_format.h"
#include "text/pieces.h"

namespace zuva {

namespace {

const char* const kKoniec = "koniec";
const char* const kBezWarunku = "bez warunku";

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

void build_numbers(Session& s, RuleIndex& ix) {
    ix.numbers_built = true;
    const auto& rules = s.kb.rules.regula.rows();
    ix.first_with_number.reserve(rules.size());
    ix.next_with_number.assign(rules.size(), -1);
    for (std::size_t i = rules.size(); i-- > 0;) {
        auto [it, fresh] =
            ix.first_with_number.try_emplace(rules[i].rule_number, static_cast<std::int32_t>(i));
        if (!fresh) {
            ix.next_with_number[i] = it->second;
            it->second = static_cast<std::int32_t>(i);
        }
    }
}

void load_lists(Session& s, RuleIndex& ix) {
    ix.lists_loaded = true;
    std::fill(ix.pending.begin(), ix.pending.end(), 0);
    std::fill(ix.remaining.begin(), ix.remaining.end(), -1);
    const auto& rules = s.kb.rules.regula.rows();
    auto load = [&](const Table<PendingRules>& t, std::vector<std::int32_t>& row_ids) {
        row_ids.clear();
        row_ids.reserve(t.count());
        for (const auto& row : t) {
            const std::int32_t id = ix.id_of(row.conclusion);
            row_ids.push_back(id);
            if (id < 0) continue;
            const auto uid = static_cast<std::size_t>(id);
            ix.remaining[uid] = 0;
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
                ix.pending[static_cast<std::size_t>(*q)] = 1;
                ++ix.remaining[uid];
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
    ix.pending[pos] = 0;
    const auto uid = static_cast<std::size_t>(ix.conclusion_of[pos]);
    --ix.remaining[uid];
    ix.last_reduced[uid] = ++ix.reductions;
    if (ix.remaining[uid] == 0) ix.emptied.push_back(ix.conclusion_of[pos]);
}

bool redukuj(Session& s, const std::string& conclusion, std::int32_t rule_number) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = ix.id_of(conclusion);
    if (id < 0 || ix.remaining[static_cast<std::size_t>(id)] <= 0) return false;
    if (!ix.numbers_built) build_numbers(s, ix);
    auto f = ix.first_with_number.find(rule_number);
    for (std::int32_t p = f == ix.first_with_number.end() ? -1 : f->second; p >= 0;
         p = ix.next_with_number[static_cast<std::size_t>(p)]) {
        auto up = static_cast<std::size_t>(p);
        if (ix.conclusion_of[up] != id || !ix.pending[up]) continue;
        reduce_at(ix, up);
        return true;
    }
    return false;
}

void explanation_lines(Session& s, const std::string& title, const std::vector<std::string>& lines) {
    pokaz_wyjasnienie(s, title, lines);
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

void kasowanie_tablic_roboczych(Session& s) {
    auto& in = s.inference;
    in.prbd.clear();
    in.wypadkowa_prbd.clear();
    in.explain.clear_run();
    in.dysjunkt.clear();
    in.lista_numerow_regul_kumulatywnych.clear();
    in.lista_numerow_regul_dysjunktywnych.clear();
    in.model_stosowany.clear();
    in.regula_zastosowana.clear();
    in.zmienna_ustalona.clear();
    in.argumenty_nieznane.clear();
    in.konczenie = false;
    in.rule_index.reset();
    in.media_lookup.reset();
    in.constraint_index.reset();
}

void tworz_listy_oczekujacych(Session& s) {
    auto& cum = s.inference.lista_numerow_regul_kumulatywnych;
    auto& dis = s.inference.lista_numerow_regul_dysjunktywnych;
    RuleIndex& ix = rule_index(s);
    if (cum.empty() && dis.empty()) {
        // Both lists from the index: every conclusion in the order of its first rule, with
        // the numbers of all its rules in table order; all of them pending.
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
            for (std::int32_t k = ix.concluding_offset[id]; k < ix.concluding_offset[id + 1]; ++k) {
                const auto q = static_cast<std::size_t>(ix.concluding_positions[static_cast<std::size_t>(k)]);
                row.pending_rules.push_back(rules[q].rule_number);
                ix.pending[q] = 1;
            }
            ix.remaining[id] = static_cast<std::int32_t>(row.pending_rules.size());
            ix.row_ids[ix.disjunctive[id] ? 1 : 0].push_back(static_cast<std::int32_t>(id));
            (ix.disjunctive[id] ? dis : cum).append(std::move(row));
        }
        ix.lists_loaded = true;
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
    if (!ix.numbers_built) build_numbers(s, ix);
    auto f = ix.first_with_number.find(rule_number);
    for (std::int32_t p = f == ix.first_with_number.end() ? -1 : f->second; p >= 0;
         p = ix.next_with_number[static_cast<std::size_t>(p)])
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

bool moze_pytac(Session& s, const std::string& condition) {
    const RuleIndex& ix = rule_index(s);
    const std::int32_t id = ix.id_of(condition);
    if (id >= 0) return ix.askable[static_cast<std::size_t>(id)] != 0;
    return ix.askable_elsewhere.count(condition) != 0;
}

std::optional<double> testuj_warunki(Session& s, const TextList& conditions) {
    return testuj_warunki(s, conditions, nullptr);
}

std::optional<double> testuj_warunki(Session& s, const TextList& conditions, std::size_t* blocked_at) {
    const std::size_t n = conditions.size();
    if (n == 0) return 1.0;
    double small[16];
    std::vector<double> big;
    double* cf = small;
    if (n > 16) {
        big.resize(n);
        cf = big.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& c = conditions[i];
        if (auto r = resultant(s, c)) {
            cf[i] = *r;
        } else if (moze_pytac(s, c)) {
            cf[i] = pytaj(s, c);
        } else {
            if (blocked_at) *blocked_at = i;
            return std::nullopt;
        }
    }
    double m = 1.0;
    for (std::size_t i = n; i-- > 0;)
        m = mini(cf[i], m);
    return m;
}

double wklad_reguly(double rule_cf, double conditions_cf) {
    return zaokraglenie(rule_cf * conditions_cf);
}

std::optional<double> sumuj(const std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    double acc = values.front();
    for (std::size_t i = 1; i < values.size(); ++i) {
        const double y = values[i];
        if (acc < 0.0 && y < 0.0)
            acc = acc + y + acc * y;
        else
            acc = acc + y - acc * y;
    }
    return acc;
}

bool oba_cf_ujemne(double a, double b) {
    return a <= 0.0 && b <= 0.0;
}

std::pair<double, double> dodatnie_i_ujemne_cf(const Session& s, const std::string& conclusion,
                                               StatementRef ref) {
    // sumuj of each sign, folded from the front as the records come.
    double P = 0.0, N = 0.0;
    bool any_p = false, any_n = false;
    auto fold = [](double& acc, bool& any, double y) {
        if (!any) {
            acc = y;
            any = true;
        } else if (acc < 0.0 && y < 0.0) {
            acc = acc + y + acc * y;
        } else {
            acc = acc + y - acc * y;
        }
    };
    s.inference.prbd.for_conclusion(
        conclusion,
        [&](const Prbd& p) {
            if (p.contribution > 0.0)
                fold(P, any_p, p.contribution);
            else if (p.contribution < 0.0)
                fold(N, any_n, p.contribution);
        },
        ref);
    return {P, N};
}

double dodatnie_cf(const Session& s, const std::string& conclusion) {
    return dodatnie_i_ujemne_cf(s, conclusion).first;
}

double ujemne_cf(const Session& s, const std::string& conclusion) {
    return dodatnie_i_ujemne_cf(s, conclusion).second;
}

bool calkowity_konflikt(const Session& s, const std::string& conclusion) {
    auto [p, n] = dodatnie_i_ujemne_cf(s, conclusion);
    return p * n == -1.0;
}

double wypadkowa_z(double p, double n) {
    if (p * n == -1.0) return 0.0;
    return zaokraglenie((p + n) / (1.0 - std::min(p, -n)));
}

double wypadkowa_kumulatywna(const Session& s, const std::string& conclusion) {
    auto [p, n] = dodatnie_i_ujemne_cf(s, conclusion);
    return wypadkowa_z(p, n);
}

bool jednakowe_znaki(const Session& s, const std::string& conclusion) {
    bool all_pos = true, all_nonpos = true;
    s.inference.dysjunkt.for_conclusion(conclusion, [&](const Dysjunkt& d) {
        if (d.conditions_cf > 0.0)
            all_nonpos = false;
        else
            all_pos = false;
    });
    return all_pos || all_nonpos;
}

std::vector<double> dodatnie_cf_warunkow(const Session& s, const std::string& conclusion) {
    std::unordered_set<double> positive;
    s.inference.dysjunkt.for_conclusion(conclusion, [&](const Dysjunkt& d) {
        if (d.conditions_cf > 0.0) positive.insert(d.contribution);
    });
    std::vector<double> out;
    s.inference.prbd.for_conclusion(conclusion, [&](const Prbd& p) {
        if (positive.count(p.contribution)) out.push_back(p.contribution);
    });
    return out;
}

std::optional<double> wypadkowa_dysjunktywna(const Session& s, const std::string& conclusion) {
    std::vector<double> v;
    if (jednakowe_znaki(s, conclusion))
        s.inference.prbd.for_conclusion(conclusion, [&](const Prbd& p) { v.push_back(p.contribution); });
    else
        v = dodatnie_cf_warunkow(s, conclusion);
    if (v.empty()) return std::nullopt;
    return zaokraglenie(*std::max_element(v.begin(), v.end()));
}

void aktualizacja_prbd(Session& s, std::int32_t rule_number, const std::string& conclusion, double cf) {
    s.inference.prbd.update(rule_number, conclusion, cf);
}

namespace {
void unmark_users(Session& s, RuleIndex& ix, std::int32_t id) {
    const auto uid = static_cast<std::size_t>(id);
    const auto& rules = s.kb.rules.regula.rows();
    auto& marks = s.inference.regula_zastosowana;
    if (marks.empty()) return;
    for (std::int32_t k = ix.user_offset[uid]; k < ix.user_offset[uid + 1]; ++k) {
        const std::int32_t p = ix.user_positions[static_cast<std::size_t>(k)];
        if (marks.erase(rules[static_cast<std::size_t>(p)].rule_number)) ix.unmarked.push_back(p);
    }
}
bool same_record(const Session& s, double cf, const std::string& conclusion, std::int32_t rule_number) {
    const Prbd* old = s.inference.prbd.find_rule(rule_number);
    return old && old->conclusion == conclusion && old->contribution == cf;
}
}  // namespace

void skasuj_zastosowane_reguly(Session& s, double cf, const std::string& conclusion,
                               std::int32_t rule_number) {
    if (same_record(s, cf, conclusion, rule_number)) return;
    RuleIndex& ix = rule_index(s);
    const std::int32_t id = ix.id_of(conclusion);
    if (id >= 0) unmark_users(s, ix, id);
}

void skasuj_zastosowane_reguly_pozycji(Session& s, double cf, std::int32_t position) {
    const Regula& r = s.kb.rules.regula[static_cast<std::size_t>(position)];
    if (same_record(s, cf, r.conclusion, r.rule_number)) return;
    RuleIndex& ix = rule_index(s);
    unmark_users(s, ix, ix.conclusion_of[static_cast<std::size_t>(position)]);
}

void oznacz_zastosowana(Session& s, std::int32_t rule_number) {
    s.inference.regula_zastosowana.insert(rule_number);
}

bool zastosowana(const Session& s, std::int32_t rule_number) {
    return s.inference.regula_zastosowana.count(rule_number) != 0;
}

std::optional<double> zapisz_wklad_kumulatywny(Session& s, const Regula& r, double conditions_cf,
                                               double rule_cf) {
    const double product = rule_cf * conditions_cf;
    skasuj_zastosowane_reguly(s, product, r.conclusion, r.rule_number);
    const double contribution = zaokraglenie(product);
    aktualizacja_prbd(s, r.rule_number, r.conclusion, contribution);
    if (!redukuj_liste_regul_kumulatywnych(s, r.conclusion, r.rule_number)) return std::nullopt;
    return contribution;
}

std::optional<double> zapisz_wklad_kumulatywny_pozycji(Session& s, std::int32_t position,
                                                       double conditions_cf, double rule_cf) {
    const Regula& r = s.kb.rules.regula[static_cast<std::size_t>(position)];
    const double product = rule_cf * conditions_cf;
    const double contribution = zaokraglenie(product);
    // The record replaced by the update stays readable, so one lookup serves both the
    // check of skasuj_zastosowane_reguly and aktualizacja_prbd.
    RuleIndex& ix = rule_index(s);
    const std::int32_t conclusion = ix.conclusion_of[static_cast<std::size_t>(position)];
    const Prbd* old =
        s.inference.prbd.update(r.rule_number, r.conclusion, contribution, {ix.ids.get(), conclusion});
    if (!(old && old->conclusion == r.conclusion && old->contribution == product))
        unmark_users(s, ix, conclusion);
    if (!redukuj_pozycje(s, position)) return std::nullopt;
    return contribution;
}

std::optional<double> zapisz_wklad_dysjunktywny(Session& s, const Regula& r, double conditions_cf,
                                                double rule_cf) {
    const double contribution = wklad_reguly(rule_cf, conditions_cf);
    aktualizacja_prbd(s, r.rule_number, r.conclusion, contribution);
    s.inference.dysjunkt.append({r.conclusion, conditions_cf, contribution});
    if (!redukuj_liste_regul_dysjunktywnych(s, r.conclusion, r.rule_number)) return std::nullopt;
    return contribution;
}

std::optional<double> zapisz_wklad_dysjunktywny_pozycji(Session& s, std::int32_t position,
                                                        double conditions_cf, double rule_cf) {
    const Regula& r = s.kb.rules.regula[static_cast<std::size_t>(position)];
    const double contribution = wklad_reguly(rule_cf, conditions_cf);
    const RuleIndex& ix = rule_index(s);
    s.inference.prbd.update(r.rule_number, r.conclusion, contribution,
                            {ix.ids.get(), ix.conclusion_of[static_cast<std::size_t>(position)]});
    s.inference.dysjunkt.append({r.conclusion, conditions_cf, contribution});
    if (!redukuj_pozycje(s, position)) return std::nullopt;
    return contribution;
}

std::optional<double> parse_cf_text(std::string_view text) {
    // A plain decimal ([+-]digits[.digits], at most 15 digits) is m / 10^k with m and 10^k
    // exact doubles, so one correctly rounded division gives what strtod gives.
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint64_t m = 0;
    int digits = 0, fraction = 0;
    bool plain = true;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits)
        m = 10 * m + static_cast<std::uint64_t>(text[i] - '0');
    if (i < n && text[i] == '.')
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, ++fraction)
            m = 10 * m + static_cast<std::uint64_t>(text[i] - '0');
    if (i != n || digits == 0 || digits > 15) plain = false;
    if (!plain) return cf_from_text(std::string(text));
    double v = static_cast<double>(m) / kPow10[fraction];
    if (negative) v = -v;
    if (v < -1.0 || v > 1.0) return std::nullopt;
    return v;
}

double wyznacz_cf_pozycji(Session& s, std::int32_t position) {
    RuleIndex& ix = rule_index(s);
    const auto up = static_cast<std::size_t>(position);
    const Regula& r = s.kb.rules.regula[up];
    if (ix.rule_cf_state.empty()) {
        ix.rule_cf_state.assign(ix.rule_count, 0);
        ix.rule_cf.assign(ix.rule_count, 0.0);
    }
    char& state = ix.rule_cf_state[up];
    if (state == 0) {
        const auto v = parse_cf_text(r.cf_text);
        state = v ? 1 : 2;
        if (v) ix.rule_cf[up] = *v;
    }
    if (state == 1) return ix.rule_cf[up];
    return wyznacz_cf(s, r.conclusion, r.cf_text);
}

bool zrob_koniec(const Session& s) {
    return !s.inference.prbd.has_positive_koniec();
}

void wyjasnienie_regula(Session& s, double cf, const Regula& r) {
    if (r.display_flag != 1 || r.conclusion == kKoniec) return;
    const std::string heading = "Stosuję regułę " + std::to_string(r.rule_number) + " o postaci:";
    const std::string cf_line = "to z współczynnikiem CF = " + r.cf_text;
    const std::string result = "    " + r.conclusion + "(" + format_cf(cf) + ")";
    piszcr(s);
    piszln(s, heading);
    piszln(s, "Jeżeli");
    for (const auto& c : r.conditions)
        piszln(s, "    " + c);
    piszln(s, cf_line);
    piszln(s, "    " + r.conclusion);
    piszln(s, "Stąd wynika wniosek: ");
    piszln(s, result);
    piszcr(s);
    std::vector<std::string> lines;
    lines.reserve(r.conditions.size() + 6);
    lines.push_back(heading);
    lines.push_back("Jeżeli");
    for (const auto& c : r.conditions)
        lines.push_back("    " + c);
    lines.push_back(cf_line);
    lines.push_back("    " + r.conclusion);
    lines.push_back("Stąd wynika wniosek:");
    lines.push_back(result);
    explanation_lines(s, "Wyjaśnienie reguły", lines);
}

void wyjasnienie_regula_dysjunktywna_pomijana(Session& s, const Regula& r, double conditions_cf,
                                              double rule_cf) {
    if (r.display_flag != 1) return;
    const std::string number = std::to_string(r.rule_number);
    piszln(s, "Stosuję regułę dysjunktywną " + number);
    piszln(s, "z ujemnym CF listy warunków, równym " + format_cf(conditions_cf));
    piszln(s, "i z ujemnym CF reguły, równym " + format_cf(rule_cf));
    piszln(s, "Reguła ta zostanie pominięta przy dalszym wnioskowaniu.");
    piszcr(s);
    s.ui.note("Uwaga!", "Stosuję regułę dysjunktywną " + number + "\nz ujemnym CF listy warunków, równym " +
                            format_cf(conditions_cf) + "\ni z ujemnym CF reguły, równym " +
                            format_cf(rule_cf) + "\nReguła ta zostanie pominięta przy dalszym wnioskowaniu.");
}

void wyjasnienie_wypadkowej(Session& s, const std::string& conclusion, double cf, bool disjunctive) {
    const char* heading = disjunctive
                              ? "Z wszystkich reguł dysjunktywnych dla wniosku: "
                              : "Z wszystkich reguł kumulatywnych (z pojedynczej reguły) dla wniosku: ";
    // A forward run explains every resultant: the texts are made in buffers kept from one
    // call to the next, so that a large run does not allocate them each time.
    static thread_local std::string text;
    static thread_local std::vector<std::string> lines(4);
    std::string& indented = lines[1];
    std::string& line = lines[3];
    lines[0].assign(heading);
    indented.assign("    ");
    indented += conclusion;
    lines[2].assign("wynika: ");
    line.assign(indented);
    line += '(';
    line += format_cf(cf);
    line += ')';
    // The report lines as one piece of text.
    text.clear();
    if (!disjunctive) text += '\n';
    text += heading;
    text += '\n';
    text += indented;
    text += "\nwynika:\n";
    text += line;
    text += "\n\n";
    pisz(s, text);
    explanation_lines(s,
                      disjunctive ? "Wypadkowe CF wniosku reguł dysjunktywnych "
                                  : "Wypadkowe CF wniosku reguł kumulatywnych (pojedynczej reguły)",
                      lines);
}

void przedstawienie_faktow(Session& s) {
    if (!duza_szczegolowosc(s)) return;
    // The lines go to the report in pieces of about 64 KB, so that the listing of a large
    // run is not held a second time as one text.
    std::vector<std::string> lines;
    lines.reserve(s.inference.wypadkowa_prbd.count());
    std::string written = "\nDane są następujące fakty:\n";
    LinePieces pieces(written, [&s](std::string_view piece) { pisz(s, piece); });
    s.inference.wypadkowa_prbd.for_each([&](const std::string& statement, double cf) {
        if (statement == kBezWarunku || statement == kKoniec) return;
        const std::string value = format_cf(cf);
        std::string line;
        line.reserve(statement.size() + value.size() + 6);
        line += "    ";
        line += statement;
        line += '(';
        line += value;
        line += ')';
        pieces.line(line);
        lines.push_back(std::move(line));
    });
    pieces.finish();
    explanation_lines(s, "Dane są następujące fakty:", lines);
}

}  // namespace zuva
