// What a consultation keeps so that it can say why it asks and how it concluded: where
// every resultant came from, where every fixed value came from, the sources that can say
// why a value is needed while it is asked, and whether the last run ended normally.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zuva {

struct Session;

// Where a resultant came from.
enum class OriginKind : std::uint8_t {
    Unknown,
    Always,               // "bez warunku"
    Fact,                 // declared in the rule base
    ModelFact,            // declared in the model base
    Imported,             // imported from a data source
    Answer,               // typed by the user
    ExactConstraint,      // completed by an exact constraint
    UncertainConstraint,  // completed by an uncertain constraint
    CumulativeRules,      // combined from the contributions of cumulative rules
    DisjunctiveRules,     // the greatest contribution of disjunctive rules
    RelationalModel,      // concluded by a relational model
};

struct ResultantOrigin {
    OriginKind kind = OriginKind::Unknown;
    // Rules: the contributions were those of the statement without its leading "n", with the
    // opposite sign. Relational model: the model is an extended one.
    bool flag = false;
    // Relational model: its number. Constraints: the slot of the resultant whose value caused
    // the completion (-1 when not known).
    std::int32_t ref = -1;
};

// Where a fixed value (zmienna_ustalona) came from, when it is neither a known argument
// nor a numeric literal.
struct ValueOrigin {
    enum Kind : std::uint8_t { Answer, Model } kind = Answer;
    std::uint8_t model_kind = 0;  // 0 basic, 1 extended, 2 linear, 3 polynomial
    std::int32_t model_number = 0;
};

// A part of the running inference that can say why a value asked now is needed. Sources are
// pushed while they run, the innermost last; each adds its lines to the answer, the innermost
// first (`innermost`: no other source lies between it and the question).
class WhySource {
  public:
    virtual void why(const Session& s, bool innermost, std::vector<std::string>& lines) const = 0;

  protected:
    ~WhySource() = default;
};

enum class RunDirection : std::uint8_t { None, Forward, Backward };

struct ExplainState {
    // Origin of the resultant in each slot of wypadkowa_prbd (slots past the end: unknown).
    std::vector<ResultantOrigin> resultant_origins;
    std::unordered_map<std::string, ValueOrigin> value_origins;
    std::vector<const WhySource*> why;
    // The last run ended normally (its tables describe a whole run), in which direction,
    // with which main hypothesis, over a model base of these sizes.
    RunDirection finished = RunDirection::None;
    std::string hypothesis;
    std::size_t model_sizes[4] = {0, 0, 0, 0};
    // Declared facts and known arguments that came from a data source (kept with the base).
    std::unordered_set<std::string> imported_facts, imported_arguments;

    void clear_run() {
        resultant_origins.clear();
        value_origins.clear();
        finished = RunDirection::None;
        hypothesis.clear();
    }
};

}  // namespace zuva
