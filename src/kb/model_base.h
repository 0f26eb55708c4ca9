// The model base: classes of operation symbols, loading with its derived lists, askable
// items and name-clash check, the model-base actions and the commands of the model menu.
#pragma once
#include <string>

#include "store/knowledge_base.h"
#include "store/values.h"

namespace zuva {

struct Session;
class CommandRegistry;

// Relation symbols of basic models: ">", "==", "<", ">=", "<=", "><" and "<>".
bool jest_relacja(const std::string& op);
// Interval relations of extended models: "<,<", "<=,<", "<,<=", "<=,<=".
bool jest_relacja_r(const std::string& op);
// Arithmetic operation names of basic models taking one value ("sqrt" ... "abs").
bool jest_operacja_jednoargumentowa(const std::string& op);
// Arithmetic operation names of basic models taking two values ("+" ... "A^N").
bool jest_operacja_dwuargumentowa(const std::string& op);
// Arithmetic operations of extended models: "+", "*", "max_list", "min_list".
bool jest_operacja_r(const std::string& op);
// A text that reads as a real number stands for that number, not for a quantity.
bool jest_liczba(const std::string& name);
// The literal condition of application that always holds ("bez_warunku", also written
// as the rule language's "bez warunku").
bool jest_bez_warunku(const std::string& condition);

inline bool model_relacyjny(const Model& m) {
    return jest_relacja(m.operation_symbol);
}
inline bool model_relacyjny(const ModelR& m) {
    return jest_relacja_r(m.operation_symbol);
}

// Names of all models' results and the quantities they read, per kind: the lists the load
// derives (each with repeats removed, every text keeping its last position).
TextList wyznacz_argumenty_modeli(const Session& s);
TextList wyznacz_wnioski_modeli(const Session& s);
TextList wyznacz_warunki_stosowania(const Session& s);
TextList wyznacz_wyniki_modeli(const Session& s);

// Askable items: the rule conditions for display, the model's askable arguments and
// conditions, and their union.
void redukuj_warunki_dopytywalne(Session& s);
void wyznacz_dopytywalne_zmienne(Session& s);
void wyznacz_warunki_i_argumenty_dopytywalne(Session& s);

// Name clash between rule and model names; on a clash reports it, unloads both bases,
// disables inference and fails.
bool wnioski_modeli_a_wnioski_regul(Session& s);
// Every known argument must be an askable argument; otherwise reports and unloads.
bool testowanie_dopytywalnosci_argumentow(Session& s);

// Clears what a model load clears first.
void kasowanie_bazy_modeli(Session& s);
// Removes the four model tables, known arguments, model facts and the model-base name.
void usun_baze_modeli(Session& s);

// Main-menu option 2: loads a model base; the chosen full path, or empty.
std::string ladowanie_bazy_modeli(Session& s);

// The model-base actions 1, 2 and 3 (browse the file, the askable items of the model base,
// the askable items of the whole knowledge base), and the titles of the reports of actions 7
// and 8 (contradictions of the models, and of models with rules), which the verification's
// commands write. False when there is nothing to show.
bool dzialanie_w_bazie_modeli(Session& s, int option, std::string& title, std::string& text, TextList& list);

// Commands 10077 and 10080-10089.
void register_model_commands(CommandRegistry& r);

}  // namespace zuva
