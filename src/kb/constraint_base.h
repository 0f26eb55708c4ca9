// The exact and uncertain constraint bases: loading with the shape checks (at least two
// conditions, every condition askable), the constraint-base actions and the commands of the
// two constraint menus. The two kinds differ only in their tables and texts.
#pragma once
#include <string>

#include "store/knowledge_base.h"

namespace zuva {

struct Session;
class CommandRegistry;

enum class ConstraintKind { Exact, Uncertain };

Table<Ograniczenie>& tabela_ograniczen(Session& s, ConstraintKind k);
BaseName& nazwa_ograniczen(Session& s, ConstraintKind k);

// wykrywanie_ograniczen_pojedynczych(_p): false (reported, the base unloaded) when a
// constraint lists fewer than two conditions.
bool wykrywanie_ograniczen_pojedynczych(Session& s, ConstraintKind k);
// kontrola_dopytywalnosci_ograniczen(_p): false (reported, the base unloaded) at the first
// condition that is not askable in the knowledge base.
bool kontrola_dopytywalnosci_ograniczen(Session& s, ConstraintKind k);

// Removes the constraint base of the kind: its group, its name and the loader marker.
void usun_baze_ograniczen(Session& s, ConstraintKind k);

// Main-menu options 3 and 4: the chosen full path when the base was loaded, else empty.
std::string ladowanie_bazy_ograniczen(Session& s, ConstraintKind k);

// dzialanie_w_bazie_ograniczen / _p option 1 (the text of the file for the browse window);
// options 5 and 6 go to the joint diagnoses with the rule base. False when there is
// nothing to show.
bool dzialanie_w_bazie_ograniczen(Session& s, ConstraintKind k, int option, std::string& title,
                                  std::string& text);

// Commands 10093-10099 and 10103-10109 (10100, 10101, 10110, 10111 when the joint
// diagnoses are installed).
void register_constraint_commands(CommandRegistry& r);

}  // namespace zuva
