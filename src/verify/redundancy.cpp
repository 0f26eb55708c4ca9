// A pair of rules is recorded once, with the first combination of forms (in the order of
// the forms) that shows it. The forms of a rule are kept once per distinct set of conditions,
// with the first form that gives it: a later form with the same set can match nothing that
// the first did not, so the first match stays the same. What is kept is bounded; a rule with
// more distinct sets than are kept is flattened again for each comparison.
#include "verify/redundancy.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/i18n.h"
#include "verify/flatten.h"
#include "verify/shared_flattening.h"

namespace zuva {

namespace {

// Distinct condition sets kept per rule, and in all.
constexpr std::size_t kFormCacheLimit = 4096;
constexpr std::size_t kKeptFormsInAll = 200'000;
// Redundant pairs kept for the report; the verdict is known by the first.
constexpr std::size_t kKeptPairs = 10'000;

struct Form {
    TextList conditions;
    IntList used_rules;             // cleaned and in order of substitution
    std::vector<std::int32_t> ids;  // condition ids, sorted
};

struct IdsHash {
    std::size_t operator()(const std::vector<std::int32_t>& v) const {
        std::size_t h = v.size();
        for (auto x : v)
            h = h * 1000003u ^ static_cast<std::size_t>(x);
        return h;
    }
};

class FormSource {
  public:
    FormSource(const FlattenIndex& index) : index_(index) {}

    // Calls f for the first form of every distinct condition set of the rule, in order;
    // f returns false to stop.
    template <class F>
    void for_each(const Regula& r, F f) {
        const Entry& e = entry(r);
        for (const auto& form : e.forms)
            if (!f(form)) return;
        if (!e.overflow) return;
        // Beyond the kept sets: generated again, passing over the sets kept already.
        Splaszczanie gen = splaszcz(index_, r);
        gen.skip_repeated_rounds();
        while (auto raw = gen.next()) {
            Form form = make(*raw);
            if (e.seen.count(form.ids)) continue;
            if (!f(form)) return;
        }
    }

    bool has_form(const Regula& r) {
        const Entry& e = entry(r);
        return !e.forms.empty() || e.overflow;
    }

  private:
    struct Entry {
        std::vector<Form> forms;
        std::unordered_set<std::vector<std::int32_t>, IdsHash> seen;
        bool overflow = false;
    };

    const Entry& entry(const Regula& r) {
        auto it = cache_.find(&r);
        if (it != cache_.end()) return *it->second;
        auto e = std::make_unique<Entry>();
        Splaszczanie gen = splaszcz(index_, r);
        gen.skip_repeated_rounds();
        while (auto raw = gen.next()) {
            Form form = make(*raw);
            if (e->seen.count(form.ids)) continue;
            if (e->forms.size() == kFormCacheLimit || kept_ == kKeptFormsInAll) {
                e->overflow = true;
                break;
            }
            e->seen.insert(form.ids);
            e->forms.push_back(std::move(form));
            ++kept_;
        }
        return *cache_.emplace(&r, std::move(e)).first->second;
    }
    Form make(const RegulaSplaszczona& raw) {
        Form f{raw.flattened_conditions, numery_regul_splaszczajacych(raw.used_rule_numbers), {}};
        f.ids = ids_of(f.conditions);
        return f;
    }

  public:
    std::vector<std::int32_t> ids_of(const TextList& conditions) {
        std::vector<std::int32_t> ids;
        ids.reserve(conditions.size());
        for (const auto& c : conditions) {
            auto [it, fresh] = ids_.try_emplace(c, static_cast<std::int32_t>(ids_.size()));
            ids.push_back(it->second);
        }
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        return ids;
    }

  private:
    const FlattenIndex& index_;
    std::unordered_map<const Regula*, std::unique_ptr<Entry>> cache_;
    std::unordered_map<std::string, std::int32_t> ids_;
    std::size_t kept_ = 0;
};

bool subset(const std::vector<std::int32_t>& a, const std::vector<std::int32_t>& b) {
    return std::includes(b.begin(), b.end(), a.begin(), a.end());
}

bool jest_nadmiar(const Session& s) {
    return s.verify.jest_nadmiar.find_first([](const std::string& v) { return v == "TAK"; }) != nullptr;
}

std::string numery_z_przecinkami(const IntList& l) {
    std::string r;
    for (auto n : l)
        r += std::to_string(n) + ", ";
    return r;
}

void pisz_forme(Session& s, std::int32_t n, const std::string& c, const TextList& f, const IntList& u) {
    pisz(s, tr(" W wyniku spłaszczenia reguły "));
    piszint(s, n);
    pisz(s, tr(" otrzymuje się: "));
    piszcr(s);
    pisz(s, "   regula_splaszczona(");
    piszint(s, n);
    pisz(s, ", ");
    pisz(s, c);
    pisz(s, ", ");
    pisz(s, "[");
    if (f.empty()) pisz(s, "]");
    for (std::size_t i = 0; i < f.size(); ++i) {
        pisz(s, f[i]);
        pisz(s, i + 1 < f.size() ? "," : "]");
    }
    pisz(s, ")");
    piszcr(s);
    pisz(s, " Spłaszczenie uzyskano za pomocą reguł o numerach: ");
    if (u.empty()) piszcr(s);
    for (std::size_t i = 0; i < u.size(); ++i) {
        if (i) pisz(s, ",");
        piszint(s, u[i]);
    }
    piszcr(s);
}

}  // namespace

std::optional<std::string> nazwa_nadmiaru_p(const Session& s) {
    const std::string* ext = s.kb.rozszerzenie.first();
    if (ext && to_upper_pl(*ext) == ".BEN") return std::string("NEN1");
    return std::nullopt;
}

bool wyznacz_nadmiar_p(Session& s) {
    s.verify.para_splaszczona_obcieta = false;
    const auto held_index = flatten_index_for(s.kb);
    const FlattenIndex& index = *held_index;
    FormSource source(index);
    auto& recorded = s.verify.reguly_nadmiarowe_n1;
    auto record = [&](std::int32_t n1, const std::string& c, const TextList& f1, const IntList& u1,
                      std::int32_t n2, const TextList& f2, const IntList& u2) {
        recorded.append(n1, n2);
        if (!jest_nadmiar(s)) s.verify.jest_nadmiar.append("TAK");
        s.verify.para_splaszczona_n1.append({n1, c, f1, u1, n2, f2, u2});
    };
    // Ordered pairs of rules (by position) already compared without any match: the reverse
    // comparison matches the same combinations transposed, so it finds nothing either.
    std::unordered_set<std::uint64_t> compared_empty;
    const auto& rules = s.kb.rules.regula.rows();
    auto pos_of = [&](const Regula* r) { return static_cast<std::uint64_t>(r - rules.data()); };
    for (const auto& r1 : rules) {
        for (const Regula* r2 : index.rules_concluding(r1.conclusion)) {
            std::int32_t n1 = r1.rule_number, n2 = r2->rule_number;
            if (n2 == n1) continue;
            if (recorded.contains(n1, n2) || recorded.contains(n2, n1)) continue;
            if (compared_empty.count((pos_of(r2) << 32) | pos_of(&r1))) continue;
            if (s.verify.para_splaszczona_n1.count() == kKeptPairs) {
                s.verify.para_splaszczona_obcieta = true;
                return false;
            }
            bool matched = false;
            source.for_each(r1, [&](const Form& f1) {
                source.for_each(*r2, [&](const Form& f2) {
                    if (subset(f1.ids, f2.ids) || subset(f2.ids, f1.ids)) {
                        matched = true;
                        record(n1, r1.conclusion, f1.conditions, f1.used_rules, n2, f2.conditions,
                               f2.used_rules);
                    }
                    return !matched;
                });
                return !matched;
            });
            // Rules without any flattened form whose conditions are the same (a rule written
            // twice, for instance on a cycle) are redundant as they stand.
            if (!matched && !source.has_form(r1) && !source.has_form(*r2) &&
                source.ids_of(r1.conditions) == source.ids_of(r2->conditions)) {
                matched = true;
                record(n1, r1.conclusion, r1.conditions, {}, n2, r2->conditions, {});
            }
            if (!matched) compared_empty.insert((pos_of(&r1) << 32) | pos_of(r2));
        }
    }
    return recorded.empty();
}

bool testuj_nadmiar_p(Session& s) {
    std::string name = s.kb.nazwa_re.name();
    pisz(s, tr("Baza reguł "));
    pisz(s, name);
    pisz(s, tr(" może być diagnozowana na obecność nadmiarowości."));
    piszcr(s);
    pisz(s, tr("Diagnostyka nadmiarowości dużych i silnie zagnieżdżonych baz reguł może trwać długo."));
    pisz(s, "\n\n");
    pisz(s, tr("Zaleca się diagnozowanie nadmiarowości baz nowych lub zmodyfikowanych."));
    piszcr(s);
    pisz(s, tr("Przy kolejnym stosowaniu tych baz można test nadmiarowości pominąć."));
    pisz(s, "\n\n");
    std::string text =
        tr("Baza reguł elementarna niepewna\n   ") + name +
        tr("\nmoże być diagnozowana na obecność nadmiarowości.\n") +
        tr("\nDiagnostyka nadmiarowości dużych i \nsilnie zagnieżdżonych baz reguł może trwać długo.") +
        tr("\nZaleca się diagnozowanie nadmiarowości \nbaz nowych lub zmodyfikowanych.") +
        tr("\nPrzy kolejnym stosowaniu tych baz \nmożna test nadmiarowości pominąć.") +
        tr("\n\nChcesz diagnozować bazę reguł na obecność \nnadmiarowości?");
    if (s.ui.question(tr("Wybierz"), text, {tr("&Tak"), tr("&Nie")}) != 0) return true;
    return informuj_nadmiar_p(s);
}

bool informuj_nadmiar_p(Session& s) {
    if (baza_sprzeczna(s)) return false;
    std::string name = s.kb.nazwa_re.name();
    if (!jest_nadmiar(s) && wyznacz_nadmiar_p(s)) {
        pisz(s, tr("Baza reguł "));
        pisz(s, name);
        pisz(s, tr(" nie ma reguł nadmiarowych!"));
        s.helper("\n");
        s.ui.note(tr("Wynik diagnozowania nadmiarowości"),
                  tr("Baza reguł elementarna niepewna\n   ") + name + tr("\nnie ma reguł nadmiarowych"));
        return true;
    }
    std::optional<std::string> type = nazwa_nadmiaru_p(s);
    if (!type) return false;
    pisz(s, tr(" W  bazie reguł "));
    pisz(s, name);
    pisz(s, tr(" są reguły nadmiarowe"));
    pisz(s, tr(" typu "));
    pisz(s, *type);
    pisz(s, ".");
    pisz(s, "\n\n");
    piszln(s, tr(" Załadowaną bazę reguł możesz stosować do wnioskowania, gdyż nadmiarowość"));
    piszln(s, tr(" reguł nie zakłóca wnioskowania. Może jednak wydłużyć czas wnioskowania i"));
    piszln(s, tr(" uzależnić wynik wnioskowania od niepotrzebnych warunków."));
    pisz(s, tr(" Dlatego lepiej nadmiarowość usunąć."));
    pisz(s, "\n\n");
    piszln(s, tr(" W tym celu musisz kontynuować pracę z załadowaną bazą reguł"));
    pisz(s, tr(" i  przejść do opcji:"));
    pisz(s, "\n\n");
    pisz(s, tr(" 'Baza regułniepewnaDiagnostyka nadmiarowości bazy reguł',"));
    pisz(s, "\n\n");
    pisz(s, tr(" gdzie dowiesz się o istocie wykrytej nadmiarowości."));
    pisz(s, "\n\n");
    s.ui.note(
        tr("Uwaga:"),
        tr("Baza reguł elementarna niepewna\n   ") + name + tr("\nzawiera reguły nadmiarowe typu ") + *type +
            tr(".\n\nZaładowaną bazę reguł możesz stosować do wnioskowania,\ngdyż nadmiarowość reguł nie "
               "zakłóca wnioskowania. \nMoże jednak wydłużyć czas wnioskowania i uzależnić \nwynik "
               "wnioskowania od niepotrzebnych warunków.") +
            tr("\nDlatego lepiej nadmiarowość usunąć.\nW tym celu musisz kontynuować pracę z załadowaną "
               "\nbazą reguł i przejść do opcji:\n   'Baza reguł niepewna\n      Diagnostyka nadmiarowośc "
               "bazy reguł',\ngdzie dowiesz się o istocie wykrytej nadmiarowości."));
    enable_commands(s, {10075, 10067, 10068, 10069, 10077, 10093, 10113, 10124});
    disable_commands(s, {10100, 10101});
    return true;
}

void pisz_nadmiar_p(Session& s) {
    if (baza_sprzeczna(s)) {
        s.ui.note(tr("Uwaga!"), tr("Zewnętrznie sprzecznej bazy reguł nie można spłaszczyć!"));
        return;
    }
    std::string name = s.kb.nazwa_re.name();
    if (s.verify.reguly_nadmiarowe_n1.empty()) wyznacz_nadmiar_p(s);
    if (!jest_nadmiar(s)) {
        s.ui.note(tr("Wynik diagnozowania nadmiarowości bazy reguł"),
                  tr("Baza reguł elementarna niepewna\n   ") + name + tr("\nnie ma reguł nadmiarowych!"));
        return;
    }
    std::optional<std::string> type_opt = nazwa_nadmiaru_p(s);
    if (!type_opt) return;
    const std::string& type = *type_opt;
    kasowanie_tekst_raportu(s);
    pisz(s, tr(" Raport diagnostyki nadmiarowości bazy reguł "));
    piszcr(s);
    pisz(s, " ");
    pisz(s, name);
    pisz(s, "\n\n");
    pisz(s, tr(" Wykrywanie nadmiarowości typu "));
    pisz(s, type);
    pisz(s, tr(" odbywa się na drodze spłaszczania reguł"));
    piszcr(s);
    pisz(s, tr(" i porównania list warunków spłaszczonych reguł."));
    piszcr(s);
    s.ui.note(
        tr("Raport diagnostyki nadmiarowości bazy reguł ") + name,
        tr("Wykrywanie nadmiarowości typu ") + type +
            tr(" odbywa się na drodze \nspłaszczania reguł i porównania list warunków spłaszczonych reguł."));
    const std::string title = tr("Diagnostyka nadmiarowości bazy reguł");
    for (const auto& p : s.verify.para_splaszczona_n1.rows()) {
        if (!s.verify.reguly_nadmiarowe_n1.contains(p.first_rule, p.second_rule)) continue;
        std::string n1 = std::to_string(p.first_rule), n2 = std::to_string(p.second_rule);
        pisz_forme(s, p.first_rule, p.conclusion, p.first_conditions, p.first_used_rules);
        pisz_forme(s, p.second_rule, p.conclusion, p.second_conditions, p.second_used_rules);
        pisz(s, tr(" Reguły "));
        pisz(s, n1);
        pisz(s, " i ");
        pisz(s, n2);
        pisz(s, tr(" zawierają nadmiar typu "));
        pisz(s, type);
        pisz(s, ".");
        piszcr(s);
        s.verify.reguly_nadmiarowe_n1.remove_first(p.first_rule, p.second_rule);
        s.ui.note(title, tr("W wyniku spłaszczenia reguły ") + n1 + " otrzymuje się:\n\nregula_splaszczona(" +
                             n1 + ", " + p.conclusion + ", " + lista_tekstow_w_nawiasach(p.first_conditions) +
                             ")\n\nSpłaszczenie uzyskano za pomocą reguł o numerach: " +
                             numery_z_przecinkami(p.first_used_rules) +
                             tr("\n\n\nW wyniku spłaszczenia reguły ") + n2 +
                             " otrzymuje się:\n\nregula_splaszczona(" + n2 + ", " + p.conclusion + ", " +
                             lista_tekstow_w_nawiasach(p.second_conditions) +
                             ")\n\nSpłaszczenie uzyskano za pomocą reguł o numerach: " +
                             numery_z_przecinkami(p.second_used_rules) + tr("\n\nReguły ") + n1 + " i " + n2 +
                             tr(" zawierają nadmiar typu ") + type + ".");
    }
    if (s.verify.para_splaszczona_obcieta) {
        std::string cut = tr("Wykrywanie przerwano po ") +
                          std::to_string(s.verify.para_splaszczona_n1.count()) +
                          tr(" parach reguł nadmiarowych; dalsze pary nie zostały porównane.");
        pisz(s, " ");
        pisz(s, cut);
        piszcr(s);
        s.ui.note(title, cut);
    }
    piszcr(s);
    pisz(s, tr(" Koniec raportu diagnostyki nadmiarowości bazy reguł "));
    piszcr(s);
    pisz(s, " ");
    pisz(s, name);
    pisz(s, ".");
    s.ui.note(title, tr("Koniec raportu diagnostyki nadmiarowości bazy reguł elementarnej niepewnej\n   ") +
                         name + ".");
    s.verify.para_splaszczona_n1.clear();
    raport(s);
}

}  // namespace zuva
