// The diagnoses that load sequences run in their places. The loads sit below the
// diagnoses, so they reach them through these hooks, which verify/ fills in.
#pragma once
#include <functional>

namespace zuva {

struct Session;

struct LoadDiagnoses {
    // Rule-base load: the external-contradiction test (asks, records its verdict).
    std::function<void(Session&)> rule_contradictions;
    // Rule-base load: the redundancy test (asks, records the redundant pairs).
    std::function<void(Session&)> rule_redundancy;
    // Model-base load: the contradictions of the model base, then those of models with
    // rules; each tells its result and answers false when the load must not go on.
    std::function<bool(Session&)> model_contradictions;
    std::function<bool(Session&)> model_rule_contradictions;
    // Inference start and exact-constraint load: the tests of model results (models with
    // the same result must exclude each other); each failure is told in notes, and false
    // means the models may not be used for inference.
    std::function<bool(Session&)> model_results;
    // Constraint loads (exact, then uncertain): the diagnoses of rules with constraints.
    std::function<void(Session&)> exact_constraint_diagnoses;
    std::function<void(Session&)> uncertain_constraint_diagnoses;
};

// Runs a hook when it is filled in; a session without the diagnoses skips the step.
inline void run_load_diagnosis(const std::function<void(Session&)>& hook, Session& s) {
    if (hook) hook(s);
}

// A check a load runs in its place; true when it passed or the session has no such check.
inline bool run_load_check(const std::function<bool(Session&)>& hook, Session& s) {
    return !hook || hook(s);
}

}  // namespace zuva
