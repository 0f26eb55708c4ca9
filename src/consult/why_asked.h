// Why a value is asked, and where resultants and fixed values came from: the value dialog
// of a consultation with its "Dlaczego?" answer, the why-sources of rules and models, and the
// recording of origins that the explanation of a finished run reads.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/explain_state.h"
#include "store/knowledge_base.h"
#include "text/i18n.h"

namespace zuva {

struct Session;

enum class AskedKind { ConditionCf, ArgumentValue, ConclusionCf };

// The value dialog of a consultation. "Dlaczego?" shows why the value is needed (the reading
// dialog "Dlaczego pytam?") and the same dialog comes again; nothing of it reaches the report
// or the helper window. nullopt when the dialog was closed. When the texts base gives the
// name a text, the dialog asks in it (`exact`: a member of an exact constraint, answered
// with -1 or 1 only, which the text is followed by).
std::optional<std::string> ask_value(Session& s, std::string_view dialog, std::string_view title,
                                     const std::string& name, AskedKind kind, bool exact = false);
// The last line of "Dlaczego pytam?": the reading dialog closes and the question comes again.
inline constexpr std::string_view kAskedAgainLine = N_("Po zamknięciu tego okna pytanie padnie ponownie.");
// The text of "Dlaczego pytam?" for the value of `name` asked now.
std::string why_text(const Session& s, const std::string& name, AskedKind kind);

// Pushes a why-source for its lifetime.
class WhyScope {
  public:
    WhyScope(Session& s, const WhySource& source);
    ~WhyScope();
    WhyScope(const WhyScope&) = delete;
    WhyScope& operator=(const WhyScope&) = delete;

  private:
    Session& s_;
};

// A model being applied: says which model needs the value and how far it got.
class ModelWhy final : public WhySource {
  public:
    explicit ModelWhy(const Model& m) : basic_(&m) {}
    explicit ModelWhy(const ModelR& m) : extended_(&m) {}
    explicit ModelWhy(const ModelLiniowy& m) : linear_(&m) {}
    explicit ModelWhy(const ModelWielomianowy& m) : polynomial_(&m) {}
    void why(const Session& s, bool innermost, std::vector<std::string>& lines) const override;

  private:
    const Model* basic_ = nullptr;
    const ModelR* extended_ = nullptr;
    const ModelLiniowy* linear_ = nullptr;
    const ModelWielomianowy* polynomial_ = nullptr;
};

// The lines of a rule as the explanations show it after their heading ("Jeżeli", the
// conditions with their state, "to z współczynnikiem CF = ", the conclusion). The condition
// at `current` is the one being asked (innermost) or established; the others show their CF
// when they have one.
void rule_lines(const Session& s, const Regula& r, std::size_t current, bool innermost,
                std::vector<std::string>& out);
// Where a conclusion leads in forward inference: the rules (and models) that have it as a
// condition, as an indented tree (bounded).
void feeds_lines(const Session& s, const std::string& conclusion, std::vector<std::string>& out);

// ---------------------------------------------------------------------------------
// Origins.

// The origin of the resultant appended or stored last.
void record_origin_of_last(Session& s, ResultantOrigin origin);
// Appends a resultant with its origin.
void append_resultant(Session& s, const std::string& statement, double cf, ResultantOrigin origin);
// For the completion of mutually exclusive conditions: call right after the completed
// member's resultant was appended; `trigger` is the statement whose resultant caused the
// completion (its visible record is remembered; empty: none), `exact` tells the kind of
// constraint, `asked` that the completion asked the user for the member's CF.
void record_constraint_completion(Session& s, const std::string& trigger, bool exact, bool asked = false);
// Origin of the resultant in a slot of wypadkowa_prbd, and of a statement's visible one.
ResultantOrigin origin_of_slot(const Session& s, std::int64_t slot);
ResultantOrigin origin_of(const Session& s, const std::string& statement);
// A declared fact or a known argument came from a data source.
void mark_imported(Session& s, const std::string& name, bool argument);
// Where a fixed value came from (answers and models; literals and known arguments are
// recognised by themselves).
void record_value_origin(Session& s, const std::string& name, ValueOrigin origin);

}  // namespace zuva
