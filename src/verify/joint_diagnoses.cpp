// Both diagnoses take each rule's flattened forms once. Conditions are looked up in an
// index of the constraint members, so a form costs what its own conditions' constraints
// cost; the redundancy groups are collected per (constraint, conclusion) in one pass.
#include "verify/joint_diagnoses.h"

#include <algorithm>
#include <deque>
#include <map>
#include <string_view>
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
#include "verify/joint_support.h"
#include "verify/shared_flattening.h"

namespace zuva {

namespace joint {

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

std::string numery_z_przecinkami(const IntList& l) {
    std::string r;
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (i) r += ",";
        r += std::to_string(l[i]);
    }
    return r;
}

}  // namespace joint

using namespace joint;

namespace {

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
    const auto held_index = flatten_index_for(s.kb);
    const FlattenIndex& index = *held_index;
    std::unordered_map<std::string, std::size_t> stored;  // form key -> position in splaszczona_s
    std::unordered_map<std::int32_t, int> later;          // constraint position -> members after the position
    const auto kept = kept_rule_forms(s.kb);
    for (const auto& r : s.kb.rules.regula) {
        s.verify.regula_testowana.clear();
        for_each_form(index, kept.get(), r, [&](const RegulaSplaszczona& raw) {
            const TextList& f = raw.flattened_conditions;
            const IntList u = numery_regul_splaszczajacych(raw.used_rule_numbers);
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
            if (!any) return;
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
        });
    }
    s.verify.regula_testowana.clear();
    return w.sprzecznosc.empty();
}

bool wyznacz_nadmiar_2(Session& s, Niepewne n) {
    WynikiLaczne& w = wyniki(s, n);
    const Table<Ograniczenie>& t = ograniczenia(s, n);
    // A search from no records depends only on the tables: one that found nothing over the
    // same tables in this check finds nothing again (and records nothing).
    const bool from_nothing = w.zbadany_wniosek.empty() && w.reguly_nadmiarowe.empty();
    if (from_nothing && joint_search_found_nothing(s.kb, n, t)) return true;
    const MemberIndex members = indeks_czlonkow(t);
    const auto held_index = flatten_index_for(s.kb);
    const FlattenIndex& index = *held_index;
    std::unordered_set<std::string> disjunctive;
    for (const auto& d : s.kb.rules.regula_dysjunktywna)
        disjunctive.insert(d.conclusion);

    // The forms are read in place from the kept forms of the check; outside one, from copies.
    struct Form {
        const Regula* rule;
        const RegulaSplaszczona* raw;
    };
    std::vector<Form> forms;
    std::deque<RegulaSplaszczona> own;
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
    const auto kept = kept_rule_forms(s.kb);
    std::vector<std::int32_t> seen;
    for (const auto& r : s.kb.rules.regula) {
        if (disjunctive.count(r.conclusion)) continue;
        for_each_form(index, kept.get(), r, [&](const RegulaSplaszczona& raw) {
            const std::size_t fi = forms.size();
            const RegulaSplaszczona* f = &raw;
            if (!kept) f = &own.emplace_back(raw);
            forms.push_back({&r, f});
            const TextList& in = f->flattened_conditions;
            seen.clear();
            for (const auto& c : in)
                for (std::int32_t p : czlonkostwa(members, c)) {
                    if (std::find(seen.begin(), seen.end(), p) != seen.end()) continue;
                    seen.push_back(p);
                    const TextList& k = lists[static_cast<std::size_t>(p)];
                    for (std::size_t j = 0; j < k.size(); ++j)
                        if (std::find(in.begin(), in.end(), k[j]) != in.end())
                            items[static_cast<std::size_t>(p)].push_back({fi, j});
                }
        });
    }

    // zbadany_wniosek_p by conclusion; a new record changes the groups of that conclusion only.
    // Keys are views of rule conclusions, or of copies of the records found at the start.
    std::deque<std::string> earlier;
    std::unordered_map<std::string_view, std::unordered_set<std::int32_t>> examined;
    std::unordered_map<std::string_view, std::size_t> version;
    for (const auto& z : w.zbadany_wniosek.rows()) {
        const std::string_view c = earlier.emplace_back(z.conclusion);
        examined[c].insert(z.rule_number);
        ++version[c];
    }
    std::unordered_set<std::string> recorded;
    for (const auto& g : w.reguly_nadmiarowe.rows())
        recorded.insert(std::to_string(g.constraint_number) + '\x1d' + numery_z_przecinkami(g.rule_numbers));

    std::unordered_map<std::string_view, std::size_t> in_forms;
    std::unordered_set<std::string_view> once;
    for (std::size_t p = 0; p < t.count(); ++p) {
        const TextList& k = lists[p];
        const std::int32_t kn = t[p].constraint_number;
        std::unordered_map<std::string_view, std::vector<std::size_t>> by_conclusion;  // item indexes
        for (std::size_t i = 0; i < items[p].size(); ++i)
            by_conclusion[forms[items[p][i].form].rule->conclusion].push_back(i);
        std::unordered_map<std::string_view, std::size_t> evaluated;  // conclusion -> version + 1
        for (const Item& it : items[p]) {
            const Regula& r = *forms[it.form].rule;
            const std::string& c = r.conclusion;
            auto ex = examined.find(c);
            auto admissible = [&](const Regula* x) {
                return ex == examined.end() || !ex->second.count(x->rule_number);
            };
            if (!admissible(&r)) continue;
            const std::size_t now = version[c] + 1;
            auto ev = evaluated.find(c);
            if (ev != evaluated.end() && ev->second == now) continue;
            evaluated[c] = now;
            // The group: every admissible flattened rule for the constraint with the conclusion.
            std::vector<const Form*> group;
            for (std::size_t i : by_conclusion[c])
                if (admissible(forms[items[p][i].form].rule)) group.push_back(&forms[items[p][i].form]);
            // usun_wspolne_2: the conditions common to all forms go.
            in_forms.clear();
            for (const Form* f : group) {
                once.clear();
                for (const auto& x : f->raw->flattened_conditions)
                    if (once.insert(x).second) ++in_forms[x];
            }
            std::vector<std::vector<std::string_view>> rest;
            for (const Form* f : group) {
                std::vector<std::string_view> r2;
                for (const auto& x : f->raw->flattened_conditions)
                    if (in_forms[x] != group.size()) r2.push_back(x);
                rest.push_back(std::move(r2));
            }
            // redukuj_lista: a remainder equal (as a set) to a later one goes.
            std::vector<const std::vector<std::string_view>*> distinct;
            std::unordered_set<std::string> later_keys;
            for (std::size_t i = rest.size(); i-- > 0;) {
                std::vector<std::string_view> a(rest[i].begin(), rest[i].end());
                std::sort(a.begin(), a.end());
                a.erase(std::unique(a.begin(), a.end()), a.end());
                std::string key;
                for (const auto& x : a) {
                    key += x;
                    key += '\x1f';
                }
                if (later_keys.insert(key).second) distinct.push_back(&rest[i]);
            }
            std::reverse(distinct.begin(), distinct.end());
            // porownaj_listy_2: the remainders are the constraint's conditions, one each.
            bool redundant = distinct.size() == k.size();
            std::unordered_set<std::string_view> used;
            for (const auto* d : distinct) {
                if (!redundant) break;
                redundant = d->size() == 1 && std::find(k.begin(), k.end(), d->front()) != k.end() &&
                            used.insert(d->front()).second;
            }
            if (!redundant) continue;
            GrupaNadmiarowa g;
            g.constraint_number = kn;
            for (const Form* f : group) {
                g.rule_numbers.push_back(f->rule->rule_number);
                g.flattened_forms.push_back(f->raw->flattened_conditions);
                g.used_rule_numbers.push_back(numery_regul_splaszczajacych(f->raw->used_rule_numbers));
            }
            const std::string key = std::to_string(kn) + '\x1d' + numery_z_przecinkami(g.rule_numbers);
            if (!recorded.insert(key).second) continue;
            for (std::size_t i = 0; i < group.size(); ++i)
                w.splaszczona_n.append(
                    {group[i]->rule->rule_number, c, g.flattened_forms[i], g.used_rule_numbers[i]});
            w.reguly_nadmiarowe.append(std::move(g));
            w.zbadany_wniosek.append({c, r.rule_number});
            examined[c].insert(r.rule_number);
            ++version[c];
        }
    }
    if (from_nothing && w.reguly_nadmiarowe.empty()) remember_joint_search_found_nothing(s.kb, n, t);
    return w.reguly_nadmiarowe.empty();
}

}  // namespace zuva
