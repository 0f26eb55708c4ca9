// The diagnoses that the rule-base load runs in its sequence: the external-contradiction
// test (offered by a question; it records its verdict) and the redundancy test.
#pragma once

namespace zuva {

struct Session;

// Load step 12. Asks whether to test; on yes runs the test and records the verdict.
void external_contradiction_test_at_load(Session& s);
// Load step 15, first part. Asks whether to test; on yes finds redundant rule pairs.
void redundancy_test_at_load(Session& s);

// Fills in the session's load hooks with the diagnoses above.
void install_load_diagnoses(Session& s);

}  // namespace zuva
