// Knowledge-base analysis: whether the conclusions of chosen rules exclude each other (to
// exactly one, to at most one, or not at all), tested on scenarios made of their flattened
// forms with the exact constraints and the exclusive-model declarations.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "store/values.h"

namespace zuva {

struct Session;
class CommandRegistry;

// One flattened form of a rule under test (regula_do_testowania).
struct RegulaDoTestowania {
    std::int32_t rule_number = 0;
    std::string conclusion;
    TextList flattened_conditions;
};

// The outcome of the scenario test: every scenario passed the option's property; the
// tested forms share a condition; they differ in length.
struct WynikTestu {
    bool passed = true;
    bool common = false;
    bool different_lengths = false;
};

// What a scenario counts among the tested forms true in it: their rules, or their distinct
// conclusions (where two rules of one conclusion are no conflict).
enum class Zliczanie { Reguly, Wnioski };

// The conditions that some exclusion list holds (an exclusive-model list, an exact constraint
// when that base is loaded): a scenario with none of them has no list to go by.
class CzlonkowieWykluczen {
  public:
    explicit CzlonkowieWykluczen(const Session& s);
    bool has(const std::string& condition) const { return members_.count(condition) != 0; }

  private:
    std::unordered_set<std::string> members_;
};

// testuj: the scenarios (each tested form in turn assumed true) judged by the option (1 to
// one, 2 to at most one, 3 more than one true). Counts rules (or conclusions), not forms.
WynikTestu testuj(const Session& s, int option, const std::vector<RegulaDoTestowania>& tested,
                  Zliczanie zliczanie = Zliczanie::Reguly);
// The same with the members of the exclusion lists gathered once for many tests.
WynikTestu testuj(const CzlonkowieWykluczen& lists, int option, const std::vector<RegulaDoTestowania>& tested,
                  Zliczanie zliczanie = Zliczanie::Reguly);

// The line that shows a tested rule: "Numer reguły:  N    Wniosek:  X".
std::string linia_reguly_testowanej(std::int32_t rule_number, const std::string& conclusion);

// Each tested rule once, "Numer reguły: ... Wniosek: ...", in the helper window and in a
// note under the title; or all of them at once to the session's `listed_rules` when it is set.
void pisz_reguly_testowane(Session& s, const std::vector<RegulaDoTestowania>& tested,
                           const std::string& title);

// The tested forms of the chosen rules (every flattened form of each).
std::vector<RegulaDoTestowania> formy_do_testowania(const Session& s, const IntList& rule_numbers);

// analiza_bazy_wiedzy: the whole command for the option.
void analiza_bazy_wiedzy(Session& s, int option);

// Commands 10147, 10148 and 10149.
void register_analysis_commands(CommandRegistry& r);

}  // namespace zuva
