// "Dlaczego?" at the questions of a consultation and "Jak uzyskano wniosek?" after it, driven
// through the terminal program by answer files: the why text names the rule or model that needs
// the value and the chain above it, the question comes again, and nothing else changes; the
// how-tree shows contributions and origins, the why-not the waiting rule and the end by "koniec".
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "script_run.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(ZUVA_TEST_DATA) + "/e2e";
// The first sample knowledge base, kept as it was for the tests written against it.
const std::string kFirstSample = std::string(ZUVA_TEST_DATA) + "/sample-1";
// The why text of RETEST.BEN's question about b, up to the rules above rule 1.
const std::string kRule1AsksForB =
    "Pytam o CF warunku:\n"
    "    b\n"
    "Jest to potrzebne regule 1 o postaci:\n"
    "Jeżeli\n"
    "    a (CF = 1)\n"
    "    b (o ten warunek pytam)\n"
    "to z współczynnikiem CF = 0.8\n"
    "    c\n";

class ExplainScript : public testing_support::AnswerScriptTest {
  protected:
    ExplainScript() : AnswerScriptTest("zuva-explain") {}
    void copy_in(const std::string& name) { fs::copy_file(fs::path(kData) / name, fs::path(dir) / name); }
    void copy_sample() {
        fs::create_directories(fs::path(dir) / "BAZY");
        fs::create_directories(fs::path(dir) / "OPISY");
        for (const char* name : {"REAUTO.BEN", "MOAUTO.BEN"})
            fs::copy_file(fs::path(kFirstSample) / "BAZY" / name, fs::path(dir) / "BAZY" / name);
        fs::copy_file(fs::path(kFirstSample) / "OPISY" / "AUTO.OPI", fs::path(dir) / "OPISY" / "AUTO.OPI");
        sub = "BAZY";
    }
};

// The transcript without the why blocks: each "answer: ?" with its [read] block, and the
// [value] block that came before it, taken out.
std::string without_why(const std::string& t) {
    std::vector<std::string> blocks;
    std::istringstream in(t);
    std::string line, current;
    for (bool first = true; std::getline(in, line); first = false) {
        if (!first && line.rfind("[", 0) == 0) {
            blocks.push_back(current);
            current.clear();
        }
        current += line + "\n";
    }
    blocks.push_back(current);
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const bool asked_why =
            blocks[i].rfind("[value]", 0) == 0 && blocks[i].find("\nanswer: ?\n") != std::string::npos;
        if (asked_why) {
            ++i;  // its [read] Dlaczego pytam? block
            continue;
        }
        kept.push_back(blocks[i]);
    }
    std::string r;
    for (const auto& b : kept)
        r += b;
    return r;
}

// The forward run of RETEST.BEN with labels, summary and report; `why` inserts "?" before both
// answers (b and e).
std::vector<std::string> forward_answers(bool why) {
    std::vector<std::string> a = {"10064", "RETEST.BEN",  "Nie", "Nie",   "10164", "1",
                                  "TAK",   "etykieta ż1", "TAK", "druga", "NIE",   "1"};
    if (why) a.push_back("?");
    a.push_back("0.5");
    if (why) a.push_back("?");
    a.push_back("0.6");
    for (const char* x : {"TAK", "SUM.txt", "Tak", "WYNIK.RPT"})
        a.push_back(x);
    return a;
}

TEST_F(ExplainScript, WhyAtAForwardQuestionNamesTheRuleAndWhereItLeadsAndChangesNothing) {
    copy_in("RETEST.BEN");
    ASSERT_EQ(run(forward_answers(false)), 0) << err;
    const std::string plain = out, report = file("WYNIK.RPT"), summary = file("SUM.txt");
    ASSERT_NE(report, "<none>");
    fs::remove(path("WYNIK.RPT"));
    fs::remove(path("SUM.txt"));

    ASSERT_EQ(run(forward_answers(true)), 0) << err;
    EXPECT_EQ(block("[read] Dlaczego pytam?"), kRule1AsksForB +
                                                   "Wniosek c jest dalej warunkiem:\n"
                                                   "    reguły 3 (wniosek: d)\n"
                                                   "\n"
                                                   "Po zamknięciu tego okna pytanie padnie ponownie.\n");
    // The question comes again, the same block, and takes the next line.
    EXPECT_TRUE(has("name: b\nanswer: ?\n[read] Dlaczego pytam?\n"));
    EXPECT_TRUE(has("name: b\nanswer: 0.5\n"));
    // The second why: rule 2 for e, whose conclusion leads to rule 3 as well.
    EXPECT_TRUE(has("Jest to potrzebne regule 2 o postaci:\nJeżeli\n    e (o ten warunek pytam)\n"));
    // Nothing else differs: the transcript without the why blocks, the report, the summary.
    EXPECT_EQ(without_why(out), plain);
    EXPECT_EQ(file("WYNIK.RPT"), report);
    EXPECT_EQ(file("SUM.txt"), summary);
}

TEST_F(ExplainScript, WhyInBackwardInferenceShowsTheChainUpToTheHypothesis) {
    copy_in("RETEST.BEN");
    ASSERT_EQ(run({"10064", "RETEST.BEN", "Nie", "Nie", "10165", "1", "NIE", "1", "1", "?", "0.5", "0.6",
                   "NIE", "Nie"}),
              0)
        << err;
    EXPECT_EQ(block("[read] Dlaczego pytam?"), kRule1AsksForB +
                                                   "Jest to potrzebne regule 3 o postaci:\n"
                                                   "Jeżeli\n"
                                                   "    c (ten warunek jest teraz ustalany)\n"
                                                   "to z współczynnikiem CF = 0.9\n"
                                                   "    d\n"
                                                   "Wszystko to służy testowaniu hipotezy głównej:\n"
                                                   "    d\n"
                                                   "\n"
                                                   "Po zamknięciu tego okna pytanie padnie ponownie.\n");
    EXPECT_TRUE(has("answer: ?\n[read] Dlaczego pytam?\n"));
    EXPECT_TRUE(has("name: b\nanswer: 0.5\n"));
    EXPECT_TRUE(has("  d(0.3)\n"));  // the verdict as without the question
}

// "?" at an argument dialog names the model that needs the argument; the how-tree of a
// relational model's conclusion goes through the arithmetic models down to the answer.
TEST_F(ExplainScript, WhyAtAnArgumentNamesTheModelAndHowShowsTheModelChain) {
    copy_sample();
    ASSERT_EQ(
        run({"10064", "REAUTO.BEN", "Nie", "Nie", "Nie",  "10077", "MOAUTO.BEN", "10164", "1",     "NIE",
             "1",     "-1",         "0.5", "0.8", "0.9",  "0.7",   "0.2",        "-1",    "0.3",   "0.4",
             "0.1",   "0.2",        "0.3", "?",   "12.6", "10.2",  "NIE",        "Nie",   "10180", "10"}),
        0)
        << err;
    const std::string why = block("[read] Dlaczego pytam?");
    EXPECT_EQ(why.rfind("Pytam o wartość argumentu:\n    napiecie_spoczynkowe\n"
                        "Jest to potrzebne modelowi arytmetycznemu podstawowemu 1 o postaci:\n"
                        "    spadek_napiecia = napiecie_spoczynkowe - napiecie_podczas_rozruchu\n"
                        "gdzie:\n"
                        "    napiecie_spoczynkowe (o to pytam)\n"
                        "    napiecie_podczas_rozruchu (jeszcze bez wartości)\n",
                        0),
              0u)
        << why;
    EXPECT_TRUE(has("    stopien_naladowania = 87.5\n"));
    // How the relational model concluded: its relation with the values and where they came from.
    EXPECT_EQ(block("[read] Jak uzyskano wniosek akumulator_rozladowany"),
              "akumulator_rozladowany (CF = -1): model relacyjny podstawowy 4\n"
              "    relacja: stopien_naladowania_zaokraglony < 50\n"
              "    relacja nie jest spełniona, więc CF wniosku = -1\n"
              "    stopien_naladowania_zaokraglony = 88: wynik modelu arytmetycznego podstawowego 3\n"
              "        stopien_naladowania_zaokraglony = stopien_naladowania zaokrąglenie_do_N 0\n"
              "        stopien_naladowania = 87.5: wynik modelu arytmetycznego liniowego 2\n"
              "            stopien_naladowania = 125 * napiecie_spoczynkowe + -1487.5 * 1\n"
              "            napiecie_spoczynkowe = 12.6: odpowiedź użytkownika\n");
}

// How c of RETEST.BEN got its CF in a forward run: two cumulative rules with their
// contributions, a declared fact and two answers.
TEST_F(ExplainScript, HowTreeOfACumulativeConclusion) {
    copy_in("RETEST.BEN");
    ASSERT_EQ(run({"10064", "RETEST.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", "0.5", "0.6", "NIE", "Nie",
                   "10180", "1", "10180", "2"}),
              0)
        << err;
    EXPECT_EQ(block("[list] Jak uzyskano wniosek?"),
              "Wybierz wniosek ostatniego wnioskowania:\n1. c (CF = 0.14)\n2. d (CF = 0.3)\nanswer: 1\n");
    EXPECT_EQ(block("[read] Jak uzyskano wniosek c"),
              "c (CF = 0.14): wypadkowa reguł kumulatywnych\n"
              "    reguła 1: wkład 0.4 = zaokrąglenie(CF reguły 0.8 × CF warunków 0.5)\n"
              "        a (CF = 1): fakt zadeklarowany w bazie reguł\n"
              "        b (CF = 0.5): odpowiedź użytkownika\n"
              "    reguła 2: wkład -0.3 = zaokrąglenie(CF reguły -0.5 × CF warunków 0.6)\n"
              "        e (CF = 0.6): odpowiedź użytkownika\n"
              "    wkłady dodatnie łącznie P = 0.4, ujemne łącznie N = -0.3; "
              "wypadkowa = zaokrąglenie((P + N) / (1 - min(P, -N)))\n");
    EXPECT_EQ(block("[read] Jak uzyskano wniosek d"),
              "d (CF = 0.3): wypadkowa reguł dysjunktywnych\n"
              "    reguła 3: wkład 0.13 = zaokrąglenie(CF reguły 0.9 × CF warunków 0.14)\n"
              "        c (CF = 0.14): wypadkowa reguł kumulatywnych\n"
              "            reguła 1: wkład 0.4 = zaokrąglenie(CF reguły 0.8 × CF warunków 0.5)\n"
              "                a (CF = 1): fakt zadeklarowany w bazie reguł\n"
              "                b (CF = 0.5): odpowiedź użytkownika\n"
              "            reguła 2: wkład -0.3 = zaokrąglenie(CF reguły -0.5 × CF warunków 0.6)\n"
              "                e (CF = 0.6): odpowiedź użytkownika\n"
              "            wkłady dodatnie łącznie P = 0.4, ujemne łącznie N = -0.3; "
              "wypadkowa = zaokrąglenie((P + N) / (1 - min(P, -N)))\n"
              "    reguła 4: wkład 0.3 = zaokrąglenie(CF reguły 0.6 × CF warunków 0.5)\n"
              "        b (CF = 0.5): odpowiedź użytkownika\n"
              "    CF warunków zastosowanych reguł mają jeden znak: wypadkowa to największy wkład\n");
}

// Members of exact constraints completed in a forward run: b follows from a = 1 (a pair), f is
// asked by the completion after e = -1 ("?" first), g follows as the last member left. The
// how-trees show each completion with the answer that caused it, the contributions of the
// cumulative rules over the completed members, and the member the completion asked for.
TEST_F(ExplainScript, HowTreeShowsConstraintCompletionsAndWhyAtACompletionQuestion) {
    copy_in("RECOMP.BEN");
    copy_in("OGCOMP.BEN");
    ASSERT_EQ(run({"10064", "RECOMP.BEN", "Nie",   "Nie", "10093", "OGCOMP.BEN", "Nie",   "Nie",
                   "10164", "1",          "NIE",   "1",   "1",     "-1",         "?",     "-1",
                   "NIE",   "Nie",        "10180", "1",   "10180", "2",          "10180", "3"}),
              0)
        << err;
    EXPECT_FALSE(has("name: b\n"));
    EXPECT_FALSE(has("name: g\n"));
    EXPECT_EQ(block("[read] Dlaczego pytam?")
                  .rfind("Pytam o CF warunku:\n"
                         "    f\n"
                         "Warunek e (CF = -1) jest w ograniczeniu dokładnym 2 "
                         "razem z warunkami:\n"
                         "    f (o to pytam)\n"
                         "    g (jeszcze bez CF)\n"
                         "Tylko jeden z tych warunków może mieć CF=1, a pozostałe "
                         "mają CF=-1.\n",
                         0),
              0u)
        << block("[read] Dlaczego pytam?");
    EXPECT_TRUE(has("name: f\nanswer: ?\n[read] Dlaczego pytam?\n"));
    EXPECT_TRUE(has("name: f\nanswer: -1\n"));
    EXPECT_EQ(block("[read] Jak uzyskano wniosek c"),
              "c (CF = 0.9): wypadkowa reguł kumulatywnych\n"
              "    reguła 1: wkład 0.8 = zaokrąglenie(CF reguły 0.8 × CF warunków 1)\n"
              "        a (CF = 1): odpowiedź użytkownika\n"
              "    reguła 2: wkład 0.5 = zaokrąglenie(CF reguły -0.5 × CF warunków -1)\n"
              "        b (CF = -1): uzupełnienie z ograniczenia dokładnego, bo warunek a ma CF = 1\n"
              "            a (CF = 1): odpowiedź użytkownika\n"
              "    wkłady dodatnie łącznie P = 0.9, ujemne łącznie N = 0; "
              "wypadkowa = zaokrąglenie((P + N) / (1 - min(P, -N)))\n");
    const std::string d = block("[read] Jak uzyskano wniosek d");
    EXPECT_EQ(d.rfind("d (CF = -0.8): wypadkowa reguł kumulatywnych\n"
                      "    reguła 3: wkład -0.6 = zaokrąglenie(CF reguły 0.6 × CF warunków -1)\n"
                      "        e (CF = -1): odpowiedź użytkownika\n"
                      "    reguła 4: wkład -0.5 = zaokrąglenie(CF reguły 0.5 × CF warunków -1)\n"
                      "        f (CF = -1): uzupełnienie z ograniczenia dokładnego (odpowiedź użytkownika), "
                      "bo warunek e ma CF = -1\n"
                      "            e (CF = -1): odpowiedź użytkownika\n",
                      0),
              0u)
        << d;
    EXPECT_EQ(d.find("pochodzenie nie zostało zapisane"), std::string::npos) << d;
    // g, the last member left, follows from the other two being false.
    EXPECT_TRUE(has("        g (CF = 1): uzupełnienie z ograniczenia dokładnego, bo warunek e ma CF = -1\n"))
        << block("[read] Jak uzyskano wniosek h");
}

// The rule of "wynik" waited on "pytanie", which was never asked: the "koniec" rule ended the
// run first.
TEST_F(ExplainScript, WhyNotAfterKoniecEndedTheRun) {
    copy_in("REKONPYT.BEN");
    ASSERT_EQ(run({"10064", "REKONPYT.BEN", "Nie", "Nie", "Nie", "10164", "1", "NIE", "1", "NIE", "Nie",
                   "10180", "1"}),
              0)
        << err;
    EXPECT_TRUE(has("[note] Uwaga - koniec!\n"));
    EXPECT_EQ(block("[list] Jak uzyskano wniosek?"),
              "Wybierz wniosek ostatniego wnioskowania:\n1. wynik (brak CF)\nanswer: 1\n");
    EXPECT_EQ(
        block("[read] Dlaczego wniosek wynik nie ma CF"),
        "Wnioskowanie zakończyła reguła 1 z wnioskiem 'koniec' (CF = 1).\n"
        "wynik: brak CF\n"
        "    reguła 2: nie została zastosowana, czeka na warunek pytanie:\n"
        "        pytanie: brak CF\n"
        "            nie zapytano o ten warunek, bo wnioskowanie zakończyła reguła z wnioskiem 'koniec'\n"
        "    wypadkowa powstaje dopiero, gdy zastosowano wszystkie reguły wniosku\n");
}

// The command needs a finished run: before the first one it is disabled (a script error), and
// a new run disables it until it ends.
TEST_F(ExplainScript, HowCommandNeedsAFinishedRun) {
    copy_in("RETEST.BEN");
    EXPECT_EQ(run({"10064", "RETEST.BEN", "Nie", "Nie", "10180"}), 2);
    EXPECT_NE(err.find("wiersz 5"), std::string::npos) << err;
}

}  // namespace
}  // namespace zuva
