// The diagnoses of model bases driven through the terminal program by answer files: loads
// that find contradictions of the models or of models with rules, the refusal of inference,
// and the two reports saved and read back.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "script_run.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

// Rules: w from v, v from z and y; z is the conclusion of the relational models below.
const char* const kRules =
    "reguła(1,\"w\",[\"v\"],1,\"0.9\")\n"
    "reguła(2,\"v\",[\"z\",\"y\"],1,\"0.8\")\n";

const std::vector<std::string> kLoadRules = {"10064", "REDIAG.BEN", "Nie", "Nie"};

std::vector<std::string> join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ModelDiagnosisScript : public testing_support::AnswerScriptTest {
  protected:
    ModelDiagnosisScript() : AnswerScriptTest("zuva-mdiag") { time_limit = 20; }
    void SetUp() override {
        AnswerScriptTest::SetUp();
        if (HasFatalFailure()) return;
        put("REDIAG.BEN", kRules);
    }
    // Base files are written as users have them, in Windows-1250.
    void put(const std::string& name, const std::string& utf8) {
        ASSERT_TRUE(write_file_bytes(path(name), utf8_to_cp1250_lossy(utf8)));
    }
    // Each piece found after the one before it.
    bool in_order(const std::vector<std::string>& pieces) const {
        std::size_t at = 0;
        for (const auto& p : pieces) {
            at = out.find(p, at);
            if (at == std::string::npos) return false;
            at += p.size();
        }
        return true;
    }
    // A report text as the report file quotes it: line feeds as \n.
    static std::string quoted(const std::string& text) {
        std::string q;
        for (char c : text) {
            if (c == '\n')
                q += "\\n";
            else if (c == '"' || c == '\\')
                q += std::string("\\") + c;
            else
                q += c;
        }
        return q;
    }
    // The saved report: one quoted record on a line, in Windows-1250.
    static std::string report_record(const std::string& text) {
        return utf8_to_cp1250_lossy("tekst_raportu(\"" + quoted(text) + "\")\n");
    }
    bool report_has(const std::string& name, const std::string& text) const {
        return file(name).find(utf8_to_cp1250_lossy(quoted(text))) != std::string::npos;
    }
};

const std::vector<std::string> kRulesLoaded = {
    "[command] 10064 Ładowanie bazy &reguł",
    "[open-file] Wybierz nazwę bazy reguł:",
    "answer: REDIAG.BEN",
    "[clear]",
    "[title] zuva_EN wnioskuje dla bazy wiedzy diag",
    "[note] Wynik ładowania bazy reguł",
    "[question] Wybierz",
    "answer: &Nie",
    "[question] Wybierz",
    "answer: &Nie",
    "[command] 10077 Ładowanie bazy modeli",
    "[open-file] Wybierz nazwę bazy modeli :",
    "answer: MODIAG.BEN",
    "[clear]",
    "[note] Wynik ładowania bazy modeli",
    "[note] Diagnozowanie",
};

// x = x + 1: found at load, inference refused with the reason, the report unloads the base
// and is saved and read back.
TEST_F(ModelDiagnosisScript, DirectContradictionReportedSavedAndUnloaded) {
    put("MODIAG.BEN", "model(1,\"bez_warunku\",\"x\",\"x\",\"+\",\"1\",1,\"1\")\n");
    EXPECT_EQ(run(join(kLoadRules, {"10077", "MODIAG.BEN", "10164", "10090", "Tak", "DIAG.RPT", "10151",
                                    "DIAG.RPT", "Nie", "10084"})),
              2);
    EXPECT_EQ(dialogs(), join(kRulesLoaded,
                              {
                                  "[note] Informacja o sprzeczności",
                                  "[command] 10164 Wnioskowanie elementarne niepewne w przód",
                                  "[clear]",
                                  "[note] Uwaga!",
                                  "[command] 10090 Diagnostyka sprzeczności bazy modeli",
                                  "[note] Diagnostyka bezpośredniej sprzeczności modeli arytmetycznych",
                                  "[note] Sprzeczność modelu",
                                  "[note] Sprzeczność modelu",
                                  "[question] Raport wnioskowania/diagnostyki",
                                  "answer: &Tak",
                                  "[save-file] Podaj nazwę nowego pliku raportu",
                                  "answer: DIAG.RPT",
                                  "[note] Uwaga!",
                                  "[command] 10151 Czytanie raportu wnioskowania/diagnostyki",
                                  "[open-file] Wybierz raport do przeczytania :",
                                  "answer: DIAG.RPT",
                                  "[question] Zawiń/rozwiń",
                                  "answer: &Nie",
                                  "[browse] Przegląd",
                                  "[title] zuva_EN",  // the browse window closed
                                  // The failed load enabled no model command.
                                  "[error] wiersz 14",
                              }))
        << out;
    EXPECT_TRUE(has(" W załadowanej bazie modeli MODIAG.BEN\n jest co najmniej jedna sprzeczność. \n\n"));
    EXPECT_TRUE(
        has("[note] Uwaga!\nBaza modeli elementarna niepewna\n   MODIAG.BEN\nma co najmniej jedną "
            "sprzeczność.\nWnioskowanie nie może być rozpoczęte."));
    const std::string report =
        " Raport diagnostyki sprzeczności bazy modeli \n MODIAG.BEN\n\n"
        " Następujące modele arytmetyczne są bezpośrednio sprzeczne:\n"
        " Model 1 ma wynik 'x' tożsamy ze swym argumentem.\n"
        " Przejdź do 'Bazy modeli'\n wybierz opcję 'Edycja bazy modeli', \n wybierz błędną bazę i usuń "
        "błąd.\n"
        "\n\n Koniec raportu diagnostyki sprzeczności bazy modeli e\n MODIAG.BEN.";
    EXPECT_EQ(file("DIAG.RPT"), report_record(report));
    EXPECT_TRUE(has("[browse] Przegląd\n" + report)) << out;
}

// Nested contradictions with their paths; a number is never followed into the model that
// computes it; a relational model concluding its own condition comes after them.
TEST_F(ModelDiagnosisScript, NestedAndRelationalContradictionsWithTheirPaths) {
    put("MODIAG.BEN",
        "model(1,\"bez_warunku\",\"x\",\"y\",\"+\",\"1\",1,\"1\")\n"
        "model(2,\"bez_warunku\",\"y\",\"x\",\"*\",\"2\",1,\"1\")\n"
        "model(3,\"bez_warunku\",\"s\",\"7\",\"+\",\"1\",1,\"1\")\n"
        "model(4,\"bez_warunku\",\"7\",\"u\",\"-\",\"1\",1,\"1\")\n"
        "model(5,\"q\",\"q\",\"x\",\">\",\"3\",1,\"cf1\")\n"
        "model(6,\"bez_warunku\",\"u\",\"s\",\"+\",\"1\",1,\"1\")\n");
    EXPECT_EQ(run(join(kLoadRules, {"10077", "MODIAG.BEN", "10090", "Tak", "NEST.RPT"})), 0);
    EXPECT_TRUE(report_has("NEST.RPT",
                           " Następujące modele arytmetyczne są pośrednio sprzeczne:\n"
                           " Model 1 ma wynik 'x'\n"
                           " tożsamy z jednym z argumentów zagnieżdżających się z nim modeli o numerach:\n"
                           "      2\n"
                           " Można to wykazać usuwając zagnieżdżenie na drodze podstawienia: \n"
                           "      2 ==> 1\n"
                           " Model 2 ma wynik 'y'\n"
                           " tożsamy z jednym z argumentów zagnieżdżających się z nim modeli o numerach:\n"
                           "      1\n"
                           " Można to wykazać usuwając zagnieżdżenie na drodze podstawienia: \n"
                           "      1 ==> 2\n"
                           " Model 4 ma wynik '7'\n"
                           " tożsamy z jednym z argumentów zagnieżdżających się z nim modeli o numerach:\n"
                           "      3,6\n"
                           " Można to wykazać usuwając zagnieżdżenie na drodze podstawienia: \n"
                           "      3 ==> 6 ==> 4\n"
                           " Model 6 ma wynik 'u'\n"))
        << out;
    // Model 3 reads only numbers: "7" is computed by model 4, which leads back to s through
    // model 6, but a number is never followed.
    EXPECT_FALSE(has(" Model 3 ma wynik"));
    EXPECT_TRUE(report_has("NEST.RPT", "      4 ==> 3 ==> 6\n"));
    EXPECT_TRUE(
        has("[note] Sprzeczność modelu arytmetycznego\nModel arytmetyczny 1 ma wynik 'x' \n tożsamy z "
            "jednym z argumentów zagnieżdżających się z nim modeli o numerach:\n 2\nMożna to wykazać "
            "usuwając zagnieżdżenie na drodze podstawienia:\n 2 ==> 1"));
    // Arithmetic and relational: the advice comes once, after the relational part.
    EXPECT_TRUE(report_has("NEST.RPT",
                           " Następujące modele relacyjne są sprzeczne:\n"
                           " Model 5 ma wniosek 'q' tożsamy ze swym warunkiem stosowania.\n"
                           " Przejdź do 'Bazy modeli'\n"));
    EXPECT_EQ(out.find(" Przejdź do 'Bazy modeli'\n"), out.rfind(" Przejdź do 'Bazy modeli'\n"));
    EXPECT_TRUE(
        has("[note] Sprzeczność modelu relacyjnego\nModel 5\nma wniosek 'q' tożsamy ze swym warunkiem "
            "stosowania."));
}

// The relational model 1 concludes z under w; rule 1 concludes w through rule 2 from z: a
// joint contradiction. Both bases stay loaded for editing, inference is refused with the
// reason, the report is saved and read back.
TEST_F(ModelDiagnosisScript, JointContradictionRefusesInferenceAndIsReported) {
    put("MODIAG.BEN", "model(1,\"w\",\"z\",\"a\",\">\",\"b\",1,\"cf1\")\n");
    EXPECT_EQ(run(join(kLoadRules, {"10077", "MODIAG.BEN", "10165", "10091", "Tak", "LACZ.RPT", "10151",
                                    "LACZ.RPT", "Nie", "10087", "MODIAG.BEN", "Nie"})),
              0);
    EXPECT_EQ(dialogs(),
              join(kRulesLoaded,
                   {
                       "[note] Wynik diagnozowania sprzeczności",
                       "[note] Diagnozowanie",
                       "[note] Informacja o sprzecznościach łącznych bazy modeli i bazy reguł",
                       "[command] 10165 Wnioskowanie elementarne niepewne wstecz",
                       "[clear]",
                       "[note] Uwaga!",
                       "[command] 10091 Diagnostyka sprzeczności łącznych bazy modeli i bazy reguł",
                       "[note] Informacja o sprzecznościach łącznych bazy modeli i bazy reguł",
                       "[note] Informacja o sprzecznościach łącznych bazy modeli i bazy reguł",
                       "[note] Diagnostyka sprzeczności zewnętrzych bazy reguł",
                       "[question] Raport wnioskowania/diagnostyki",
                       "answer: &Tak",
                       "[save-file] Podaj nazwę nowego pliku raportu",
                       "answer: LACZ.RPT",
                       "[note] Uwaga!",
                       "[command] 10151 Czytanie raportu wnioskowania/diagnostyki",
                       "[open-file] Wybierz raport do przeczytania :",
                       "answer: LACZ.RPT",
                       "[question] Zawiń/rozwiń",
                       "answer: &Nie",
                       "[browse] Przegląd",
                       "[title] zuva_EN",
                       "[command] 10087 Edycja bazy modeli",
                       "[open-file] Wybierz nazwę edytowanej bazy modeli :",
                       "answer: MODIAG.BEN",
                       "[question] Zawiń/rozwiń",
                       "answer: &Nie",
                       "[editor] " + path("MODIAG.BEN"),
                   }))
        << out;
    EXPECT_TRUE(
        has("Baza modeli  MODIAG.BEN\ni baza reguł REDIAG.BEN\nmają co najmniej jedną sprzeczność łączną. \n"
            "Załadowane bazy możesz tylko edytować, lecz nie możesz korzystać\n"
            "z nich dla wnioskowania. Nie możesz również ładować odpowiadającej im\n"
            "bazy ograniczeń i rad.\nMożesz jednak diagnozować ich sprzeczności łączne.\n"));
    EXPECT_TRUE(has("\nmają co najmniej jedną sprzeczność łączną.\nWnioskowanie nie może być rozpoczęte."));
    const std::string report =
        " Raport diagnostyki sprzeczności łącznych \n bazy reguł  REDIAG.BEN\n bazy modeli MODIAG.BEN\n\n"
        " Model relacyjny 1 jest łącznie sprzeczny z regułą 1\n"
        " Numery reguł spłaszczających: [2]\n"
        " Numery modeli relacyjnych rozwijających warunki: []\n\n"
        " Koniec raportu diagnostyki sprzeczności łącznych \n bazy reguł  REDIAG.BEN\n bazy modeli "
        "MODIAG.BEN";
    EXPECT_EQ(file("LACZ.RPT"), report_record(report));
}

// A clean model base passes both diagnoses with their notes and loads; a circle of three
// relational models under a rule ends without a finding.
TEST_F(ModelDiagnosisScript, CleanBaseAndCircleOfRelationalModelsLoad) {
    put("MODIAG.BEN",
        "model(1,\"c2\",\"c1\",\"a\",\">\",\"1\",1,\"cf1\")\n"
        "model(2,\"c3\",\"c2\",\"a\",\">\",\"2\",1,\"cf2\")\n"
        "model(3,\"c1\",\"c3\",\"a\",\">\",\"3\",1,\"cf3\")\n"
        "model(4,\"w\",\"z\",\"a\",\"<\",\"b\",1,\"cf4\")\n"
        "model(5,\"bez_warunku\",\"a\",\"d\",\"+\",\"1\",1,\"1\")\n");
    put("REDIAG.BEN", "reguła(1,\"w\",[\"c1\",\"y\"],1,\"0.9\")\nreguła(2,\"k\",[\"w\"],1,\"0.8\")\n");
    EXPECT_EQ(run(join(kLoadRules, {"10077", "MODIAG.BEN", "10084", "Nie"})), 0);
    EXPECT_EQ(dialogs(), join(kRulesLoaded,
                              {
                                  "[note] Wynik diagnozowania sprzeczności",
                                  "[note] Diagnozowanie",
                                  "[note] Wynik diagnozowania sprzeczności łącznych",
                                  "[command] 10084 Przegląd wszystkich modeli",
                                  "[question] Zawiń/rozwiń",
                                  "answer: &Nie",
                                  "[browse] Przegląd pliku bazy modeli: MODIAG.BEN",
                                  "[title] zuva_EN",
                              }))
        << out;
    EXPECT_TRUE(in_order(
        {"Baza modeli elementarna niepewna MODIAG.BEN jest diagnozowana na obecnośc sprzeczności.\n"
         "Czas diagnozowania jest zależny od złożoności bazy.\n[note] Diagnozowanie\n",
         "\nBaza modeli elementarna niepewna nie ma sprzeczności!\n[note] Wynik diagnozowania sprzeczności\n",
         "\nBaza modeli elementarna niepewna MODIAG.BEN i baza reguł elementarna niepewna REDIAG.BEN\n"
         "są diagnozowane na obecność sprzeczności łącznych.\n"
         "Czas diagnozowania jest zależny od złożoności bazy.\n[note] Diagnozowanie\n",
         "\nBaza modeli i baza reguł nie mają sprzeczności łącznych!\n"
         "[note] Wynik diagnozowania sprzeczności łącznych\n"}))
        << out;
}

// Two basic models of x under different conditions: refused at the inference start without a
// constraint base, accepted once an exact constraint lists both conditions (the test runs at
// the constraint load too, before the joint diagnoses are offered).
TEST_F(ModelDiagnosisScript, ModelsOfOneResultNeedAConstraintOfTheirConditions) {
    put("MODIAG.BEN",
        "model(1,\"c1\",\"x\",\"a\",\"+\",\"b\",1,\"1\")\nmodel(2,\"c2\",\"x\",\"a\",\"-\",\"b\",1,\"1\")\n");
    put("OGDIAG.BEN", "ograniczenie(1,[\"c2\",\"c1\"])\n");
    EXPECT_EQ(
        run(join(kLoadRules, {"10077", "MODIAG.BEN", "10164", "10093", "OGDIAG.BEN", "Nie", "Nie", "10164"})),
        0)
        << out;
    EXPECT_EQ(dialogs(), join(kRulesLoaded,
                              {
                                  "[note] Wynik diagnozowania sprzeczności",
                                  "[note] Diagnozowanie",
                                  "[note] Wynik diagnozowania sprzeczności łącznych",
                                  "[command] 10164 Wnioskowanie elementarne niepewne w przód",
                                  "[clear]",
                                  "[note] Uwaga!",
                                  "[command] 10093 Ładowanie bazy ograniczeń dokładnych",
                                  "[open-file] Wybierz nazwę bazy ograniczeń  dokładnej:",
                                  "answer: OGDIAG.BEN",
                                  "[clear]",
                                  "[note] Wynik ładowania bazy ograniczeń dokładnej",
                                  "[question] Wybierz",
                                  "answer: &Nie",
                                  "[question] Wybierz",
                                  "answer: &Nie",
                                  "[command] 10164 Wnioskowanie elementarne niepewne w przód",
                                  "[clear]",
                                  "[radio] Poziom szczegółowości",
                              }))
        << out;
    EXPECT_TRUE(
        has("[note] Uwaga!\nBaza modeli zawiera modele elementarne \no tych samych wynikach/wnioskach:\n"
            "               x\nWarunki stosowania tych modeli nie wykluczają się, \n"))
        << out;
}

// A basic and a linear model of r: the pair is refused, in the backward direction too.
TEST_F(ModelDiagnosisScript, BasicAndLinearModelsOfOneResultAreRefused) {
    put("MODIAG.BEN",
        "model(1,\"c1\",\"r\",\"a\",\"*\",\"b\",1,\"1\")\n"
        "model_liniowy(2,\"c2\",\"r\",[\"2\",\"3\"],[\"a\",\"b\"],1,\"1\")\n");
    EXPECT_EQ(run(join(kLoadRules, {"10077", "MODIAG.BEN", "10165", "10164"})), 0) << out;
    const std::string refusal =
        "[note] Uwaga!\nBaza modeli zawiera modele elementarne i liniowe\no tych samych wynikach:\n"
        "               r\nWarunki stosowania tych modeli nie wykluczają się, \nponieważ brak odpowiedniej "
        "bazy ograniczeń.\nPrzejdź do opcji 'Baza modeli/Edycja bazy modeli'\ni popraw bazę modeli lub "
        "przejdź do opcji \nBaza ograniczeń/Tworzenie bazy ograniczeń'\ni utwórz odpowiednią bazę "
        "ograniczeń\n";
    EXPECT_TRUE(in_order({"[command] 10165", refusal, "[command] 10164", refusal})) << out;
    EXPECT_EQ(out.find("[radio]"), std::string::npos) << out;
}

// With constraints that do not hold the conditions: conditions without rules are named at
// the load and at the start; the load offers no joint diagnosis then.
TEST_F(ModelDiagnosisScript, ConditionsWithoutRulesAreNamedAtTheConstraintLoad) {
    put("MODIAG.BEN",
        "model(1,\"c1\",\"x\",\"a\",\"+\",\"b\",1,\"1\")\nmodel(2,\"c2\",\"x\",\"a\",\"-\",\"b\",1,\"1\")\n");
    put("OGDIAG.BEN", "ograniczenie(1,[\"c1\",\"z\"])\n");
    EXPECT_EQ(run(join(kLoadRules, {"10077", "MODIAG.BEN", "10093", "OGDIAG.BEN", "10164"})), 0) << out;
    const std::string text =
        "Brak reguł dla następujących warunków startowych modeli o tym samym wyniku:\n[\"c1\",\"c2\"]\n"
        "Załadowane bazy modeli i ograniczeń możesz tylko edytować, \nlecz nie możesz korzystać z nich dla "
        "wnioskowania.\nPrzejdź do opcji edycji baz i popraw jedną lub wszystkie.\n";
    EXPECT_TRUE(in_order({"[note] Wynik ładowania bazy ograniczeń dokładnej", text, "[note] Uwaga!\n" + text,
                          "[command] 10164", "[note] Uwaga!\n" + text}))
        << out;
    EXPECT_EQ(out.find("[question] Wybierz", out.find("[command] 10093")), std::string::npos) << out;
}

// Conditions concluded by rules: the rules' flattened forms decide. c1 needs p and k, c2 only
// k, so both hold with k: the rules are listed and the inference is refused; once c1 needs p
// and c2 needs q, the constraint of p and q makes them exclusive and the run starts.
TEST_F(ModelDiagnosisScript, RulesOfTheConditionsDecideWithConstraints) {
    const std::string rules = std::string(kRules) + "reguła(5,\"m\",[\"q\"],1,\"0.8\")\n";
    put("REDIAG.BEN",
        rules + "reguła(3,\"c1\",[\"p\",\"k\"],1,\"0.8\")\nreguła(4,\"c2\",[\"k\"],1,\"0.8\")\n");
    put("MODIAG.BEN",
        "model(1,\"c1\",\"x\",\"a\",\"+\",\"b\",1,\"1\")\nmodel(2,\"c2\",\"x\",\"a\",\"-\",\"b\",1,\"1\")\n");
    put("OGDIAG.BEN", "ograniczenie(1,[\"p\",\"q\"])\n");
    EXPECT_EQ(run(join(kLoadRules, {"10077", "MODIAG.BEN", "10093", "OGDIAG.BEN", "10164"})), 0) << out;
    EXPECT_TRUE(
        in_order({"[command] 10164",
                  "[note] Uwaga!\n\nWnioski następujących reguł, bedące warunkami "
                  "startowymi modeli o tych samych wynikach/wnioskach, nie wykluczają "
                  "się wzajemnie: \n",
                  "[note] Wnioski następujących reguł nie wykluczają się wzajemnie:\nNumer reguły:  3    "
                  "Wniosek:  c1\n",
                  "[note] Wnioski następujących reguł nie wykluczają się wzajemnie:\nNumer reguły:  4    "
                  "Wniosek:  c2\n",
                  "[note] Uwaga!\nZaładowane bazy modeli i ograniczeń możesz tylko edytować, \nlecz nie "
                  "możesz korzystać z nich dla wnioskowania.\nPrzejdź do opcji edycji baz i popraw jedną "
                  "lub wszystkie.\n"}))
        << out;
    EXPECT_EQ(out.find("[radio]"), std::string::npos);
    put("REDIAG.BEN", rules + "reguła(3,\"c1\",[\"p\"],1,\"0.8\")\nreguła(4,\"c2\",[\"q\"],1,\"0.8\")\n");
    EXPECT_EQ(run(join(kLoadRules, {"10077", "MODIAG.BEN", "10093", "OGDIAG.BEN", "Nie", "Nie", "10164"})), 0)
        << out;
    EXPECT_TRUE(in_order({"[command] 10164", "[clear]\n[radio] Poziom szczegółowości"})) << out;
}

}  // namespace
}  // namespace zuva
