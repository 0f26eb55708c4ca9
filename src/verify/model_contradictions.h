// Contradictions of the model base itself: arithmetic models whose result is, directly or
// through the models they nest, one of their own arguments, and relational models whose
// conclusion is their own condition of application; the load-time verdict and the report.
#pragma once
#include <vector>

#include "session/verify_state.h"
#include "store/knowledge_base.h"

namespace zuva {

struct Session;

// The findings of the diagnosis, in the order the records are made.
struct SprzecznosciModeli {
    std::vector<ModelSprzeczny> bezposrednie;      // result among its own arguments
    std::vector<ModelSprzecznyGleboko> posrednie;  // result among the arguments of a nested model
    std::vector<ModelSprzeczny> relacyjne;         // conclusion equal to the condition of application
    bool empty() const { return bezposrednie.empty() && posrednie.empty() && relacyjne.empty(); }
};

// The arithmetic models with the quantities they read, basic models first, then extended,
// linear and polynomial ones, each kind in table order.
std::vector<ArgumentyModeluArytmetycznego> lista_argumentow_modelu_arytmetycznego(const ModelGroup& g);

// The diagnosis alone: reads the model tables, opens no dialog and changes nothing.
SprzecznosciModeli znajdz_sprzecznosci_modeli(const ModelGroup& g);

// Runs the diagnosis into the session's records and flags; true when something was found.
bool badaj_sprzecznosc_mz(Session& s);

// At load: runs the diagnosis; on a contradiction tells the user, enables the report
// command, forgets the model-base name (kept for the report) and fails.
bool informuj_sprzecznosc_mz(Session& s);

// The report command: the records of every kind, the advice, and the unloading of the
// contradictory base; then the report may be saved.
void pisz_sprzecznosc_mz(Session& s);

}  // namespace zuva
