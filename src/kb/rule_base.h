// The rule base: loading it (which starts a new knowledge base) with its chain of
// load-time tests and derivations, the rule-base actions of the main menu, creating and
// deleting rule-base files, and the handlers of the rule-base commands.
#pragma once
#include <string>

#include "store/values.h"

namespace zuva {

struct Session;
class CommandRegistry;

// Clears every table of the knowledge base, the working tables of inference and diagnosis,
// the report text and the detail level; the shell state and the current directory stay.
void kasowanie_wszystkich_tablic(Session& s);

// Loading a rule base (option 1 of the main-menu operation): the chosen full path when a
// rule base was loaded, else the empty text.
std::string ladowanie_bazy_regul(Session& s);

// Load-time steps after the askable conditions are known; each false ends the load.
// The declared facts must all be askable conditions; otherwise the rule base is unloaded.
bool testowanie_dopytywalnosci_faktow(Session& s);
// Warns about rules with CF 1 and a single condition (possible tautologies).
void wykrywanie_warunkow_pojedynczych(Session& s);
// Every rule's CF text must read as a number; otherwise the rule base is unloaded.
bool wykrywanie_niewlasciwego_cf_reguly(Session& s);

// Result of an action in the rule base: a window title and a text or a list.
struct RuleAction {
    bool ok = false;
    std::string title;
    std::string text;
    TextList items;
};
// Options 1 (file text for browsing), 2 (askable conditions), 4 (unload before creating),
// 5 (unload after deleting a file).
RuleAction dzialanie_w_bazie_regul(Session& s, int option);

// "Tworzenie bazy reguł" and "Kasowanie bazy reguł".
void tworzenie_bazy_regul(Session& s);
void kasowanie_bazy_regul(Session& s);

// Handlers of the commands 10064 and 10067 to 10072.
void register_rule_commands(CommandRegistry& r);

}  // namespace zuva
