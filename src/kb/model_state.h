// Derived tables of the model base: askable arguments and conditions, model lists,
// and the verdicts of its load-time checks.
#pragma once
#include <string>

#include "store/table.h"
#include "store/values.h"

namespace zuva {

struct ModelState {
    Table<TextList> lista_argumentow_dopytywalnych;
    Table<TextList> lista_warunkow_i_argumentow_dopytywalnych;
    Table<TextList> lista_wynikow_modeli;
    Table<TextList> lista_wnioskow_modeli;
    Table<std::string> duplikat_nazwy_mo;
};

}  // namespace zuva
