// Flattening of rules: a rule is rewritten, one form at a time, into rules whose conditions
// are all askable, by substituting for each derived condition the conditions of a rule
// that concludes it. Also the two menu commands that show the flattened rules.
#pragma once
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "store/knowledge_base.h"
#include "store/values.h"

namespace zuva {

struct Session;

// Texts of the rule base as nodes 0..n-1 (numbered by the caller), edges from a conclusion
// to the conditions of its rules; the strongly connected component of every text
// (iterative Tarjan).
class ConditionGraph {
  public:
    ConditionGraph(std::size_t n, std::vector<std::pair<std::int32_t, std::int32_t>> edges)
        : edges_(std::move(edges)), nodes_(n) {
        build_adjacency();
        components();
    }
    std::int32_t component(std::int32_t node_id) const { return comp_[static_cast<std::size_t>(node_id)]; }

  private:
    std::size_t node_count() const { return nodes_; }
    void build_adjacency() {
        std::size_t n = node_count();
        start_.assign(n + 1, 0);
        for (auto& e : edges_)
            ++start_[static_cast<std::size_t>(e.first) + 1];
        for (std::size_t i = 0; i < n; ++i)
            start_[i + 1] += start_[i];
        adj_.resize(edges_.size());
        std::vector<std::size_t> fill(start_.begin(), start_.end() - 1);
        for (auto& e : edges_)
            adj_[fill[static_cast<std::size_t>(e.first)]++] = e.second;
    }
    void components() {
        std::size_t n = node_count();
        comp_.assign(n, -1);
        std::vector<std::int32_t> low(n, 0), order(n, -1), stack;
        std::vector<bool> on_stack(n, false);
        std::vector<std::pair<std::int32_t, std::size_t>> call;  // node, next edge
        std::int32_t counter = 0, ncomp = 0;
        for (std::size_t root = 0; root < n; ++root) {
            if (order[root] >= 0) continue;
            call.push_back({static_cast<std::int32_t>(root), start_[root]});
            order[root] = low[root] = counter++;
            stack.push_back(static_cast<std::int32_t>(root));
            on_stack[root] = true;
            while (!call.empty()) {
                auto& [v, e] = call.back();
                std::size_t uv = static_cast<std::size_t>(v);
                if (e < start_[uv + 1]) {
                    std::size_t w = static_cast<std::size_t>(adj_[e++]);
                    if (order[w] < 0) {
                        order[w] = low[w] = counter++;
                        stack.push_back(static_cast<std::int32_t>(w));
                        on_stack[w] = true;
                        call.push_back({static_cast<std::int32_t>(w), start_[w]});
                    } else if (on_stack[w]) {
                        low[uv] = std::min(low[uv], order[w]);
                    }
                    continue;
                }
                if (low[uv] == order[uv]) {
                    std::int32_t w;
                    do {
                        w = stack.back();
                        stack.pop_back();
                        on_stack[static_cast<std::size_t>(w)] = false;
                        comp_[static_cast<std::size_t>(w)] = ncomp;
                    } while (w != v);
                    ++ncomp;
                }
                std::int32_t done = v;
                call.pop_back();
                if (!call.empty()) {
                    std::size_t parent = static_cast<std::size_t>(call.back().first);
                    low[parent] = std::min(low[parent], low[static_cast<std::size_t>(done)]);
                }
            }
        }
    }

    std::vector<std::pair<std::int32_t, std::int32_t>> edges_;
    std::vector<std::size_t> start_;
    std::vector<std::int32_t> adj_;
    std::vector<std::int32_t> comp_;
    std::size_t nodes_ = 0;
};

// The rules of the loaded rule base by conclusion (in table order) and the askable set.
// Built once at the start of an operation; it points into the rule table, which must not
// change while the index is used.
class FlattenIndex {
  public:
    explicit FlattenIndex(const KnowledgeBase& kb);

    // Rules whose conclusion equals the text, in table order.
    const std::vector<const Regula*>& rules_concluding(std::string_view conclusion) const;
    // The conclusion id of a rule of the index's table (a row), without hashing its text.
    std::int32_t rule_conclusion_id(const Regula& rule) const {
        return rule_conclusion_ids_[static_cast<std::size_t>(&rule - rules_->rows().data())];
    }
    // Rules whose conclusion has the id, in table order.
    const std::vector<const Regula*>& rules_of(std::int32_t conclusion_id) const {
        return entries_[static_cast<std::size_t>(conclusion_id)].rules;
    }
    bool askable(std::string_view condition) const { return askable_.count(condition) != 0; }
    // A small integer for each text that some rule concludes; -1 for any other text.
    std::int32_t conclusion_id(std::string_view text) const;
    std::size_t conclusion_count() const { return entries_.size(); }
    const Table<Regula>& rules() const { return *rules_; }

    // True when the condition has a flattened form at all: it is askable, or some rule
    // concludes it whose conditions all have one. A list that holds a condition without a
    // form has no form either, whatever the other conditions are.
    bool flattenable(std::string_view condition) const;
    // The rules that conclude the text and whose conditions are all flattenable, in table
    // order: the only rules through which a substitution can lead to a form.
    const std::vector<const Regula*>& flattenable_rules_concluding(std::string_view conclusion) const;
    // The strongly connected component (of the condition graph) of a conclusion id, worked
    // out on first use: conclusions that lead to each other share it.
    std::int32_t component(std::int32_t conclusion_id) const;

    // Every text of the base (conclusions, conditions, askable conditions) has a small id;
    // a conclusion's text id is its conclusion id, the other texts come after them. -1 for a
    // text the base does not hold. The flattening works on these ids, so that a step of its
    // search hashes no text.
    std::int32_t text_id(std::string_view text) const;
    // The text id of the j-th condition of the rule (a row of the rule table).
    std::int32_t condition_text_id(const Regula& rule, std::size_t j) const {
        ensure_text_ids();
        return condition_ids_[condition_start_[static_cast<std::size_t>(&rule - rules_->rows().data())] + j];
    }
    bool askable_id(std::int32_t text_id) const {
        ensure_text_ids();
        return askable_by_id_[static_cast<std::size_t>(text_id)] != 0;
    }
    // Conclusion id of a text id, -1 when no rule concludes the text.
    std::int32_t conclusion_of(std::int32_t text_id) const {
        return text_id >= 0 && static_cast<std::size_t>(text_id) < entries_.size() ? text_id : -1;
    }
    std::size_t text_count() const {
        ensure_text_ids();
        return askable_by_id_.size();
    }
    // As flattenable_rules_concluding, by conclusion id.
    const std::vector<const Regula*>& flattenable_rules_of(std::int32_t conclusion_id) const {
        if (!flattenability_settled_) settle_flattenability();
        return entries_[static_cast<std::size_t>(conclusion_id)].flattenable_rules;
    }

    // Takes the askable set of the base anew, for an index made while the base had no
    // askable conditions (the rules unchanged): what depends only on the rules (the ids of
    // conclusions and conditions, the components) is kept, and the texts are numbered as a
    // new index would number them. Only for an index no one else holds.
    void take_askable_set();

  private:
    struct Entry {
        std::vector<const Regula*> rules;
        std::vector<const Regula*> flattenable_rules;
        bool flattenable = false;
    };
    // Works out which conclusions can be flattened, on first use (linear in the conditions).
    void settle_flattenability() const;

    const Table<Regula>* rules_;
    // Numbers the conditions and askable texts, on first use: a diagnosis that only looks
    // rules up by conclusion never pays for it.
    void ensure_text_ids() const {
        if (!text_ids_ready_) number_texts();
    }
    void number_texts() const;
    // The askable texts numbered after those already numbered, in the order of the askable
    // table, and marked askable by id.
    void number_askable_texts() const;

    const KnowledgeBase* kb_;
    // Conclusions from the start; the other texts once numbered (all mutable for that).
    mutable std::unordered_map<std::string_view, std::int32_t> text_ids_;
    std::unordered_set<std::string_view> askable_;
    mutable bool text_ids_ready_ = false;
    // By conclusion id; mutable for the flattenability, worked out on first use.
    mutable std::vector<Entry> entries_;
    mutable std::vector<char> askable_by_id_;
    std::vector<std::int32_t> rule_conclusion_ids_;       // by rule row
    mutable std::vector<std::uint32_t> condition_start_;  // by rule row, into condition_ids_
    mutable std::vector<std::int32_t> condition_ids_;
    mutable bool flattenability_settled_ = false;
    mutable std::vector<std::int32_t> component_by_id_;

  public:
    // Scratch of the flattenings over this index (one finish of a round at a time): per text
    // id, the pass it was last met in and where it went.
    struct Marks {
        std::vector<std::uint32_t> met_in;
        std::vector<std::uint32_t> met_at;
        std::uint32_t stamp = 0;
    };
    Marks& marks() const {
        if (marks_.met_in.size() != text_count()) {
            marks_.met_in.assign(text_count(), 0);
            marks_.met_at.assign(text_count(), 0);
        }
        if (++marks_.stamp == 0) {
            std::fill(marks_.met_in.begin(), marks_.met_in.end(), 0);
            marks_.stamp = 1;
        }
        return marks_;
    }

  private:
    mutable Marks marks_;
};

// Whether the condition can be flattened at all in the base of the index (see
// FlattenIndex::flattenable): false means that no rule needing it has a flattened form.
bool can_be_flattened(const FlattenIndex& index, std::string_view condition);

// One flattened form: the askable conditions and the raw numbers of the substitutions
// (the last substitution first, 0 for each askable condition kept as it is).
struct RegulaSplaszczona {
    TextList flattened_conditions;
    IntList used_rule_numbers;
};

// The numbers as they are shown and stored: zeros removed, in the order of substitution.
IntList numery_regul_splaszczajacych(const IntList& raw);

// The lazy generator of the flattened forms of one rule, depth first, the choice for the
// last condition varying fastest. A condition that is already being expanded on its own
// line of descent is not expanded through rules again, so circular bases end too; on an
// acyclic base that never happens. Choices that cannot lead to a form (a rule needing a
// condition that cannot be flattened, a round with a condition left without alternatives)
// are passed over before the choices around them are enumerated; the forms and their order
// stay the same.
class Splaszczanie {
  public:
    Splaszczanie(const FlattenIndex& index, const TextList& conditions);
    // The forms of a rule of the index's table: its conditions are not copied and their ids
    // come from the index.
    Splaszczanie(const FlattenIndex& index, const Regula& rule);
    // The next form; nullopt when there is none left.
    std::optional<RegulaSplaszczona> next();
    // From now on a round whose conditions (with their lines of descent) came up before in
    // this flattening is passed over: every form below it repeats a set of conditions given
    // already, so each distinct set still comes, in the order of its first form. For callers
    // that need every distinct set once.
    void skip_repeated_rounds() { skip_repeated_ = true; }

  private:
    using Anc = std::vector<std::int32_t>;  // sorted ids of the conclusions expanded above
    struct Item {
        const std::string* text;
        std::int32_t id;  // text id in the index
        Anc anc;
    };
    struct Round {
        std::vector<Item> items;
        std::vector<std::uint32_t> choice;  // alternative taken at each decided position
    };
    std::size_t alternative_count(const Item& it) const;
    // Rule number of an alternative (0 for keeping the condition).
    std::int32_t alternative_number(const Item& it, std::uint32_t k) const;
    bool expands_through_rules(const Item& it) const;
    std::vector<Item> finish_round(const Round& r) const;
    // The conclusions expanded above that matter for a condition below them.
    Anc descent_of(std::int32_t condition, const Anc& above) const;
    // True when every condition of the round has at least one alternative.
    bool viable(const std::vector<Item>& items) const;
    // False when repeated rounds are skipped and this one came up before.
    bool first_time(const std::vector<Item>& items);

    const FlattenIndex& index_;
    // The conditions flattened: those of rule_, a row of the index's table, or a copy.
    const TextList& initial() const { return rule_ ? rule_->conditions : own_conditions_; }
    TextList own_conditions_;
    const Regula* rule_ = nullptr;
    std::vector<Round> rounds_;
    IntList substitutions_;  // numbers in the order of substitution
    bool started_ = false;
    bool skip_repeated_ = false;
    std::unordered_set<std::string> rounds_seen_;  // keys of the rounds entered, when skipping
};

// Starts the flattening of a rule; the conclusion has no influence on the forms.
inline Splaszczanie splaszcz(const FlattenIndex& index, const std::string& /*conclusion*/,
                             const TextList& conditions) {
    return Splaszczanie(index, conditions);
}
inline Splaszczanie splaszcz(const FlattenIndex& index, const Regula& rule) {
    return Splaszczanie(index, rule);
}

// The expansion alternatives of one condition, in order: the rules that conclude it
// (their conditions and number), then the condition itself with 0 if it is askable.
std::vector<std::pair<TextList, std::int32_t>> szukaj_regule(const FlattenIndex& index,
                                                             const std::string& condition);
// "TAK" when some element of the list is not askable, "NIE" otherwise.
std::string ma_warunki_niedopyt(const FlattenIndex& index, const TextList& list);

// ["x","y"] and [2,3], as the flattened rules are shown.
std::string lista_tekstow_w_nawiasach(const TextList& list);
std::string lista_liczb_w_nawiasach(const IntList& list);

// Menu "Spłaszczanie wybranej reguły" and "Spłaszczanie kolejne wszystkich reguł".
void splaszczanie_wybranej_reguly(Session& s);
void splaszczanie_wszystkich_regul(Session& s);

// True when the rule base is marked externally contradictory.
bool baza_sprzeczna(const Session& s);

}  // namespace zuva
