// Both diagnoses take each rule's flattened forms once. Conditions are looked up in an
// index of the constraint members, so a form costs what its own conditions' constraints
// cost; the redundancy groups are collected per (constraint, conclusion) in one pass.
#include "verify/joint_diagnoses.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "text/codec.h"
#include "verify/flatten.h"

namespace zuva {

namespace {

const std::string& T(Niepewne n, const std::string& exact, const std::string& uncertain) {
    return n ? uncertain : exact;
}

const Table<Ograniczenie>& ograniczenia(const Session& s, Niepewne n) {
    return n ? s.kb.uncertain.ograniczenie_n : s.kb.exact.ograniczenie;
}
std::string nazwa_og(const Session& s, Niepewne n) {
    return n ? s.kb.nazwa_op.name() : s.kb.nazwa_og.name();
}
WynikiLaczne& wyniki(Session& s, Niepewne n) {
    return s.verify.laczne[n ? 1 : 0];
}
int cmd_sprzecznosci(Niepewne n) {
    return n ? cmd::diagnostyka_sprzecznosci_ograniczen_n : cmd::diagnostyka_sprzecznosci_ograniczen;
}
int cmd_nadmiarowosci(Niepewne n) {
    return n ? cmd::diagnostyka_nadmiarowosci_ograniczen_n : cmd::diagnostyka_nadmiarowosci_ograniczen;
}

bool ben(const Session& s) {
    const std::string* ext = s.kb.rozszerzenie.first();
    return ext && to_upper_pl(*ext) == ".BEN";
}

// Members of the constraints: positions in table order, each constraint once per member.
using MemberIndex = std::unordered_map<std::string, std::vector<std::int32_t>>;
MemberIndex indeks_czlonkow(const Table<Ograniczenie>& t) {
    MemberIndex ix;
    for (std::size_t i = 0; i < t.count(); ++i)
        for (const auto& c : t[i].exclusive_conditions) {
            auto& l = ix[c];
            if (l.empty() || l.back() != static_cast<std::int32_t>(i))
                l.push_back(static_cast<std::int32_t>(i));
        }
    return ix;
}
const std::vector<std::int32_t>& czlonkostwa(const MemberIndex& ix, const std::string& c) {
    static const std::vector<std::int32_t> none;
    auto it = ix.find(c);
    return it == ix.end() ? none : it->second;
}

TextList bez_powtorzen(const TextList& l) {
    TextList out;
    std::unordered_set<std::string> seen;
    for (const auto& x : l)
        if (seen.insert(x).second) out.push_back(x);
    return out;
}

std::string klucz_formy(std::int32_t n, const std::string& c, const TextList& f, const IntList& u) {
    std::string k = std::to_string(n) + '\x1f' + c;
    for (const auto& x : f)
        k += '\x1f' + x;
    k += '\x1e';
    for (auto x : u)
        k += std::to_string(x) + ',';
    return k;
}

std::string numery_z_przecinkami(const IntList& l) {
    std::string r;
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (i) r += ",";
        r += std::to_string(l[i]);
    }
    return r;
}

// A list written as the report writes it: [a,b].
void pisz_liste(Session& s, const TextList& f) {
    pisz(s, "[");
    if (f.empty()) pisz(s, "]");
    for (std::size_t i = 0; i < f.size(); ++i) {
        pisz(s, f[i]);
        pisz(s, i + 1 < f.size() ? "," : "]");
    }
}

void pisz_forme(Session& s, const char* head, std::int32_t n, const std::string& c, const TextList& f,
                const IntList& u) {
    pisz(s, " W wyniku spłaszczenia reguły ");
    piszint(s, n);
    pisz(s, " otrzymuje się: ");
    piszcr(s);
    pisz(s, head);
    piszint(s, n);
    pisz(s, ", ");
    pisz(s, c);
    pisz(s, ", ");
    pisz_liste(s, f);
    pisz(s, ")");
    piszcr(s);
    pisz(s, " Spłaszczenie uzyskano za pomocą reguł o numerach: ");
    pisz(s, numery_z_przecinkami(u));
    piszcr(s);
}

const Ograniczenie* ograniczenie_nr(const Session& s, Niepewne n, std::int32_t k) {
    return ograniczenia(s, n).find_first([&](const Ograniczenie& o) { return o.constraint_number == k; });
}

}  // namespace

std::optional<std::string> nazwa_sprzecznosci_2(const Session& s, Niepewne n) {
    if (!ben(s)) return std::nullopt;
    return std::string(n ? "SEN/N2" : "SEN/D2");
}

std::optional<std::string> nazwa_nadmiaru_2(const Session& s, Niepewne n) {
    if (!ben(s)) return std::nullopt;
    return std::string(n ? "NEN/N2" : "NEN/D2");
}

void kasowanie_wynikow_lacznych(Session& s, Niepewne n) {
    wyniki(s, n).clear();
    s.verify.regula_testowana.clear();
}

bool wyznacz_sprzecznosc_2(Session& s, Niepewne n) {
    WynikiLaczne& w = wyniki(s, n);
    w.sprzecznosc.clear();
    w.splaszczona_s.clear();
    const Table<Ograniczenie>& t = ograniczenia(s, n);
    const MemberIndex members = indeks_czlonkow(t);
    FlattenIndex index(s.kb);
    std::unordered_map<std::string, std::size_t> stored;  // form key -> position in splaszczona_s
    std::unordered_map<std::int32_t, int> later;          // constraint position -> members after the position
    for (const auto& r : s.kb.rules.regula) {
        s.verify.regula_testowana.clear();
        Splaszczanie gen = splaszcz(index, r.conclusion, r.conditions);
        while (auto raw = gen.next()) {
            const TextList& f = raw->flattened_conditions;
            const IntList u = numery_regul_splaszczajacych(raw->used_rule_numbers);
            s.verify.regula_testowana.insert_front(r.rule_number);
            // testuj_2: for each position h, each constraint of h that another condition after
            // h belongs to.
            later.clear();
            bool any = false;
            for (const auto& c : f)
                for (std::int32_t p : czlonkostwa(members, c)) {
                    ++later[p];
                    any = true;
                }
            if (!any) continue;
            for (const auto& h : f) {
                const auto& ks = czlonkostwa(members, h);
                for (std::int32_t p : ks)
                    --later[p];
                for (std::int32_t p : ks) {
                    if (later[p] <= 0) continue;
                    auto [at, fresh] = stored.try_emplace(klucz_formy(r.rule_number, r.conclusion, f, u),
                                                          w.splaszczona_s.count());
                    if (fresh) w.splaszczona_s.append({r.rule_number, r.conclusion, f, u});
                    w.sprzecznosc.append(
                        {r.rule_number, t[static_cast<std::size_t>(p)].constraint_number, at->second});
                }
            }
        }
    }
    s.verify.regula_testowana.clear();
    return w.sprzecznosc.empty();
}

bool wyznacz_nadmiar_2(Session& s, Niepewne n) {
    WynikiLaczne& w = wyniki(s, n);
    const Table<Ograniczenie>& t = ograniczenia(s, n);
    const MemberIndex members = indeks_czlonkow(t);
    FlattenIndex index(s.kb);
    std::unordered_set<std::string> disjunctive;
    for (const auto& d : s.kb.rules.regula_dysjunktywna)
        disjunctive.insert(d.conclusion);

    struct Form {
        const Regula* rule;
        TextList conditions;
        IntList used;
    };
    std::vector<Form> forms;
    // An admissible flattened rule for a constraint: (form, position of the condition in the
    // constraint's list), once for each condition of the constraint the form contains.
    struct Item {
        std::size_t form;
        std::size_t condition;
    };
    std::vector<std::vector<Item>> items(t.count());
    std::vector<TextList> lists(t.count());
    for (std::size_t p = 0; p < t.count(); ++p)
        lists[p] = bez_powtorzen(t[p].exclusive_conditions);
    for (const auto& r : s.kb.rules.regula) {
        if (disjunctive.count(r.conclusion)) continue;
        Splaszczanie gen = splaszcz(index, r.conclusion, r.conditions);
        while (auto raw = gen.next()) {
            const std::size_t fi = forms.size();
            forms.push_back(
                {&r, raw->flattened_conditions, numery_regul_splaszczajacych(raw->used_rule_numbers)});
            std::unordered_set<std::string> in(raw->flattened_conditions.begin(),
                                               raw->flattened_conditions.end());
            std::unordered_set<std::int32_t> seen;
            for (const auto& c : forms.back().conditions)
                for (std::int32_t p : czlonkostwa(members, c)) {
                    if (!seen.insert(p).second) continue;
                    const TextList& k = lists[static_cast<std::size_t>(p)];
                    for (std::size_t j = 0; j < k.size(); ++j)
                        if (in.count(k[j])) items[static_cast<std::size_t>(p)].push_back({fi, j});
                }
        }
    }

    // zbadany_wniosek_p by conclusion; a new record changes the groups of that conclusion only.
    std::unordered_map<std::string, std::unordered_set<std::int32_t>> examined;
    std::unordered_map<std::string, std::size_t> version;
    for (const auto& z : w.zbadany_wniosek.rows()) {
        examined[z.conclusion].insert(z.rule_number);
        ++version[z.conclusion];
    }
    std::unordered_set<std::string> recorded;
    for (const auto& g : w.reguly_nadmiarowe.rows())
        recorded.insert(std::to_string(g.constraint_number) + '\x1d' + numery_z_przecinkami(g.rule_numbers));

    for (std::size_t p = 0; p < t.count(); ++p) {
        const TextList& k = lists[p];
        const std::int32_t kn = t[p].constraint_number;
        std::unordered_map<std::string, std::vector<std::size_t>> by_conclusion;  // item indexes
        for (std::size_t i = 0; i < items[p].size(); ++i)
            by_conclusion[forms[items[p][i].form].rule->conclusion].push_back(i);
        std::unordered_map<std::string, std::size_t> evaluated;  // conclusion -> version + 1
        for (const Item& it : items[p]) {
            const Regula& r = *forms[it.form].rule;
            const std::string& c = r.conclusion;
            auto ex = examined.find(c);
            auto admissible = [&](const Regula* x) {
                return ex == examined.end() || !ex->second.count(x->rule_number);
            };
            if (!admissible(&r)) continue;
            auto ev = evaluated.find(c);
            if (ev != evaluated.end() && ev->second == version[c] + 1) continue;
            evaluated[c] = version[c] + 1;
            // The group: every admissible flattened rule for the constraint with the conclusion.
            std::vector<const Form*> group;
            for (std::size_t i : by_conclusion[c])
                if (admissible(forms[items[p][i].form].rule)) group.push_back(&forms[items[p][i].form]);
            // usun_wspolne_2: the conditions common to all forms go.
            std::unordered_map<std::string, std::size_t> in_forms;
            for (const Form* f : group)
                for (const auto& x : bez_powtorzen(f->conditions))
                    ++in_forms[x];
            std::vector<TextList> rest;
            for (const Form* f : group) {
                TextList r2;
                for (const auto& x : f->conditions)
                    if (in_forms[x] != group.size()) r2.push_back(x);
                rest.push_back(r2);
            }
            // redukuj_lista: a remainder equal (as a set) to a later one goes.
            std::vector<TextList> distinct;
            std::unordered_set<std::string> later_keys;
            for (std::size_t i = rest.size(); i-- > 0;) {
                std::vector<std::string> a(rest[i].begin(), rest[i].end());
                std::sort(a.begin(), a.end());
                a.erase(std::unique(a.begin(), a.end()), a.end());
                std::string key;
                for (const auto& x : a)
                    key += x + '\x1f';
                if (later_keys.insert(key).second) distinct.push_back(rest[i]);
            }
            std::reverse(distinct.begin(), distinct.end());
            // porownaj_listy_2: the remainders are the constraint's conditions, one each.
            bool redundant = distinct.size() == k.size();
            std::unordered_set<std::string> used;
            for (const auto& d : distinct) {
                if (!redundant) break;
                redundant = d.size() == 1 && contains(k, d.front()) && used.insert(d.front()).second;
            }
            if (!redundant) continue;
            GrupaNadmiarowa g;
            g.constraint_number = kn;
            for (const Form* f : group) {
                g.rule_numbers.push_back(f->rule->rule_number);
                g.flattened_forms.push_back(f->conditions);
                g.used_rule_numbers.push_back(f->used);
            }
            const std::string key = std::to_string(kn) + '\x1d' + numery_z_przecinkami(g.rule_numbers);
            if (!recorded.insert(key).second) continue;
            for (const Form* f : group)
                w.splaszczona_n.append({f->rule->rule_number, c, f->conditions, f->used});
            w.reguly_nadmiarowe.append(std::move(g));
            w.zbadany_wniosek.append({c, r.rule_number});
            examined[c].insert(r.rule_number);
            ++version[c];
        }
    }
    return w.reguly_nadmiarowe.empty();
}

namespace {

bool informuj_sprzecznosc_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) return true;
    std::optional<std::string> type = nazwa_sprzecznosci_2(s, n);
    if (!type) return true;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    if (!n) {
        piszln(s, "Bazy reguł elementarna niepewna" + name + " i baza ograniczeń elementarna dokładna " + og +
                      "są diagnozowane na obecność sprzeczności łącznych.");
        s.ui.note("Trwa diagnozowanie", "Baza reguł elementarna niepewna\n   " + name +
                                            "\ni baza ograniczeń elementarna dokładna\n    " + og +
                                            "\nsą diagnozowane na obecność sprzeczności łącznych.");
    } else {
        piszln(s, "Bazy reguł " + name + " i ograniczeń niepewnych " + og +
                      "są diagnozowane na obecność sprzeczności łącznych.");
        s.ui.note("Trwa diagnozowanie", "Baza reguł elementarna niepewna\n   " + name +
                                            "\ni baza ograniczeń elementarna niepewna\n   " + og +
                                            "\nsą diagnozowane na obecność sprzeczności łącznych.");
    }
    const std::string kind_line = T(n, "\ni baza ograniczeń elementarna dokładna\n   ",
                                    "\ni baza ograniczeń elementarna niepewna\n   ");
    if (wyznacz_sprzecznosc_2(s, n)) {
        piszln(s, n ? "Baza reguł elementarna niepewna" + name + " i baza ograniczeń elementarna niepewna  " +
                          og + " nie mają sprzeczności łącznych!"
                    : "Baza reguł elementarna niepewna " + name + " i baza ograniczeń dokładna " + og +
                          " nie mają sprzeczności łącznych!");
        s.ui.note("Wynik diagnozowania sprzeczności łącznych", "Baza reguł elementarna niepewna\n   " + name +
                                                                   kind_line + og +
                                                                   "\nnie mają sprzeczności łącznych!");
        return true;
    }
    piszln(s, " W  bazie reguł elementarej niepewnej                 " + name);
    piszln(s, T(n, " i  bazie ograniczeń dokładnej ", " i  bazie ograniczeń niepewnej ") + og);
    piszln(s, " jest sprzeczność łączna typu " + *type + ".");
    piszln(s, " Sprzeczność łączna może być żródłem błędów wnioskowania. Dlatego lepiej ją usunąć. ");
    piszln(s, " Wykonaj diagnozę  sprzeczności łącznych.");
    piszln(s, " W tym celu musisz przejść do opcji");
    piszln(s, T(n, " 'Baza ograniczeń dokładna", " 'Baza ograniczeń niepewnych"));
    piszln(s, "       Diagnostyka sprzeczności łącznych baz reguł i ograniczeń' ");
    s.ui.note("Informacja o sprzeczności",
              "Baza reguł elementarna niepewna\n   " + name + kind_line + og +
                  "\nzawierają co najmniej jedną sprzeczność łączną typu " + *type +
                  ".\n\nSprzeczność łączna może być żródłem błędów wnioskowania. " +
                  "\nDlatego lepiej ją usunąć." +
                  "\nWykonaj diagnozę sprzeczności łącznych. \nW tym celu musisz przejść do opcji" +
                  T(n, "\n'Baza ograniczeń dokładna", "\n'Baza ograniczeń niepewna") +
                  "\n     Diagnostyka sprzeczności łącznych\n     baz reguł i ograniczeń'");
    enable_commands(s, {cmd_sprzecznosci(n)});
    return true;
}

bool informuj_nadmiar_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) return true;
    std::optional<std::string> type = nazwa_nadmiaru_2(s, n);
    if (!type) return true;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    const std::string kind_line = T(n, "\ni baza ograniczeń elementarna dokładna\n   ",
                                    "\ni baza ograniczeń elementarna niepewna\n   ");
    if (!n) {
        piszln(s, "Bazy reguł elementarnych niepewnych " + name + " i baza ograniczeń dokładnych " + og +
                      "są diagnozowane na obecność nadmiarowości łącznych.");
    } else {
        piszln(s, " Bazy reguł elementarna niepewna i baza ograniczeń elementarna niepewna są diagnozowane");
        piszln(s, " na obecność nadmiarowości niepewnych łącznych.");
    }
    if (wyznacz_nadmiar_2(s, n)) {
        if (!n) {
            piszln(s, "Baza reguł elementarnych niepewnych " + name + " i baza ograniczeń dokładnych " + og +
                          " nie mają nadmiarowości łącznych!");
        } else {
            piszln(s, "  Baza reguł elementarnych niepewnych:          " + name);
            piszln(s, "  i baza ograniczeń niepewnych: " + og);
            piszln(s, "  nie mają nadmiarowości niepewnych łącznych typu " + *type);
        }
        s.ui.note("Wynik diagnozowania nadmiarowości łącznych", "Baza reguł elementarna niepewna\n   " +
                                                                    name + kind_line + og +
                                                                    "\nnie mają nadmiarowości łącznych!");
        disable_commands(s, {cmd_nadmiarowosci(n)});
        return true;
    }
    if (!n) {
        for (const std::string& l :
             {" W  bazie reguł elementarnej niepewnej:  " + name,
              "  bazie ograniczeń elementarnej dokładnej: " + og,
              " może być nadmiarowość łączna niepewna typu " + *type,
              std::string(" Sprawdź, czy zakwestionowany fragment bazy jest zamierzony."),
              std::string(" Załadowane bazy reguł i ograniczeń możesz stosować do wnioskowania,"),
              std::string(" gdyż nadmiarowość nie zakłóca wnioskowania. Może jednak wydłużyć czas"),
              std::string(" wnioskowania i uzależnić wynik wnioskowania od niepotrzebnych warunków."),
              std::string(
                  " Dlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość usunąć."),
              std::string(" W tym celu możesz kontynuować pracę z załadowaną bazą ograniczeń"),
              std::string(" i  przejść do opcji:"), std::string(" 'Baza ograniczeń dokładna"),
              std::string("         Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń' "),
              std::string(" gdzie dowiesz się o istocie wykrytej nadmiarowości.")})
            piszln(s, l);
        s.ui.note(
            "Być może wykryto nadmiarowość łączną",
            "Baza reguł elementarna niepewna\n   " + name + kind_line + og +
                "\nmogą zawierać nadmiarowość łączną niepewną typu " + *type +
                ". \n\nSprawdź sens zakwestionowanych fragmentów baz." +
                "\nZaładowane bazy reguł i ograniczeń możesz stosować " +
                "\ndo wnioskowania, gdyż nadmiarowość nie zakłóca  \nwnioskowania. Może jednak wydłużyć czas "
                "wnioskowania" +
                "\ni uzależnić wynik wnioskowania od niepotrzebnych warunków." +
                "\nDlatego lepiej zbadać zakwestionowane fragmenty baz i \newentualną nadmiarowość usunąć." +
                "\n\nW tym celu możesz kontynuować pracę z załadowaną " +
                "\nbazą ograniczeń i przejść do opcji:" +
                "\n   'Baza ograniczeń dokładna\n     Diagnostyka nadmiarowości łącznych baz reguł\n     i "
                "ograniczeń'" +
                ",\ngdzie dowiesz się o istocie wykrytej nadmiarowości.");
    } else {
        for (const std::string& l :
             {" W  bazie reguł elementarnych niepewnych:      " + name,
              " i  bazie ograniczeń niepewnych " + og,
              " może być nadmiarowość łączna niepewna  typu " + *type,
              std::string(" Sprawdź, czy zakwestionowany fragment bazy jest zamierzony."),
              std::string(" Załadowaną bazę reguł i bazę ograniczeń niepewnych możesz stosować do "),
              std::string(
                  " wnioskowania, gdyż nadmiarowość niepewna łączna nie zakłóca wnioskowania. Może jednak"),
              std::string(" uzależnić wynik wnioskowania od niepotrzebnych warunków."),
              std::string(
                  " Dlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość usunąć."),
              std::string(" W tym celu możesz kontynuować pracę z załadowanymi bazami i przejść do opcji:"),
              std::string(" 'Baza ograniczeń niepewnych"),
              std::string("     Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń niepewnych' "),
              std::string(" gdzie dowiesz się o istocie wykrytej nadmiarowości.")})
            piszln(s, l);
        s.ui.note(
            "Być może wykryto nadmiarowość łączną",
            "W  bazie reguł elementarnej niepewnej\n   " + name +
                "\ni bazie ograniczeń elementarnej niepewnej\n   " + og +
                "\nmoże być nadmiarowość łączna niepewna typu " + *type +
                ". \n\nSprawdź, czy zakwestionowany fragment bazy jest zamierzony." +
                "\nZaładowane bazy reguł i ograniczeń możesz stosować do " +
                "\nwnioskowania, gdyż nadmiarowość nie zakłóca wnioskowania. \nMoże jednak wydłużyć czas "
                "wnioskowania " +
                "\ni uzależnić wynik wnioskowania od niepotrzebnych warunków." +
                "\nDlatego lepiej zbadać zakwestionowany fragment bazy i ewentualną nadmiarowość usunąć." +
                "\n\nW tym celu możesz kontynuować pracę z załadowaną " +
                "\nbazą ograniczeń i przejść do opcji:" +
                "\n   'Baza ograniczeń niepewna\n     Diagnostyka nadmiarowości łącznych baz reguł\n     i "
                "ograniczeń'" +
                ",\ngdzie dowiesz się o istocie wykrytej nadmiarowości.");
    }
    enable_commands(s, {cmd_nadmiarowosci(n)});
    return true;
}

}  // namespace

bool testuj_sprzecznosc_2(Session& s, Niepewne n) {
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    for (const char* line :
         {n ? "Baza reguł elementarna niepewna i baza ograniczeń elementarna niepewna mogą być diagnozowane "
              "na "
              "obecność sprzeczności "
            : "Baza reguł elementarna niepewna i baza ograniczeń elementarna dokładna mogą być diagnozowane "
              "na "
              "obecność sprzeczności",
          "łącznych. Diagnostyka sprzeczności łącznych dużych i silnie zagnieżdżonych",
          "baz reguł i baz ograniczeń może trwać długo, gdyż wymaga ona spłaszczenia",
          "diagnozowanej bazy reguł.", "", "Zaleca się diagnozowanie sprzecznosci łącznych baz nowych lub",
          "zmodyfikowanych.", "Przy kolejnym stosowaniu tych baz można test sprzeczności łącznej ",
          "pominąć.", "", "Pamiętej, że sprzeczności łączne nie doprowadzą do 'zawieszenia się'",
          "komputera, lecz mogą doprowadzić do niepoprawnych wniosków. ", ""})
        piszln(s, line);
    const std::string text =
        "Baza reguł elementarna niepewna\n   " + name +
        T(n, "\ni baza ograniczeń elementarna dokładna\n   ",
          "\ni baza ograniczeń elementarna niepewna\n   ") +
        og +
        "\nmogą być diagnozowane na obecność sprzeczności  łącznych. \n\nDiagnostyka sprzeczności łącznych "
        "dużych "
        "i silnie zagnieżdżonych \nbaz reguł i ograniczeń" +
        "\nmoże trwać długo, gdyż wymaga ona spłaszczenia diagnozowanej bazy reguł." +
        "\nZaleca się diagnozowanie sprzeczności baz nowych lub zmodyfikowanych.\nPrzy kolejnym stosowaniu "
        "tych "
        "baz można test sprzeczności łącznych pominąć.\n" +
        "Pamiętej, że sprzeczności łączne nie doprowadzą do 'zawieszenia się' komputera, " +
        "\nlecz mogą doprowadzić do niepoprawnych wniosków " +
        T(n, "\nChcesz diagnozować bazę reguł i ograniczeń dokładną na obecność sprzeczności?",
          "\nChcesz diagnozować bazę reguł i ograniczeń na obecność sprzeczności?");
    if (s.ui.question("Wybierz", text, {"&Tak", "&Nie"}) != 0) return true;
    return informuj_sprzecznosc_2(s, n);
}

bool testuj_nadmiar_2(Session& s, Niepewne n) {
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    if (!n) {
        for (const char* line :
             {"Baza reguł i baza ograniczeń dokładnych mogą być diagnozowane na obecność nadmiarowości",
              "łącznych. Diagnostyka nadmiarowości łącznych dużych i silnie zagnieżdżonych",
              "baz reguł i baz ograniczeń może trwać długo.gdyż wymaga ona spłaszczenia",
              "diagnozowanej bazy reguł.",
              "Zaleca się diagnozowanie nadmiarowości baz nowych lub zmodyfikowanych.",
              "Przy kolejnym stosowaniu tych baz można test nadmiarowości łącznych pominąć."})
            piszln(s, line);
    } else {
        for (const char* line :
             {" Baza reguł elementarnych niepewnych i baza ograniczeń niepewnych mogą być diagnozowane",
              " na obecność nadmiarowości niepewnych łącznych.",
              " Diagnostyka nadmiarowości niepewnych łącznych dużych i silnie zagnieżdżonych",
              " baz reguł i baz ograniczeń może trwać długo.",
              " Zaleca się diagnozowanie nadmiarowości baz nowych lub zmodyfikowanych.",
              " Przy kolejnym stosowaniu tych baz można test nadmiarowości łącznych pominąć.",
              " Chcesz diagnozować bazę reguł elementarnych niepewnych i ograniczeń niepewnych na obecność "
              "nadmiarowości?"})
            piszln(s, line);
    }
    const std::string text = "Baza reguł elementarna niepewna\n   " + name +
                             T(n, "\ni baza ograniczeń elementarna dokładna\n   ",
                               "\ni baza ograniczeń elementarna niepewna\n   ") +
                             og +
                             "\nmogą być diagnozowane na obecność nadmiarowości \nłącznych. \n\nDiagnostyka "
                             "nadmiarowości łącznych "
                             "dużych i silnie \nzagnieżdżonych baz reguł i baz ograniczeń może trwać" +
                             "\ndługo, gdyż wymaga spłaszczenia diagnozowanej bazy reguł.\nZaleca się "
                             "diagnozowanie nadmiarowości baz "
                             "nowych \nlub zmodyfikowanych.\nPrzy kolejnym stosowaniu tych baz można test "
                             "\nnadmiarowości łącznych "
                             "pominąć." +
                             T(n,
                               "\n\nChcesz diagnozować bazę reguł rozwiniętą \nniepewną i bazę ograniczeń "
                               "rozwiniętą \ndokładną na "
                               "obecność nadmiarowości?",
                               "\n\nChcesz diagnozować bazę reguł rozwiniętą niepewną \ni bazę ograniczeń "
                               "rozwiniętą niepewną na obecność "
                               "\nnadmiarowości?");
    if (s.ui.question("Wybierz", text, {"&Tak", "&Nie"}) != 0) return true;
    return informuj_nadmiar_2(s, n);
}

void pisz_sprzecznosc_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) {
        s.ui.note("Uwaga!", "Zewnętrznie sprzecznej bazy reguł nie można spłaszczyć!");
        return;
    }
    std::optional<std::string> type_opt = nazwa_sprzecznosci_2(s, n);
    if (!type_opt) return;
    const std::string& type = *type_opt;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    WynikiLaczne& w = wyniki(s, n);
    if (w.sprzecznosc.empty()) wyznacz_sprzecznosc_2(s, n);
    if (w.sprzecznosc.empty()) {
        if (!n) {
            piszln(s, "  Baza reguł                 " + name);
            piszln(s, "  Baza ograniczeń dokładnych " + og);
            piszln(s, "  nie są łącznie " + type + "-sprzeczne.");
            s.ui.note("", "Baza reguł elementarna niepewna\n   " + name +
                              "\ni baza ograniczeń elementarna dokładna\n   " + og + "\nnie są łącznie " +
                              type + "-sprzeczne.");
        } else {
            piszln(s, "  Baza reguł                   " + name);
            piszln(s, "  oraz baza ograniczeń niepewnych " + og);
            piszln(s, "  nie są " + type + "-sprzeczne.");
            s.ui.note("", "Baza reguł elementarna niepewna\n   " + name +
                              "\ni baza ograniczeń elementarna niepewna\n   " + og + "\nnie są " + type +
                              "-sprzeczne.");
        }
        return;
    }
    kasowanie_tekst_raportu(s);
    if (!n) {
        pisz(s, " Raport diagnostyki sprzeczności łącznych pomiędzy ");
        piszcr(s);
        pisz(s, " bazą reguł:                   " + name + " i ");
        piszcr(s);
        pisz(s, " i bazą ograniczeń dokładnycb: " + og);
        pisz(s, "\n\n");
        s.ui.note("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń dokładnych",
                  "Raport diagnostyki sprzeczności pomiędzy\nbazą reguł elementarną niepewną\n   " + name +
                      "\ni bazą ograniczeń elementarną dokładną\n   " + og + ".");
    } else {
        piszln(s, " Raport diagnostyki sprzeczności pomiędzy ");
        piszln(s, " baza reguł                   " + name + " i ");
        pisz(s, " bazą ograniczeń niepewnych " + og);
        pisz(s, "\n\n");
        s.ui.note("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń niepewnych",
                  "Raport diagnostyki sprzeczności pomiędzy\nbazą reguł elementarną niepewną\n   " + name +
                      "\ni bazą ograniczeń elementarną niepewną\n    " + og);
        pisz(s, " Wyznaczanie sprzeczności typu " + type + " odbywa się na drodze spłaszczania reguł:");
        pisz(s, "\n\n");
    }
    // Each stored form is reported once, with the constraint of the first record made from it.
    std::vector<bool> reported(w.splaszczona_s.count(), false);
    for (const auto& rec : w.sprzecznosc) {
        if (rec.form >= reported.size() || reported[rec.form]) continue;
        reported[rec.form] = true;
        const FormaLaczna& f = w.splaszczona_s[rec.form];
        const Ograniczenie* o = ograniczenie_nr(s, n, rec.constraint_number);
        const TextList k = o ? o->exclusive_conditions : TextList{};
        const std::string nr = std::to_string(f.rule_number), kn = std::to_string(rec.constraint_number);
        const bool direct = f.used_rule_numbers.empty();
        pisz_forme(s, n ? "  regula_splaszczona(" : "   regula_splaszczona(", f.rule_number, f.conclusion,
                   f.flattened_conditions, f.used_rule_numbers);
        pisz(s, " Reguła " + nr);
        if (!n) {
            pisz(s, direct ? " jest bezpośrednio " : " jest pośrednio łącznie ");
            pisz(s, type + "-sprzeczna z ograniczeniem dokładnym " + kn + " o postaci:");
            piszcr(s);
            pisz(s, "   ograniczenie(" + kn + ", ");
        } else {
            pisz(s, direct ? " jest bezpośrednio " : " jest pośrednio ");
            pisz(s, type + "-sprzeczna z ograniczeniem " + kn + " o postaci");
            piszcr(s);
            pisz(s, "  ograniczenie_n(" + kn + ", ");
        }
        pisz_liste(s, k);
        pisz(s, ")");
        pisz(s, "\n\n");
        const std::string F = lista_tekstow_w_nawiasach(f.flattened_conditions);
        const std::string K = lista_tekstow_w_nawiasach(k);
        const std::string U = numery_z_przecinkami(f.used_rule_numbers);
        std::string head = "W wyniku spłaszczenia reguły " + nr + ". otrzymuje się:\n\nregula_splaszczona(" +
                           nr + ", " + f.conclusion + ", " + F;
        if (!n) {
            if (direct)
                s.ui.note("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń dokladnych ",
                          head + "\nSpłaszczenia dokonano za pomocą reguł: " + U + ")\n\nReguła " + nr +
                              " jest bezpośrednio łącznie " + type + "-sprzeczna z ograniczeniem dokładnym " +
                              kn + " o postaci:\n\nograniczenie(" + kn + ", " + K + ")\n");
            else
                s.ui.note("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń dokładnych ",
                          head + ")\n\nSpłaszczenie uzyskano za pomocą reguł o numerach:" + U +
                              "\n\nReguła " + nr + "  jest pośrednio " + type +
                              "-sprzeczna z ograniczeniem dokładnym " + kn + " o postaci:\n\nograniczenie(" +
                              kn + ", " + K + ")\n");
        } else {
            s.ui.note("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń",
                      head + ")\n\nSpłaszczenie uzyskano za pomocą reguł o numerach:" + U + "\n\nReguła " +
                          nr + (direct ? ". jest bezpośrednio " : ". jest pośrednio ") + type +
                          "-sprzeczna z ograniczeniem " + kn + ". o postaci:\n\nograniczenie(" + kn + ", " +
                          K + ")\n");
        }
    }
    w.sprzecznosc.clear();
    w.splaszczona_s.clear();
    if (!n) {
        pisz(s, " Koniec raportu diagnostyki sprzeczności łącznych");
        piszcr(s);
        pisz(s, " bazy reguł:                   " + name);
        piszcr(s);
        pisz(s, " i bazy ograniczeń dokładnych: " + og);
        piszcr(s);
        s.ui.note(
            "Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń",
            "Koniec raportu diagnostyki sprzeczności łącznych\nbazy reguł elementarnych niepewnych\n   " +
                name + "\ni bazy ograniczeń elementarnych dokładnych\n   " + og + ".");
    } else {
        piszln(s, " Koniec diagnostyki sprzeczności łącznych ");
        piszln(s, " bazy reguł:                       " + name);
        piszln(s, " i bazy ograniczeń niepewnych:  " + og);
        s.ui.note("Diagnostyka sprzeczności łącznych bazy reguł i bazy ograniczeń",
                  "Koniec raportu diagnostyki sprzeczności łącznych\nbazy reguł elementarnej niepewnej\n   " +
                      name + "\ni bazy ograniczeń elementarnej niepewnej\n   " + og);
    }
    raport(s);
}

void pisz_nadmiar_2(Session& s, Niepewne n) {
    if (baza_sprzeczna(s)) {
        s.ui.note("Uwaga!", "Zewnętrznie sprzecznej bazy reguł nie można spłaszczyć!");
        return;
    }
    std::optional<std::string> type_opt = nazwa_nadmiaru_2(s, n);
    if (!type_opt) return;
    const std::string& type = *type_opt;
    const std::string name = s.kb.nazwa_re.name(), og = nazwa_og(s, n);
    WynikiLaczne& w = wyniki(s, n);
    const std::string t_forms = "Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń";
    const std::string t_plain =
        T(n, "Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń ",
          "Diagnostyka nadmiarowości łącznych baz reguł elementarnych niepewnych i ograniczeń "
          "niepewnych ");
    const std::string t_groups = T(n, "Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń ",
                                   "Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń niepewnych");
    if (w.reguly_nadmiarowe.empty()) {
        s.ui.note(T(n, "Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń ",
                    "Diagnostyka nadmiarowości łącznych bazy reguł elementarnych niepewnych i ograniczeń "
                    "niepewnych"),
                  "Trwa diagnozowanie nadmiarowości łącznych!");
        w.zbadany_wniosek.clear();
        wyznacz_nadmiar_2(s, n);
    }
    if (!w.reguly_nadmiarowe.empty()) {
        kasowanie_tekst_raportu(s);
        if (!n) {
            pisz(s, " Raport diagnostyki nadmiarowości łącznej pomiędzy ");
            piszcr(s);
            pisz(s, " bazą reguł elementarnych niepewnych:                   " + name);
            piszcr(s);
            pisz(s, " i bazą ograniczeń dokładnych: " + og);
            pisz(s, "\n\n");
            s.ui.note("Diagnostyka nadmiarowości łącznych baz reguł  i ograniczeń ",
                      "Raport diagnostyki nadmiarowości łącznych pomiędzy\nbazą reguł elementarnych "
                      "niepewnych\n   " +
                          name + "\ni bazą ograniczeń elementarnych dokładnych\n   " + og + ".");
        } else {
            piszln(s, " Raport diagnostyki nadmiarowości łącznych pomiędzy");
            piszln(s, " bazą reguł elementarnych niepewnych:                      " + name);
            pisz(s, " i bazą ograniczeń niepewnych: " + og);
            pisz(s, "\n\n");
            s.ui.note(
                "Diagnostyka nadmiarowości łącznych baz reguł elementarnych niepewnych i ograniczeń "
                "niepewnych",
                "Raport diagnostyki nadmiarowości łącznych pomiędzy\nbazą reguł elementarnych niepewnych\n  "
                " " +
                    name + "\ni bazą ograniczeń elementarnych niepewnych\n   " + og + ".");
        }
        w.zbadany_wniosek.clear();
    }
    if (w.reguly_nadmiarowe.empty()) {
        if (!n) {
            piszln(s, " Baza reguł elementarnych niepewnych:  " + name + " i  baza ograniczeń dokładnych: " +
                          og + " nie mają nadmiarowości typu " + type + ".");
            s.ui.note("Diagnostyka nadmiarowości łącznych baz reguł  i ograniczeń  ",
                      "Baza reguł elementarna niepewna\n   " + name +
                          "\n i baza ograniczeń elementarna dokładna\n   " + og +
                          "\nnie mają nadmiarowości łącznych typu " + type + ".");
        } else {
            piszln(s, " Baza reguł elementarnych niepewnych:  " + name);
            piszln(s, " i baza ograniczeń niepewnych   " + og);
            piszln(s, " nie mają nadmiarowości łącznych typu " + type);
            s.ui.note(t_plain, "Baza reguł elementarna niepewna\n   " + name +
                                   "\n i baza ograniczeń elementarna niepewna\n   " + og +
                                   "\nnie mają nadmiarowości łącznych typu " + type + ".");
        }
        return;
    }
    if (!n) {
        pisz(s, " Wykrywanie nadmiarowości typu " + type + " odbywa" + " się na drodze spłaszczania reguł");
        piszcr(s);
        pisz(s, " i porównywania list warunków spłaszczonych reguł z listami warunków");
        piszcr(s);
        pisz(s, " wzajemnie wykluczających się z bazy ograniczeń:");
        pisz(s, "\n\n");
    } else {
        piszln(s, " Wykrywanie nadmiarowości łącznych typu " + type + " odbywa" +
                      " się na drodze spłaszczania reguł i ");
        piszln(s, " porównania list warunków spłaszczonych reguł z listami");
        pisz(s, " warunków wzajemnie wykluczających się z bazy ograniczeń:");
        pisz(s, "\n\n");
    }
    s.ui.note(t_plain, "Wykrywanie nadmiarowości łącznych typu " + type +
                           "\nodbywa się na drodze spłaszczania reguł" +
                           "\ni porównywania list warunków spłaszczonych reguł" +
                           " \nz listami warunków wzajemnie wykluczających się \nz bazy ograniczeń " +
                           T(n, "dokładnych.", "niepewnych."));
    for (const auto& g : w.reguly_nadmiarowe.rows()) {
        const std::string kn = std::to_string(g.constraint_number);
        for (std::size_t i = 0; i < g.rule_numbers.size(); ++i) {
            const std::string nr = std::to_string(g.rule_numbers[i]);
            const FormaLaczna* f = w.splaszczona_n.find_first([&](const FormaLaczna& x) {
                return x.rule_number == g.rule_numbers[i] && x.flattened_conditions == g.flattened_forms[i];
            });
            const std::string c = f ? f->conclusion : std::string();
            pisz_forme(s, n ? "          regula_splaszczona(" : "   regula_splaszczona(", g.rule_numbers[i],
                       c, g.flattened_forms[i], g.used_rule_numbers[i]);
            s.ui.note(t_forms, "W wyniku spłaszczenia reguły " + nr +
                                   ". otrzymuje się:\n\nregula_splaszczona(" + nr + ", " + c + ", " +
                                   lista_tekstow_w_nawiasach(g.flattened_forms[i]) +
                                   ")\n\nSpłaszczenie uzyskano za pomocą reguł o numerach:" +
                                   numery_z_przecinkami(g.used_rule_numbers[i]));
        }
        const Ograniczenie* o = ograniczenie_nr(s, n, g.constraint_number);
        const TextList k = o ? o->exclusive_conditions : TextList{};
        pisz(s, " Wymienione reguły oraz ograniczenie " + kn + " o postaci");
        piszcr(s);
        pisz(s, n ? "   ograniczenie_n(" + kn + ", " : "   ograniczenie(" + kn + ", ");
        pisz_liste(s, k);
        pisz(s, ")");
        pisz(s, n ? " mogą zawierać nadmiarowość łączną typu " + type
                  : " mogą zawierać nadmiarowość typu " + type);
        pisz(s, "\n\n");
        s.ui.note(t_groups, "Wymienione reguły oraz ograniczenie " + kn + ". o postaci\n\n" +
                                (n ? "ograniczenie_n(" : "ograniczenie(") + kn + ", " +
                                lista_tekstow_w_nawiasach(k) + ")\n\nmogą zawierać nadmiarowość " +
                                (n ? "łączną " : "") + "typu " + type);
    }
    if (!n) {
        piszln(s, " Koniec raportu diagnostyki nadmiarowości łącznej pomiędzy");
        piszln(s, " bazą reguł        " + name + " i bazą ograniczeń " + og);
        s.ui.note("Diagnostyka nadmiarowości łącznych baz reguł i ograniczeń ",
                  "Koniec raportu diagnostyki nadmiarowości łącznej pomiędzy\nbazą reguł elementarną "
                  "niepewną\n   " +
                      name + "\ni bazą ograniczeń elementarną dokładną\n   " + og);
    } else {
        piszln(s, " Koniec raportu diagnostyki nadmiarowości łącznych pomiędzy ");
        piszln(s, " bazą reguł elementarną niepewną:                      " + name);
        piszln(s, " i bazą ograniczeń elementarną niepewną: " + og);
        s.ui.note(t_groups,
                  "Koniec raportu diagnostyki nadmiarowości łącznych pomiędzy\nbazą reguł elementarną "
                  "niepewną\n   " +
                      name + "\ni bazą ograniczeń elementarną niepewną\n   " + og);
    }
    w.reguly_nadmiarowe.clear();
    w.splaszczona_n.clear();
    raport(s);
}

void register_joint_commands(CommandRegistry& r) {
    r.set(cmd::diagnostyka_sprzecznosci_ograniczen, [](Session& s) { pisz_sprzecznosc_2(s, false); });
    r.set(cmd::diagnostyka_nadmiarowosci_ograniczen, [](Session& s) { pisz_nadmiar_2(s, false); });
    r.set(cmd::diagnostyka_sprzecznosci_ograniczen_n, [](Session& s) { pisz_sprzecznosc_2(s, true); });
    r.set(cmd::diagnostyka_nadmiarowosci_ograniczen_n, [](Session& s) { pisz_nadmiar_2(s, true); });
}

}  // namespace zuva
