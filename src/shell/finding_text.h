// The texts of notes as findings of `zuva check`: on one line, without their closing
// question, and the record they name. Used by shell/ and by the test runner of testing/.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zuva {
namespace check {

std::string one_line(std::string_view text);
// The text without its closing question ("Chcesz zobaczyć ...?"), which asks the user for
// more and is no part of the finding.
std::string without_question(std::string_view text);
// A finding's one-line message with the lists of the flattening reports said once and whole:
// none announced with nothing after its colon, none inside the parenthesis of a rule.
std::string tidy_message(std::string message);

// The first record a text names: ("reguła", 5) for "Reguła 5 ..." or "reguła o numerze 5";
// models and constraints alike.
struct RecordRef {
    char what;  // 'r' rule, 'm' model, 'o' constraint
    long number;
};
std::optional<RecordRef> named_record(std::string_view text);

// A rule line of the knowledge-base analysis ("Numer reguły:  N    Wniosek:  X"): the number
// and the conclusion, or nullopt for any other text.
std::optional<std::pair<long, std::string>> analysis_rule_line(std::string_view text);

// What a rule base that cannot be flattened kept from running (the diagnoses by kind, the
// bases beside it that were only read), as one finding says it, so that a clean report after
// it is not taken for a clean base.
std::string not_run_text(const std::vector<std::string>& kinds, const std::vector<std::string>& bases);

}  // namespace check
}  // namespace zuva
