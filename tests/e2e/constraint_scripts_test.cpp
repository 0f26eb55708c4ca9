// Constraint bases through the terminal program: loading with the shape checks, the
// questions for members of exact and uncertain constraints and the completion of the other
// members in forward runs, facts that contradict a constraint, and the askable file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "script_run.h"
#include "support/sample_base.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(ZUVA_TEST_DATA) + "/e2e";
using testing_support::kExamples;

class ConstraintScript : public testing_support::AnswerScriptTest {
  protected:
    ConstraintScript() : AnswerScriptTest("zuva-og") {}
    void SetUp() override {
        AnswerScriptTest::SetUp();
        if (HasFatalFailure()) return;
        for (const char* name : {"REOGR.BEN", "OGOGR.BEN", "ONOGR.BEN"})
            fs::copy_file(fs::path(kData) / name, fs::path(dir) / name);
    }
    // A base file written in Windows-1250 from UTF-8 text.
    void write_base(const std::string& name, const std::string& text) {
        ASSERT_TRUE(write_file_bytes(path(name), utf8_to_cp1250_lossy(text)));
    }
    // Position of a piece of the transcript (npos + 1 when missing), for order checks.
    std::size_t at(const std::string& needle) const {
        auto p = out.find(needle);
        return p == std::string::npos ? out.size() + 1 : p;
    }
    int count(const std::string& needle) const {
        int n = 0;
        for (auto p = out.find(needle); p != std::string::npos; p = out.find(needle, p + 1))
            ++n;
        return n;
    }
};

// Loading the rule base with both tests declined, then both constraint bases, declining the
// joint diagnoses each offers.
const std::vector<std::string> kLoadAll = {"10064", "REOGR.BEN", "Nie",   "Nie",       "10093", "OGOGR.BEN",
                                           "Nie",   "Nie",       "10103", "ONOGR.BEN", "Nie",   "Nie"};

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(ConstraintScript, LoadsBothKindsAndEnablesTheirCommands) {
    EXPECT_EQ(run(with(kLoadAll, {"10095", "10106", "Nie"})), 0) << out;
    EXPECT_TRUE(has("Baza ograniczeń dokładna OGOGR.BENzostała załadowana!\n")) << out;
    EXPECT_TRUE(
        has("[note] Wynik ładowania bazy ograniczeń dokładnej\nBaza ograniczeń dokładna\n   OGOGR.BEN\n"
            "została załadowana."));
    EXPECT_TRUE(
        has("[note] Wynik ładowania bazy ograniczeń niepewnej\nBaza ograniczeń niepewna\n   ONOGR.BEN\n"
            "została załadowana."));
    EXPECT_TRUE(
        has("[records] Przegląd ograniczeń dokładnych\nSumaryczna liczba ograniczeń: 2\n"
            "Nr ograniczenia:\n1. 1\n2. 2\nanswer: \n[new-helper] 100\n"))
        << out;
    EXPECT_TRUE(
        has("[browse] Przegląd bazy ograniczeń niepewnych: ONOGR.BEN\n"
            "rem_ograniczenie_n(\"Warunki wykluczające się niepewnie\")\n"))
        << out;
}

TEST_F(ConstraintScript, ForwardRunAsksMembersAndCompletesTheOthers) {
    // a: 0.5 refused, 1 (b follows); c: -1, d is declared -1 in the walk (e follows); f: 0.6
    // (g follows); h: 0.3, then i and j declared (1.5 refused).
    EXPECT_EQ(run(with(kLoadAll, {"10164", "1", "NIE", "1", "0.5", "1", "-1", "-1", "0.6", "0.3", "0.2",
                                  "1.5", "0.1", "NIE", "Nie"})),
              0)
        << out;
    // The exact member: its note, the refusal, the accepted answer; b is never asked.
    EXPECT_TRUE(
        has("[note] Uwaga!\nWarunek\n a\njest w bazie ograniczeń dokładnej.\n"
            "Określ CF warunku równe -1.0 lub 1.0.\n"))
        << out;
    EXPECT_TRUE(
        has("     Źle! Musi być -1 = CF  lub CF = 1 ! \n[note]\nŹle! Musi być -1 = CF  lub CF = 1 !\n"))
        << out;
    EXPECT_FALSE(has("name: b\n"));
    EXPECT_FALSE(has("name: e\n"));
    EXPECT_FALSE(has("name: g\n"));
    // The walk after c(-1): the explanation, then d asked with the walk's title.
    EXPECT_LT(at("[explanation] CF warunków wykluczających bazy ograniczeń dokładnych"),
              at("title:  Dla warunków z bazy ograniczeń dokładnych CF =1 lub -1\nname: d\n"));
    EXPECT_TRUE(has("więc warunek e ma CF=1."));
    // The uncertain three: the declared member shown, the others declared, 1.5 refused.
    EXPECT_TRUE(
        has("[explanation] Wartości CF dla warunków dopytywalnych z bazy ograniczeń niepewnych\n"
            "Zadeklarowano wartości CF dla następujących warunków dopytywalnych\n"
            "z bazy ograniczeń niepewnych: \n    h(0.3)\n"))
        << out;
    EXPECT_EQ(count("title:  Dla warunków z bazy ograniczeń niepewnych CF mieści się w przedziale[1,-1]\n"),
              3);
    // The results: every rule applied with the completed CFs.
    for (const char* line :
         {"    x1(0.8)\n", "    x2(-0.8)\n", "    x3(-0.8)\n", "    x4(-0.8)\n", "    x5(0.8)\n",
          "    x6(0.48)\n", "    x7(-0.48)\n", "    x8(0.24)\n", "    x9(0.08)\n"})
        EXPECT_TRUE(has(line)) << line << out;
    EXPECT_TRUE(has("Brak możliwości dalszego wnioskowania!"));
}

TEST_F(ConstraintScript, FactsContradictingAnExactConstraintStopInference) {
    std::string rules =
        "fakt(\"a\",\"1.0\")\nfakt(\"b\",\"1.0\")\n" + cp1250_to_utf8(file("REOGR.BEN")).value_or("");
    write_base("REOGR.BEN", rules);
    EXPECT_EQ(run(with(kLoadAll, {"10164", "1", "NIE", "1", "10164", "10170"})), 0) << out;
    EXPECT_TRUE(
        has("Błąd bazy reguł! Dwa warunki wykluczające się:\n    a\n    b\n"
            "z ograniczenia dokładnego 1 zostały zadeklarowane w bazie reguł jako fakty z CF=1.0.\n"
            "Wnioskowanie nie jest możliwe! Aby poprawić bazę reguł przejdź do opcji:\n"
            " 'Baza reguł niepewna/Edycja bazy reguł' \n"))
        << out;
    EXPECT_TRUE(has("[note] Uwaga błąd!\nBłąd bazy reguł! Dwa warunki wykluczające się:"));
    EXPECT_FALSE(has("Brak możliwości dalszego wnioskowania!"));
    // The second command is refused without a dialog of its own.
    EXPECT_LT(at("[command] 10164"), at("[command] 10170"));
    const std::string second = out.substr(out.rfind("[command] 10164"));
    EXPECT_EQ(second.find("[radio]"), std::string::npos) << second;
}

TEST_F(ConstraintScript, BadConstraintBasesAreRejected) {
    // One condition only.
    write_base("OGOGR.BEN", "ograniczenie(1,[\"a\",\"b\"])\nograniczenie(5,[\"c\"])\n");
    EXPECT_EQ(run({"10064", "REOGR.BEN", "Nie", "Nie", "10093", "OGOGR.BEN", "10095"}), 2) << out;
    EXPECT_TRUE(
        has("Baza ograniczeń OGOGR.BEN\nma ograniczenie 5 z listą warunków dopytywalnych\n"
            "wzajemnie wykluczających się, zawierającą mniej niż dwa warunki: [c]\n"
            "Przejdź do 'Baza ograniczeń'\n"))
        << out;
    EXPECT_TRUE(
        has("[note] Uwaga błąd!\nBaza ograniczeń rozwinięta dokładna\n   OGOGR.BEN\nma ograniczenie 5."));
    EXPECT_FALSE(has("BENzostała załadowana!"));
    // A rule conclusion is not askable.
    write_base("ONOGR.BEN", "ograniczenie_n(1,[\"f\",\"x1\"])\n");
    EXPECT_EQ(run({"10064", "REOGR.BEN", "Nie", "Nie", "10103", "ONOGR.BEN", "10105"}), 2) << out;
    EXPECT_TRUE(
        has("W bazie ograniczeń niepewnej mogą być wyłącznie listy warunków dopytywalnych\n"
            "wykluczających się niepewnie.\n"
            "Warunek 'x1' w ograniczeniu 1 bazy ograniczeń niepewnej ONOGR.BEN nie jest warunkiem "
            "dopytywalnym.\n"))
        << out;
    EXPECT_TRUE(has("\n wybrać opcję 'Edycja bazy reguł'\n"));  // the damaged letter mended
    // A file that cannot be read: the reader's positioned error, nothing loaded.
    write_base("OGOGR.BEN", "ograniczenie(1,[\"a\" \"b\"])\n");
    EXPECT_EQ(run({"10064", "REOGR.BEN", "Nie", "Nie", "10093", "OGOGR.BEN", "10095"}), 2) << out;
    EXPECT_TRUE(has("Błąd syntaksu w pliku")) << out;
    EXPECT_TRUE(has("Przejdż do 'Bazy ograniczeń  dokładnej'\n"));
    // Without a rule base nothing is loaded.
    EXPECT_EQ(run({"10093"}), 2) << out;
}

TEST_F(ConstraintScript, NoRuleBaseMessage) {
    // The load command is enabled by a rule-base load only; a base that was loaded and then
    // failed leaves it enabled, and the load then asks for the rule base.
    EXPECT_EQ(run({"10064", "REOGR.BEN", "Nie", "Nie", "10064", "", "10093"}), 0) << out;
    EXPECT_TRUE(
        has("[command] 10093 Ładowanie bazy ograniczeń dokładnych\n[note] Uwaga!\n"
            "Proszę załadować bazę reguł!\n"))
        << out;
    EXPECT_FALSE(has("[open-file] Wybierz nazwę bazy ograniczeń  dokładnej:"));
}

TEST_F(ConstraintScript, ModelArgumentsMayBeMembersWhenTheModelBaseIsLoaded) {
    for (const char* name : {"REAUTO.BEN", "MOAUTO.BEN"})
        fs::copy_file(fs::path(kExamples) / "BAZY" / name, fs::path(dir) / name);
    write_base("OGAUTO.BEN", "ograniczenie(1,[\"napiecie_spoczynkowe\",\"rozrusznik_nie_kreci\"])\n");
    // Without the model base the argument is not askable.
    EXPECT_EQ(run({"10064", "REAUTO.BEN", "Nie", "Nie", "Nie", "10093", "OGAUTO.BEN"}), 0) << out;
    EXPECT_TRUE(
        has("Warunek 'napiecie_spoczynkowe' w ograniczeniu 1 bazy ograniczeń dokładnej OGAUTO.BEN nie "
            "jest warunkiem dopytywalnym."))
        << out;
    EXPECT_EQ(run({"10064", "REAUTO.BEN", "Nie", "Nie", "Nie", "10077", "MOAUTO.BEN", "10093", "OGAUTO.BEN",
                   "Nie", "Nie", "10095"}),
              0)
        << out;
    EXPECT_TRUE(has("Baza ograniczeń dokładna OGAUTO.BENzostała załadowana!")) << out;
    EXPECT_TRUE(has("[records] Przegląd ograniczeń dokładnych")) << out;
}

// Rules over the members of two constraints: 3 names both members of constraint 1, 4 names c
// and, through 5, d; 1 and 2 cover constraint 1 under x; 6, 7 and 8 for the analysis.
const char* const kJointRules =
    "reguła(1,\"w\",[\"x\",\"a\"],1,\"0.8\")\n"
    "reguła(2,\"w\",[\"x\",\"b\"],1,\"0.8\")\n"
    "reguła(3,\"v\",[\"a\",\"b\"],1,\"0.8\")\n"
    "reguła(4,\"u\",[\"p\",\"c\"],1,\"0.8\")\n"
    "reguła(5,\"p\",[\"d\"],1,\"0.8\")\n"
    "reguła(6,\"w1\",[\"a\"],1,\"0.8\")\n"
    "reguła(7,\"w2\",[\"b\"],1,\"0.8\")\n"
    "reguła(8,\"w5\",[\"e\"],1,\"0.8\")\n";

// Both kinds: the diagnoses accepted at load find the contradictions and the redundancy and
// enable their reports, which name every rule with its form and constraint.
TEST_F(ConstraintScript, JointDiagnosesAtLoadAndTheirReportsForBothKinds) {
    write_base("RELACZ.BEN", kJointRules);
    write_base("OGLACZ.BEN", "ograniczenie(1,[\"a\",\"b\"])\nograniczenie(2,[\"c\",\"d\"])\n");
    write_base("ONLACZ.BEN", "ograniczenie_n(1,[\"a\",\"b\"])\nograniczenie_n(2,[\"c\",\"d\"])\n");
    EXPECT_EQ(run({"10064",      "RELACZ.BEN", "Nie", "Nie",      "10093", "OGLACZ.BEN", "Tak",
                   "Tak",        "10100",      "Tak", "SPRZ.RPT", "10101", "Nie",        "10103",
                   "ONLACZ.BEN", "Tak",        "Tak", "10110",    "Nie",   "10111",      "Nie"}),
              0)
        << out << file("err.txt");
    // Exact constraints: the verdicts at load, in order.
    EXPECT_LT(at("[note] Informacja o sprzeczności\nBaza reguł elementarna niepewna\n   RELACZ.BEN\ni baza "
                 "ograniczeń elementarna dokładna\n   OGLACZ.BEN\nzawierają co najmniej jedną sprzeczność "
                 "łączną typu SEN/D2."),
              at("[note] Być może wykryto nadmiarowość łączną\nBaza reguł elementarna niepewna\n   "
                 "RELACZ.BEN\ni baza ograniczeń elementarna dokładna\n   OGLACZ.BEN\nmogą zawierać "
                 "nadmiarowość łączną niepewną typu NEN/D2."))
        << out;
    // The contradiction report, saved: rule 3 directly, rule 4 through rule 5.
    const std::string report = cp1250_to_utf8(file("SPRZ.RPT")).value_or("");
    for (const char* piece :
         {" Raport diagnostyki sprzeczności łącznych pomiędzy \\n bazą reguł:                   RELACZ.BEN",
          "   regula_splaszczona(3, v, [b,a])\\n Spłaszczenie uzyskano za pomocą reguł o numerach: \\n "
          "Reguła 3 "
          "jest bezpośrednio SEN/D2-sprzeczna z ograniczeniem dokładnym 1 o postaci:\\n   ograniczenie(1, "
          "[a,b])",
          "   regula_splaszczona(4, u, [c,d])\\n Spłaszczenie uzyskano za pomocą reguł o numerach: 5\\n "
          "Reguła 4 "
          "jest pośrednio łącznie SEN/D2-sprzeczna z ograniczeniem dokładnym 2 o postaci:\\n   "
          "ograniczenie(2, [c,d])",
          " Koniec raportu diagnostyki sprzeczności łącznych"})
        EXPECT_NE(report.find(piece), std::string::npos) << piece << "\n" << report;
    // The redundancy report: rules 1 and 2 with constraint 1, not the others.
    const std::size_t redundancy = at("[command] 10101");
    EXPECT_LT(redundancy, at("   regula_splaszczona(1, w, [a,x])\n"));
    EXPECT_LT(at("   regula_splaszczona(1, w, [a,x])\n"), at("   regula_splaszczona(2, w, [b,x])\n"));
    EXPECT_LT(at("   regula_splaszczona(2, w, [b,x])\n"),
              at(" Wymienione reguły oraz ograniczenie 1 o postaci\n   ograniczenie(1, [a,b]) mogą zawierać "
                 "nadmiarowość typu NEN/D2\n"));
    EXPECT_EQ(out.find("regula_splaszczona(6", redundancy), std::string::npos) << out;
    // Uncertain constraints: the same findings under their own names and texts.
    EXPECT_TRUE(has("zawierają co najmniej jedną sprzeczność łączną typu SEN/N2.")) << out;
    EXPECT_TRUE(
        has(" Reguła 3 jest bezpośrednio SEN/N2-sprzeczna z ograniczeniem 1 o postaci\n"
            "  ograniczenie_n(1, [a,b])\n"))
        << out;
    EXPECT_TRUE(
        has(" Reguła 4 jest pośrednio SEN/N2-sprzeczna z ograniczeniem 2 o postaci\n"
            "  ograniczenie_n(2, [c,d])\n"))
        << out;
    EXPECT_TRUE(
        has(" Wymienione reguły oraz ograniczenie 1 o postaci\n   ograniczenie_n(1, [a,b]) mogą "
            "zawierać nadmiarowość łączną typu NEN/N2\n"))
        << out;
    EXPECT_EQ(count("[question] Raport wnioskowania/diagnostyki"), 4);
}

// The analysis of the chosen rules' conclusions against the exact constraint: to one, to
// at most one (rules sharing x), and not exclusive (e lies in no constraint).
TEST_F(ConstraintScript, ExclusionOfChosenConclusionsWithEachVerdict) {
    write_base("RELACZ.BEN", kJointRules);
    write_base("OGLACZ.BEN", "ograniczenie(1,[\"a\",\"b\"])\nograniczenie(2,[\"c\",\"d\"])\n");
    EXPECT_EQ(run({"10064", "RELACZ.BEN", "Nie", "Nie", "10093", "OGLACZ.BEN", "Nie", "Nie", "10147", "6,7",
                   "10148", "1,2", "10147", "6,8", "10149", "6,8"}),
              0)
        << out;
    const std::string one =
        "\nWnioski następujących reguł wykluczają się wzajemnie do jednego:\n\n"
        "Numer reguły:  6    Wniosek:  w1\n"
        "[note] Wnioski następujących reguł wykluczają się wzajemnie do jednego:\n"
        "Numer reguły:  6    Wniosek:  w1\n"
        "Numer reguły:  7    Wniosek:  w2\n";
    const std::string none =
        "\nWnioski następujących reguł wykluczają się wzajemnie do żadnego:\n\n"
        "Numer reguły:  1    Wniosek:  w\n"
        "[note] Wnioski następujących reguł wykluczają się wzajemnie do żadnego:\n"
        "Numer reguły:  1    Wniosek:  w\n"
        "Numer reguły:  2    Wniosek:  w\n";
    const std::string not_one =
        "\nWnioski następujących reguł nie wykluczają się wzajemnie do jednego:\n\n"
        "Numer reguły:  6    Wniosek:  w1\n";
    const std::string not_at_all =
        "\nWnioski następujących reguł nie wykluczają się wzajemnie: \n\n"
        "Numer reguły:  6    Wniosek:  w1\n"
        "[note] Wnioski następujących reguł nie wykluczają się wzajemnie:\n";
    EXPECT_LT(at(one), at(none)) << out;
    EXPECT_LT(at(none), at(not_one)) << out;
    EXPECT_LT(at(not_one), at(not_at_all)) << out;
    EXPECT_EQ(count("\nWnioski następujących reguł"), 4);  // one verdict a command
    EXPECT_EQ(count("[multi-list] Wybór wniosków do testowania wykluczalności\n"
                    "Wybierz wnioski, których wykluczalność chcesz testować!\n1. 1  w\n"),
              4);
}

TEST_F(ConstraintScript, AskableFileListsTheMembersInTheirSections) {
    EXPECT_EQ(run(with(kLoadAll, {"10160", "DOP.txt"})), 0) << out;
    EXPECT_EQ(cp1250_to_utf8(file("DOP.txt")).value_or("<none>"),
              "Warunki dopytywalne niewykluczające się bazy reguł REOGR.BEN\n"
              "Warunki dopytywalne wzajemnie dokładnie wykluczające się bazy reguł REOGR.BEN\n"
              "   a#   b#\n   c#   d#   e#\n"
              "Warunki dopytywalne wzajemnie niepewnie wykluczające się bazy regul REOGR.BEN\n"
              "   f#   g#\n   h#   i#   j#\n");
}

}  // namespace
}  // namespace zuva
