// Completeness anomalies: each kind on a small knowledge base, a base without any, the
// lines of the records, the menu command's report and the exit status of `zuva check`.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "kb/base_file_reader.h"
#include "shell/check.h"
#include "shell/script_loop.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "verify/completeness.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

struct Kb {
    KnowledgeBase kb;
    Kb& with(BaseKind kind, const std::string& text) {
        EXPECT_FALSE(parse_base_text(kb, kind, text)) << text;
        return *this;
    }
    std::vector<std::string> found(const std::string& dir = "/nonexistent",
                                   const std::string& w = "X") const {
        std::vector<std::string> out;
        for (const auto& a : znajdz_anomalie(kb, dir, w))
            out.push_back(a.kind + " " + a.table + "#" + std::to_string(a.ordinal) + ": " + a.message);
        return out;
    }
};

TEST(Completeness, RulesThatNeverFireAndConclusionsNeverReached) {
    Kb k;
    k.with(BaseKind::Rules,
           "reguła(1,\"p\",[\"q\"],1,\"0.8\")\n"  // p <- q <- p: a circle with no way out
           "reguła(2,\"q\",[\"p\"],1,\"0.8\")\n"
           "reguła(3,\"w\",[\"a\",\"p\"],1,\"0.5\")\n"     // needs the circle
           "reguła(4,\"q2\",[\"a\"],1,\"0.5\")\n"          // a way out for q2: fine
           "reguła(5,\"q2\",[\"q2\"],1,\"0.5\")\n"         // reads itself, but q2 has rule 4
           "reguła(6,\"z\",[\"b\",\"nb\"],1,\"0.5\")\n");  // b and nb, b askable
    EXPECT_EQ(k.found(),
              (std::vector<std::string>{
                  "rule-never-fires reguła#0: Reguła 1 nigdy nie zostanie zastosowana: warunku 'q' nie można "
                  "spłaszczyć (wnioskują go tylko reguły, które prowadzą w koło bez wyjścia do warunków "
                  "dopytywalnych).",
                  "unreachable-conclusion reguła#0: Wniosku 'p' nie osiągnie żadna konsultacja: żadna z "
                  "reguł, które "
                  "go wnioskują, nie może zostać zastosowana.",
                  "rule-never-fires reguła#1: Reguła 2 nigdy nie zostanie zastosowana: warunku 'p' nie można "
                  "spłaszczyć (wnioskują go tylko reguły, które prowadzą w koło bez wyjścia do warunków "
                  "dopytywalnych).",
                  "unreachable-conclusion reguła#1: Wniosku 'q' nie osiągnie żadna konsultacja: żadna z "
                  "reguł, które "
                  "go wnioskują, nie może zostać zastosowana.",
                  "rule-never-fires reguła#2: Reguła 3 nigdy nie zostanie zastosowana: warunku 'p' nie można "
                  "spłaszczyć (wnioskują go tylko reguły, które prowadzą w koło bez wyjścia do warunków "
                  "dopytywalnych).",
                  "unreachable-conclusion reguła#2: Wniosku 'w' nie osiągnie żadna konsultacja: żadna z "
                  "reguł, które "
                  "go wnioskują, nie może zostać zastosowana.",
                  "negated-condition-asked reguła#5: Reguła 6 ma warunki 'b' i 'nb': konsultacja pyta o nie "
                  "osobno, bo 'nb' nie jest zaprzeczeniem warunku dopytywalnego 'b'; aby się wykluczały, "
                  "zapisz je razem w bazie ograniczeń dokładnych.",
              }));
}

TEST(Completeness, LongCircleAndWideRuleEndInLinearTime) {
    std::string text;
    const int n = 30000;
    for (int i = 0; i < n; ++i)
        text += "reguła(" + std::to_string(i + 1) + ",\"c" + std::to_string(i) + "\",[\"c" +
                std::to_string((i + 1) % n) + "\"],1,\"0.8\")\n";
    std::string wide = "reguła(" + std::to_string(n + 1) + ",\"w\",[";
    for (int i = 0; i < 1000; ++i)
        wide += (i ? ",\"x" : "\"x") + std::to_string(i) + "\"";
    text += wide + "],1,\"0.9\")\n";
    Kb k;
    k.with(BaseKind::Rules, text);
    auto found = znajdz_anomalie(k.kb, "/nonexistent", "X");
    EXPECT_EQ(found.size(), 2u * n);  // every rule of the circle and every conclusion on it
}

TEST(Completeness, SameConclusionAndConditionsWithDifferentCfs) {
    Kb k;
    k.with(BaseKind::Rules,
           "reguła(1,\"c\",[\"a\",\"b\"],1,\"0.8\")\nreguła(2,\"c\",[\"b\",\"a\"],1,\"0.5\")\n"
           "reguła(3,\"c\",[\"a\",\"b\"],1,\"0.80\")\nreguła(4,\"d\",[\"a\",\"b\"],1,\"0.1\")\n");
    EXPECT_EQ(k.found(),
              (std::vector<std::string>{
                  "conflicting-duplicate-rule reguła#1: Reguły 1 i 2 mają ten sam wniosek 'c' i te same "
                  "warunki, lecz różne CF (0.8 i 0.5)."}));
}

TEST(Completeness, UnusedModelsArgumentsModelFactsAndConstraintMembers) {
    Kb k;
    k.with(BaseKind::Rules,
           "reguła(1,\"alarm\",[\"goraco\",\"a\"],1,\"0.9\")\nreguła(2,\"d\",[\"e\"],1,\"0.5\")\n")
        .with(BaseKind::Models,
              "model(1,\"bez_warunku\",\"t\",\"x\",\"+\",\"1\",1,\"1\")\n"
              "model(2,\"bez_warunku\",\"goraco\",\"t\",\">\",\"30\",1,\"0.8\")\n"
              "model(3,\"bez_warunku\",\"martwy\",\"x\",\"*\",\"2\",1,\"1\")\n"
              "argument_znany(\"x\",1.5)\nargument_znany(\"y\",2.0)\n"
              "m_fakt(\"lato\",\"1\")\n")
        .with(BaseKind::ExactConstraints, "ograniczenie(1,[\"a\",\"e\",\"sierota\"])\n")
        .with(BaseKind::UncertainConstraints, "ograniczenie_n(2,[\"d\",\"nikt\"])\n");
    EXPECT_EQ(
        k.found(),
        (std::vector<std::string>{
            "unused-model model#2: Model 3 ma wynik 'martwy', którego nie używa żadna reguła ani żaden "
            "model.",
            "unused-known-argument argument_znany#1: Argument znany 'y' nie jest argumentem żadnego modelu.",
            "unused-model-fact m_fakt#0: Fakt bazy modeli 'lato' nie jest warunkiem stosowania żadnego "
            "modelu.",
            "unused-constraint-member ograniczenie#0: Warunku 'sierota' ograniczenia 1 nie czyta żadna "
            "reguła "
            "ani żaden model.",
            "unused-constraint-member ograniczenie_n#0: Warunku 'nikt' ograniczenia 2 nie czyta żadna reguła "
            "ani "
            "żaden model.",
        }));
}

TEST(Completeness, MediaThatNameMissingRulesOrFiles) {
    testing_support::TempDir temp("zuva-media");
    const fs::path root = temp.path();
    fs::create_directories(root / "BAZY");
    fs::create_directories(root / "RADY" / "X");
    fs::create_directories(root / "GRAFIKA" / "X");
    write_file_bytes((root / "RADY" / "X" / "jest.hlp").string(), "rada");
    write_file_bytes((root / "GRAFIKA" / "X" / "Obraz.BMP").string(), "BM");
    Kb k;
    k.with(BaseKind::Rules, "reguła(1,\"c\",[\"a\"],1,\"0.8\")\n")
        .with(BaseKind::Models, "model(7,\"bez_warunku\",\"c2\",\"x\",\">\",\"0\",1,\"1\")\n")
        .with(BaseKind::Advice, "rada(1,\"jest.hlp\")\nrada(9,\"brak.hlp\")\n")
        .with(BaseKind::Graphics, "grafika(7,\"obraz\")\nngrafika(8,\"obraz\")\n")
        .with(BaseKind::Sounds, "dźwięk(1,\"dzwon\")\n");
    std::vector<std::string> found = k.found((root / "BAZY").string(), "X");
    std::vector<std::string> kinds;
    for (auto& f : found)
        kinds.push_back(f.substr(0, f.find(':')));
    EXPECT_EQ(kinds, (std::vector<std::string>{"unused-model model#0", "dangling-reference rada#1",
                                               "missing-data-file rada#1", "dangling-reference ngrafika#0",
                                               "missing-data-file dźwięk#0"}))
        << ::testing::PrintToString(found);
    EXPECT_NE(found[1].find("Rada 'brak.hlp' dla reguły 9: nie ma reguły o numerze 9."), std::string::npos);
    EXPECT_NE(found[4].find("brak pliku dzwon.wav w katalogu"), std::string::npos);
}

TEST(Completeness, BaseWithoutAnomaliesAndTheLinesOfRecords) {
    Kb k;
    k.with(BaseKind::Rules,
           "fakt(\"a\",\"1\")\nreguła(1,\"c\",[\"a\"],1,\"0.8\")\nreguła(2,\"d\",[\"c\",\"b\"],1,\"0.5\")\n");
    EXPECT_TRUE(k.found().empty());
    RecordLines lines(
        "rem_reguła(\"x\")\r\nreguła(1,\"a\",[],1,\"1\")\r\n  "
        "reguła(2,\"b\",[],1,\"1\")\rfakt(\"a\",\"1\")\n");
    EXPECT_EQ(lines.line_of("reguła", 1), std::optional<int>(3));
    EXPECT_EQ(lines.line_of("fakt", 0), std::optional<int>(4));
    EXPECT_EQ(lines.line_of("reguła", 2), std::nullopt);
}

class CompletenessFiles : public testing_support::TempDirTest {
  protected:
    CompletenessFiles() : TempDirTest("zuva-kompl") {}
    void SetUp() override {
        TempDirTest::SetUp();
        write_cp1250("REK.BEN",
                     "rem_reguła(\"cykl\")\nreguła(1,\"p\",[\"q\"],1,\"0.8\")\n"
                     "reguła(2,\"q\",[\"p\"],1,\"0.8\")\nreguła(3,\"c\",[\"a\"],1,\"0.5\")\n"
                     "reguła(4,\"c\",[\"a\"],1,\"0.4\")\n");
    }
};

TEST_F(CompletenessFiles, CheckReportsWarningsThatChangeTheStatusOnlyWhenAsked) {
    std::ostringstream out, err;
    const std::string re = (fs::path(dir) / "REK.BEN").string();
    EXPECT_EQ(check_command({"--no-diagnoses", re}, out, err), 0);
    EXPECT_NE(out.str().find(re + ":2:1: warning: Reguła 1 nigdy nie zostanie zastosowana"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find(re + ":5:1: warning: Reguły 3 i 4 mają ten sam wniosek 'c'"), std::string::npos);
    out.str("");
    EXPECT_EQ(check_command({"--no-diagnoses", "--warnings-as-errors", "--format", "json", re}, out, err), 1);
    EXPECT_NE(out.str().find("\"line\":3,\"column\":1,\"level\":\"error\",\"kind\":\"rule-never-fires\""),
              std::string::npos)
        << out.str();
    out.str("");
    EXPECT_EQ(check_command({"--no-diagnoses", "--no-anomalies", re}, out, err), 0);
    EXPECT_EQ(out.str(), "");
}

TEST_F(CompletenessFiles, MenuCommandReportsInTheHelperWindowAndOffersTheReport) {
    ScriptRun run = run_script({"10064", "REK.BEN", "Nie", "Nie", "10076", "Tak", "KOMPL.RPT"}, dir);
    ASSERT_EQ(run.status, 0) << run.error;
    EXPECT_NE(run.transcript.find("[command] 10076 Diagnostyka kompletności bazy wiedzy\n"
                                  " Raport diagnostyki kompletności bazy wiedzy K\n"),
              std::string::npos)
        << run.transcript;
    EXPECT_NE(
        run.transcript.find(" bazy reguł REK.BEN, wiersz 2:\n    Reguła 1 nigdy nie zostanie zastosowana"),
        std::string::npos);
    EXPECT_NE(
        run.transcript.find("[note] Diagnostyka kompletności bazy wiedzy\nBaza wiedzy K\nzawiera 5 anomalii"),
        std::string::npos);
    auto saved = read_file_bytes((fs::path(dir) / "KOMPL.RPT").string());
    ASSERT_TRUE(saved);
    EXPECT_NE(cp1250_to_utf8(*saved)->find("Reguły 3 i 4 mają ten sam wniosek"), std::string::npos);
}

}  // namespace
}  // namespace zuva
