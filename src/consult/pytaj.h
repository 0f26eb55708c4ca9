// Asking the user for the CF of a condition during inference and the check of a typed CF.
#pragma once
#include <optional>
#include <string>

#include "kb/askable_conditions.h"
#include "store/values.h"

namespace zuva {

struct Session;

// The CF of a condition: its resultant when it has one (nothing is asked); otherwise the
// "Określ wartość CF" dialog is opened until a valid CF is typed, the answer is written
// to the report and stored as the condition's resultant (pamietaj).
double pytaj(Session& s, const std::string& condition);

// testuj_cf_warunku: the typed text is a real with -1 <= CF <= 1. A number out of range
// writes the report line and shows the untitled note; a text that is not a number says
// nothing. nullopt when the value must be asked again.
std::optional<double> testuj_cf_warunku(Session& s, const std::string& typed);

// Stores an accepted answer as the condition's resultant (appended).
void pamietaj(Session& s, const std::string& condition, double cf);

}  // namespace zuva
