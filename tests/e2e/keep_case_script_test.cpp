// Keeping a consultation as a test case from the menu of the terminal program: after the
// summary is saved, command 10181 appends a case made from it to a test-case file, which
// `zuva test` then runs, and 10182 saves its log beside the summary; without a saved summary
// neither is available.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/script_run.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "zuva/zuva.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(ZUVA_TEST_DATA) + "/../../examples";

class KeepCaseScript : public testing_support::AnswerScriptTest {
  protected:
    KeepCaseScript() : AnswerScriptTest("zuva-keep") {}
    void SetUp() override {
        AnswerScriptTest::SetUp();
        if (HasFatalFailure()) return;
        fs::copy(kExamples, dir, fs::copy_options::recursive);
        sub = "BAZY";
    }
    // The forward consultation of tests/data/api/forward.txt up to its end, the summary
    // saved as P.txt.
    std::vector<std::string> consultation() const {
        std::vector<std::string> lines;
        std::ifstream in(std::string(ZUVA_TEST_DATA) + "/api/forward.txt");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

TEST_F(KeepCaseScript, TheCaseOfASavedSummaryIsAppendedAndPasses) {
    std::vector<std::string> answers = consultation();
    const std::string before = file("AUTO.TST");
    for (const char* a : {"10181", "AUTO.TST", "akumulator z menu"})
        answers.push_back(a);
    ASSERT_EQ(run(answers), 0) << err;
    EXPECT_TRUE(has("Przypadek testowy akumulator z menu został dopisany do pliku AUTO.TST.")) << out;
    // The old cases are kept as they were, in the file's code page and line ends (LF); the new
    // one follows.
    const std::string after = file("AUTO.TST");
    ASSERT_EQ(after.compare(0, before.size(), before), 0);
    const std::string added = cp1250_to_utf8(after.substr(before.size())).value_or("");
    EXPECT_NE(added.find("przypadek(\"akumulator z menu\")\nbaza(\"REAUTO.BEN\")\n"), std::string::npos)
        << added;
    EXPECT_EQ(added.find('\r'), std::string::npos) << added;
    EXPECT_NE(added.find("odpowiedź(\"rozrusznik_kreci_wolno\",\"1\")"), std::string::npos) << added;
    EXPECT_NE(added.find("wniosek(\"uszkodzony_akumulator\","), std::string::npos) << added;
    // The whole suite, the new case with it, passes.
    EXPECT_EQ(run_args("test AUTO.TST"), 0) << out << err;
    EXPECT_NE(out.find("ok akumulator z menu"), std::string::npos) << out;
}

TEST_F(KeepCaseScript, ANewFileAndTheProposedNameFromTheSummary) {
    std::vector<std::string> answers = consultation();
    for (const char* a : {"10181", "NOWE.TST", ""})
        answers.push_back(a);
    ASSERT_EQ(run(answers), 0) << err;
    EXPECT_TRUE(has("Przypadek testowy P został dopisany do pliku NOWE.TST.")) << out;
    EXPECT_EQ(run_args("test NOWE.TST"), 0) << out << err;
    EXPECT_NE(out.find("1 passed, 0 failed"), std::string::npos) << out;
}

// The log of the run beside its summary (P.txt gives P.json): resumed through the session
// API it ends with the summary the terminal program saved, and `zuva --resume` shows it.
TEST_F(KeepCaseScript, TheLogOfASavedSummaryResumesToTheSameSummary) {
    std::vector<std::string> answers = consultation();
    answers.push_back("10182");
    ASSERT_EQ(run(answers), 0) << err;
    EXPECT_TRUE(has("Dziennik konsultacji został zapisany w pliku P.json.")) << out;
    const auto text = read_file_bytes(path("P.json"));
    ASSERT_TRUE(text);
    const api::Log log = api::Log::from_json(*text);
    api::Consultation c = api::KnowledgeBase::open(path("REAUTO.BEN")).resume(log);
    ASSERT_FALSE(c.next());
    EXPECT_EQ(c.result().summary, cp1250_to_utf8(file("P.txt")).value_or("?"));
    EXPECT_EQ(run_args("--resume P.json"), 0) << err;
    EXPECT_NE(out.find("uszkodzony_akumulator"), std::string::npos) << out;
}

TEST_F(KeepCaseScript, WithoutASavedSummaryTheCommandIsNotAvailable) {
    // The menu offers them at the end of "Raporty i podsumowania", enabled by a saved summary.
    for (const char* command : {"10181", "10182"})
        EXPECT_EQ(run({"10064", "REAUTO.BEN", "Tak", "Tak", "Tak", "Tak", "Tak", command}), 2) << command;
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(file("AUTO.TST"), read_file_bytes(kExamples + "/BAZY/AUTO.TST").value_or(""));
}

}  // namespace
}  // namespace zuva
