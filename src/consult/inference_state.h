// Working tables of an inference run (forward and backward), cleared at its start.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_set>

#include "store/keyed_table.h"
#include "store/table.h"
#include "store/values.h"

namespace zuva {

struct Prbd {
    std::int32_t rule_number = 0;
    std::string conclusion;
    double contribution = 0.0;
};
struct Dysjunkt {
    std::string conclusion;
    double conditions_cf = 0.0;
    double contribution = 0.0;
};
struct PendingRules {
    std::string conclusion;
    IntList pending_rules;
};

struct InferenceState {
    Table<Prbd> prbd;
    KeyedTable<double> wypadkowa_prbd;  // statement -> resultant CF
    Table<Dysjunkt> dysjunkt;
    Table<PendingRules> lista_numerow_regul_kumulatywnych;
    Table<PendingRules> lista_numerow_regul_dysjunktywnych;
    std::unordered_set<std::int32_t> regula_zastosowana;
    Table<std::string> etykieta;
    KeyedTable<double> zmienna_ustalona;  // variable -> fixed value
    std::unordered_set<std::int32_t> model_stosowany;
    Table<std::string> jakiewnioskowanie;  // "W_PRZOD" or "WSTECZ" while a run goes on
};

}  // namespace zuva
