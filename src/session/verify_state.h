// Results of the diagnoses of the knowledge base, kept for their report commands: the
// circular chains of the rule base, the redundant pairs of rules with their flattened forms,
// and the contradictions of the model base and of models with rules.
#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "store/keyed_table.h"
#include "store/table.h"
#include "store/values.h"

namespace zuva {

// One circular chain: the rule whose conclusion comes back, the last rule of the chain and
// the numbers of the chain, the partner rule first and `contradictory_rule` last.
struct RegulaSprzeczna {
    std::int32_t contradictory_rule = 0;
    std::int32_t partner_rule = 0;
    IntList substitution_path;
};

// Two rules with the same conclusion whose flattened forms include one another.
struct ParaSplaszczona {
    std::int32_t first_rule = 0;
    std::string conclusion;
    TextList first_conditions;
    IntList first_used_rules;
    std::int32_t second_rule = 0;
    TextList second_conditions;
    IntList second_used_rules;
};

// The recorded (first_rule, second_rule) pairs, indexed by the pair so that the report can
// test and remove one record of a pair in constant time.
class RegulyNadmiarowe {
  public:
    static std::string key(std::int32_t a, std::int32_t b) {
        return std::to_string(a) + "," + std::to_string(b);
    }
    void append(std::int32_t a, std::int32_t b) { table_.append(key(a, b), {a, b}); }
    bool contains(std::int32_t a, std::int32_t b) const { return table_.contains(key(a, b)); }
    bool remove_first(std::int32_t a, std::int32_t b) { return table_.remove_first(key(a, b)); }
    std::size_t count() const { return table_.count(); }
    bool empty() const { return table_.empty(); }
    void clear() { table_.clear(); }
    template <class F>
    void for_each(F f) const {
        table_.for_each([&](const std::string&, const std::pair<std::int32_t, std::int32_t>& v) {
            f(v.first, v.second);
        });
    }

  private:
    KeyedTable<std::pair<std::int32_t, std::int32_t>> table_;
};

// An arithmetic model with the quantities it reads, as the model diagnosis walks them.
struct ArgumentyModeluArytmetycznego {
    std::int32_t model_number = 0;
    std::string result;
    TextList arguments;
};
// A model whose result is its own argument (arithmetic) or its own condition of application
// (relational).
struct ModelSprzeczny {
    std::int32_t model_number = 0;
    std::string result;
};
// An arithmetic model whose result is an argument of a model it nests, with the numbers of
// the nested models, the innermost first and the model itself last.
struct ModelSprzecznyGleboko {
    std::int32_t model_number = 0;
    IntList nesting_path;
    std::string result;
};
// A relational model whose condition of application comes back through a rule concluding it:
// the raw numbers of the rule's flattening and the numbers of the models of the expansion.
struct ModelIRegulaSprzeczne {
    std::int32_t model_number = 0;
    std::int32_t rule_number = 0;
    IntList rule_path;
    IntList model_path;
};
// A rule whose flattened form needs two conditions of one constraint; `form` is the position
// of that very form in the stored forms, so the report names a form with a constraint it breaks.
struct SprzecznoscLaczna {
    std::int32_t rule_number = 0;
    std::int32_t constraint_number = 0;
    std::size_t form = 0;
};
// A flattened form kept for a report: the rule, its conclusion, the form and its rules.
struct FormaLaczna {
    std::int32_t rule_number = 0;
    std::string conclusion;
    TextList flattened_conditions;
    IntList used_rule_numbers;
};
// A group of rules of one conclusion whose forms differ exactly by one constraint's conditions.
struct GrupaNadmiarowa {
    IntList rule_numbers;
    std::int32_t constraint_number = 0;
    std::vector<TextList> flattened_forms;
    std::vector<IntList> used_rule_numbers;
};
struct ZbadanyWniosek {
    std::string conclusion;
    std::int32_t rule_number = 0;
};
// Results of the diagnoses of the rule base with one kind of constraint base.
struct WynikiLaczne {
    Table<SprzecznoscLaczna> sprzecznosc;      // sprzecznosc_2 / sprzecznosc_2p
    Table<FormaLaczna> splaszczona_s;          // regula_splaszczona_s2p / _s2pp
    Table<GrupaNadmiarowa> reguly_nadmiarowe;  // reguly_nadmiarowe_n2p / _n2pp
    Table<FormaLaczna> splaszczona_n;          // regula_splaszczona_n2p / _n2pp
    Table<ZbadanyWniosek> zbadany_wniosek;     // zbadany_wniosek_p / _pp
    void clear() {
        sprzecznosc.clear();
        splaszczona_s.clear();
        reguly_nadmiarowe.clear();
        splaszczona_n.clear();
        zbadany_wniosek.clear();
    }
};

struct VerifyState {
    // External contradictions of the rule base, in order of discovery.
    Table<RegulaSprzeczna> reguly_sprzeczne;
    // True when the base has more chains than were kept (the verdict counts them all).
    bool reguly_sprzeczne_obciete = false;
    // Redundancy of the rule base.
    Table<std::string> jest_nadmiar;
    RegulyNadmiarowe reguly_nadmiarowe_n1;
    Table<ParaSplaszczona> para_splaszczona_n1;
    // True when more redundant pairs were found than are kept.
    bool para_splaszczona_obcieta = false;

    // Rules with constraints: [0] exact, [1] uncertain; the rule under test is shared.
    WynikiLaczne laczne[2];
    Table<std::int32_t> regula_testowana;

    // Contradictions of the model base: the working list and the records with one flag
    // ("TAK") per kind, set with the first record of that kind.
    Table<ArgumentyModeluArytmetycznego> lista_argumentow_modelu_arytmetycznego;
    Table<ModelSprzeczny> model_arytmetyczny_sprzeczny;
    Table<ModelSprzecznyGleboko> model_arytmetyczny_sprzeczny_gleboko;
    Table<ModelSprzeczny> model_relacyjny_sprzeczny;
    Table<std::string> model_aryt_sprzeczny, model_sprzeczny_gleboko, model_rela_sprzeczny;
    // Joint contradictions of models with rules; the verdict is "TAK" or "NIE".
    Table<ModelIRegulaSprzeczne> modele_i_reguly_sprzeczne;
    Table<std::string> sprzecznosc_mr;

    // Loading a model base forgets every result of the model diagnoses.
    void kasowanie_diagnoz_bazy_modeli() {
        lista_argumentow_modelu_arytmetycznego.clear();
        model_arytmetyczny_sprzeczny.clear();
        model_arytmetyczny_sprzeczny_gleboko.clear();
        model_relacyjny_sprzeczny.clear();
        model_aryt_sprzeczny.clear();
        model_sprzeczny_gleboko.clear();
        model_rela_sprzeczny.clear();
        modele_i_reguly_sprzeczne.clear();
        sprzecznosc_mr.clear();
    }

    // Loading a rule base forgets every result of its diagnoses.
    void kasowanie_diagnoz_bazy_regul() {
        reguly_sprzeczne.clear();
        reguly_sprzeczne_obciete = false;
        jest_nadmiar.clear();
        reguly_nadmiarowe_n1.clear();
        para_splaszczona_n1.clear();
        para_splaszczona_obcieta = false;
        laczne[0].clear();
        laczne[1].clear();
        regula_testowana.clear();
    }
};

}  // namespace zuva
