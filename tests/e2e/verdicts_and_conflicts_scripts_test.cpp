// Whole runs in-process over small bases written by each test: the joint contradiction report
// names a form with the constraint it breaks, verdicts go with their base, a conflict of
// exclusive conditions caused by answers ends the run normally, the two-member partner of an
// answer is completed first, and the report of external contradictions of an untested base.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "script_run.h"
#include "shell/script_loop.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

class VerdictScript : public testing_support::TempDirTest {
  protected:
    VerdictScript() : TempDirTest("zuva-verdict") {}
    void write_base(const std::string& name, const std::string& text) {
        ASSERT_TRUE(write_file_bytes(dir + "/" + name, utf8_to_cp1250_lossy(text)));
    }
    void go(const std::vector<std::string>& answers) {
        run = run_script(answers, dir);
        out = run.transcript;
    }
    bool has(const std::string& needle) const { return out.find(needle) != std::string::npos; }
    std::size_t at(const std::string& needle, std::size_t from = 0) const {
        auto p = out.find(needle, from);
        return p == std::string::npos ? out.size() + 1 : p;
    }
    int count(const std::string& needle) const {
        int n = 0;
        for (auto p = out.find(needle); p != std::string::npos; p = out.find(needle, p + 1))
            ++n;
        return n;
    }
    ScriptRun run;
    std::string out;
};

// Rule 1 flattens through rule 2 into [a,b,c,d], which breaks both constraints, and through
// rule 3 into [a,b,e], which breaks constraint 1 only: every reported form is named with a
// constraint that it breaks (the form with e never with constraint 2), for both kinds.
TEST_F(VerdictScript, JointContradictionReportNamesEachFormWithAConstraintItBreaks) {
    write_base("REJ.BEN",
               "reguła(1,\"w\",[\"p\"],1,\"0.8\")\nreguła(2,\"p\",[\"a\",\"b\",\"c\",\"d\"],1,\"0.8\")\n"
               "reguła(3,\"p\",[\"a\",\"b\",\"e\"],1,\"0.8\")\n");
    write_base("OGJ.BEN", "ograniczenie(1,[\"a\",\"b\"])\nograniczenie(2,[\"c\",\"d\"])\n");
    write_base("ONJ.BEN", "ograniczenie_n(1,[\"a\",\"b\"])\nograniczenie_n(2,[\"c\",\"d\"])\n");
    go({"10064", "REJ.BEN", "Nie", "Nie", "10093", "OGJ.BEN", "Tak", "Nie", "10100", "Nie", "10103",
        "ONJ.BEN", "Tak", "Nie", "10110", "Nie"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    // The report lines (the notes repeat them without the leading blanks).
    struct Kind {
        const char* command;
        const char* form;
        const char* constraint;
    };
    for (const Kind k : {Kind{"[command] 10100", "\n   regula_splaszczona(1, w, [", "\n   ograniczenie("},
                         Kind{"[command] 10110", "\n  regula_splaszczona(1, w, [", "\n  ograniczenie_n("}}) {
        SCOPED_TRACE(k.command);
        const std::size_t from = at(k.command), to = at(" Czy zachować raport?", from);
        ASSERT_LT(from, out.size());
        int forms = 0;
        for (std::size_t p = out.find(k.form, from); p < to; p = out.find(k.form, p + 1)) {
            const std::string form = out.substr(p, out.find(')', p) - p);
            const std::size_t c = out.find(k.constraint, p);
            ASSERT_LT(c, to);
            const std::string constraint = out.substr(c, out.find(')', c) - c);
            ++forms;
            // The form breaks the constraint: both of its members are in the form.
            const bool first = constraint.find("(1, [a,b]") != std::string::npos;
            const bool second = constraint.find("(2, [c,d]") != std::string::npos;
            ASSERT_TRUE(first || second) << constraint;
            for (const char* m :
                 first ? std::vector<const char*>{"a", "b"} : std::vector<const char*>{"c", "d"})
                EXPECT_NE(form.find(m, form.find('[')), std::string::npos) << form << " / " << constraint;
        }
        EXPECT_EQ(forms, 2) << out.substr(from, to - from);
    }
}

// A model base with a repeated number, then "Tworzenie bazy modeli": the verdict goes with
// the base, and inference starts. The same after a cancelled model load, and an exact
// constraint base created anew no longer counts as loaded.
TEST_F(VerdictScript, VerdictsAndNamesGoWithTheirBase) {
    write_base("REV.BEN", "reguła(1,\"w\",[\"a\"],1,\"0.8\")\nreguła(2,\"v\",[\"b\"],1,\"0.8\")\n");
    write_base("MOV.BEN",
               "model(1,\"bez warunku\",\"y\",\"x1\",\"+\",\"x2\",1,\"1\")\n"
               "model(1,\"bez warunku\",\"z\",\"x1\",\"*\",\"x2\",1,\"1\")\n");
    write_base("OGV.BEN", "ograniczenie(1,[\"a\",\"b\"])\n");
    const std::vector<std::string> load = {"10064", "REV.BEN", "Nie", "Nie", "10077", "MOV.BEN"};
    const std::string refused = "Numery reguł, modeli lub ograniczeń załadowanej bazy wiedzy powtarzają się.";
    // Created anew: nothing to be refused for.
    go({"10064", "REV.BEN", "Nie", "Nie", "10077", "MOV.BEN", "10164", "10088", "MONOWY.BEN", "Nie", "10164",
        "1", "NIE", "1", "1", "1", "NIE", "Nie"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    EXPECT_EQ(count(refused), 1) << out;
    EXPECT_LT(at(refused), at("[command] 10088"));
    EXPECT_TRUE(has("    w(0.8)\n")) << out;
    // A cancelled load: the same.
    go({"10064", "REV.BEN", "Nie", "Nie", "10077", "MOV.BEN", "10077", "", "10164", "1", "NIE", "1", "1", "1",
        "NIE", "Nie"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    EXPECT_EQ(count(refused), 0) << out;
    EXPECT_TRUE(has("    w(0.8)\n")) << out;
    // An exact constraint base created anew is not listed at the start of a run, and a is
    // asked as any condition.
    go({"10064", "REV.BEN", "Nie", "Nie", "10093", "OGV.BEN", "Nie", "Nie", "10098", "OGNOWY.BEN", "Nie",
        "10164", "1", "NIE", "1", "0.5", "0.5", "NIE", "Nie"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    const std::string forward = out.substr(at("[command] 10164"));
    EXPECT_EQ(forward.find("bazy ograniczeń dokładnej"), std::string::npos) << forward;
    EXPECT_EQ(forward.find("Bazy ograniczeń elementarnej dokładnej"), std::string::npos) << forward;
    EXPECT_NE(forward.find("    w(0.4)\n"), std::string::npos) << forward;
}

// Constraints 1 [a,b] and 2 [b,c]: a true makes b false; c answered false then wants b true.
// The answers, not the base, are blamed; the run ends with its summary and report questions,
// and the next run starts.
TEST_F(VerdictScript, ConflictOfAnswersEndsTheRunNormallyAndIsForgottenAtTheNextStart) {
    write_base("REK.BEN",
               "reguła(1,\"x1\",[\"a\"],1,\"0.8\")\nreguła(2,\"x2\",[\"c\"],1,\"0.8\")\n"
               "reguła(3,\"x3\",[\"b\"],1,\"0.8\")\n");
    write_base("OGK.BEN", "ograniczenie(1,[\"a\",\"b\"])\nograniczenie(2,[\"b\",\"c\"])\n");
    go({"10064", "REK.BEN", "Nie", "Nie", "10093", "OGK.BEN", "Nie", "Nie", "10164", "1", "NIE",
        "1",     "1",       "-1",  "NIE", "Nie",   "10164",   "1",   "NIE", "1",     "1"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    EXPECT_TRUE(has(
        "Sprzeczne odpowiedzi! Dwa warunki wykluczające się:\n    c (z odpowiedzi)\n    b (z odpowiedzi)\n"
        "z ograniczenia dokładnego 2 mają CF=-1.0, a jeden z nich musi mieć CF=1.0.\n"))
        << out;
    EXPECT_FALSE(has("Błąd bazy reguł!")) << out;
    const std::size_t second = at("[command] 10164", at("[command] 10164") + 1);
    ASSERT_LT(second, out.size());
    const std::string first_run = out.substr(0, second);
    EXPECT_NE(first_run.find("Brak możliwości dalszego wnioskowania!"), std::string::npos) << first_run;
    EXPECT_NE(first_run.find("[question] Raport wnioskowania/diagnostyki"), std::string::npos) << first_run;
    EXPECT_NE(first_run.find("    x1(0.8)\n"), std::string::npos) << first_run;
    // The second run is not refused: it asks again.
    const std::string next = out.substr(second);
    EXPECT_EQ(next.find("W bazie wiedzy stwierdzono błąd warunków wykluczających się."), std::string::npos)
        << next;
    EXPECT_NE(next.find("name: a\n"), std::string::npos) << next;
}

// Constraints 1 [a,b] and 2 [a,c,d]: a answered -1 gives b 1.0 at once, before c and d of
// the larger constraint are asked; b is never asked.
TEST_F(VerdictScript, TwoMemberPartnerOfAFalseAnswerIsTrueBeforeTheLargerConstraint) {
    write_base("REP.BEN",
               "reguła(1,\"x1\",[\"a\"],1,\"0.8\")\nreguła(2,\"x2\",[\"b\"],1,\"0.8\")\n"
               "reguła(3,\"x3\",[\"c\"],1,\"0.8\")\nreguła(4,\"x4\",[\"d\"],1,\"0.8\")\n");
    write_base("OGP.BEN", "ograniczenie(1,[\"a\",\"b\"])\nograniczenie(2,[\"a\",\"c\",\"d\"])\n");
    go({"10064", "REP.BEN", "Nie", "Nie", "10093", "OGP.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", "-1",
        "1", "NIE", "Nie"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    EXPECT_FALSE(has("name: b\n")) << out;
    EXPECT_TRUE(has("name: c\n")) << out;
    EXPECT_FALSE(has("Dwa warunki wykluczające się")) << out;
    EXPECT_TRUE(has("    x1(-0.8)\n")) << out;
    EXPECT_TRUE(has("    x2(0.8)\n")) << out;
}

// A circular base loaded again with its test declined (the report command stays enabled from
// the first load): the report command says it was not tested and offers the test, which
// finds the contradiction and reports it. The redundancy report command goes off once its
// report has run.
TEST_F(VerdictScript, ReportsOfUntestedAndUsedUpDiagnoses) {
    write_base("REC.BEN", "reguła(1,\"p\",[\"q\",\"a\"],1,\"0.8\")\nreguła(2,\"q\",[\"p\"],1,\"0.9\")\n");
    go({"10064", "REC.BEN", "Tak", "10064", "REC.BEN", "Nie", "Nie", "10073", "Nie", "10073", "Tak", "Nie"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    const std::string second = out.substr(at("[command] 10073"));
    EXPECT_EQ(second.find("nie jest zewnętrznie"), std::string::npos) << second;
    EXPECT_EQ(count("nie była diagnozowana na obecność sprzeczności zewnętrznych."), 3) << out;
    EXPECT_NE(second.find("[note] Informacja o sprzeczności\n"), std::string::npos) << second;
    EXPECT_NE(second.find("-sprzeczna z regułą"), std::string::npos) << second;

    write_base("REN.BEN", "reguła(1,\"w\",[\"a\",\"b\"],1,\"0.8\")\nreguła(2,\"w\",[\"a\"],1,\"0.7\")\n");
    go({"10064", "REN.BEN", "Nie", "Tak", "10075", "Nie", "10075"});
    EXPECT_EQ(run.status, kExitScriptError) << out;
    EXPECT_NE(run.error.find("wiersz 7"), std::string::npos) << run.error;
    EXPECT_EQ(count("[command] 10075"), 1) << out;
}

// The editor window of a script: lines give the new text or a file to take it from, and
// "Zapisz", "Zapisz jako" or closing with the question end it; a script without editor
// lines leaves the file as it was.
TEST_F(VerdictScript, ScriptEditorSavesWhatTheLinesGive) {
    write_base("REE.BEN", "reguła(1,\"w\",[\"a\"],1,\"0.8\")\n");
    write_base("nowa.txt", "reguła(1,\"ż\",[\"c\"],1,\"0.6\")\n");
    // Old scripts: the editor takes no line, the command after it runs.
    go({"10064", "REE.BEN", "Nie", "Nie", "10070", "REE.BEN", "Nie", "10170"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    EXPECT_TRUE(has("[command] 10170")) << out;
    EXPECT_EQ(read_file_bytes(dir + "/REE.BEN"), utf8_to_cp1250_lossy("reguła(1,\"w\",[\"a\"],1,\"0.8\")\n"));
    // New text line by line, "Zapisz": written in Windows-1250, and loaded next.
    go({"10064",
        "REE.BEN",
        "Nie",
        "Nie",
        "10070",
        "REE.BEN",
        "Nie",
        "tekst: reguła(1,\"w\",[\"b\"],1,\"0.5\")",
        "tekst: reguła(2,\"v\",[\"w\"],1,\"0.9\")",
        "Zapisz",
        "10064",
        "REE.BEN",
        "Nie",
        "Nie",
        "10164",
        "1",
        "NIE",
        "1",
        "1",
        "NIE",
        "Nie"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    EXPECT_EQ(read_file_bytes(dir + "/REE.BEN"),
              utf8_to_cp1250_lossy("reguła(1,\"w\",[\"b\"],1,\"0.5\")\nreguła(2,\"v\",[\"w\"],1,\"0.9\")\n"));
    EXPECT_TRUE(has("answer: Zapisz\nPlik : " + dir + "/REE.BEN został zapisany\n[note] Uwaga!\nPlik " + dir +
                    "/REE.BEN został zapisany.\n"))
        << out;
    EXPECT_TRUE(has("name: b\n")) << out;
    EXPECT_TRUE(has("    v(0.45)\n")) << out;
    // A file's content, "Zapisz jako" under another name: the edited file stays.
    go({"10070", "REE.BEN", "Nie", "plik: nowa.txt", "Zapisz jako", "REINNA.BEN"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    EXPECT_EQ(read_file_bytes(dir + "/REINNA.BEN"),
              utf8_to_cp1250_lossy("reguła(1,\"ż\",[\"c\"],1,\"0.6\")\n"));
    EXPECT_NE(read_file_bytes(dir + "/REE.BEN"), read_file_bytes(dir + "/REINNA.BEN"));
    // Closing: "NIE" writes nothing and starts a new helper window; "TAK" saves.
    go({"10070", "REINNA.BEN", "Nie", "tekst: x", "Zamknij", "NIE", "10070", "REINNA.BEN", "Nie", "tekst: y",
        "Zamknij", "TAK"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    EXPECT_TRUE(has("answer: Zamknij\n[question] Zapis pliku\nCzy zapisać aktualną postać pliku ?\n")) << out;
    EXPECT_TRUE(has("answer: &NIE\n[new-helper] 100\n")) << out;
    EXPECT_EQ(read_file_bytes(dir + "/REINNA.BEN"), std::optional<std::string>("y\n"));
    // A file that is not there is an error of the script.
    go({"10070", "REINNA.BEN", "Nie", "plik: brak.txt"});
    EXPECT_EQ(run.status, kExitScriptError);
    EXPECT_NE(run.error.find("wiersz 4"), std::string::npos) << run.error;
}

// Closing the text browse window sets the title back to the program name; closing the
// askable-items list starts a new helper window.
TEST_F(VerdictScript, ClosedBrowseWindowsRestoreTitleAndHelperWindow) {
    write_base("REB.BEN", "reguła(1,\"w\",[\"a\"],1,\"0.8\")\n");
    go({"10064", "REB.BEN", "Nie", "Nie", "10068", "Nie", "10069"});
    ASSERT_EQ(run.status, kExitOk) << run.error << out;
    const std::size_t browse = at("[browse] ");
    ASSERT_LT(browse, out.size()) << out;
    EXPECT_LT(at("[title] zuva_EN\n", browse), at("[command] 10069")) << out;
    const std::size_t list = at("[browse-list] ");
    ASSERT_LT(list, out.size()) << out;
    EXPECT_LT(at("[new-helper] 100\n", list), out.size()) << out;
}

}  // namespace
}  // namespace zuva
