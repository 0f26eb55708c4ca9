// How the last consultation concluded: the command "Jak uzyskano wniosek?" lists the
// conclusions of the last run and shows, for the chosen one, the tree of rules, models and
// values that gave it its CF, or why it got none. Built from what the run recorded.
#pragma once
#include <string>
#include <vector>

#include "session/explain_state.h"

namespace zuva {

struct Session;
class CommandRegistry;

// An inference command starts: the results of the previous run are no longer there.
void run_started(Session& s);
// The run ended normally (its tables describe a whole run); `hypothesis` is the main
// hypothesis of a backward run.
void run_finished(Session& s, RunDirection direction, const std::string& hypothesis = {});

// The conclusions of the last run as the command lists them, each with its CF or "brak CF".
struct ConclusionItem {
    std::string statement;
    bool has_cf = false;
    double cf = 0.0;
};
std::vector<ConclusionItem> conclusions_of_last_run(const Session& s);
// The indented tree for one statement: how it got its CF, or why it got none.
std::string how_tree(const Session& s, const std::string& statement);

// The command itself.
void jak_uzyskano_wniosek(Session& s);
void register_explain_commands(CommandRegistry& r);

}  // namespace zuva
