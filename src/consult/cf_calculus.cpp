// The calculus works on the indexed working tables of InferenceState and on a per-run
// index of the rule table, so that each operation costs what its own records cost.
#include "consult/cf_calculus.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "consult/pytaj.h"
#include "report/report.h"
#include "session/session.h"
#include "text/number_format.h"

namespace zuva {

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
    if (ix.tables->with_lookups) {
        if (ix.tables->rule_cf_state[up] == 1) return ix.tables->rule_cf[up];
        return wyznacz_cf(s, r.conclusion, r.cf_text);
    }
    // Parsed on first use: 1 when the text is a CF, 2 when it is not.
    if (ix.own_rule_cf_state.empty()) {
        ix.own_rule_cf_state.assign(ix.rule_count, 0);
        ix.own_rule_cf.assign(ix.rule_count, 0.0);
    }
    char& state = ix.own_rule_cf_state[up];
    if (state == 0) {
        const auto v = parse_cf_text(r.cf_text);
        state = v ? 1 : 2;
        if (v) ix.own_rule_cf[up] = *v;
    }
    if (state == 1) return ix.own_rule_cf[up];
    return wyznacz_cf(s, r.conclusion, r.cf_text);
}

bool zrob_koniec(const Session& s) {
    return !s.inference.prbd.has_positive_koniec();
}

}  // namespace zuva
