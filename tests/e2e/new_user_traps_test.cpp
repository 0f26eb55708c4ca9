// Traps a new user met, driven through answer scripts in-process: a run ended by a "koniec"
// rule still ends as every run does; an argument the user does not know is asked once and
// the conclusions it leaves without a CF are named; blanks around a typed number; negated
// conditions alike in the consultation and in `zuva check`; the check's analysis lines
// folded into the finding they support; list positions in the transcript.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "script_run.h"
#include "shell/check.h"
#include "shell/script_loop.h"
#include "support/sample_base.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDirTest;

using testing_support::kExamples;

const std::vector<std::string>& kSymptoms = testing_support::kSampleSymptoms;

class Traps : public TempDirTest {
  protected:
    Traps() : TempDirTest("zuva-traps") {}
    void put(const std::string& name, const std::string& utf8) {
        ASSERT_TRUE(write_file_bytes(path(name), utf8_to_cp1250_lossy(utf8)));
    }
    std::string path(const std::string& name) const { return (fs::path(dir) / name).string(); }
    static bool has(const std::string& hay, const std::string& needle) {
        return hay.find(needle) != std::string::npos;
    }
    static std::size_t count(const std::string& hay, const std::string& needle) {
        std::size_t n = 0;
        for (std::size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1))
            ++n;
        return n;
    }
    // The block headers of a transcript from the first line that holds `from` on.
    static std::vector<std::string> headers_from(const std::string& transcript, const std::string& from) {
        std::vector<std::string> out;
        std::istringstream in(transcript.substr(std::min(transcript.find(from), transcript.size())));
        for (std::string line; std::getline(in, line);)
            if (line.rfind("[", 0) == 0) out.push_back(line);
        return out;
    }
    std::string summary(const std::string& name) const {
        return cp1250_to_utf8(read_file_bytes(path(name)).value_or("")).value_or("");
    }
};

// The sample run with the fuel gauge at zero: the fuel rule's "koniec" ends the run, which
// still gives the resultants of what was concluded, the final listing, the summary and the
// report question, in the order of a run that ends for want of further rules.
TEST_F(Traps, KoniecRuleEndsTheRunThroughItsUsualEnd) {
    fs::copy(kExamples, dir, fs::copy_options::recursive);
    const std::string bazy = path("BAZY");
    auto consult = [&](const std::string& gauge, const std::string& summary_file) {
        std::vector<std::string> a = {"10064", "REAUTO.BEN", "Nie", "Nie", "Nie", "10164", "1", "NIE", "1"};
        for (const auto& s : kSymptoms)
            a.push_back(s == "wskaznik_paliwa_na_zero" ? gauge : "-1");
        a.insert(a.end(), {"TAK", summary_file, "Nie"});
        return run_script(a, bazy);
    };
    ScriptRun ended = consult("1", "K.txt");
    ASSERT_EQ(ended.status, 0) << ended.error << ended.transcript;
    ScriptRun usual = consult("-1", "Z.txt");
    ASSERT_EQ(usual.status, 0) << usual.error;
    const std::string& t = ended.transcript;
    ASSERT_TRUE(has(t, "[note] Uwaga - koniec!\nReguła z wnioskiem 'koniec' kończy wnioskowanie.\n")) << t;
    EXPECT_LT(t.find("[note] Uwaga - koniec!"), t.find("Brak możliwości dalszego wnioskowania!"));
    // The conclusions whose rules had all been applied get their resultants after the note.
    EXPECT_LT(t.find("[note] Uwaga - koniec!"),
              t.find("[explanation] Wypadkowe CF wniosku reguł kumulatywnych (pojedynczej reguły)",
                     t.find("[note] Uwaga - koniec!")));
    // From the end note on, the dialogs are those of the usual end.
    EXPECT_EQ(headers_from(t, "[note] Uwaga!\nBrak możliwości"),
              headers_from(usual.transcript, "[note] Uwaga!\nBrak możliwości"));
    const std::string k = summary(bazy + "/K.txt");
    EXPECT_TRUE(has(k, "    brak_paliwa(0.67)")) << k;
    EXPECT_TRUE(has(k, "    uszkodzony_akumulator(")) << k;
    EXPECT_FALSE(has(k, "koniec(")) << k;
}

// An argument left empty is not asked again by the next model that needs it; the final
// listing names the conclusions that stayed without a CF and why.
TEST_F(Traps, UnknownArgumentIsAskedOnceAndItsConclusionsAreNamed) {
    put("REARG.BEN",
        "reguła(1,\"w1\",[\"r1\"],1,\"0.9\")\n"
        "reguła(2,\"w2\",[\"r2\"],1,\"0.9\")\n");
    put("MOARG.BEN",
        "model(1,\"bez_warunku\",\"r1\",\"x\",\">\",\"1\",1,\"cf1\")\n"
        "model(2,\"bez_warunku\",\"r2\",\"x\",\"<\",\"5\",1,\"cf2\")\n");
    ScriptRun run = run_script({"10064", "REARG.BEN", "Nie", "Nie", "10077", "MOARG.BEN", "10164", "1", "NIE",
                                "1", "", "NIE", "Nie"},
                               dir);
    ASSERT_EQ(run.status, 0) << run.error << run.transcript;
    EXPECT_EQ(count(run.transcript, "[value] Określ wartość argumentu"), 1u) << run.transcript;
    EXPECT_FALSE(has(run.transcript, "Nie wpisano wartości"));
    EXPECT_TRUE(
        has(run.helper, "Nie podano wartości argumentów: x.\nZ tego powodu bez CF pozostały wnioski:\n"))
        << run.helper;
    EXPECT_TRUE(has(run.helper, "    r1: brak CF\n")) << run.helper;
    EXPECT_TRUE(has(run.helper, "bo argument x nie ma wartości")) << run.helper;
}

// Blanks around a typed CF are no part of it.
TEST_F(Traps, BlanksAroundATypedNumberAreAccepted) {
    put("REB.BEN", "reguła(1,\"c\",[\"a\"],1,\"0.8\")\n");
    ScriptRun run =
        run_script({"10064", "REB.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", " 0.5 ", "NIE", "Nie"}, dir);
    ASSERT_EQ(run.status, 0) << run.error << run.transcript;
    EXPECT_EQ(count(run.transcript, "[value] Określ wartość CF"), 1u) << run.transcript;
    EXPECT_TRUE(has(run.helper, "CF(a) = 0.5\n")) << run.helper;
    EXPECT_TRUE(has(run.helper, "c(0.4)")) << run.helper;
}

// "n" + X beside an askable X is a condition of its own: the consultation asks it and the
// rule may give a positive CF, and `zuva check` says so instead of "never positive"; only an
// exact constraint that holds both makes the rule never positive, in both.
TEST_F(Traps, NegatedConditionsAgreeInConsultationAndCheck) {
    put("RENEG.BEN", "reguła(1,\"c\",[\"b\",\"nb\"],1,\"0.9\")\n");
    ScriptRun run = run_script(
        {"10064", "RENEG.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", "0.9", "0.5", "NIE", "Nie"}, dir);
    ASSERT_EQ(run.status, 0) << run.error << run.transcript;
    EXPECT_TRUE(has(run.transcript, "name: nb\n")) << run.transcript;
    EXPECT_TRUE(has(run.helper, "c(0.45)")) << run.helper;
    CheckResult free = check_knowledge_base(path("RENEG.BEN"), CheckOptions{});
    std::string all;
    for (const auto& f : free.findings)
        all += f.kind + ": " + f.message + "\n";
    EXPECT_FALSE(has(all, "nigdy nie da dodatniego CF")) << all;
    EXPECT_TRUE(
        has(all, "negated-condition-asked: Reguła 1 ma warunki 'b' i 'nb': konsultacja pyta o nie osobno"))
        << all;

    // With the exact constraint [b, nb] one of them is -1 whenever the other is 1.
    put("OGNEG.BEN", "ograniczenie(1,[\"b\",\"nb\"])\n");
    CheckResult bound = check_knowledge_base(path("RENEG.BEN"), CheckOptions{});
    all.clear();
    for (const auto& f : bound.findings)
        all += f.kind + ": " + f.message + "\n";
    EXPECT_TRUE(has(all,
                    "rule-never-positive: Reguła 1 nigdy nie da dodatniego CF: jej warunki 'b' i 'nb' "
                    "wykluczają się (ograniczenie dokładne 1)."))
        << all;
    run = run_script({"10064", "RENEG.BEN", "Nie", "Nie", "10093", "OGNEG.BEN", "Nie", "Nie", "10164", "1",
                      "NIE", "1", "1", "NIE", "Nie"},
                     dir);
    ASSERT_EQ(run.status, 0) << run.error << run.transcript;
    EXPECT_FALSE(has(run.transcript, "name: nb\n")) << run.transcript;
    EXPECT_TRUE(has(run.helper, "c(-0.9)")) << run.helper;
}

// The analysis's "Numer reguły: N Wniosek: X" lines are no findings of their own: they are
// listed in the finding they support, placed at its rule.
TEST_F(Traps, CheckFoldsTheAnalysisRuleLinesIntoTheirFinding) {
    CheckResult r = check_knowledge_base(kExamples + "/BAZY/REAUTO.BEN", CheckOptions{});
    std::string all;
    for (const auto& f : r.findings)
        all += f.kind + ": " + f.message + "\n";
    ASSERT_FALSE(r.unreadable);
    for (const auto& f : r.findings)
        EXPECT_NE(f.message.rfind("Numer reguły", 0), 0u) << all;
    EXPECT_LE(r.findings.size(), 8u) << all;
    EXPECT_TRUE(has(all,
                    "Wnioski następujących reguł nie wykluczają się wzajemnie: reguły 1 "
                    "(brak_paliwa), 2 (brak_paliwa), "))
        << all;
}

// In an answer script a list still takes the item's position, also where the items begin
// with rule numbers: position 2 of the sorted rule list is rule 10.
TEST_F(Traps, ScriptListsTakePositionsWhereItemsBeginWithNumbers) {
    fs::copy(kExamples, dir, fs::copy_options::recursive);
    ScriptRun run =
        run_script({"10064", "REAUTO.BEN", "Nie", "Nie", "Nie", "10145", "2", "Nie"}, path("BAZY"));
    ASSERT_EQ(run.status, 0) << run.error << run.transcript;
    EXPECT_TRUE(has(run.transcript, "1. 1  brak_paliwa\n2. 10  uszkodzony_zaplon\n")) << run.transcript;
    EXPECT_TRUE(has(run.helper, "Wyniki spłaszczenia reguły 10:")) << run.helper;
}

}  // namespace
}  // namespace zuva
