// The diagnoses as the load sequences run them: for a rule base the verdict of the first is
// read by the load from `sprzecznosc_1z`; for a model base each one fails the load itself.
#include "verify/load_checks.h"

#include "session/session.h"
#include "verify/contradictions.h"
#include "verify/flatten.h"
#include "verify/joint_diagnoses.h"
#include "verify/model_contradictions.h"
#include "verify/model_results.h"
#include "verify/model_rule_contradictions.h"
#include "verify/redundancy.h"

namespace zuva {

void external_contradiction_test_at_load(Session& s) {
    // Findings about a previously loaded base must not be reported for this one, also when
    // the user declines the test.
    s.verify.kasowanie_diagnoz_bazy_regul();
    testuj_sprzecznosc_1z(s);
}

void redundancy_test_at_load(Session& s) {
    // A contradictory base is never flattened: the test would not end.
    if (baza_sprzeczna(s)) return;
    testuj_nadmiar_p(s);
}

void install_load_diagnoses(Session& s) {
    s.diagnoses.rule_contradictions = external_contradiction_test_at_load;
    s.diagnoses.rule_redundancy = redundancy_test_at_load;
    s.diagnoses.model_contradictions = informuj_sprzecznosc_mz;
    s.diagnoses.model_rule_contradictions = informuj_sprzecznosc_mr;
    s.diagnoses.model_results = testuj_wyniki_modeli;
    s.diagnoses.exact_constraint_diagnoses = [](Session& ss) {
        testuj_sprzecznosc_2(ss, false);
        testuj_nadmiar_2(ss, false);
    };
    s.diagnoses.uncertain_constraint_diagnoses = [](Session& ss) {
        testuj_sprzecznosc_2(ss, true);
        testuj_nadmiar_2(ss, true);
    };
}

}  // namespace zuva
