// `zuva test`: runs the cases of test-case files, one line per case and a closing count, with
// JUnit XML for CI and the coverage of the rules, models and askable items of every base.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

#include "testing/case_file.h"
#include "testing/case_run.h"

namespace zuva::testing {

struct CaseReport {
    const TestCase* c = nullptr;
    CaseOutcome outcome;
};

struct SuiteReport {
    std::vector<CaseFile> files;
    std::vector<CaseFileError> errors;  // files and cases that cannot be read or name what no base has
    std::vector<std::string>
        failed_loads;               // bases beside a rule base that did not load, FILE:LINE:COLUMN: reason
    std::vector<CaseReport> cases;  // in the order run
    int passed() const;
    int failed() const;
};

// Runs the cases of the files whose names contain `filter` (all when it is empty); each
// line goes to `out` as its case ends.
SuiteReport run_suite(const std::vector<std::string>& files, const std::string& filter, OpenedBases& bases,
                      std::ostream& out, std::ostream& err);

// JUnit XML (UTF-8): one testsuite per file, one testcase per case run.
std::string junit_xml(const SuiteReport& r);

// The coverage lines: per base, what no case applied or asked, with FILE:LINE, and the shares.
std::string coverage_text(const SuiteReport& r, OpenedBases& bases);

// The command line after "test": exit status 0 (every case passed), 1 (some failed), 2 (bad
// arguments, a file or case that cannot be read).
int test_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zuva::testing
