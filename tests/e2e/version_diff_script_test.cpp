// Comparing the loaded knowledge base with another version from the analysis menu of the
// terminal program: the changed record in a browse window, the older version being the one
// chosen; an unreadable version is said with its place.
#include <filesystem>
#include <string>

#include "e2e/script_run.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(ZUVA_TEST_DATA) + "/../../examples";

class VersionDiffScript : public testing_support::AnswerScriptTest {
  protected:
    VersionDiffScript() : AnswerScriptTest("zuva-versions") {}
    void SetUp() override {
        AnswerScriptTest::SetUp();
        if (HasFatalFailure()) return;
        fs::copy(kExamples, dir, fs::copy_options::recursive);
        sub = "BAZY";
        fs::create_directories(path("STARE"));
        for (const char* f : {"REAUTO.BEN", "MOAUTO.BEN"})
            fs::copy_file(path(f), path(std::string("STARE/") + f));
        // The old version had rule 1 with CF 0.7; the loaded one has 0.8.
        std::string text = *cp1250_to_utf8(file("STARE/REAUTO.BEN"));
        const std::string from = "\"wskaznik_paliwa_na_zero\"],1,\"0.8\"";
        text.replace(text.find(from), from.size(), "\"wskaznik_paliwa_na_zero\"],1,\"0.7\"");
        write_file_bytes(path("STARE/REAUTO.BEN"), utf8_to_cp1250_lossy(text));
    }
};

TEST_F(VersionDiffScript, TheChangedRuleIsShownAgainstTheChosenVersion) {
    ASSERT_EQ(run({"10064", "REAUTO.BEN", "Tak", "Tak", "Tak", "Tak", "Tak", "10186", "STARE/REAUTO.BEN"}), 0)
        << err;
    EXPECT_TRUE(has("Porównanie baz wiedzy")) << out;
    EXPECT_TRUE(has("REAUTO.BEN:12: zmieniony rekord reguła 1: CF 0.7 → 0.8")) << out;
    // The old version has no constraint base: every constraint of the loaded one is added.
    EXPECT_TRUE(has("OGAUTO.BEN:3: dodany rekord ograniczenie")) << out;

    ASSERT_TRUE(write_file_bytes(path("STARE/REAUTO.BEN"), "reguła(1,\"a\",[\"b\"],1\n"));
    ASSERT_EQ(run({"10064", "REAUTO.BEN", "Tak", "Tak", "Tak", "Tak", "Tak", "10186", "STARE/REAUTO.BEN"}), 0)
        << err;
    EXPECT_TRUE(has("Nie można porównać baz wiedzy:")) << out;
    EXPECT_TRUE(has("STARE/REAUTO.BEN:1:")) << out;
}

}  // namespace
}  // namespace zuva
