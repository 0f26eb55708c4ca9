// The joint diagnosis flattens only the rules that conclude the condition of application of
// a relational model, with the flattening generator of the rule diagnoses; the chains
// through relational models keep the conditions they met, so circles of models end.
#include "verify/model_rule_contradictions.h"

#include <algorithm>
#include <unordered_set>

#include "kb/model_base.h"
#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/i18n.h"
#include "verify/flatten.h"
#include "verify/shared_flattening.h"

namespace zuva {

namespace {

const char* const kTitle = N_("Informacja o sprzecznościach łącznych bazy modeli i bazy reguł");

}  // namespace

RelationalModels::RelationalModels(const ModelGroup& g) {
    for (const auto& m : g.model)
        if (model_relacyjny(m)) {
            Entry& e = by_result_[m.result];
            if (!e.basic) e.basic = &m;
        }
    for (const auto& m : g.model_r)
        if (model_relacyjny(m)) {
            Entry& e = by_result_[m.result];
            if (!e.extended) e.extended = &m;
        }
    // Arithmetic basic models by result, for the models that compute a relation's argument.
    std::unordered_map<std::string, std::vector<const Model*>> computing;
    for (const auto& m : g.model)
        if (!model_relacyjny(m)) computing[m.result].push_back(&m);
    for (auto& [result, e] : by_result_) {
        if (!e.basic) continue;
        const Model* best = nullptr;
        for (const std::string* arg : {&e.basic->argument1, &e.basic->argument2}) {
            auto it = computing.find(*arg);
            if (it == computing.end()) continue;
            for (const Model* m2 : it->second)
                if (m2 != e.basic && (!best || m2 < best)) best = m2;  // the first in table order
        }
        e.computing_argument = best;
    }
    // Every alternative of every result, in the order they are tried.
    for (const auto& m : g.model)
        if (model_relacyjny(m))
            by_result_[m.result].steps.push_back({&m.application_condition, {m.model_number}});
    for (const auto& m : g.model_r)
        if (model_relacyjny(m))
            by_result_[m.result].steps.push_back({&m.application_condition, {m.model_number}});
    for (const auto& m : g.model) {
        if (!model_relacyjny(m)) continue;
        for (const std::string* arg : {&m.argument1, &m.argument2}) {
            auto it = computing.find(*arg);
            if (it == computing.end()) continue;
            for (const Model* m2 : it->second)
                if (m2 != &m)
                    by_result_[m.result].steps.push_back(
                        {&m2->application_condition, {m2->model_number, m.model_number}});
        }
    }
}

bool RelationalModels::reach(const std::string& x, const std::string& target,
                             std::unordered_set<std::string>& met, Chain& chain, std::size_t& budget) const {
    auto it = by_result_.find(x);
    if (it == by_result_.end()) return false;
    for (const Entry::Step& step : it->second.steps) {
        if (budget == 0) return false;
        --budget;
        if (met.count(*step.next)) continue;  // a circle: this chain stops without the target
        chain.models.insert(chain.models.end(), step.models.begin(), step.models.end());
        chain.conditions.push_back(*step.next);
        if (*step.next == target) return true;
        met.insert(*step.next);
        if (reach(*step.next, target, met, chain, budget)) return true;
        met.erase(*step.next);
        chain.conditions.pop_back();
        chain.models.resize(chain.models.size() - step.models.size());
    }
    return false;
}

bool RelationalModels::testuj_modele_do(const std::string& condition, const std::string& target,
                                        Chain& chain) const {
    // Each step of the walk tries one alternative; a base of models that branch everywhere
    // is not walked without end.
    std::size_t budget = 100000;
    std::unordered_set<std::string> met{condition};
    chain = {};
    return reach(condition, target, met, chain, budget);
}

bool RelationalModels::testowalny(const std::string& condition) const {
    return by_result_.count(condition) != 0;
}

RelationalModels::Chain RelationalModels::testuj_modele(const std::string& condition) const {
    Chain chain;
    std::unordered_set<std::string> met{condition};
    const std::string* x = &condition;
    for (;;) {
        auto it = by_result_.find(*x);
        if (it == by_result_.end()) break;
        const Entry& e = it->second;
        const std::string* next = nullptr;
        if (e.basic) {
            next = &e.basic->application_condition;
            chain.models.push_back(e.basic->model_number);
        } else if (e.extended) {
            next = &e.extended->application_condition;
            chain.models.push_back(e.extended->model_number);
        } else if (e.computing_argument) {
            // Reached only if the first alternative did not take the basic model, which it
            // always does; kept so that the alternatives stand in their order.
            next = &e.computing_argument->application_condition;
            chain.models.push_back(e.computing_argument->model_number);
            chain.models.push_back(e.basic->model_number);
        } else {
            break;
        }
        if (!met.insert(*next).second) break;
        chain.conditions.push_back(*next);
        x = next;
    }
    return chain;
}

RelationalModels::Chain splaszcz_modele(const RelationalModels& models, const TextList& conditions,
                                        const std::string* target) {
    RelationalModels::Chain out;
    for (const auto& c : conditions) {
        if (!models.testowalny(c)) {
            out.conditions.push_back(c);
            continue;
        }
        // The first chain when it meets the target (or there is none); otherwise another one
        // that does, if any.
        RelationalModels::Chain ch = models.testuj_modele(c);
        if (target && std::find(ch.conditions.begin(), ch.conditions.end(), *target) == ch.conditions.end()) {
            RelationalModels::Chain other;
            if (models.testuj_modele_do(c, *target, other)) ch = std::move(other);
        }
        out.conditions.insert(out.conditions.end(), ch.conditions.begin(), ch.conditions.end());
        out.models.insert(out.models.end(), ch.models.begin(), ch.models.end());
    }
    return out;
}

std::vector<ModelIRegulaSprzeczne> znajdz_sprzecznosci_mr(const KnowledgeBase& kb) {
    std::vector<ModelIRegulaSprzeczne> out;
    const ModelGroup& g = kb.models;
    if (kb.rules.regula.empty()) return out;
    RelationalModels models(g);
    const auto held_index = flatten_index_for(kb);
    const FlattenIndex& index = *held_index;
    auto diagnose = [&](std::int32_t n, const std::string& w) {
        for (const Regula* rule : index.rules_concluding(w)) {
            Splaszczanie forms = splaszcz(index, *rule);
            while (auto form = forms.next()) {
                RelationalModels::Chain e = splaszcz_modele(models, form->flattened_conditions, &w);
                if (std::find(e.conditions.begin(), e.conditions.end(), w) != e.conditions.end())
                    out.push_back({n, rule->rule_number, form->used_rule_numbers, std::move(e.models)});
            }
        }
    };
    for (const auto& m : g.model)
        if (model_relacyjny(m)) diagnose(m.model_number, m.application_condition);
    for (const auto& m : g.model_r)
        if (model_relacyjny(m)) diagnose(m.model_number, m.application_condition);
    return out;
}

void badaj_sprzecznosc_mr(Session& s) {
    VerifyState& v = s.verify;
    v.modele_i_reguly_sprzeczne.clear();
    v.sprzecznosc_mr.clear();
    for (auto& r : znajdz_sprzecznosci_mr(s.kb))
        v.modele_i_reguly_sprzeczne.append(std::move(r));
    v.sprzecznosc_mr.append(v.modele_i_reguly_sprzeczne.empty() ? "NIE" : "TAK");
}

bool wyznacz_sprzecznosc_mr(Session& s) {
    badaj_sprzecznosc_mr(s);
    return s.verify.modele_i_reguly_sprzeczne.empty();
}

bool informuj_sprzecznosc_mr(Session& s) {
    if (wyznacz_sprzecznosc_mr(s)) return true;
    const std::string mn = s.kb.nazwa_mo.name(), rn = s.kb.nazwa_re.name();
    for (const std::string& line :
         {tr("Baza modeli  ") + mn, tr("i baza reguł ") + rn,
          std::string(tr("mają co najmniej jedną sprzeczność łączną. ")),
          std::string(tr("Załadowane bazy możesz tylko edytować, lecz nie możesz korzystać")),
          std::string(tr("z nich dla wnioskowania. Nie możesz również ładować odpowiadającej im")),
          std::string(tr("bazy ograniczeń i rad.")),
          std::string(tr("Możesz jednak diagnozować ich sprzeczności łączne.")),
          std::string(tr("W tym celu musisz przejść do opcji:")), std::string(tr("'Baza modeli")),
          std::string(tr("        Diagnostyka sprzeczności łącznych bazy modeli i bazy reguł' "))})
        piszln(s, line);
    s.ui.note(
        tr(kTitle),
        tr("Baza modeli elementarna niepewna\n   ") + mn + tr("\ni baza reguł elementarna niepewna\n   ") +
            rn + tr("\nmają co najmniej jedną sprzeczność łączną. ") +
            tr("\nZaładowane bazy możesz tylko edytować, lecz nie możesz korzystać") +
            tr("\nz nich dla wnioskowania. Nie możesz również ładować odpowiadającej im") +
            tr("\nbazy ograniczeń i rad.") + tr("\nMożesz jednak diagnozować ich sprzeczności łączne.") +
            tr("\nW tym celu musisz przejść do opcji:") +
            tr("\n   'Baza modeli niepewna\n     Diagnostyka sprzeczności łącznych\n     bazy modeli i "
               "bazy reguł' "));
    enable_commands(s, {cmd::diagnostyka_sprzecznosci_modeli_i_regul});
    return false;
}

IntList oczyszczona_sciezka(const IntList& path, std::int32_t own) {
    IntList out = path;
    auto own_at = std::find(out.begin(), out.end(), own);
    if (own_at != out.end()) out.erase(own_at);
    out.erase(std::remove(out.begin(), out.end(), 0), out.end());
    std::reverse(out.begin(), out.end());
    return out;
}

void pisz_sprzecznosc_mr(Session& s) {
    const std::string mn = s.kb.nazwa_mo.name(), rn = s.kb.nazwa_re.name();
    const auto& records = s.verify.modele_i_reguly_sprzeczne;
    if (records.empty()) {
        s.helper(tr(" Baza reguł ") + rn + tr(" i baza modeli ") + mn + tr(" nie są łącznie sprzeczne.\n"));
        s.ui.note(tr(kTitle), tr(" Baza reguł ") + rn + tr("\n i baza modeli ") + mn +
                                  tr("\n nie są łącznie sprzeczne."));
        return;
    }
    kasowanie_tekst_raportu(s);
    piszln(s, tr(" Raport diagnostyki sprzeczności łącznych "));
    piszln(s, tr(" bazy reguł  ") + rn);
    piszln(s, tr(" bazy modeli ") + mn);
    piszcr(s);
    s.ui.note(tr(kTitle), std::string(tr(" Raport diagnostyki sprzeczności łącznych")) +
                              tr("\n bazy reguł ") + rn + tr("\n bazy modeli ") + mn);
    for (const auto& r : records.rows()) {
        const std::string n = std::to_string(r.model_number), k = std::to_string(r.rule_number);
        const std::string rules = lista_liczb_w_nawiasach(oczyszczona_sciezka(r.rule_path, r.rule_number));
        const std::string models = lista_liczb_w_nawiasach(oczyszczona_sciezka(r.model_path, r.model_number));
        piszln(s, tr(" Model relacyjny ") + n + tr(" jest łącznie sprzeczny z regułą ") + k);
        piszln(s, tr(" Numery reguł spłaszczających: ") + rules);
        piszln(s, tr(" Numery modeli relacyjnych rozwijających warunki: ") + models);
        piszcr(s);
        s.ui.note(tr(kTitle), tr("Model relacyjny ") + n + tr("\njest łącznie sprzeczny z regułą ") + k +
                                  tr("\nNumery reguł spłaszczających: ") + rules +
                                  tr("\nNumery modeli relacyjnych rozwijających warunki: ") + models);
    }
    piszln(s, tr(" Koniec raportu diagnostyki sprzeczności łącznych "));
    piszln(s, tr(" bazy reguł  ") + rn);
    pisz(s, tr(" bazy modeli ") + mn);
    s.ui.note(
        tr("Diagnostyka sprzeczności zewnętrzych bazy reguł"),
        tr("Koniec raportu diagnostyki sprzeczności łącznych \nbazy reguł elementarnej niepewnej\n   ") + rn +
            tr("\ni bazy modeli  elementarnej niepewnej\n   ") + mn);
    raport(s);
}

}  // namespace zuva
