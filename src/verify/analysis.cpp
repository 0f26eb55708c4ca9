// A scenario assumes the conditions of one tested form true; every other tested form is
// true in it when all its conditions are, unless no exclusion list applies at all. The
// exclusion lists are the exclusive-model lists and exact constraints of the scenario's
// conditions.
#include "verify/analysis.h"

#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "session/command_registry.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "verify/flatten.h"
#include "verify/shared_flattening.h"

namespace zuva {

namespace {

bool czy_jest_prawda_w(const std::unordered_set<std::string_view>& prawda_w, bool lists_exist,
                       const TextList& form) {
    if (!lists_exist) return true;
    for (const auto& c : form)
        if (!prawda_w.count(c)) return false;
    return true;
}

// The verdict: exactly one block for every run.
void pisz_wnioski(Session& s, int option, const WynikTestu& w,
                  const std::vector<RegulaDoTestowania>& tested) {
    const bool all = w.passed && !w.common && !w.different_lengths;
    std::string heading;
    switch (option) {
        case 1:
            heading = all ? "\nWnioski następujących reguł wykluczają się wzajemnie do jednego:"
                          : "\nWnioski następujących reguł nie wykluczają się wzajemnie do jednego:";
            break;
        case 2:
            heading = w.passed && (w.common || w.different_lengths)
                          ? "\nWnioski następujących reguł wykluczają się wzajemnie do żadnego:"
                          : "\nWnioski następujących reguł nie wykluczają się wzajemnie do żadnego:";
            break;
        default:
            heading = !w.passed  ? "\nWnioski następujących reguł nie wykluczają się wzajemnie: "
                      : w.common ? "\nWnioski następujących reguł nie wykluczają się wzajemnie: "
                      : w.different_lengths ? "\nWnioski następujących reguł nie wykluczają się wzajemnie: "
                                            : "\nWnioski następujących reguł  wykluczają się wzajemnie: ";
            break;
    }
    // The note titles are the headings without their line end, in their plain spelling.
    std::string title = heading.substr(1);
    if (option == 3)
        title = all ? "Wnioski następujących reguł wykluczają się wzajemnie:"
                    : "Wnioski następujących reguł nie wykluczają się wzajemnie:";
    s.helper(heading + "\n\n");
    pisz_reguly_testowane(s, tested, title);
}

}  // namespace

std::string linia_reguly_testowanej(std::int32_t rule_number, const std::string& conclusion) {
    return "Numer reguły:  " + std::to_string(rule_number) + "    Wniosek:  " + conclusion;
}

void pisz_reguly_testowane(Session& s, const std::vector<RegulaDoTestowania>& tested,
                           const std::string& title) {
    std::unordered_set<std::int32_t> shown;
    if (s.listed_rules) {
        std::vector<ListedRule> rules;
        for (const auto& r : tested)
            if (shown.insert(r.rule_number).second) rules.push_back({r.rule_number, r.conclusion});
        if (!rules.empty()) s.listed_rules(title, std::move(rules));
        return;
    }
    for (const auto& r : tested) {
        if (!shown.insert(r.rule_number).second) continue;
        const std::string line = linia_reguly_testowanej(r.rule_number, r.conclusion);
        s.helper(line + "\n");
        s.ui.note(title, line);
    }
}

CzlonkowieWykluczen::CzlonkowieWykluczen(const Session& s) {
    for (const auto& e : s.kb.models.modele_ekskluzywne)
        members_.insert(e.models.begin(), e.models.end());
    if (s.kb.nazwa_og.loaded())
        for (const auto& o : s.kb.exact.ograniczenie)
            members_.insert(o.exclusive_conditions.begin(), o.exclusive_conditions.end());
}

WynikTestu testuj(const Session& s, int option, const std::vector<RegulaDoTestowania>& tested,
                  Zliczanie zliczanie) {
    return testuj(CzlonkowieWykluczen(s), option, tested, zliczanie);
}

WynikTestu testuj(const CzlonkowieWykluczen& lists, int option, const std::vector<RegulaDoTestowania>& tested,
                  Zliczanie zliczanie) {
    WynikTestu w;
    // Forms by their first condition: a form true in a scenario has all its conditions
    // there, its first one too, so only those forms are looked at. Empty forms are always true.
    // Keys point into the tested forms, which outlive the test.
    std::unordered_map<std::string_view, std::vector<std::size_t>> by_first;
    std::vector<std::size_t> empty_forms;
    // What is counted for each form: its rule, or its conclusion.
    std::vector<std::int64_t> counted(tested.size());
    std::unordered_map<std::string_view, std::int64_t> conclusion_ids;
    std::unordered_set<std::int64_t> all_rules;
    for (std::size_t i = 0; i < tested.size(); ++i) {
        counted[i] =
            zliczanie == Zliczanie::Reguly
                ? tested[i].rule_number
                : conclusion_ids
                      .try_emplace(tested[i].conclusion, static_cast<std::int64_t>(conclusion_ids.size()))
                      .first->second;
        all_rules.insert(counted[i]);
        if (tested[i].flattened_conditions.empty())
            empty_forms.push_back(i);
        else
            by_first[tested[i].flattened_conditions.front()].push_back(i);
    }
    std::unordered_set<std::string_view> prawda_w;
    std::unordered_set<std::int64_t> true_rules;
    for (const auto& scenario : tested) {
        prawda_w.clear();
        prawda_w.insert(scenario.flattened_conditions.begin(), scenario.flattened_conditions.end());
        bool lists_exist = false;
        for (const auto& x : scenario.flattened_conditions)
            if (lists.has(x)) lists_exist = true;
        std::size_t count = all_rules.size();
        if (lists_exist) {
            true_rules.clear();
            for (std::size_t i : empty_forms)
                true_rules.insert(counted[i]);
            for (const auto& x : prawda_w) {
                auto it = by_first.find(x);
                if (it == by_first.end()) continue;
                for (std::size_t i : it->second)
                    if (czy_jest_prawda_w(prawda_w, true, tested[i].flattened_conditions))
                        true_rules.insert(counted[i]);
            }
            count = true_rules.size();
        }
        const bool ok = option == 3 ? count > 1 : count == 1;
        if (!ok) {
            w.passed = false;
            break;
        }
    }
    if (!tested.empty()) {
        std::unordered_map<std::string_view, std::size_t> in_forms;
        std::unordered_set<std::string_view> once;
        for (const auto& r : tested) {
            once.clear();
            once.insert(r.flattened_conditions.begin(), r.flattened_conditions.end());
            for (const auto& c : once)
                ++in_forms[c];
        }
        for (const auto& [c, k] : in_forms)
            if (k == tested.size()) w.common = true;
        for (const auto& r : tested)
            if (r.flattened_conditions.size() != tested.front().flattened_conditions.size())
                w.different_lengths = true;
    }
    return w;
}

std::vector<RegulaDoTestowania> formy_do_testowania(const Session& s, const IntList& rule_numbers) {
    return *tested_forms_for(s.kb, rule_numbers);
}

void analiza_bazy_wiedzy(Session& s, int option) {
    const bool with_constraints = s.kb.nazwa_og.loaded() && s.kb.nazwa_re.loaded();
    const bool with_models = s.kb.nazwa_mo.loaded() && s.kb.nazwa_re.loaded();
    if (!with_constraints && !with_models) {
        s.ui.note("Uwaga!",
                  std::string("Analiza wykluczalności wymaga załadowania odpowiedniej bazy ograniczeń.") +
                      "\nWróć do 'Menu Głównego' i załaduj potrzebną bazę ograniczeń lub zrezygnuj" + " " +
                      "z przeprowadzenia analizy wykluczalności.");
        return;
    }
    if (baza_sprzeczna(s)) {
        s.ui.note("Uwaga!", "Zewnętrznie sprzecznej bazy reguł nie można spłaszczyć!");
        return;
    }
    switch (option) {
        case 1:
            s.ui.note(
                "Uwaga!",
                std::string("Będziesz testował wnioski wybranych reguł na wykluczanie się do jednego. ") +
                    "\nOznacza to, że jeden i tylko jeden z pośród testowanych wniosków może byc prawdą");
            break;
        case 2:
            s.ui.note(
                "Uwaga!",
                std::string("Będziesz testował wnioski wybranych reguł na wykluczanie się do żadnego. ") +
                    "\nOznacza to, że tylko jeden lub żaden z pośród testowanych wniosków może " +
                    "\nbyć prawdą. ");
            break;
        default:
            s.ui.note("Uwaga!",
                      std::string("Będziesz testował wnioski wybranych reguł na niewykluczanie się.") +
                          "\nOznacza to, że wiecej niż jeden z pośród testowanych wniosków może " +
                          "być prawdą. ");
            break;
    }
    const auto held_items = rule_choice_list(s.kb, [&s] {
        TextList items;
        items.reserve(s.kb.rules.regula.count());
        for (const auto& r : s.kb.rules.regula)
            items.push_back(std::to_string(r.rule_number) + "  " + r.conclusion);
        return sortuj(redukuj(items));
    });
    const TextList& items = *held_items;
    auto chosen = s.ui.choose_many_prompted("Wybór wniosków do testowania wykluczalności",
                                            "Wybierz wnioski, których wykluczalność chcesz testować!", items);
    IntList numbers;
    if (chosen)
        for (int i : *chosen)
            if (i >= 0 && static_cast<std::size_t>(i) < items.size()) {
                const std::string& item = items[static_cast<std::size_t>(i)];
                numbers.push_back(static_cast<std::int32_t>(std::strtol(item.c_str(), nullptr, 10)));
            }
    if (numbers.empty()) {
        s.ui.note("Uwaga!", "Nie wybrano żadnego wniosku do testowania wykluczalności.");
        return;
    }
    // Kept for the next analysis of the same rules when the caller shares the flattening.
    const auto tested = tested_forms_for(s.kb, numbers);
    pisz_wnioski(s, option, testuj(s, option, *tested), *tested);
}

void register_analysis_commands(CommandRegistry& r) {
    r.set(10147, [](Session& s) { analiza_bazy_wiedzy(s, 1); });
    r.set(10148, [](Session& s) { analiza_bazy_wiedzy(s, 2); });
    r.set(10149, [](Session& s) { analiza_bazy_wiedzy(s, 3); });
}

}  // namespace zuva
