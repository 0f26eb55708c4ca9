// `zuva --resume`: a consultation's log, kept by a program, by zuva serve's audit file or by
// its state folder, shown again with its answers, report, conclusions and explanations.
#include "cli/resume_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/sample_answers.h"
#include "support/temp_dir.h"
#include "text/file_io.h"
#include "zuva/zuva.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

TEST(ResumeLog, EveryKindOfLogFileShowsTheSameRunAndAChangedBaseIsRefused) {
    testing_support::TempDir t("zuva-resume");
    fs::copy(std::string(ZUVA_TEST_DATA) + "/../../examples", t.path("ex"), fs::copy_options::recursive);
    const std::string rule_file = t.path("ex/BAZY/REAUTO.BEN");
    const api::KnowledgeBase kb = api::KnowledgeBase::open(rule_file);
    api::Consultation c = kb.forward();
    while (auto q = c.next())
        c.answer(testing_support::kSampleAnswers.at(q->name));
    const std::string log = c.log().to_json();
    // Beside the base (found by the log's file name), as an audit file's last line, as a
    // session file; and one stopped midway.
    api::Consultation midway = kb.forward();
    midway.answer(testing_support::kSampleAnswers.at(midway.next()->name));
    const std::string files[][2] = {
        {t.path("ex/BAZY/dziennik.json"), log},
        {t.path("audyt.jsonl"), "{\"time\":\"x\",\"log\":" + midway.log().to_json() +
                                    "}\n{\"base\":\"BAZY/REAUTO.BEN\",\"log\":" + log + "}\n"},
        {t.path("0123456789abcdef0123456789abcdef.zuva"), "BAZY/REAUTO.BEN\n" + log},
    };
    for (const auto& [path, text] : files) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(write_file_bytes(path, text));
        std::ostringstream out, err;
        const bool beside = path.find("/BAZY/") != std::string::npos;
        EXPECT_EQ(resume_command(path, beside ? "" : rule_file, out, err), 0) << err.str();
        const std::string shown = out.str();
        EXPECT_NE(shown.find("  1. wskaznik_paliwa_na_zero (CF warunku): -1\n"), std::string::npos) << shown;
        EXPECT_NE(shown.find(c.result().report), std::string::npos) << "the run's report";
        EXPECT_NE(shown.find("  uszkodzony_akumulator (CF = 0.9"), std::string::npos) << shown;
        EXPECT_NE(shown.find("Jak uzyskano wniosek uszkodzony_akumulator?"), std::string::npos) << shown;
    }
    std::ostringstream out, err;
    ASSERT_TRUE(write_file_bytes(t.path("midway.json"), midway.log().to_json()));
    EXPECT_EQ(resume_command(t.path("midway.json"), rule_file, out, err), 0);
    EXPECT_NE(out.str().find("czeka na odpowiedź na pytanie 2"), std::string::npos) << out.str();
    // The base edited since: refused, naming the file; a file that is no log: refused.
    ASSERT_TRUE(write_file_bytes(rule_file, *read_file_bytes(rule_file) + "rem_regu\xb3"
                                                                          "a(\"zmiana\")\n"));
    std::ostringstream out2, err2;
    EXPECT_EQ(resume_command(files[0][0], "", out2, err2), 2);
    EXPECT_NE(err2.str().find("plik REAUTO.BEN"), std::string::npos) << err2.str();
    ASSERT_TRUE(write_file_bytes(t.path("nie.json"), "nie dziennik"));
    EXPECT_EQ(resume_command(t.path("nie.json"), rule_file, out2, err2), 2);
    EXPECT_EQ(resume_command(t.path("brak.json"), rule_file, out2, err2), 2);
}

}  // namespace
}  // namespace zuva
