// Certainty-factor calculus and rule application shared by forward and backward
// inference: the CF of a condition list, contributions and their combination, the
// resultants of cumulative and disjunctive conclusions, the pending-rule lists, the
// applied-rule marks, and the explanations written when a rule is applied or skipped.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "consult/calculus_basics.h"
#include "store/flat_map.h"
#include "store/knowledge_base.h"
#include "store/statement_ids.h"
#include "store/values.h"
#include "text/number_format.h"

namespace zuva {

struct Session;

// ---------------------------------------------------------------------------------
// Index of the rule table for one run. Built on first use after the working tables
// were cleared (`kasowanie_tablic_roboczych`), and rebuilt when the rule table's size or
// storage changed. It views the rule texts: a run that ends writes the pending state back
// (`sync_pending_lists`) and drops it (`s.inference.rule_index.reset()`).
// Every text of the rule table (condition or conclusion) has a statement id; the
// views point into the rule records, which do not change during a run.
// The part of the index that depends only on the loaded bases: made once and then only
// read, so the consultations of one loaded base share it.
struct RuleTables {
    const Regula* rules_data = nullptr;
    std::size_t rule_count = 0;

    // The ids are shared with the working tables of the run (prbd and the resultants), which
    // keep them after the index is dropped.
    std::shared_ptr<StatementIds> ids = std::make_shared<StatementIds>();
    std::vector<std::int32_t> conclusion_of;  // per rule position: statement id of its conclusion
    // Compressed lists by offset: the condition ids of each rule; the rules that have a
    // statement among their conditions (once each); the rules that conclude a statement.
    std::vector<std::int32_t> condition_offset, condition_ids;
    std::vector<std::int32_t> user_offset, user_positions;
    std::vector<std::int32_t> concluding_offset, concluding_positions;
    std::vector<char> disjunctive;  // per statement id: a reguła_dysjunktywna names it
    // Conditions that may be asked: the general askable list without basic-model results
    // (per statement id, and by text for askable texts that no rule mentions).
    std::vector<char> askable;
    std::unordered_set<std::string> askable_elsewhere;
    // Per statement id: the number of rules that conclude it, -1 when none does (the pending
    // count of a run before any rule is applied).
    std::vector<std::int32_t> initial_remaining;
    // Made only for tables that consultations share (a run that has none makes its own on
    // first use): rule positions by number, the first one and a chain; rule CFs by position,
    // state 1 when the text is a CF, 2 when it is not (each application then asks).
    bool with_lookups = false;
    std::unordered_map<std::int32_t, std::int32_t> first_with_number;
    std::vector<std::int32_t> next_with_number;
    std::vector<char> rule_cf_state;
    std::vector<double> rule_cf;

    // The tables still describe this rule table (the same storage and size).
    bool describes(const std::vector<Regula>& rules) const {
        return rules_data == rules.data() && rule_count == rules.size();
    }
};

// The tables of the session's rule table: those the session holds made for it
// (`InferenceState::loaded_rule_tables`), else made now; `for_sharing` makes them whole.
std::shared_ptr<const RuleTables> rule_tables(Session& s, bool for_sharing = false);

// Rule positions by number: the first position of each number and the next of each position.
void number_chains(const std::vector<Regula>& rules, std::unordered_map<std::int32_t, std::int32_t>& first,
                   std::vector<std::int32_t>& next);

// A per-run array over rules or statements: it reads as an initial state (a vector of the
// rule tables, or one value) until its first write, which gives it a copy of its own, so a
// consultation that has applied no rule holds none.
template <class T>
class RunArray {
  public:
    void start(std::size_t n, T value, const std::vector<T>* initial = nullptr) {
        n_ = n;
        value_ = value;
        initial_ = initial;
        reset();
    }
    T operator[](std::size_t i) const { return !own_.empty() ? own_[i] : initial_ ? (*initial_)[i] : value_; }
    T& mut(std::size_t i) {
        if (own_.empty()) {
            if (initial_)
                own_ = *initial_;
            else
                own_.assign(n_, value_);
        }
        return own_[i];
    }
    void fill(T v) { own_.assign(n_, v); }
    // Back to the initial state.
    void reset() {
        own_.clear();
        own_.shrink_to_fit();
    }
    std::size_t size() const { return n_; }

  private:
    std::size_t n_ = 0;
    T value_{};
    const std::vector<T>* initial_ = nullptr;
    std::vector<T> own_;
};

struct RuleIndex {
    explicit RuleIndex(std::shared_ptr<const RuleTables> t);
    RuleIndex(const RuleIndex&) = delete;
    RuleIndex& operator=(const RuleIndex&) = delete;

    // The shared part, and its fields under their own names.
    const std::shared_ptr<const RuleTables> tables;
    const Regula* const& rules_data;
    const std::size_t& rule_count;
    const std::shared_ptr<StatementIds>& ids;
    const std::vector<std::int32_t>& conclusion_of;
    const std::vector<std::int32_t>&condition_offset, &condition_ids;
    const std::vector<std::int32_t>&user_offset, &user_positions;
    const std::vector<std::int32_t>&concluding_offset, &concluding_positions;
    const std::vector<char>& disjunctive;
    const std::vector<char>& askable;
    const std::unordered_set<std::string>& askable_elsewhere;

    // Rule positions by number and parsed CFs, when the tables have none (see RuleTables).
    bool numbers_built = false;
    std::unordered_map<std::int32_t, std::int32_t> own_first_with_number;
    std::vector<std::int32_t> own_next_with_number;
    std::vector<char> own_rule_cf_state;
    std::vector<double> own_rule_cf;

    // Pending-rule state, loaded from the two pending tables, or (`rows_deferred`) the state
    // in which every rule is pending, whose rows are made when they are written back.
    bool lists_loaded = false;
    bool rows_deferred = false;
    RunArray<char> pending;                // per rule position: its number is still pending
    RunArray<std::int32_t> remaining;      // per statement id; -1 when it has no list
    RunArray<std::uint64_t> last_reduced;  // per statement id: order of its last reduction
    std::uint64_t reductions = 0;
    // Statement id of each row of the cumulative [0] and disjunctive [1] pending table as
    // loaded (-1: none). A hint that spares hashing the rows' texts when they are written
    // back: it is used only where the row still holds that statement's text.
    std::vector<std::int32_t> row_ids[2];

    // Journals the forward loop reads: rule positions that lost their applied mark, and
    // statement ids whose pending list became empty, in the order it happened.
    std::vector<std::int32_t> unmarked;
    std::vector<std::int32_t> emptied;

    // Statement id of a text, or -1.
    std::int32_t id_of(std::string_view text) const { return ids->id_of(text); }
    std::string_view statement(std::int32_t id) const { return ids->text(id); }
    std::size_t statement_count() const { return ids->size(); }
};

// The index of the current run (built when needed).
RuleIndex& rule_index(Session& s);

// Clears every working table of a run: prbd, wypadkowa_prbd, dysjunkt, both pending
// lists, model_stosowany, regula_zastosowana, zmienna_ustalona, and the rule index.
void kasowanie_tablic_roboczych(Session& s);

// ---------------------------------------------------------------------------------
// Pending-rule lists (lista_numerow_regul_kumulatywnych / _dysjunktywnych).

// Builds both lists when they do not exist yet and loads them into the index.
void tworz_listy_oczekujacych(Session& s);
// The conclusion's pending list exists and is empty / is not empty.
bool lista_oczekujacych_pusta(Session& s, const std::string& conclusion);
bool lista_oczekujacych_niepusta(Session& s, const std::string& conclusion);
// The number is still in the conclusion's pending list.
bool regula_oczekuje(Session& s, const std::string& conclusion, std::int32_t rule_number);
// Removes the first occurrence of the number from the conclusion's list (the list goes to
// the end of its table); false when the number is not in the list.
bool redukuj_liste_regul_kumulatywnych(Session& s, const std::string& conclusion, std::int32_t rule_number);
bool redukuj_liste_regul_dysjunktywnych(Session& s, const std::string& conclusion, std::int32_t rule_number);
// The same for the rule at a position of the rule table (its own number).
bool redukuj_pozycje(Session& s, std::int32_t position);
// Writes the current pending state back into the rows of the two tables, in table order.
void sync_pending_lists(Session& s);

// ---------------------------------------------------------------------------------
// Conditions.

// A condition without a resultant may be asked: it is in the general askable list and
// is not the result of a basic model.
bool moze_pytac(Session& s, const std::string& condition);
// CF of a condition list: conditions taken left to right, each with its resultant or
// asked (pytaj) when it may be asked; the minimum computed from the back with `mini`.
// An empty list has CF 1.0. nullopt when a condition has no resultant and may not be
// asked (the rule cannot be applied now); `blocked_at` then gets its position.
std::optional<double> testuj_warunki(Session& s, const TextList& conditions);
std::optional<double> testuj_warunki(Session& s, const TextList& conditions, std::size_t* blocked_at);

// ---------------------------------------------------------------------------------
// Contributions and their combination.

// zaokraglenie(rule CF × conditions CF).
double wklad_reguly(double rule_cf, double conditions_cf);
// Pairwise combination from the front: x + y + x·y when both are negative, otherwise
// x + y − x·y. nullopt for an empty list. Negative values are combined by the product of
// (1 + x), so the result does not depend on their order (-1.0 with -0.5 gives -1.0).
std::optional<double> sumuj(const std::vector<double>& values);
// Both a ≤ 0 and b ≤ 0.
bool oba_cf_ujemne(double a, double b);
// Combination of the conclusion's positive / negative contributions in prbd; 0.0 if none.
double dodatnie_cf(const Session& s, const std::string& conclusion);
double ujemne_cf(const Session& s, const std::string& conclusion);
// Total conflict of a cumulative conclusion: P·N = -1.
bool calkowity_konflikt(const Session& s, const std::string& conclusion);
// Resultant of a cumulative conclusion: 0.0 on total conflict, otherwise
// zaokraglenie((P + N) / (1 − min(P, −N))).
double wypadkowa_kumulatywna(const Session& s, const std::string& conclusion);
// P and N in one pass over the conclusion's contributions.
// `ref` may give the conclusion's statement id, which spares looking its text up.
std::pair<double, double> dodatnie_i_ujemne_cf(const Session& s, const std::string& conclusion,
                                               StatementRef ref = {});
// The cumulative resultant from P and N.
double wypadkowa_z(double p, double n);

// The conditions_cf of all the conclusion's dysjunkt records are all > 0, or all ≤ 0
// (no record counts as all > 0).
bool jednakowe_znaki(const Session& s, const std::string& conclusion);
// prbd contributions of the conclusion matched by a dysjunkt record of the same
// conclusion and contribution with conditions_cf > 0.
std::vector<double> dodatnie_cf_warunkow(const Session& s, const std::string& conclusion);
// Resultant of a disjunctive conclusion: the greatest contribution (all of them when the
// signs agree, else those of positive condition lists), rounded; nullopt when none.
std::optional<double> wypadkowa_dysjunktywna(const Session& s, const std::string& conclusion);

// ---------------------------------------------------------------------------------
// Recording contributions and applied marks.

// Replaces the rule's prbd record (the new one goes to the end).
void aktualizacja_prbd(Session& s, std::int32_t rule_number, const std::string& conclusion, double cf);
// Unless prbd holds exactly (rule number, conclusion, cf): every rule that has the
// conclusion among its conditions loses its applied mark. Always succeeds.
void skasuj_zastosowane_reguly(Session& s, double cf, const std::string& conclusion,
                               std::int32_t rule_number);
// skasuj_zastosowane_reguly for the rule at a position of the rule table.
void skasuj_zastosowane_reguly_pozycji(Session& s, double cf, std::int32_t position);
void oznacz_zastosowana(Session& s, std::int32_t rule_number);
bool zastosowana(const Session& s, std::int32_t rule_number);

// A cumulative rule with the CF of its condition list and its rule CF: skasuj with the
// unrounded product, aktualizacja_prbd with the rounded one, then the reduction of the
// pending list. Returns the contribution when the reduction succeeded (the caller then
// presents, explains and marks the rule); nullopt when the rule's number was no longer
// pending (the new contribution stays recorded).
std::optional<double> zapisz_wklad_kumulatywny(Session& s, const Regula& r, double conditions_cf,
                                               double rule_cf);
// The same for the rule at a position of the rule table.
std::optional<double> zapisz_wklad_kumulatywny_pozycji(Session& s, std::int32_t position,
                                                       double conditions_cf, double rule_cf);
// A disjunctive rule that is not skipped: prbd and dysjunkt records, then the reduction.
std::optional<double> zapisz_wklad_dysjunktywny(Session& s, const Regula& r, double conditions_cf,
                                                double rule_cf);
std::optional<double> zapisz_wklad_dysjunktywny_pozycji(Session& s, std::int32_t position,
                                                        double conditions_cf, double rule_cf);

// cf_from_text: the value of a CF text when it is a number in [-1, 1]; plain decimals are
// read without strtod, to the same double.
std::optional<double> parse_cf_text(std::string_view text);
// wyznacz_cf for the rule at a position of the rule table; a CF text is parsed once a run.
double wyznacz_cf_pozycji(Session& s, std::int32_t position);

// Fails when prbd holds a "koniec" record with a contribution > 0.
bool zrob_koniec(const Session& s);

// ---------------------------------------------------------------------------------
// Explanations and presentation.

// wyjasnienie_reguła: report lines and the "Wyjaśnienie reguły" dialog for an applied
// rule, only when its display_flag is 1 and its conclusion is not "koniec".
void wyjasnienie_regula(Session& s, double cf, const Regula& r);
// Report lines and the "Uwaga!" note for a skipped disjunctive rule (display_flag 1).
void wyjasnienie_regula_dysjunktywna_pomijana(Session& s, const Regula& r, double conditions_cf,
                                              double rule_cf);
// Report lines and explanation dialog after a conclusion got its resultant from all its
// cumulative (or disjunctive) rules.
void wyjasnienie_wypadkowej(Session& s, const std::string& conclusion, double cf, bool disjunctive);
// przedstawienie_faktow: at the detail level "duża" the list of resultants (without
// "bez warunku" and "koniec") in the report and in the explanation dialog.
void przedstawienie_faktow(Session& s);

}  // namespace zuva
