// The start of an inference run shared by forward and backward inference: the checks
// that refuse it, the description, the detail level, the labels, the clearing of the
// working tables, and the note and report header that list the loaded bases.
#pragma once
#include <string>

namespace zuva {

struct Session;

enum class InferenceDirection { Forward, Backward };

// False when a verdict of the load-time tests or diagnoses forbids inference (the command
// then says which in a note). The tests of model results, which ask nothing but show their
// own notes, are run by the start itself.
bool wnioskowanie_dozwolone(const Session& s);
// The text of the note that says which verdict forbids inference, or the empty text.
std::string powod_odmowy_wnioskowania(const Session& s);

// Labels of the run: "Tworzenie etykiet" and the label inputs; fills `etykieta`.
void tworzenie_etykiet(Session& s);

// The note and the report lines that list the loaded bases.
void naglowek_wnioskowania(Session& s, InferenceDirection d);

// Runs the start up to the header; false when the run is refused (with a note that names
// the verdict, the notes of a failed test of model results, or "Proszę załadować bazę
// reguł!" when no rule base is loaded).
bool start_wnioskowania(Session& s, InferenceDirection d);

}  // namespace zuva
