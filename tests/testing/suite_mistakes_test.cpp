// What `zuva test` must never pass: names the base does not know, numbers no CF can be, a
// verdict without a hypothesis, a suite with nothing to run, a base that is missing or did not
// load; CFs compared as they are shown; and `--record`, which keeps a file's line ends and
// keeps a failing case only when asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "support/sample_base.h"
#include "support/temp_dir.h"
#include "testing/record_case.h"
#include "testing/suite.h"

namespace zuva::testing {
namespace {

namespace fs = std::filesystem;

class SuiteMistakes : public testing_support::TempDirTest {
  protected:
    SuiteMistakes() : TempDirTest("zuva-suite") {}
    void SetUp() override {
        TempDirTest::SetUp();
        write_cp1250("RET.BEN",
                     "reguła(1,\"wniosek_a\",[\"warunek_x\"],1,\"0.8\")\n"
                     "reguła(2,\"wniosek_b\",[\"warunek_y\"],1,\"0.5\")\n");
    }
    int run(const std::vector<std::string>& args) {
        std::ostringstream o, e;
        const int rc = test_command(args, o, e);
        out = o.str();
        err = e.str();
        return rc;
    }
    std::string out, err;
};

// The shared part of every file below: the base and an answer to each condition.
const std::string kHead =
    "baza(\"RET.BEN\")\n"
    "odpowiedź(\"warunek_x\",\"1\")\n"
    "odpowiedź(\"warunek_y\",\"1\")\n"
    "przypadek(\"c\")\n";

// A run the inference start refuses says the core's reason, and its answers, never reached,
// are not reported as names the base does not know.
TEST_F(SuiteMistakes, ARefusedStartSaysWhyAndBlamesNoAnswer) {
    write_cp1250("REDUP.BEN",
                 "reguła(1,\"wniosek_a\",[\"warunek_x\"],1,\"0.8\")\n"
                 "reguła(1,\"wniosek_b\",[\"warunek_y\"],1,\"0.5\")\n");
    write_cp1250("T.TST",
                 "baza(\"REDUP.BEN\")\nodpowiedź(\"warunek_x\",\"1\")\nprzypadek(\"c\")\n"
                 "wniosek(\"wniosek_a\",\"0.8\")\n");
    EXPECT_NE(run({path("T.TST")}), 0);
    EXPECT_NE(
        out.find("FAIL c: wnioskowanie odmówione: Wnioskowanie nie może być teraz rozpoczęte. Numery reguł"),
        std::string::npos)
        << out;
    EXPECT_EQ(err.find("nie zna"), std::string::npos) << err;
}

TEST_F(SuiteMistakes, EachMistakeIsAnErrorAtItsPlace) {
    struct Row {
        std::string records;  // after kHead; "" for a file of its own
        int status;
        std::string message;  // in standard error
    };
    const std::vector<Row> rows = {
        {"wniosek(\"wniosek_a\",\"0.8\")\n", 0, ""},
        // A misspelt answer: the shared one would be used and the case would pass.
        {"odpowiedź(\"warunek_xx\",\"-1\")\nwniosek(\"wniosek_a\",\"0.8\")\n", 2,
         "T.TST:5:11: Baza reguł RET.BEN nie zna nazwy warunek_xx (czy chodziło o warunek_x?)."},
        {"wniosek(\"wniosek_aa\",\"0.8\")\n", 2,
         "T.TST:5:9: Baza reguł RET.BEN nie zna wniosku wniosek_aa (czy chodziło o wniosek_a?)."},
        {"wniosek(\"warunek_x\",\"brak\")\n", 2,
         "T.TST:5:9: warunek_x nie jest wnioskiem żadnej reguły ani modelu bazy reguł RET.BEN."},
        {"import(\"fakt\",\"zupelnie_inny\",\"1\")\n", 2,
         "T.TST:5:15: Baza reguł RET.BEN nie zna warunku zupelnie_inny."},
        {"wartość(\"napiecie\",\"12\")\n", 2, "T.TST:5:9: Baza reguł RET.BEN nie zna argumentu napiecie."},
        {"wniosek(\"wniosek_a\",\"1.5\")\n", 2, "T.TST:5:21: Oczekiwane CF musi być liczbą od -1 do 1"},
        {"wniosek(\"wniosek_a\",\"nan\")\n", 2, "T.TST:5:21: Oczekiwane CF musi być liczbą od -1 do 1"},
        {"odpowiedź(\"warunek_x\",\"2\")\n", 2,
         "T.TST:5:11: CF warunku warunek_x musi być liczbą od -1 do 1"},
        {"odpowiedź(\"warunek_x\",\"1e999\")\n", 2,
         "T.TST:5:23: Odpowiedź na pytanie o warunek_x nie jest liczbą"},
        {"import(\"fakt\",\"warunek_x\",\"1,5\")\n", 2,
         "T.TST:5:27: CF importowanego faktu musi być liczbą od -1 do 1."},
        {"werdykt(\"0.8\")\n", 2, "T.TST:5:9: Werdykt w przypadku c bez hipotezy"},
        {"wniosek(\"wniosek_a\")\n", 2, "T.TST:5:20: Rekord wniosek ma 2 pola, a podano 1."},
        {"wniosk(\"wniosek_a\",\"0.8\")\n", 2,
         "T.TST:5:7: Nieznana nazwa tabeli wniosk (czy chodziło o wniosek?)."},
        // The base file named by the file-wide record is missing.
        {"baza(\"REBRAK.BEN\")\n", 2, "T.TST:5:6: Nie można odczytać pliku bazy reguł REBRAK.BEN."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.records);
        const std::string file = write_cp1250("T.TST", kHead + row.records);
        EXPECT_EQ(run({file}), row.status) << out << err;
        if (!row.message.empty()) {
            EXPECT_NE(err.find(row.message), std::string::npos) << err;
        }
    }
    // A misspelt answer the file gives every case: said once, at its own line.
    const std::string shared =
        write_cp1250("S.TST",
                     "baza(\"RET.BEN\")\nodpowiedź(\"warunek_x\",\"1\")\nodpowiedź(\"warunek_yy\",\"1\")\n"
                     "przypadek(\"c\")\nodpowiedź(\"warunek_y\",\"1\")\nprzypadek(\"d\")\nodpowiedź("
                     "\"warunek_y\",\"-1\")\n");
    EXPECT_EQ(run({shared}), 2) << out << err;
    EXPECT_EQ(err,
              shared + ":3:11: Baza reguł RET.BEN nie zna nazwy warunek_yy (czy chodziło o warunek_y?).\n");
    // Nothing to run: a file without a case, a filter that matches none.
    const std::string empty = write_cp1250("E.TST", "rem(\"jeszcze nic\")\n");
    EXPECT_EQ(run({empty}), 2);
    EXPECT_NE(err.find("E.TST:1:1: Plik nie zawiera żadnego przypadku"), std::string::npos) << err;
    const std::string one = write_cp1250("T.TST", kHead);
    EXPECT_EQ(run({"--filter", "nic", one}), 2);
    EXPECT_NE(err.find("żaden przypadek nie ma w nazwie \"nic\""), std::string::npos) << err;
}

// A base beside the rule base that does not load (a model base with a syntax error, a
// constraint base its load refuses): said at the top and in JUnit, and the cases fail with its
// place and reason, without the directions to a menu of the program's load, instead of
// asking for the model's conclusion or passing without the constraint.
TEST_F(SuiteMistakes, ABaseThatDidNotLoadFailsItsCasesWithTheReason) {
    struct Row {
        std::string file, records, place, reason;
    };
    const std::vector<Row> rows = {
        {"MOT.BEN", "model(1,\"bez_warunku\",\"v\",\"a\",\"+\",\"1\",1,\"1\")\nmodel(2,\n", "MOT.BEN:2:", ""},
        {"OGT.BEN", "ograniczenie(1,[\"warunek_x\",\"wniosek_b\"])\n", "OGT.BEN:1:1: ",
         "Warunek wniosek_b w ograniczeniu 1 bazy ograniczeń OGT.BEN nie jest warunkiem dopytywalnym."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        write_cp1250(row.file, row.records);
        const std::string file = write_cp1250("T.TST", kHead + "wniosek(\"wniosek_a\",\"0.8\")\n");
        EXPECT_EQ(run({"--junit", path("j.xml"), file}), 1) << out << err;
        EXPECT_NE(err.find("baza nie została załadowana, jej przypadki nie przejdą: "), std::string::npos)
            << err;
        EXPECT_NE(err.find(row.place), std::string::npos) << err;
        EXPECT_NE(err.find(row.reason), std::string::npos) << err;
        EXPECT_NE(out.find("FAIL c: wnioskowanie odmówione: baza nie została załadowana: "),
                  std::string::npos)
            << out;
        for (const char* menu : {"Przejść do", "Przejdź do", "opcj"})
            EXPECT_EQ((out + err).find(menu), std::string::npos) << out << err;
        // The session API says so too.
        const auto kb = api::KnowledgeBase::open(path("RET.BEN"));
        EXPECT_EQ(kb.unloaded_files(), std::vector<std::string>{path(row.file)});
        const auto findings = kb.findings();
        EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [&](const api::Finding& f) {
            return f.level == api::Finding::Level::Error && f.file == path(row.file);
        }));
        const auto junit = read_file_bytes(path("j.xml"));
        ASSERT_TRUE(junit);
        EXPECT_NE(junit->find("type=\"LOAD\""), std::string::npos) << *junit;
        fs::remove(path(row.file));
    }
}

// A CF is compared as the FAIL line shows it: they agree for CFs on a half as for any other.
TEST(SuiteCf, ComparedAsShown) {
    const std::vector<double> cfs = {0.125, 0.375, 0.715, -0.125, 0.12, 0.13, 0.38, 0.71, 0.72, -0.12, -0.13};
    for (double want : cfs)
        for (double got : cfs) {
            const Expected e{Expected::Kind::Exact, want, want};
            const Expected shown_got{Expected::Kind::Exact, got, got};
            EXPECT_EQ(e.matches(got), e.text() == shown_got.text()) << want << " " << got;
        }
    EXPECT_EQ(cf_text(0.125), "0.13");  // halves upward, as the program rounds a CF
    EXPECT_EQ(cf_text(-0.125), "-0.12");
    EXPECT_EQ(cf_text(-0.8), "-0.80");
}

// --record: the line ends of the file appended to, "dopisany" or "zapisany w nowym pliku", and a
// case that does not pass goes nowhere without --keep-failing.
TEST(SuiteRecord, LineEndsMessagesAndFailingCases) {
    testing_support::TempDir tmp("zuva-record");
    fs::copy(testing_support::kExamples, tmp.path(), fs::copy_options::recursive);
    const fs::path dir = fs::path(tmp.path()) / "BAZY";
    const std::string summary = (dir / "P.txt").string();
    fs::copy_file(std::string(ZUVA_TEST_DATA) + "/testing/rules_only_summary.txt", summary);
    const std::string rules = (dir / "REAUTO.BEN").string();
    // The sample suite with LF line ends.
    std::string lf = *read_file_bytes((dir / "AUTO.TST").string());
    std::erase(lf, '\r');
    const std::string suite = (dir / "LF.TST").string();
    ASSERT_TRUE(write_file_bytes(suite, lf));
    std::ostringstream out, err;
    EXPECT_EQ(record_command(summary, rules, "", "nowy", suite, false, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "Przypadek nowy dopisany do " + suite + ".\n");
    const std::string after = *read_file_bytes(suite);
    EXPECT_GT(after.size(), lf.size());
    EXPECT_EQ(after.find('\r'), std::string::npos);

    // Alone, the case does not pass: shown, not written, exit 1; kept when asked for.
    const std::string fresh = (dir / "NOWE.TST").string();
    std::ostringstream out2, err2;
    EXPECT_EQ(record_command(summary, rules, "", "nowy", fresh, false, out2, err2), 1);
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_NE(err2.str().find("napiecie_spoczynkowe"), std::string::npos) << err2.str();
    EXPECT_NE(err2.str().find("--keep-failing"), std::string::npos) << err2.str();
    std::ostringstream out3, err3;
    EXPECT_EQ(record_command(summary, rules, "", "nowy", fresh, true, out3, err3), 1);
    EXPECT_EQ(out3.str(), "Przypadek nowy zapisany w nowym pliku " + fresh + ".\n");
    EXPECT_TRUE(fs::exists(fresh));
}

}  // namespace
}  // namespace zuva::testing
