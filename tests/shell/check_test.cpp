// `zuva check`: each kind of finding on a small base, the line of the record at fault,
// the JSON form, the exit statuses, and a base that passes without a word.
#include "shell/check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "shell/finding_text.h"
#include "support/sample_base.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

class Check : public testing_support::TempDirTest {
  protected:
    Check() : TempDirTest("zuva-check") {}
    std::string base(const std::string& name, const std::string& utf8) { return write_cp1250(name, utf8); }
    int check(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return check_command(args, out, err);
    }
    bool has(const std::string& needle) const { return out.str().find(needle) != std::string::npos; }
    std::ostringstream out, err;
};

TEST_F(Check, BaseWithoutFaultsPassesSilently) {
    std::string re = base("REDOBRA.BEN",
                          "fakt(\"a\",\"1.0\")\nreguła(1,\"c\",[\"a\",\"b\"],1,\"0.8\")\n"
                          "reguła(2,\"d\",[\"c\",\"e\"],1,\"0.6\")\n");
    EXPECT_EQ(check({re}), 0) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(check({"--format", "json", re}), 0);
    EXPECT_EQ(out.str(), "{\"file\":\"" + re + "\",\"bases\":[\"" + re +
                             "\"],\"errors\":0,\"warnings\":0,\"findings\":[]}\n");
}

TEST_F(Check, SyntaxErrorIsPlacedAtItsLineAndColumn) {
    std::string re =
        base("REBLAD.BEN", "reguła(1,\"c\",[\"a\"],1,\"0.8\")\nreguła(2,\"d\",[\"a\"] 1,\"0.5\")\n");
    EXPECT_EQ(check({re}), 1);
    EXPECT_TRUE(has(re + ":2:20: error: Błąd syntaksu: ")) << out.str();
    // An empty line at the end is the system's "empty lines" report.
    re = base("REPUSTA.BEN", "reguła(1,\"c\",[\"a\"],1,\"0.8\")\n\n");
    EXPECT_EQ(check({re}), 1);
    EXPECT_TRUE(has(re + ":2:1: error: Baza zawiera puste linie!")) << out.str();
}

TEST_F(Check, LoadTestsReportAtTheRecordAtFault) {
    // Rule number 2 twice: the numbering test; the error sits on the first rule 2.
    std::string re = base("RENUM.BEN",
                          "reguła(1,\"c\",[\"a\"],1,\"0.8\")\nreguła(2,\"d\",[\"a\"],1,\"0.5\")\n"
                          "reguła(2,\"e\",[\"b\"],1,\"0.5\")\n");
    EXPECT_EQ(check({re}), 1);
    EXPECT_TRUE(has(re + ":2:1: error: W bazie reguł elementarnej niepewnej")) << out.str();
    // A CF text that is no number.
    re = base("RECF.BEN", "reguła(1,\"c\",[\"a\"],1,\"0.8\")\nreguła(2,\"d\",[\"a\"],1,\"dużo\")\n");
    EXPECT_EQ(check({re}), 1);
    EXPECT_TRUE(has(re + ":2:1: error: ")) << out.str();
    // A single-condition rule with CF 1 is only a warning.
    re = base("RETAUT.BEN", "reguła(1,\"c\",[\"a\",\"b\"],1,\"0.8\")\nreguła(7,\"d\",[\"a\"],1,\"1\")\n");
    EXPECT_EQ(check({re}), 0) << out.str();
    EXPECT_TRUE(
        has(re + ":2:1: warning: W bazie reguł elementarnej niepewnej RETAUT.BEN jest reguła 7 z wnioskiem"))
        << out.str();
    EXPECT_EQ(check({"--warnings-as-errors", re}), 1);
}

TEST_F(Check, DiagnosesFindContradictionsAndRedundancy) {
    std::string re = base("RESPRZ.BEN",
                          "reguła(1,\"a\",[\"b\"],1,\"0.8\")\nreguła(2,\"x\",[\"y\"],1,\"0.5\")\n"
                          "reguła(3,\"b\",[\"a\"],1,\"0.5\")\n");
    EXPECT_EQ(check({re}), 1);
    EXPECT_TRUE(has(re + ":1:1: error: Reguła 1 jest zewnętrznie")) << out.str();
    EXPECT_TRUE(has(re + ":3:1: error: Reguła 3 jest zewnętrznie")) << out.str();
    // Without the diagnoses only the completeness warnings remain (the circle never fires).
    EXPECT_EQ(check({"--no-diagnoses", re}), 0) << out.str();
    EXPECT_FALSE(has(": error: "));
    EXPECT_TRUE(has(re + ":1:1: warning: Reguła 1 nigdy nie zostanie zastosowana")) << out.str();

    re = base("RENADM.BEN", "reguła(1,\"c\",[\"a\",\"b\"],1,\"0.8\")\nreguła(2,\"c\",[\"a\"],1,\"0.5\")\n");
    EXPECT_EQ(check({re}), 0);
    EXPECT_TRUE(has(re + ":1:1: warning: W wyniku spłaszczenia reguły 1")) << out.str();
}

// A circle of rules keeps the flattening diagnoses from running: the bases beside are still
// read (their syntax, the unused model), and one finding names what was not run.
TEST_F(Check, ACircleHidesNothingElse) {
    std::string re = base("REKOLO.BEN",
                          "reguła(1,\"a\",[\"b\"],1,\"0.8\")\nreguła(2,\"b\",[\"a\"],1,\"0.5\")\n"
                          "reguła(3,\"c\",[\"x\"],1,\"0.5\")\nreguła(4,\"c\",[\"x\"],1,\"0.5\")\n"
                          "reguła(5,\"d\",[\"p\",\"q\"],1,\"0.5\")\n");
    std::string og = base("OGKOLO.BEN", "ograniczenie(1,[\"p\",\"q\"])\n");
    std::string mo = base("MOKOLO.BEN", "model(1,\"bez_warunku\",\"v\",\"t\",\"+\",\"1\",1,\"1\")\n");
    EXPECT_EQ(check({re}), 1);
    EXPECT_TRUE(has(re + ":1:1: error: Reguła 1 jest zewnętrznie")) << out.str();
    EXPECT_TRUE(has(mo + ":1:1: warning: Model 1 ma wynik 'v', którego nie używa")) << out.str();
    EXPECT_TRUE(has(re +
                    ":1:1: warning: Baza reguł jest zewnętrznie sprzeczna i nie daje się spłaszczyć, więc "
                    "nie wykonano testów redundancy, model-contradiction, model-rule-contradiction, "
                    "exact-constraint-contradiction, exact-constraint-redundancy, exclusive-conclusions-one, "
                    "exclusive-conclusions-none, non-exclusive-conclusions i nie załadowano baz " +
                    mo + ", " + og + "."))
        << out.str();
    // A syntax error of a base beside is found as well.
    base("MOKOLO.BEN", "model(1,\n");
    EXPECT_EQ(check({re}), 1);
    EXPECT_TRUE(has(mo + ":1:9: error: Błąd syntaksu")) << out.str();
}

// The sample: one exclusiveness verdict instead of three that say the same, its rules in
// number order; a team's settings beside the base let it pass --warnings-as-errors, and the
// same settings work from the command line.
TEST_F(Check, OneVerdictRulesInNumberOrderAndKindsSwitchedDown) {
    fs::copy(testing_support::kExamples, dir, fs::copy_options::recursive);
    const std::string re = (fs::path(dir) / "BAZY" / "REAUTO.BEN").string();
    EXPECT_EQ(check({"--warnings-as-errors", re}), 0) << out.str();
    const std::string text = out.str();
    std::size_t verdicts = 0;
    for (std::size_t at = 0; (at = text.find("nie wykluczają się", at)) != std::string::npos; ++at)
        ++verdicts;
    EXPECT_EQ(verdicts, 1u) << text;
    EXPECT_TRUE(has("reguły 1 (brak_paliwa), 2 (brak_paliwa), 3 (koniec), 4 (")) << text;
    EXPECT_TRUE(has("18 (wezwij_pomoc_drogowa), 20 (uszkodzony_akumulator)\n")) << text;
    const std::string conf = (fs::path(dir) / "BAZY" / "zuva-check.conf").string();
    fs::remove(conf);
    EXPECT_EQ(check({"--warnings-as-errors", re}), 1);
    // With the broadest verdict off, the next one says it (once); the warned kind stays a warning.
    EXPECT_EQ(check({"--warnings-as-errors", "--warn", "single-condition-rule", "--disable",
                     "non-exclusive-conclusions", re}),
              1);
    EXPECT_FALSE(has("nie wykluczają się wzajemnie:")) << out.str();
    EXPECT_FALSE(has("nie wykluczają się wzajemnie do jednego:")) << out.str();
    EXPECT_TRUE(has("error: Wnioski następujących reguł nie wykluczają się wzajemnie do żadnego:"))
        << out.str();
    EXPECT_TRUE(has("warning: W bazie reguł elementarnej niepewnej REAUTO.BEN jest reguła 3")) << out.str();
    // A line that cannot be read is exit 2 at its place.
    base("BAZY/zuva-check.conf", "# ustawienia\nwarn single-condition-rule\ndisable nadmiar\n");
    EXPECT_EQ(check({re}), 2);
    EXPECT_NE(err.str().find("zuva-check.conf:3: nieznany rodzaj 'nadmiar'"), std::string::npos) << err.str();
    EXPECT_EQ(check({"--disable", "nadmiar", re}), 2);
}

// Messages that lead the author to the fault: how many fields a record has, the table name
// meant, no list announced with nothing after its colon, no parenthesis left open, no menu.
TEST_F(Check, MessagesSayWhatIsWrong) {
    const std::vector<std::pair<std::string, std::string>> syntax = {
        {"reguła(1,\"c\",[\"a\",\"b\"],1)\n",
         ":1:25: error: Błąd syntaksu: Rekord reguła ma 5 pól, a podano 4."},
        {"reguła(1,\"c\",[\"a\"],1,\"0.5\",\"x\")\n",
         ":1:27: error: Błąd syntaksu: Rekord reguła ma 5 pól, a podano 6."},
        {"regula(1,\"c\",[\"a\"],1,\"0.5\")\n",
         ":1:7: error: Błąd syntaksu: Nieznana nazwa tabeli regula (czy chodziło o reguła?)."},
        // A missing comma stays what it is.
        {"reguła(1,\"c\",[\"a\"] 1,\"0.5\")\n", ":1:20: error: Błąd syntaksu: Po polu rekordu musi wystąpić"},
    };
    for (const auto& [text, message] : syntax) {
        const std::string re = base("RESKL.BEN", text);
        EXPECT_EQ(check({re}), 1);
        EXPECT_TRUE(has(re + message)) << out.str();
    }
    // Flattening through no other rule, and a rule on both members of an exact constraint.
    std::string re = base("REPL.BEN",
                          "reguła(1,\"c\",[\"a\",\"b\"],1,\"0.8\")\nreguła(2,\"c\",[\"a\",\"e\"],1,\"0.5\")\n"
                          "reguła(3,\"e\",[\"b\"],1,\"0.5\")\nreguła(4,\"d\",[\"p\",\"q\"],1,\"0.5\")\n");
    base("OGPL.BEN", "ograniczenie(1,[\"p\",\"q\"])\n");
    EXPECT_EQ(check({re}), 1);
    EXPECT_TRUE(has("regula_splaszczona(1, c, [\"b\",\"a\"]) W wyniku spłaszczenia reguły 2")) << out.str();
    EXPECT_TRUE(has("Spłaszczenie uzyskano za pomocą reguł o numerach: 3. Reguły 1 i 2")) << out.str();
    EXPECT_TRUE(has("regula_splaszczona(4, d, [\"q\",\"p\"]) Reguła 4 jest bezpośrednio")) << out.str();
    for (const char* wrong : {"numerach: W", ": )", ":\n", "opcji"})
        EXPECT_EQ(out.str().find(wrong), std::string::npos) << wrong << "\n" << out.str();
    // A verdict's directions to a menu are left out, the verdict kept.
    EXPECT_EQ(
        check::without_question("Model 2 ma wynik x.\nW tym celu musisz przejść do opcji:\n  'Baza modeli'"),
        "Model 2 ma wynik x.");
}

TEST_F(Check, BasesBesideTheRuleBaseAreCheckedWithIt) {
    std::string re = base("REMOD.BEN", "reguła(1,\"c\",[\"w\"],1,\"0.8\")\n");
    std::string mo =
        base("MOMOD.BEN", "rem_model(\"x\")\nmodel(4,\"bez_warunku\",\"x\",\"x\",\"+\",\"1\",1,\"1\")\n");
    base("MOINNA.BEN", "zepsuty(\n");  // another knowledge base: not read
    // A model whose result is its own argument makes the model base contradictory: an error
    // at the model's line, from the model diagnosis, and no load error beside it.
    EXPECT_EQ(check({"--format=json", re}), 1) << out.str();
    EXPECT_TRUE(has("\"bases\":[\"" + re + "\",\"" + mo + "\"]")) << out.str();
    EXPECT_TRUE(has("{\"file\":\"" + mo +
                    "\",\"line\":2,\"column\":1,\"level\":\"error\",\"kind\":\"model-contradiction\","
                    "\"message\":\"Model arytmetyczny 4 ma wynik 'x' tożsamy ze swym argumentem."))
        << out.str();
    EXPECT_TRUE(has("\"errors\":1,")) << out.str();
}

// The distinguishing name is the whole name after the two-letter prefix: an advice base of
// another name that shares its last letters is not read, the data directory is the one of
// this name, and the note that the advice base was loaded is no finding.
TEST_F(Check, AdviceBaseAndDataDirectoryOfTheSameDistinguishingName) {
    fs::create_directories(fs::path(dir) / "BAZY");
    fs::create_directories(fs::path(dir) / "RADY" / "MED");
    write_file_bytes((fs::path(dir) / "RADY" / "MED" / "jest.hlp").string(), "rada");
    std::string re = base("BAZY/REMED.BEN", "reguła(1,\"c\",[\"w\"],1,\"0.8\")\n");
    std::string ra = base("BAZY/RAMED.BEN", "rada(1,\"jest.hlp\")\n");
    base("BAZY/RAAED.BEN", "zepsuty(\n");
    EXPECT_EQ(check({"--format=json", re}), 0) << out.str();
    EXPECT_TRUE(has("\"bases\":[\"" + re + "\",\"" + ra + "\"]")) << out.str();
    EXPECT_TRUE(has("\"errors\":0,\"warnings\":0,")) << out.str();
    // The same record with its file gone from the data directory is one warning.
    fs::remove(fs::path(dir) / "RADY" / "MED" / "jest.hlp");
    write_file_bytes((fs::path(dir) / "RADY" / "MED" / "inna.hlp").string(), "rada");
    EXPECT_EQ(check({re}), 0) << out.str();
    EXPECT_EQ(out.str(), ra + ":1:1: warning: Rada 'jest.hlp' dla reguły 1: brak pliku jest.hlp w katalogu " +
                             (fs::path(dir) / "RADY" / "MED").string() + ".\n");
}

TEST_F(Check, ModelsOfOneResultThatMayBothApplyAreErrors) {
    std::string re = base("REWYN.BEN",
                          "reguła(1,\"w\",[\"v\"],1,\"0.9\")\nreguła(3,\"c1\",[\"p\",\"k\"],1,\"0.8\")\n"
                          "reguła(4,\"c2\",[\"k\"],1,\"0.8\")\nreguła(5,\"m\",[\"q\"],1,\"0.8\")\n");
    base(
        "MOWYN.BEN",
        "model(1,\"c1\",\"t\",\"a\",\"+\",\"b\",1,\"1\")\nmodel(2,\"c2\",\"t\",\"a\",\"-\",\"b\",1,\"1\")\n");
    EXPECT_EQ(check({"--no-anomalies", re}), 1) << err.str();
    const std::string mo = (fs::path(dir) / "MOWYN.BEN").string();
    EXPECT_TRUE(has(mo +
                    ":1:1: error: Baza modeli zawiera modele elementarne o tych samych wynikach/wnioskach: t "
                    "Warunki stosowania tych modeli nie wykluczają się,"))
        << out.str();
    // With the constraint of p and q, c1 and c2 still hold together with k: the rules are
    // listed in the finding they belong to, the closing advice is left out.
    base("OGWYN.BEN", "ograniczenie(1,[\"p\",\"q\"])\n");
    EXPECT_EQ(check({"--no-anomalies", re}), 1) << err.str();
    EXPECT_TRUE(has(mo +
                    ":1:1: error: Wnioski następujących reguł, bedące warunkami startowymi modeli o tych "
                    "samych wynikach/wnioskach, nie wykluczają się wzajemnie: reguły 3 (c1), 4 (c2)\n"))
        << out.str();
    EXPECT_FALSE(has("Numer reguły")) << out.str();
    EXPECT_FALSE(has("Załadowane bazy")) << out.str();
}

TEST_F(Check, BadArgumentsAndUnreadableFilesGiveStatusTwo) {
    EXPECT_EQ(check({}), 2);
    EXPECT_NE(err.str().find("nie podano pliku"), std::string::npos);
    EXPECT_EQ(check({"--format", "xml", "RE.BEN"}), 2);
    EXPECT_EQ(check({"--bez-sensu", "RE.BEN"}), 2);
    EXPECT_EQ(check({(fs::path(dir) / "REBRAK.BEN").string()}), 2);
    EXPECT_EQ(check({dir}), 2);
    // A good base and a missing one: the worse status wins, the good one is still checked.
    std::string re = base("REOK.BEN", "reguła(1,\"c\",[\"a\"],1,\"0.8\")\n");
    EXPECT_EQ(check({re, (fs::path(dir) / "REBRAK.BEN").string()}), 2);
}

// An editor's buffers are checked in place of the files: the text held, not the one on
// disk; a base of the name held but not yet saved is checked with the rule base; a syntax
// error of the text held is placed as the reader places it.
TEST_F(Check, TextsHeldByAnEditorAreCheckedInPlaceOfTheirFiles) {
    std::string re =
        base("REBUF.BEN", "reguła(1,\"a\",[\"b\"],1,\"0.8\")\nreguła(2,\"x\",[\"y\"],1,\"0.5\")\n");
    CheckOptions o;
    CheckResult r = check_knowledge_base(re, o);
    for (const auto& f : r.findings)
        EXPECT_FALSE(f.error) << f.message;
    const std::string contradictory =
        "reguła(1,\"a\",[\"b\"],1,\"0.8\")\nreguła(2,\"x\",[\"y\"],1,\"0.5\")\n"
        "reguła(3,\"b\",[\"a\"],1,\"0.5\")\n";
    o.texts[re] = contradictory;
    r = check_knowledge_base(re, o);
    auto at = [&](const std::string& file, int line, const std::string& kind) {
        for (const auto& f : r.findings)
            if (f.file == file && f.line == line && f.kind == kind && f.error) return true;
        return false;
    };
    EXPECT_TRUE(at(re, 1, "external-contradiction"));
    EXPECT_TRUE(at(re, 3, "external-contradiction"));
    // The model base of the name exists only in the editor (beside a rule base that is not
    // contradictory: the bases beside a contradictory one are not loaded).
    o.texts.erase(re);
    const std::string mo = path("MOBUF.BEN");
    o.texts[mo] = "model(4,\"bez_warunku\",\"y\",\"t\",\"+\" 1,1,\"1\")\n";
    r = check_knowledge_base(re, o);
    EXPECT_TRUE(at(mo, 1, "syntax"));
    EXPECT_EQ(r.files, (std::vector<std::string>{re, mo}));
    auto syntax = syntax_finding(BaseKind::Models, o.texts[mo], mo);
    ASSERT_TRUE(syntax);
    EXPECT_EQ(syntax->column, 35);
    EXPECT_EQ(syntax->message, "Błąd syntaksu: Po polu rekordu musi wystąpić przecinek lub nawias ).");
    EXPECT_FALSE(fs::exists(mo));  // nothing was written for it

    // A check asked to stop ends between its steps, marked as cut short.
    o.texts.erase(mo);
    o.texts[re] = contradictory;
    int asked = 0;
    o.cancelled = [&] { return ++asked > 1; };
    r = check_knowledge_base(re, o);
    EXPECT_TRUE(r.cancelled);
    for (const auto& f : r.findings)
        EXPECT_NE(f.kind, "external-contradiction");
}

}  // namespace
}  // namespace zuva

namespace zuva {
namespace {

// The texts base: a text for a name the base does not have is an error at its record (with
// the nearest known name offered), a syntax error is placed as in every base, a good texts
// base adds nothing, and the askable names without a text are warned of only when asked.
TEST_F(Check, TextsBaseNamesAreCheckedAgainstTheKnowledgeBase) {
    const std::string rules = "reguła(1,\"awaria\",[\"mroz\",\"stary_akumulator\"],1,\"0.8\")\n";
    struct Case {
        const char* name;
        const char* texts;  // UTF-8; "" for no texts base
        std::vector<std::string> args;
        int status;
        std::vector<std::string> expected;  // after "FILE:", in order of the output
    };
    const Case cases[] = {
        {"good",
         "rem_tekst(\"x\")\ntekst(\"mroz\",\"Czy jest mróz?\")\npomoc(\"awaria\",\"Wynik.\")\n",
         {},
         0,
         {}},
        {"unknown",
         "tekst(\"mroz\",\"Czy jest mróz?\")\ntekst(\"stary_akumultor\",\"Stary?\")\n"
         "tekst_w_języku(\"en\",\"zima\",\"Winter?\")\n",
         {},
         1,
         {"2:1: error: Baza tekstów podaje tekst nazwy \"stary_akumultor\", której nie ma w bazie wiedzy. "
          "Czy "
          "chodziło o \"stary_akumulator\"?",
          "3:1: error: Baza tekstów podaje tekst nazwy \"zima\""}},
        {"syntax",
         "tekst(\"mroz\",\"Czy jest mróz?\")\ntkest(\"awaria\",\"Awaria\")\n",
         {},
         1,
         {"2:6: error: Błąd syntaksu"}},
        {"missing asked for",
         "tekst(\"mroz\",\"Czy jest mróz?\")\n",
         {"--enable", "missing-text"},
         0,
         {"1:1: warning: Pytanie o \"stary_akumulator\" nie ma tekstu"}},
        {"missing off", "tekst(\"mroz\",\"Czy jest mróz?\")\n", {}, 0, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = "t" + std::to_string(++n) + "/";
        fs::create_directories(path(dir));
        const std::string re = base(dir + "REZIMA.BEN", rules);
        const std::string te = base(dir + "TEZIMA.BEN", c.texts);
        std::vector<std::string> args = c.args;
        args.push_back(re);
        EXPECT_EQ(check(args), c.status) << out.str();
        std::size_t at = 0;
        for (const auto& e : c.expected) {
            at = out.str().find(te + ":" + e, at);
            EXPECT_NE(at, std::string::npos) << e << "\n" << out.str();
        }
        if (c.expected.empty()) EXPECT_EQ(out.str(), "");
    }
}

}  // namespace
}  // namespace zuva
