// What a change of a knowledge base does to known cases: each case of the suites run on the
// old and on the new version, and those whose results moved (a conclusion or its CF, a case
// that passed and now fails or back), with the rules and models whose contributions changed.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "testing/case_file.h"

namespace zuva::testing {

// A conclusion of one version or both, with its CF in each (none: no CF, or not concluded).
struct ConclusionMove {
    std::string name;
    bool in_before = false, in_after = false;
    std::optional<double> before, after;
};

struct CaseImpact {
    std::string file;  // the test-case file, as given
    int line = 0;      // of the case's `przypadek` record
    std::string name;
    bool passed_before = false, passed_after = false;
    std::string failure_before, failure_after;  // the first difference, "" when it passed
    std::vector<ConclusionMove> conclusions;    // only those that moved
    std::vector<int> rules, models;             // whose contributions changed, ascending
};

struct CaseImpacts {
    int run = 0;      // cases run on both versions
    int skipped = 0;  // cases of other rule bases
    std::vector<CaseImpact> changed;
};

// Runs every case whose rule base has the file name of either version's rule base on both
// (paths as they can be opened); other cases are counted as skipped.
CaseImpacts case_impacts(const std::vector<CaseFile>& suites, const std::string& old_rule_base,
                         const std::string& new_rule_base);

}  // namespace zuva::testing
