// Redundancy of the rule base: two rules with the same conclusion of which one, flattened,
// needs a subset of the askable conditions of the other. Detection, the question that
// offers it at load, the message on its result and the report command.
#pragma once
#include <optional>
#include <string>

namespace zuva {

struct Session;

// "NEN1" for a rule-base file of the ".BEN" form; none for any other.
std::optional<std::string> nazwa_nadmiaru_p(const Session& s);

// Records every matching pair of flattened forms; true when none was found.
bool wyznacz_nadmiar_p(Session& s);
// Offers the test; false when the result could not be told (see informuj_nadmiar_p).
bool testuj_nadmiar_p(Session& s);
// Runs the test and tells its result; false for a contradictory base or without a type name.
bool informuj_nadmiar_p(Session& s);
// Menu "Diagnostyka nadmiarowości bazy reguł": the report of the recorded pairs.
void pisz_nadmiar_p(Session& s);

}  // namespace zuva
