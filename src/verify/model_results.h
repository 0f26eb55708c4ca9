// The tests of model results that gate an inference: models of one kind or of two kinds
// with the same result must be declared exclusive, or their conditions of application must
// be shown to exclude each other by the exact constraints or by the rules concluding them.
#pragma once

namespace zuva {

struct Session;

// Without an exact-constraint base (and with a model base): the six pairs of kinds, then
// the four kinds, stopping at the first that fails; a failure is told in a note "Uwaga!".
// True at once when no model base is loaded or an exact-constraint base is.
bool testuj_wyniki_wszystkich_modeli_bez_ograniczen(Session& s);

// With a model base and an exact-constraint base: the same ten tests against the
// constraints, with the rules of the conditions tested for exclusion where no constraint
// holds a group. True at once in every other situation.
bool testuj_wyniki_wszystkich_modeli_z_og(Session& s);

// Both entry points in turn: what the inference start and the exact-constraint load run.
bool testuj_wyniki_modeli(Session& s);

}  // namespace zuva
