// One flattening index, and the tested forms of the exclusiveness analyses, shared by the
// diagnoses of a run over a rule base that does not change in between (the checks of
// `zuva check` after the rule base is loaded). Outside such a run every diagnosis builds its
// own, as the base may be edited between two commands.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "store/knowledge_base.h"
#include "store/values.h"
#include "verify/analysis.h"
#include "verify/flatten.h"

namespace zuva {

// While an object of this lives (on this thread), flattening indexes and tested forms are
// kept and handed out again for the same base. An index is handed out again only while the
// rule table and the askable set are the same tables of the same size (a base unloaded
// or reloaded gets a new one); the holder promises that nothing edits rules in between, nor
// replaces a constraint table by another of the same size.
class SharedFlattening {
  public:
    SharedFlattening();
    ~SharedFlattening();
    SharedFlattening(const SharedFlattening&) = delete;
    SharedFlattening& operator=(const SharedFlattening&) = delete;

    struct Key {
        const KnowledgeBase* kb = nullptr;
        const Regula* rules = nullptr;
        std::size_t rule_count = 0;
        const std::string* askable = nullptr;
        std::size_t askable_count = 0;
        bool operator==(const Key&) const = default;
    };

    // The tables a joint redundancy search reads besides the rules: the constraints of its
    // kind and the disjunctive rules.
    struct JointKey {
        Key rules;
        const Ograniczenie* constraints = nullptr;
        std::size_t constraint_count = 0;
        const RegulaDysjunktywna* disjunctive = nullptr;
        std::size_t disjunctive_count = 0;
        bool operator==(const JointKey&) const = default;
    };

  private:
    friend bool joint_search_found_nothing(const KnowledgeBase& kb, bool uncertain,
                                           const Table<Ograniczenie>& t);
    friend void remember_joint_search_found_nothing(const KnowledgeBase& kb, bool uncertain,
                                                    const Table<Ograniczenie>& t);
    friend std::shared_ptr<const FlattenIndex> flatten_index_for(const KnowledgeBase& kb);
    friend std::shared_ptr<const TextList> rule_choice_list(const KnowledgeBase& kb,
                                                            const std::function<TextList()>& make);
    friend std::shared_ptr<const std::vector<std::vector<RegulaSplaszczona>>> kept_rule_forms(
        const KnowledgeBase& kb);
    friend std::shared_ptr<const std::vector<RegulaDoTestowania>> tested_forms_for(
        const KnowledgeBase& kb, const IntList& rule_numbers);
    SharedFlattening* outer_;
    Key index_key_;
    std::shared_ptr<FlattenIndex> index_;
    Key choices_key_;
    std::shared_ptr<const TextList> choices_;
    Key rule_forms_key_;
    std::shared_ptr<const std::vector<std::vector<RegulaSplaszczona>>> rule_forms_;
    Key forms_key_;
    IntList forms_numbers_;
    std::shared_ptr<const std::vector<RegulaDoTestowania>> forms_;
    std::optional<JointKey> joint_none_[2];  // exact, uncertain
};

// A joint redundancy search of the kind that started from no records found no group over
// these tables, inside this scope: the same search again finds none (the report of joint
// redundancy repeats the load's search when that found nothing). Always false outside a scope.
bool joint_search_found_nothing(const KnowledgeBase& kb, bool uncertain, const Table<Ograniczenie>& t);
void remember_joint_search_found_nothing(const KnowledgeBase& kb, bool uncertain,
                                         const Table<Ograniczenie>& t);

// The flattening index of the base: the kept one inside a SharedFlattening, else a new one.
std::shared_ptr<const FlattenIndex> flatten_index_for(const KnowledgeBase& kb);

// The list of rules an analysis offers to choose from, made by `make`: kept inside a
// SharedFlattening for the same base, so the three analyses sort it once.
std::shared_ptr<const TextList> rule_choice_list(const KnowledgeBase& kb,
                                                 const std::function<TextList()>& make);

// Every flattened form of every rule, by row of the rule table, inside a SharedFlattening
// (worked out on the first call, kept for the diagnoses after it); nullptr outside one,
// where the caller runs the generator itself and keeps no forms.
using RuleForms = std::vector<std::vector<RegulaSplaszczona>>;
std::shared_ptr<const RuleForms> kept_rule_forms(const KnowledgeBase& kb);

// Calls fn(form) for every flattened form of the rule (a row of the index's table), in the
// generator's order: from the kept forms when there are some, else from the generator.
template <class Fn>
void for_each_form(const FlattenIndex& index, const RuleForms* kept, const Regula& rule, Fn&& fn) {
    if (kept != nullptr) {
        for (const auto& f : (*kept)[static_cast<std::size_t>(&rule - index.rules().rows().data())])
            fn(f);
        return;
    }
    Splaszczanie gen = splaszcz(index, rule);
    while (auto f = gen.next())
        fn(*f);
}

// Every flattened form of the rules of the numbers (in the order of the numbers, each
// number's rules in table order): kept inside a SharedFlattening for the same numbers.
std::shared_ptr<const std::vector<RegulaDoTestowania>> tested_forms_for(const KnowledgeBase& kb,
                                                                        const IntList& rule_numbers);

}  // namespace zuva
