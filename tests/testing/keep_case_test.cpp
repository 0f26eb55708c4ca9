// A case kept from a summary is tried as it will stand in the file it is appended to: the
// answers that file shares with all its cases count, so the verdict the program gives when
// it keeps the case is the verdict `zuva test` gives for that file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/sample_base.h"
#include "support/temp_dir.h"
#include "testing/record_case.h"
#include "testing/suite.h"

namespace zuva::testing {
namespace {

namespace fs = std::filesystem;

TEST(KeepCase, TheFilesSharedAnswersCountLikeInTheSuite) {
    testing_support::TempDir tmp("zuva-keep-case");
    const fs::path dir = fs::path(tmp.path()) / "BAZY";
    fs::copy(testing_support::kExamples, tmp.path(), fs::copy_options::recursive);
    // A forward run with the rule base alone: the battery voltage (a model's argument when the
    // models are loaded, as a case is run) was never asked.
    const std::string summary = (dir / "P.txt").string();
    fs::copy_file(std::string(ZUVA_TEST_DATA) + "/testing/rules_only_summary.txt", summary);
    const std::string rules = (dir / "REAUTO.BEN").string();

    // AUTO.TST answers the voltage for all its cases: the case passes there.
    const KeptCase shared = keep_case(summary, rules, "", "z menu", (dir / "AUTO.TST").string());
    EXPECT_EQ(shared.status, 0) << shared.problem;
    // A new file gives no such answer: the case is kept, and the program says why it fails.
    const KeptCase alone = keep_case(summary, rules, "", "z menu", (dir / "NOWE.TST").string());
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.problem.find("napiecie_spoczynkowe"), std::string::npos) << alone.problem;
    // Both verdicts are the suite's own.
    std::ostringstream out, err;
    EXPECT_EQ(test_command({(dir / "AUTO.TST").string()}, out, err), 0) << out.str();
    EXPECT_NE(test_command({(dir / "NOWE.TST").string()}, out, err), 0) << out.str();
}

}  // namespace
}  // namespace zuva::testing
