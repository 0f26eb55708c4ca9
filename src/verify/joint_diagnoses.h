// Diagnoses of the rule base together with a constraint base (exact or uncertain): rules
// whose flattened form needs two conditions of one constraint (joint contradiction), and
// groups of rules whose flattened forms differ exactly by the conditions of one constraint
// (joint redundancy); the questions at constraint load and the two report commands.
#pragma once
#include <optional>
#include <string>

namespace zuva {

struct Session;
class CommandRegistry;

// The kind of constraint base the diagnoses are made against: false for exact, true for
// uncertain; the two differ only in their tables and texts.
using Niepewne = bool;

// "SEN/D2" / "SEN/N2" and "NEN/D2" / "NEN/N2" for a rule base of the ".BEN" form.
std::optional<std::string> nazwa_sprzecznosci_2(const Session& s, Niepewne n);
std::optional<std::string> nazwa_nadmiaru_2(const Session& s, Niepewne n);

// wyznacz_sprzecznosc_2 / _2p: true when no rule is contradictory with a constraint.
bool wyznacz_sprzecznosc_2(Session& s, Niepewne n);
// wyznacz_nadmiar_2p / _2pp: true when no redundant group was found.
bool wyznacz_nadmiar_2(Session& s, Niepewne n);

// The questions at load (testuj_sprzecznosc_2 / _2p, testuj_nadmiar_2p / _2pp).
bool testuj_sprzecznosc_2(Session& s, Niepewne n);
bool testuj_nadmiar_2(Session& s, Niepewne n);

// The report commands (pisz_sprzecznosc_2 / _2p, pisz_nadmiar_2p / _2pp).
void pisz_sprzecznosc_2(Session& s, Niepewne n);
void pisz_nadmiar_2(Session& s, Niepewne n);

// Forgets the results against the constraint base of the kind.
void kasowanie_wynikow_lacznych(Session& s, Niepewne n);

// Commands 10100, 10101, 10110 and 10111.
void register_joint_commands(CommandRegistry& r);

}  // namespace zuva
