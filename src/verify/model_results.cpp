// Models are grouped by result in one pass over each model table; a group of two or more
// models must be held by one exclusion list (an exclusive-model list without constraints,
// an exact constraint with them). A group no constraint holds is judged by the rules that
// conclude its conditions: their flattened forms must exclude each other.
#include "verify/model_results.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "kb/model_base.h"
#include "session/session.h"
#include "text/i18n.h"
#include "verify/analysis.h"
#include "verify/flatten.h"
#include "verify/shared_flattening.h"

namespace zuva {

namespace {

enum Rodzaj { El = 0, Roz = 1, Lin = 2, Wiel = 3 };

// One model as these tests see it.
struct ModelWyniku {
    const std::string* condition;
    const std::string* result;
    bool starts_group;  // may start a group of its kind
    bool computes;      // computes a quantity (is not relational): taken into the pairs
};

using Modele = std::array<std::vector<ModelWyniku>, 4>;

// The two-argument operations whose basic models start a group.
bool operacja_grupy(const std::string& op) {
    static const std::unordered_set<std::string> ops = {
        "+", "-", "*", "/", "=", "div", "mod", "min", "max", "%", "zaokrąglenie_do_N", "A^N"};
    return ops.count(op) != 0;
}

Modele zbierz_modele(const Session& s) {
    Modele m;
    const auto& g = s.kb.models;
    for (const auto& x : g.model)
        m[El].push_back(
            {&x.application_condition, &x.result, operacja_grupy(x.operation_symbol), !model_relacyjny(x)});
    for (const auto& x : g.model_r)
        m[Roz].push_back({&x.application_condition, &x.result, !model_relacyjny(x), !model_relacyjny(x)});
    for (const auto& x : g.model_liniowy)
        m[Lin].push_back({&x.application_condition, &x.result, true, true});
    for (const auto& x : g.model_wielomianowy)
        m[Wiel].push_back({&x.application_condition, &x.result, true, true});
    return m;
}

// Lists of conditions that exclude each other, with the lists holding each condition.
class ListyWykluczen {
  public:
    void add(const TextList& l) {
        std::size_t i = members_.size();
        members_.emplace_back(l.begin(), l.end());
        for (const auto& c : members_.back())
            by_member_[c].push_back(i);
    }
    // True when one list holds every condition of the group.
    bool holds_all(const std::vector<const std::string*>& conditions) const {
        if (conditions.empty()) return true;
        auto it = by_member_.find(*conditions.front());
        if (it == by_member_.end()) return false;
        for (std::size_t i : it->second) {
            bool all = true;
            for (const std::string* c : conditions)
                if (!members_[i].count(*c)) {
                    all = false;
                    break;
                }
            if (all) return true;
        }
        return false;
    }

  private:
    std::vector<std::unordered_set<std::string>> members_;
    std::unordered_map<std::string, std::vector<std::size_t>> by_member_;
};

ListyWykluczen modele_ekskluzywne(const Session& s) {
    ListyWykluczen l;
    for (const auto& e : s.kb.models.modele_ekskluzywne)
        l.add(e.models);
    return l;
}

ListyWykluczen ograniczenia_dokladne(const Session& s) {
    ListyWykluczen l;
    for (const auto& o : s.kb.exact.ograniczenie)
        l.add(o.exclusive_conditions);
    return l;
}

// Models of one result with their conditions of application, in the order of the kinds
// given and of each table.
struct Grupa {
    const std::string* result;
    std::vector<const std::string*> conditions;
};

// The groups of two or more models among the kinds given, each started by the first model
// that may start one; with `mixed`, only groups that hold models of both kinds.
std::vector<Grupa> grupy(const Modele& m, std::initializer_list<Rodzaj> kinds, bool mixed) {
    struct Members {
        std::vector<const std::string*> conditions;
        unsigned kinds = 0;
        bool started = false;
    };
    std::unordered_map<std::string_view, Members> by_result;
    for (Rodzaj k : kinds)
        for (const auto& x : m[k]) {
            Members& g = by_result[*x.result];
            g.conditions.push_back(x.condition);
            g.kinds |= 1u << k;
        }
    std::vector<Grupa> out;
    for (Rodzaj k : kinds)
        for (const auto& x : m[k]) {
            if (!x.starts_group) continue;
            Members& g = by_result[*x.result];
            if (g.started) continue;
            g.started = true;
            if (g.conditions.size() < 2) continue;
            if (mixed && (g.kinds & (g.kinds - 1)) == 0) continue;
            out.push_back({x.result, g.conditions});
        }
    return out;
}

const char* const kNazwy[4] = {N_("elementarne"), N_("rozwinięte"), N_("liniowe"), N_("wielomianowe")};
const char* const kPojedyncze[4] = {
    tr("Baza modeli zawiera modele elementarne "), tr("Baza modeli zawiera modele rozwinięte "),
    tr("Baza modeli zawiera modele  liniowe "), tr("Baza modeli zawiera modele  wielomianowe ")};

const char* o_tych_samych(bool only_basic_or_extended) {
    return only_basic_or_extended ? tr("\no tych samych wynikach/wnioskach:")
                                  : tr("\no tych samych wynikach:");
}

// pisz_wspolny_tekst: the close of the message of one kind.
const char* const kWspolnyTekst =
    tr("\nWarunki stosowania tych modeli nie wykluczają się, "
       "\nponieważ brak odpowiedniej bazy ograniczeń."
       "\nZaładowaną bazę modeli możesz tylko edytować, "
       "\nlecz nie możesz korzystać z niej dla wnioskowania."
       "\nPrzejdź do opcji'Baza modeli/Edycja bazy modeli'"
       "\n i popraw bazę modeli lub przejdź do opcji "
       "\n'Baza ograniczeń/Tworzenie bazy ograniczeń'"
       "\ni utwórz odpowiednią bazę ograniczeń.");

// pisz_wspolny_bez_og: the close of the message of a pair of kinds.
const char* const kWspolnyBezOg =
    tr("\nWarunki stosowania tych modeli nie wykluczają się, "
       "\nponieważ brak odpowiedniej bazy ograniczeń."
       "\nPrzejdź do opcji 'Baza modeli/Edycja bazy modeli'"
       "\ni popraw bazę modeli lub przejdź do opcji "
       "\nBaza ograniczeń/Tworzenie bazy ograniczeń'"
       "\ni utwórz odpowiednią bazę ograniczeń");

const char* const kTylkoEdycja =
    tr("\nZaładowane bazy modeli i ograniczeń możesz tylko edytować, "
       "\nlecz nie możesz korzystać z nich dla wnioskowania."
       "\nPrzejdź do opcji edycji baz i popraw jedną lub wszystkie.");

// wyniki_wielokrotne_*_bez_ograniczen for one kind.
bool wyniki_wielokrotne_bez_ograniczen(Session& s, const Modele& m, const ListyWykluczen& ekskluzywne,
                                       Rodzaj k) {
    for (const Grupa& g : grupy(m, {k}, false)) {
        if (ekskluzywne.holds_all(g.conditions)) continue;
        s.ui.note(tr("Uwaga!"), std::string(kPojedyncze[k]) + o_tych_samych(k == El || k == Roz) +
                                    "\n               " + *g.result + kWspolnyTekst);
        return false;
    }
    return true;
}

// wyniki_wielokrotne_mieszane_*_bez_ograniczen: the first pair of a model of kind a and one
// of kind b with the same result whose conditions no exclusive-model list holds together.
bool wyniki_wielokrotne_mieszane_bez_ograniczen(Session& s, const Modele& m,
                                                const ListyWykluczen& ekskluzywne, Rodzaj a, Rodzaj b) {
    std::unordered_map<std::string_view, std::vector<const std::string*>> conditions_of_b;
    for (const auto& y : m[b])
        if (y.computes) conditions_of_b[*y.result].push_back(y.condition);
    for (const auto& x : m[a]) {
        if (!x.computes) continue;
        auto it = conditions_of_b.find(*x.result);
        if (it == conditions_of_b.end()) continue;
        for (const std::string* c : it->second) {
            if (ekskluzywne.holds_all({x.condition, c})) continue;
            s.ui.note(tr("Uwaga!"), std::string(tr("Baza modeli zawiera modele ")) + tr(kNazwy[a]) +
                                        tr(" i ") + tr(kNazwy[b]) + o_tych_samych(b == Roz) +
                                        "\n               " + *x.result + kWspolnyBezOg);
            return false;
        }
    }
    return true;
}

constexpr std::array<std::array<Rodzaj, 2>, 6> kPary = {
    {{El, Roz}, {El, Lin}, {El, Wiel}, {Roz, Lin}, {Roz, Wiel}, {Lin, Wiel}}};

// The conclusions of relational models: conditions that no rule needs to conclude.
std::unordered_set<std::string> wnioski_modeli_relacyjnych(const Session& s) {
    std::unordered_set<std::string> out;
    for (const auto& x : s.kb.models.model)
        if (model_relacyjny(x)) out.insert(x.result);
    for (const auto& x : s.kb.models.model_r)
        if (model_relacyjny(x)) out.insert(x.result);
    return out;
}

// What the tests with constraints share within one run: the rules by conclusion, built on
// first use, and the conclusions of relational models.
struct TestZOgraniczeniami {
    explicit TestZOgraniczeniami(Session& session)
        : s(session), relacyjne(wnioski_modeli_relacyjnych(session)), listy(session) {}
    const FlattenIndex& index() {
        if (!index_) index_ = flatten_index_for(s.kb);
        return *index_;
    }
    Session& s;
    std::unordered_set<std::string> relacyjne;
    CzlonkowieWykluczen listy;

  private:
    std::shared_ptr<const FlattenIndex> index_;
};

// znajdz_reguly: every flattened form (each distinct set of conditions once) of every rule
// concluding one of the conditions; the conditions that no rule concludes and no relational
// model concludes are returned in `missing`.
std::vector<RegulaDoTestowania> znajdz_reguly(TestZOgraniczeniami& t,
                                              const std::vector<const std::string*>& list,
                                              TextList& missing) {
    std::vector<RegulaDoTestowania> out;
    std::unordered_set<std::string_view> seen;
    const FlattenIndex& index = t.index();
    for (const std::string* c : list) {
        if (!seen.insert(*c).second) continue;
        const auto& rules = index.rules_concluding(*c);
        if (rules.empty()) {
            if (!t.relacyjne.count(*c)) missing.push_back(*c);
            continue;
        }
        for (const Regula* r : rules) {
            Splaszczanie gen = splaszcz(index, *r);
            gen.skip_repeated_rounds();
            while (auto f = gen.next())
                out.push_back({r->rule_number, r->conclusion, std::move(f->flattened_conditions)});
        }
    }
    return out;
}

// pisz_wnioski_dla_testu_modeli: the rules whose conclusions, conditions of models with the
// same result, do not exclude each other; each rule once.
void pisz_wnioski_dla_testu_modeli(Session& s, const std::vector<RegulaDoTestowania>& tested) {
    const std::string heading =
        tr("\nWnioski następujących reguł, bedące warunkami startowymi "
           "modeli o tych samych wynikach/wnioskach, nie wykluczają się wzajemnie: ");
    s.ui.note(tr("Uwaga!"), heading);
    s.helper(heading + "\n\n");
    pisz_reguly_testowane(s, tested, "Wnioski następujących reguł nie wykluczają się wzajemnie:");
    s.ui.note(tr("Uwaga!"), std::string(kTylkoEdycja).substr(1));
}

// The conditions of a group that no constraint holds, judged by their rules.
bool testuj_reguly_warunkow(TestZOgraniczeniami& t, const std::vector<const std::string*>& list) {
    Session& s = t.s;
    TextList missing;
    const auto tested = znajdz_reguly(t, list, missing);
    if (!missing.empty()) {
        const std::string text =
            tr("Brak reguł dla następujących warunków startowych modeli o tym samym wyniku:\n") +
            lista_tekstow_w_nawiasach(missing) + kTylkoEdycja;
        s.helper(text + "\n");
        s.ui.note(tr("Uwaga!"), text);
        return false;
    }
    // A scenario passes when the conclusions true in it are one: two conditions of
    // application never hold together.
    if (testuj(t.listy, 2, tested, Zliczanie::Wnioski).passed) return true;
    pisz_wnioski_dla_testu_modeli(s, tested);
    return false;
}

// testuj_wyniki_modeli_*_z_og over the kinds given: every group that no exact constraint
// holds (testuj_liste_warunkow_stosowania) is recorded once, then each recorded list is
// judged by its rules in turn.
bool testuj_wyniki_modeli_z_og(TestZOgraniczeniami& t, const Modele& m, const ListyWykluczen& ograniczenia,
                               std::initializer_list<Rodzaj> kinds) {
    std::vector<std::vector<const std::string*>> lists;
    std::unordered_set<std::string> recorded;
    for (const Grupa& g : grupy(m, kinds, kinds.size() > 1)) {
        if (ograniczenia.holds_all(g.conditions)) continue;
        std::string key;
        for (const std::string* c : g.conditions)
            key.append(*c).push_back('\0');
        if (recorded.insert(key).second) lists.push_back(g.conditions);
    }
    for (const auto& l : lists)
        if (!testuj_reguly_warunkow(t, l)) return false;
    return true;
}

}  // namespace

bool testuj_wyniki_wszystkich_modeli_bez_ograniczen(Session& s) {
    if (!s.kb.nazwa_mo.loaded() || s.kb.nazwa_og.loaded()) return true;
    const Modele m = zbierz_modele(s);
    const ListyWykluczen ekskluzywne = modele_ekskluzywne(s);
    for (const auto& p : kPary)
        if (!wyniki_wielokrotne_mieszane_bez_ograniczen(s, m, ekskluzywne, p[0], p[1])) return false;
    for (Rodzaj k : {El, Roz, Lin, Wiel})
        if (!wyniki_wielokrotne_bez_ograniczen(s, m, ekskluzywne, k)) return false;
    return true;
}

bool testuj_wyniki_wszystkich_modeli_z_og(Session& s) {
    if (!s.kb.nazwa_mo.loaded() || !s.kb.nazwa_og.loaded()) return true;
    const Modele m = zbierz_modele(s);
    const ListyWykluczen ograniczenia = ograniczenia_dokladne(s);
    TestZOgraniczeniami t(s);
    for (const auto& p : kPary)
        if (!testuj_wyniki_modeli_z_og(t, m, ograniczenia, {p[0], p[1]})) return false;
    for (Rodzaj k : {El, Roz, Lin, Wiel})
        if (!testuj_wyniki_modeli_z_og(t, m, ograniczenia, {k})) return false;
    return true;
}

bool testuj_wyniki_modeli(Session& s) {
    return testuj_wyniki_wszystkich_modeli_bez_ograniczen(s) && testuj_wyniki_wszystkich_modeli_z_og(s);
}

}  // namespace zuva
