// Flattening of rules: a rule is rewritten, one form at a time, into rules whose conditions
// are all askable, by substituting for each derived condition the conditions of a rule
// that concludes it. Also the two menu commands that show the flattened rules.
#pragma once
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

// The rules of the loaded rule base by conclusion (in table order) and the askable set.
// Built once at the start of an operation; it points into the rule table, which must not
// change while the index is used.
class FlattenIndex {
  public:
    explicit FlattenIndex(const KnowledgeBase& kb);

    // Rules whose conclusion equals the text, in table order.
    const std::vector<const Regula*>& rules_concluding(std::string_view conclusion) const;
    bool askable(std::string_view condition) const { return askable_.count(condition) != 0; }
    // A small integer for each text that some rule concludes; -1 for any other text.
    std::int32_t conclusion_id(std::string_view text) const;
    std::size_t conclusion_count() const { return by_conclusion_.size(); }
    const Table<Regula>& rules() const { return *rules_; }

  private:
    struct Entry {
        std::int32_t id;
        std::vector<const Regula*> rules;
    };
    const Table<Regula>* rules_;
    std::unordered_map<std::string_view, Entry> by_conclusion_;
    std::unordered_set<std::string_view> askable_;
};

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
// acyclic base that never happens.
class Splaszczanie {
  public:
    Splaszczanie(const FlattenIndex& index, const TextList& conditions);
    // The next form; nullopt when there is none left.
    std::optional<RegulaSplaszczona> next();

  private:
    using Anc = std::vector<std::int32_t>;  // sorted ids of the conclusions expanded above
    struct Item {
        const std::string* text;
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

    const FlattenIndex& index_;
    TextList initial_;
    std::vector<Round> rounds_;
    IntList substitutions_;  // numbers in the order of substitution
    bool started_ = false;
};

// Starts the flattening of a rule; the conclusion has no influence on the forms.
inline Splaszczanie splaszcz(const FlattenIndex& index, const std::string& /*conclusion*/,
                             const TextList& conditions) {
    return Splaszczanie(index, conditions);
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
