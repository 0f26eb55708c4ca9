// Backward inference: the test of one chosen hypothesis. The menu command with its type and
// choice dialogs, the preparation of the test, the depth-first evaluation of a hypothesis
// through facts, questions, rules and models, the verdict and the end of the run.
#pragma once
#include <optional>
#include <string>

#include "store/values.h"

namespace zuva {

struct Session;
class CommandRegistry;

// Hypothesis types of the type dialog.
inline constexpr int kHipotezaWaska = 1;    // "w sensie wąskim"
inline constexpr int kHipotezaSzeroka = 2;  // "w sensie szerokim"

// Command 10165 "Wnioskowanie elementarne niepewne wstecz".
void wnioskowanie_wstecz(Session& s);
// The command after the type has been chosen: candidates, choice, test, verdict, end.
void opcja_z_menu_testowania(Session& s, int typ);

// Candidate lists: rule conclusions followed by relational-model conclusions (with a model
// base); the conditions of all rules in table order without repeats; and the sorted
// candidates of a type (narrow: conclusions that are no rule's condition).
TextList wyznacz_liste_wnioskow_regul_i_modeli(Session& s);
TextList wyznacz_liste_warunkow(const Session& s);
TextList kandydaci_hipotez(Session& s, int typ);

// The test of the main hypothesis with its preparation (pending lists, initial data, the
// "koniec" rules); nullopt when no CF can be obtained.
std::optional<double> ocena_hipotezy(Session& s, const std::string& h);
// CF of a main or auxiliary hypothesis; nullopt when none can be obtained. The evaluation
// keeps its own stack, so chains of any depth are followed in depth-first order.
std::optional<double> ocena_hipotezy_cd(Session& s, const std::string& h);
// CF of a rule's condition list: every condition evaluated, left to right; the minimum,
// or nullopt when a condition got no CF.
std::optional<double> testowanie_listy_warunkow(Session& s, const TextList& conditions);
// The note "Określenie CF dla warunku " and the question for the CF of a condition.
double pytaj_0(Session& s, const std::string& condition);
// The message that a main or an auxiliary hypothesis is being tested.
void komunikat(Session& s, const std::string& h);

void register_backward_commands(CommandRegistry& r);

}  // namespace zuva
