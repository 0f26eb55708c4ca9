// Derived tables of the model base: askable arguments and conditions, model lists,
// and the verdicts of its load-time checks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "store/table.h"
#include "store/values.h"

namespace zuva {

// Positions of the models of each kind by their `result`, in table order. Rebuilt when
// the sizes of the model tables change (the tables change only when a file is read or
// the group is cleared).
struct ModelIndex {
    struct Positions {
        std::vector<std::size_t> basic, extended, linear, polynomial;
    };
    std::unordered_map<std::string, Positions> by_result;
    std::size_t sizes[4] = {0, 0, 0, 0};
    bool loaded = false;
    bool built = false;
};

struct ModelState {
    // Readers of every list table use its first record.
    Table<TextList> lista_argumentow_modeli;
    Table<TextList> lista_wnioskow_modeli;
    Table<TextList> lista_warunkow_stosowania;
    Table<TextList> lista_wynikow_modeli;
    Table<TextList> lista_argumentow_dopytywalnych;
    Table<TextList> lista_warunkow_i_argumentow_dopytywalnych;
    Table<TextList> lista_wszystkich_zmiennych_logicznych;
    // Working lists of the askable-items algorithm: one record per model.
    Table<TextList> zmienne;
    Table<std::string> wyniki;
    Table<TextList> argumenty_zredukowane;
    Table<TextList> wyniki_zredukowane;

    // The name of a model base found contradictory at load, kept for its report after the
    // model-base name itself was forgotten.
    Table<std::string> duplikat_nazwy_mo;

    // The askable file made last in this session.
    Table<std::string> utworzony_plik_dopytywalnych;

    ModelIndex index;
    // Quantities whose value is being computed, so that a model reading its own result
    // (directly or through other models) fails instead of recursing without end.
    std::unordered_set<std::string> obliczane;
};

}  // namespace zuva
