// Joint contradictions of the model base with the rule base: a relational model whose
// condition of application is concluded by a rule whose flattened conditions, expanded
// further through relational models, contain that condition again; the load-time verdict
// and the report.
#pragma once
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "session/verify_state.h"
#include "store/knowledge_base.h"

namespace zuva {

struct Session;

// The relational models by result, built once for a diagnosis; it points into the model
// tables, which must not change while it is used.
class RelationalModels {
  public:
    explicit RelationalModels(const ModelGroup& g);
    // A condition that some relational model concludes.
    bool testowalny(const std::string& condition) const;

    // The chain from a condition through the models that conclude it: the conditions of
    // application met (the condition itself not among them) and the numbers of the models
    // used. A chain that comes back to a condition already met on it stops there.
    struct Chain {
        TextList conditions;
        IntList models;
    };
    Chain testuj_modele(const std::string& condition) const;
    // The first chain, trying every model that concludes a condition in the order of the
    // alternatives (basic relational models, extended ones, then a basic relational model
    // with a basic arithmetic model computing one of its arguments), that meets `target`;
    // false when none does. Circles end as in testuj_modele; the walk is bounded.
    bool testuj_modele_do(const std::string& condition, const std::string& target, Chain& chain) const;

  private:
    struct Entry {
        const Model* basic = nullptr;      // the first basic relational model concluding it
        const ModelR* extended = nullptr;  // the first extended one
        // For that basic model: the first other basic arithmetic model computing one of its
        // two arguments.
        const Model* computing_argument = nullptr;
        // Every alternative in order: the condition it goes on from and the models it uses.
        struct Step {
            const std::string* next;
            IntList models;
        };
        std::vector<Step> steps;
    };
    bool reach(const std::string& x, const std::string& target, std::unordered_set<std::string>& met,
               Chain& chain, std::size_t& budget) const;
    std::unordered_map<std::string, Entry> by_result_;
};

// Each condition of a flattened rule that a relational model concludes is replaced by the
// conditions of its chain; the others stay. The model numbers of all chains, in order. With
// a target, a condition takes the first of its chains that meets the target, if any.
RelationalModels::Chain splaszcz_modele(const RelationalModels& models, const TextList& conditions,
                                        const std::string* target = nullptr);

// The diagnosis alone: reads the tables (the askable set must be filled), opens no dialog
// and changes nothing.
std::vector<ModelIRegulaSprzeczne> znajdz_sprzecznosci_mr(const KnowledgeBase& kb);

// Runs the diagnosis into the session's records and sets the verdict "TAK" or "NIE".
void badaj_sprzecznosc_mr(Session& s);
// Runs it; true when no joint contradiction was found.
bool wyznacz_sprzecznosc_mr(Session& s);

// At load: runs the diagnosis; on a contradiction tells the user, enables the report
// command and fails.
bool informuj_sprzecznosc_mr(Session& s);

// The report command of the joint contradictions; the report may be saved.
void pisz_sprzecznosc_mr(Session& s);

// Rule and model numbers of a record as the report shows them: the record's own rule or
// model removed once, zeros removed, in the order of substitution.
IntList oczyszczona_sciezka(const IntList& path, std::int32_t own);

}  // namespace zuva
