// What forward and backward inference ask of the model evaluation: one model step of
// the forward loop, and the presentation of fixed values.
#pragma once

namespace zuva {

struct Session;

// Forward-loop steps 8 to 15 (arithmetic: 8 basic, 9 extended, 10 linear, 11 polynomial;
// relational: 12 basic holding, 13 basic not holding, 14 extended holding, 15 extended
// not holding). Performs the step for the first applicable model; false when none applies.
bool forward_model_step(Session& s, int step);
// The fixed values of the run (przedstawienie_zmiennych) and the known arguments at the
// start (przedstawienie_zmiennych_pierwotnych).
void przedstawienie_zmiennych(Session& s);
void przedstawienie_zmiennych_pierwotnych(Session& s);

}  // namespace zuva
