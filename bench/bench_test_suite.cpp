// A suite of 1,000 test cases over the sample knowledge base, run in one process as
// `zuva test` runs them: the cases of the sample suite repeated, each run through the
// session API. Prints the time of the whole suite and per case.
//
//   bench_test_suite [CASES]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "testing/case_file.h"
#include "testing/case_run.h"

int main(int argc, char** argv) {
    using namespace zuva::testing;
    const int n = argc > 1 ? std::atoi(argv[1]) : 1000;
    CaseFileError error;
    auto file = read_case_file(ZUVA_EXAMPLES "/BAZY/AUTO.TST", error);
    if (!file || file->cases.empty()) {
        std::fprintf(stderr, "bench_test_suite: %s\n", error.text().c_str());
        return 1;
    }
    OpenedBases bases;
    int passed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) {
        const TestCase& c = file->cases[static_cast<std::size_t>(i) % file->cases.size()];
        passed += run_case(c, bases).passed ? 1 : 0;
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d cases over the sample base (%zu distinct): %.3f s, %.3f ms per case, %d passed\n", n,
                file->cases.size(), s, 1000.0 * s / n, passed);
    return passed == n ? 0 : 1;
}
