// The calculus works on the indexed working tables of InferenceState and on a per-run
// index of the rule table, so that each operation costs what its own records cost.
#include "consult/cf_calculus.h"

#include <algorithm>

#include "consult/pytaj.h"
#include "consult/report.h"
#include "consult/rule_lists.h"
#include "session.h"
#include "text/number_format.h"

namespace zuva {

namespace {

const char* const kKoniec = "koniec";
const char* const kBezWarunku = "bez warunku";

void build_static(Session& s, RuleIndex& ix) {
    const auto& rules = s.kb.rules.regula.rows();
    const std::size_t n = rules.size();
    ix.rule_count = n;
    ix.conclusion_of.resize(n);
    ix.next_with_number.assign(n, -1);
    ix.conclusion_id.reserve(n);
    ix.users.reserve(n);
    std::unordered_set<std::string> disj;
    for (const auto& d : s.kb.rules.regula_dysjunktywna)
        disj.insert(d.conclusion);
    std::unordered_map<std::int32_t, std::int32_t> last_with_number;
    for (std::size_t i = 0; i < n; ++i) {
        const Regula& r = rules[i];
        auto [it, fresh] =
            ix.conclusion_id.try_emplace(r.conclusion, static_cast<std::int32_t>(ix.conclusions.size()));
        if (fresh) {
            ix.conclusions.push_back(r.conclusion);
            ix.disjunctive.push_back(disj.count(r.conclusion) ? 1 : 0);
        }
        ix.conclusion_of[i] = it->second;
        const auto pos = static_cast<std::int32_t>(i);
        auto [fw, first] = ix.first_with_number.try_emplace(r.rule_number, pos);
        if (!first) ix.next_with_number[static_cast<std::size_t>(last_with_number[r.rule_number])] = pos;
        last_with_number[r.rule_number] = pos;
        for (const auto& c : r.conditions) {
            auto& u = ix.users[c];
            if (u.empty() || u.back() != pos) u.push_back(pos);
        }
    }
    const TextList askable = ogolna_lista_dopytywalnych(s);
    ix.askable.reserve(askable.size());
    for (const auto& a : askable)
        ix.askable.insert(a);
    for (const auto& m : s.kb.models.model)
        ix.askable.erase(m.result);
    const std::size_t nc = ix.conclusions.size();
    ix.pending.assign(n, 0);
    ix.remaining.assign(nc, -1);
    ix.last_reduced.assign(nc, 0);
}

void load_lists(Session& s, RuleIndex& ix) {
    ix.lists_loaded = true;
    std::fill(ix.pending.begin(), ix.pending.end(), 0);
    std::fill(ix.remaining.begin(), ix.remaining.end(), -1);
    auto load = [&](const Table<PendingRules>& t) {
        for (const auto& row : t) {
            auto it = ix.conclusion_id.find(row.conclusion);
            if (it == ix.conclusion_id.end()) continue;
            const std::int32_t id = it->second;
            ix.remaining[static_cast<std::size_t>(id)] = 0;
            for (std::int32_t number : row.pending_rules) {
                auto f = ix.first_with_number.find(number);
                for (std::int32_t p = f == ix.first_with_number.end() ? -1 : f->second; p >= 0;
                     p = ix.next_with_number[static_cast<std::size_t>(p)]) {
                    auto up = static_cast<std::size_t>(p);
                    if (ix.conclusion_of[up] == id && !ix.pending[up]) {
                        ix.pending[up] = 1;
                        ++ix.remaining[static_cast<std::size_t>(id)];
                        break;
                    }
                }
            }
        }
    };
    load(s.inference.lista_numerow_regul_kumulatywnych);
    load(s.inference.lista_numerow_regul_dysjunktywnych);
}

RuleIndex& loaded_index(Session& s) {
    RuleIndex& ix = rule_index(s);
    if (!ix.lists_loaded) load_lists(s, ix);
    return ix;
}

std::int32_t id_of(const RuleIndex& ix, const std::string& conclusion) {
    auto it = ix.conclusion_id.find(conclusion);
    return it == ix.conclusion_id.end() ? -1 : it->second;
}

bool redukuj(Session& s, const std::string& conclusion, std::int32_t rule_number) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = id_of(ix, conclusion);
    if (id < 0 || ix.remaining[static_cast<std::size_t>(id)] <= 0) return false;
    auto f = ix.first_with_number.find(rule_number);
    for (std::int32_t p = f == ix.first_with_number.end() ? -1 : f->second; p >= 0;
         p = ix.next_with_number[static_cast<std::size_t>(p)]) {
        auto up = static_cast<std::size_t>(p);
        if (ix.conclusion_of[up] != id || !ix.pending[up]) continue;
        ix.pending[up] = 0;
        auto uid = static_cast<std::size_t>(id);
        --ix.remaining[uid];
        ix.last_reduced[uid] = ++ix.reductions;
        if (ix.remaining[uid] == 0) ix.emptied.push_back(id);
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
    if (!p || p->rule_count != s.kb.rules.regula.count()) {
        p = std::make_shared<RuleIndex>();
        build_static(s, *p);
    }
    return *p;
}

void kasowanie_tablic_roboczych(Session& s) {
    auto& in = s.inference;
    in.prbd.clear();
    in.wypadkowa_prbd.clear();
    in.dysjunkt.clear();
    in.lista_numerow_regul_kumulatywnych.clear();
    in.lista_numerow_regul_dysjunktywnych.clear();
    in.model_stosowany.clear();
    in.regula_zastosowana.clear();
    in.zmienna_ustalona.clear();
    in.rule_index.reset();
}

void tworz_listy_oczekujacych(Session& s) {
    if (s.inference.lista_numerow_regul_kumulatywnych.empty()) tworz_listy_numerow_regul_kumulatywnych(s);
    if (s.inference.lista_numerow_regul_dysjunktywnych.empty()) tworz_listy_numerow_regul_dysjunktywnych(s);
    load_lists(s, rule_index(s));
}

bool lista_oczekujacych_pusta(Session& s, const std::string& conclusion) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = id_of(ix, conclusion);
    return id >= 0 && ix.remaining[static_cast<std::size_t>(id)] == 0;
}

bool lista_oczekujacych_niepusta(Session& s, const std::string& conclusion) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = id_of(ix, conclusion);
    return id >= 0 && ix.remaining[static_cast<std::size_t>(id)] > 0;
}

bool regula_oczekuje(Session& s, const std::string& conclusion, std::int32_t rule_number) {
    RuleIndex& ix = loaded_index(s);
    const std::int32_t id = id_of(ix, conclusion);
    if (id < 0) return false;
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

void sync_pending_lists(Session& s) {
    RuleIndex& ix = loaded_index(s);
    const auto& rules = s.kb.rules.regula.rows();
    auto sync = [&](Table<PendingRules>& t) {
        auto& rows = t.mutable_rows();
        std::vector<std::pair<std::uint64_t, std::size_t>> order;
        order.reserve(rows.size());
        std::unordered_map<std::int32_t, std::size_t> row_of;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::int32_t id = id_of(ix, rows[i].conclusion);
            order.emplace_back(id < 0 ? 0 : ix.last_reduced[static_cast<std::size_t>(id)], i);
            if (id >= 0) {
                row_of[id] = i;
                rows[i].pending_rules.clear();
            }
        }
        for (std::size_t p = 0; p < rules.size(); ++p) {
            if (!ix.pending[p]) continue;
            auto it = row_of.find(ix.conclusion_of[p]);
            if (it != row_of.end()) rows[it->second].pending_rules.push_back(rules[p].rule_number);
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<PendingRules> sorted;
        sorted.reserve(rows.size());
        for (const auto& [seq, i] : order)
            sorted.push_back(std::move(rows[i]));
        rows = std::move(sorted);
    };
    sync(s.inference.lista_numerow_regul_kumulatywnych);
    sync(s.inference.lista_numerow_regul_dysjunktywnych);
}

bool moze_pytac(Session& s, const std::string& condition) {
    return rule_index(s).askable.count(condition) != 0;
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

namespace {
double combine_signed(const Session& s, const std::string& conclusion, bool positive) {
    std::vector<double> v;
    s.inference.prbd.for_conclusion(conclusion, [&](const Prbd& p) {
        if (positive ? p.contribution > 0.0 : p.contribution < 0.0) v.push_back(p.contribution);
    });
    auto r = sumuj(v);
    return r ? *r : 0.0;
}
}  // namespace

double dodatnie_cf(const Session& s, const std::string& conclusion) {
    return combine_signed(s, conclusion, true);
}

double ujemne_cf(const Session& s, const std::string& conclusion) {
    return combine_signed(s, conclusion, false);
}

bool calkowity_konflikt(const Session& s, const std::string& conclusion) {
    return dodatnie_cf(s, conclusion) * ujemne_cf(s, conclusion) == -1.0;
}

double wypadkowa_kumulatywna(const Session& s, const std::string& conclusion) {
    const double p = dodatnie_cf(s, conclusion);
    const double n = ujemne_cf(s, conclusion);
    if (p * n == -1.0) return 0.0;
    return zaokraglenie((p + n) / (1.0 - std::min(p, -n)));
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

void skasuj_zastosowane_reguly(Session& s, double cf, const std::string& conclusion,
                               std::int32_t rule_number) {
    const Prbd* old = s.inference.prbd.find_rule(rule_number);
    if (old && old->conclusion == conclusion && old->contribution == cf) return;
    RuleIndex& ix = rule_index(s);
    auto it = ix.users.find(conclusion);
    if (it == ix.users.end()) return;
    const auto& rules = s.kb.rules.regula.rows();
    for (std::int32_t p : it->second)
        if (s.inference.regula_zastosowana.erase(rules[static_cast<std::size_t>(p)].rule_number))
            ix.unmarked.push_back(p);
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

std::optional<double> zapisz_wklad_dysjunktywny(Session& s, const Regula& r, double conditions_cf,
                                                double rule_cf) {
    const double contribution = wklad_reguly(rule_cf, conditions_cf);
    aktualizacja_prbd(s, r.rule_number, r.conclusion, contribution);
    s.inference.dysjunkt.append({r.conclusion, conditions_cf, contribution});
    if (!redukuj_liste_regul_dysjunktywnych(s, r.conclusion, r.rule_number)) return std::nullopt;
    return contribution;
}

bool zrob_koniec(const Session& s) {
    bool positive = false;
    s.inference.prbd.for_conclusion(kKoniec, [&](const Prbd& p) {
        if (p.contribution > 0.0) positive = true;
    });
    return !positive;
}

void uzupelnienie_wykluczajacych(Session& s, const std::string& statement, double cf) {
    // The exact and uncertain constraint bases complete the other members of a
    // constraint here; with no constraint base loaded there is nothing to complete.
    (void)s;
    (void)statement;
    (void)cf;
}

void wyjasnienie_regula(Session& s, double cf, const Regula& r) {
    if (r.display_flag != 1 || r.conclusion == kKoniec) return;
    const std::string heading = "Stosuję regułę " + std::to_string(r.rule_number) + " o postaci:";
    const std::string cf_line = "to z współczynnikiem CF = " + r.cf_text;
    const std::string result = "    " + r.conclusion + "(" + format_lg(cf) + ")";
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
    piszln(s, "z ujemnym CF listy warunków, równym " + format_lg(conditions_cf));
    piszln(s, "i z ujemnym CF reguły, równym " + format_lg(rule_cf));
    piszln(s, "Reguła ta zostanie pominięta przy dalszym wnioskowaniu.");
    piszcr(s);
    s.ui.note("Uwaga!", "Stosuję regułę dysjunktywną " + number + "\nz ujemnym CF listy warunków, równym " +
                            format_lg(conditions_cf) + "\ni z ujemnym CF reguły, równym " +
                            format_lg(rule_cf) + "\nReguła ta zostanie pominięta przy dalszym wnioskowaniu.");
}

void wyjasnienie_wypadkowej(Session& s, const std::string& conclusion, double cf, bool disjunctive) {
    const std::string heading = disjunctive
                                    ? "Z wszystkich reguł dysjunktywnych dla wniosku: "
                                    : "Z wszystkich reguł kumulatywnych (z pojedynczej reguły) dla wniosku: ";
    if (!disjunctive) piszcr(s);
    piszln(s, heading);
    piszln(s, "    " + conclusion);
    piszln(s, "wynika:");
    pisz(s, "    " + conclusion + "(");
    piszreal(s, cf);
    pisz(s, ")");
    piszcr(s);
    piszcr(s);
    explanation_lines(
        s,
        disjunctive ? "Wypadkowe CF wniosku reguł dysjunktywnych "
                    : "Wypadkowe CF wniosku reguł kumulatywnych (pojedynczej reguły)",
        {heading, "    " + conclusion, "wynika: ", "    " + conclusion + "(" + format_lg(cf) + ")"});
}

void przedstawienie_faktow(Session& s) {
    if (!duza_szczegolowosc(s)) return;
    piszcr(s);
    piszln(s, "Dane są następujące fakty:");
    std::vector<std::string> lines;
    s.inference.wypadkowa_prbd.for_each([&](const std::string& statement, double cf) {
        if (statement == kBezWarunku || statement == kKoniec) return;
        lines.push_back("    " + statement + "(" + format_lg(cf) + ")");
    });
    for (const auto& l : lines)
        piszln(s, l);
    explanation_lines(s, "Dane są następujące fakty:", lines);
}

}  // namespace zuva
