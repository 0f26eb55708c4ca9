// Loading a model base: derived lists and askable items, the name-clash check, the
// known-argument test and the load-time CF, operation and list tests.
#include <gtest/gtest.h>

#include "consult/model_eval.h"
#include "kb/model_tests.h"
#include "kb/numbering.h"
#include "models_fixture.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "verify/load_checks.h"

using zuva::testing::ModelSession;

namespace zuva {
namespace {

const char* const kRules =
    "reguła(1,\"akumulator_rozladowany\",[\"silnik_nie_kreci\"],1,\"0.9\")\n"
    "reguła(2,\"wymien_akumulator\",[\"akumulator_slaby\",\"zimno\"],1,\"0.8\")\n";

const char* const kModels =
    "model(1,\"bez_warunku\",\"spadek\",\"u_spoczynku\",\"-\",\"u_rozruchu\",1,\"1\")\n"
    "model(2,\"bez_warunku\",\"akumulator_slaby\",\"spadek\",\">\",\"2.5\",1,\"cf_slaby\")\n"
    "model_r(3,\"zimno\",\"srednia\",\"+\",[\"u_spoczynku\",\"u_rozruchu\",\"0.5\"],1,\"1\")\n"
    "argument_znany(\"u_spoczynku\",12.6)\n";

TEST(ModelsLoad, DerivedListsAndAskableItems) {
    ModelSession f;
    f.rules(kRules);
    CommandRegistry r;
    register_model_commands(r);
    f.ui.add_answer(f.write("MOTEST.BEN", kModels));
    (*r.find(10077))(f.s);
    ASSERT_TRUE(f.s.kb.nazwa_mo.loaded());
    EXPECT_EQ(f.s.kb.nazwa_mo.name(), "MOTEST.BEN");
    for (int id = 10080; id <= 10086; ++id)
        EXPECT_TRUE(is_enabled(f.s, id)) << id;

    const ModelState& ms = f.s.models;
    EXPECT_EQ(*ms.lista_argumentow_modeli.first(), (TextList{"spadek", "u_spoczynku", "u_rozruchu"}));
    EXPECT_EQ(*ms.lista_wnioskow_modeli.first(), (TextList{"akumulator_slaby"}));
    EXPECT_EQ(*ms.lista_warunkow_stosowania.first(), (TextList{"zimno"}));
    EXPECT_EQ(*ms.lista_wynikow_modeli.first(), (TextList{"spadek", "srednia"}));
    // Arguments and conditions, without results, numbers, rule conclusions and "bez_warunku", sorted.
    EXPECT_EQ(*ms.lista_argumentow_dopytywalnych.first(), (TextList{"u_rozruchu", "u_spoczynku", "zimno"}));
    // Rule askables without the model conclusion.
    EXPECT_EQ(*f.s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.first(),
              (TextList{"silnik_nie_kreci", "zimno"}));
    EXPECT_EQ(*ms.lista_warunkow_i_argumentow_dopytywalnych.first(),
              (TextList{"silnik_nie_kreci", "u_rozruchu", "u_spoczynku", "zimno"}));
    EXPECT_NE(
        f.ui.transcript().find("[note] Wynik ładowania bazy modeli\nBaza modeli elementarna niepewna\n   "
                               "MOTEST.BEN\nzostała załadowana."),
        std::string::npos);

    f.ui.add_answer("Nie");  // no wrapping
    (*r.find(10084))(f.s);
    EXPECT_NE(f.ui.transcript().find("[browse] Przegląd pliku bazy modeli: MOTEST.BEN\nmodel(1,"),
              std::string::npos);
    (*r.find(10085))(f.s);
    EXPECT_NE(f.ui.transcript().find("Warunki i argumenty dopytywalne bazy modeli MOTEST.BEN"),
              std::string::npos);
}

TEST(ModelsLoad, NoRuleBaseAndCorrespondence) {
    ModelSession f;
    EXPECT_EQ(f.models(kModels), "");
    EXPECT_NE(f.ui.transcript().find("[note] Uwaga!\nZaładuj bazę reguł niepewną!"), std::string::npos);

    ModelSession g;
    g.rules(kRules);
    EXPECT_EQ(g.models(kModels, "MOINNA.BEN"), "");
    EXPECT_FALSE(g.s.kb.nazwa_mo.loaded());
    EXPECT_NE(g.ui.transcript().find("nie odpowiada bazie reguł"), std::string::npos);
}

TEST(ModelsLoad, ConclusionClashUnloadsBothBases) {
    ModelSession f;
    f.rules(kRules);
    enable_commands(f.s, {10164, 10165});
    std::string path =
        f.models("model(1,\"bez_warunku\",\"akumulator_rozladowany\",\"u\",\"<\",\"11\",1,\"cf\")\n");
    EXPECT_EQ(path, "");
    EXPECT_FALSE(f.s.kb.nazwa_mo.loaded());
    EXPECT_FALSE(f.s.kb.nazwa_re.loaded());
    EXPECT_TRUE(f.s.kb.rules.regula.empty());
    EXPECT_TRUE(f.s.kb.models.model.empty());
    EXPECT_FALSE(is_enabled(f.s, 10164));
    EXPECT_FALSE(is_enabled(f.s, 10165));
    EXPECT_NE(
        f.ui.helper_text().find("Reguły i modele relacyjne mają jednakowe wnioski.\nWnioskami tymi są:\n"
                                "akumulator_rozladowany\n"),
        std::string::npos);
    EXPECT_NE(f.ui.transcript().find("[note] Błąd: jednakowe nazwy wniosków bazy reguł i bazy modeli"),
              std::string::npos);
}

TEST(ModelsLoad, ArgumentNamedLikeRuleConditionClashes) {
    ModelSession f;
    f.rules(kRules);
    EXPECT_EQ(f.models("model(1,\"bez_warunku\",\"x\",\"zimno\",\"+\",\"1\",1,\"1\")\n"), "");
    EXPECT_FALSE(f.s.kb.nazwa_re.loaded());
    EXPECT_NE(f.ui.helper_text().find("o tych samych nazwach jak argumenty/wyniki.\nSą nimi:\nzimno\n"),
              std::string::npos);
    EXPECT_NE(f.ui.transcript().find(
                  "[note] Błąd: jednakowe nazwy zmiennych bazy reguł i/lub zmiennych bazy modeli"),
              std::string::npos);
}

TEST(ModelsLoad, KnownArgumentThatIsAModelResultFails) {
    ModelSession f;
    f.rules(kRules);
    EXPECT_EQ(f.models(std::string(kModels) + "argument_znany(\"spadek\",1.0)\n"), "");
    EXPECT_FALSE(f.s.kb.nazwa_mo.loaded());
    EXPECT_TRUE(f.s.kb.models.argument_znany.empty());
    EXPECT_TRUE(f.s.kb.models.model_r.empty());
    EXPECT_NE(
        f.ui.helper_text().find("Następujące argumenty znane nie są argumentami dopytywalnymi: \nspadek\n"),
        std::string::npos);
    EXPECT_TRUE(f.s.kb.nazwa_re.loaded());  // the rule base stays
}

struct Refusal {
    const char* record;
    const char* note_title;
    const char* report_line;
};

TEST(ModelsLoad, LoadTimeTestsRefuseAndUnload) {
    const Refusal cases[] = {
        {"model(7,\"bez_warunku\",\"y\",\"a\",\"+\",\"b\",1,\"0.99\")", "Błędna wartość CF dla modelu!",
         "Błędna wartość CF = 0.99 dla modelu 7.\nDla modeli arytmetycznych CF musi być równe 1.\n"},
        {"model(8,\"bez_warunku\",\"y\",\"a\",\"sqrt\",\"0\",1,\"x\")", "Błędna wartość CF dla modelu!",
         "Błędna wartość CF = x dla modelu 8."},
        {"model(9,\"bez_warunku\",\"w\",\"a\",\">\",\"b\",1,\"0.8\")",
         "Błąd deklaracji współczynnika pewności dla modelu relacyjnego!",
         "wybierz błędną bazę i usuń błąd z modelu 9\n"},
        {"model_r(10,\"bez_warunku\",\"w\",\"<,<\",[\"a\",\"b\",\"c\"],1,\"c,f\")",
         "Błąd deklaracji współczynnika pewności dla modelu relacyjnego!", "usuń błąd z modelu 10\n"},
        {"model_liniowy(11,\"bez_warunku\",\"y\",[\"1\",\"2\",\"3\"],[\"a\",\"b\"],1,\"1\")",
         "Listy różnej długości",
         "W modelu liniowym 11 lista współczynników i lista zmiennych\nsą różnej długości.\n"},
        {"model_wielomianowy(12,\"bez_warunku\",\"y\",\"a\",[\"1\"],[0,1],1,\"1\")", "Listy różnej długości",
         "W modelu wielomianowym 12 lista współczynników i lista potęg\n"},
        {"model(13,\"bez_warunku\",\"y\",\"a\",\"pow\",\"b\",1,\"1\")", "Błędna operacja/relacja dla modelu",
         "Błędna operacja/relacja pow dla modelu 13."},
        {"m_fakt(\"mf\",\"2\")", "Błędna wartość CF dla m_faktu!",
         "CF musi być liczbą rzeczywistą z przedziału"},
    };
    for (const auto& c : cases) {
        ModelSession f;
        f.rules(kRules);
        EXPECT_EQ(f.models(std::string(kModels) + c.record + "\n"), "") << c.record;
        EXPECT_FALSE(f.s.kb.nazwa_mo.loaded()) << c.record;
        EXPECT_TRUE(f.s.kb.models.model.empty()) << c.record;
        EXPECT_NE(f.ui.transcript().find(std::string("[note] ") + c.note_title), std::string::npos)
            << c.record;
        EXPECT_NE(f.ui.helper_text().find(c.report_line), std::string::npos) << c.record;
    }
}

TEST(ModelsLoad, NamedRelationalCfIsAccepted) {
    ModelSession f;
    f.rules(kRules);
    EXPECT_NE(
        f.models(std::string(kModels) + "model(9,\"bez_warunku\",\"w\",\"a\",\"<>\",\"b\",1,\"cf1\")\n"), "");
    EXPECT_TRUE(f.s.kb.nazwa_mo.loaded());
    EXPECT_EQ(f.ui.transcript().find("[note] Błąd"), std::string::npos);
}

TEST(ModelsLoad, RepeatedModelNumberAcrossKinds) {
    ModelSession f;
    f.rules(kRules);
    EXPECT_EQ(f.models("model(1,\"bez_warunku\",\"y\",\"a\",\"+\",\"b\",1,\"1\")\n"
                       "model_liniowy(1,\"bez_warunku\",\"z\",[\"2\"],[\"a\"],1,\"1\")\n"),
              "");
    EXPECT_TRUE(numbering_failed(f.s));
    EXPECT_NE(f.ui.transcript().find("[note] Błąd bazy modeli"), std::string::npos);
}

TEST(ModelsLoad, RuleNumberingVerdictSurvivesAModelLoad) {
    ModelSession f;
    f.rules(kRules);
    f.s.kb.rozne_numery.append("NIE");
    f.models(kModels);
    EXPECT_TRUE(numbering_failed(f.s));
}

TEST(ModelsLoad, TautologicalModelsFailTheLoadThroughTheDiagnosis) {
    ModelSession f;
    install_load_diagnoses(f.s);
    f.rules(kRules);
    EXPECT_EQ(f.models("model(1,\"bez_warunku\",\"x\",\"x\",\"+\",\"1\",1,\"1\")\n"
                       "model(2,\"w\",\"w\",\"a\",\">\",\"b\",1,\"cf\")\n"),
              "");
    EXPECT_FALSE(f.s.kb.nazwa_mo.loaded());
    ASSERT_EQ(f.s.verify.model_arytmetyczny_sprzeczny.count(), 1u);
    EXPECT_EQ(f.s.verify.model_arytmetyczny_sprzeczny.first()->model_number, 1);
    ASSERT_EQ(f.s.verify.model_relacyjny_sprzeczny.count(), 1u);
    EXPECT_EQ(f.s.verify.model_relacyjny_sprzeczny.first()->result, "w");
    // The steps after the diagnosis did not run: no derived lists, no passing note.
    EXPECT_TRUE(f.s.models.lista_argumentow_modeli.empty());
    EXPECT_EQ(f.ui.transcript().find("nie ma sprzeczności"), std::string::npos);
    EXPECT_EQ(f.ui.transcript().find("Baza zawiera puste linie"), std::string::npos);
}

TEST(ModelsLoad, SyntaxErrorIsReported) {
    ModelSession f;
    f.rules(kRules, "REBLAD.BEN");
    f.ui.add_answer(std::string(ZUVA_TEST_DATA) + "/MOBLAD.BEN");
    EXPECT_EQ(ladowanie_bazy_modeli(f.s), "");
    EXPECT_FALSE(f.s.kb.nazwa_mo.loaded());
    EXPECT_NE(f.ui.helper_text().find("Błąd syntaksu w pliku "), std::string::npos);
    EXPECT_NE(f.ui.helper_text().find(
                  "Przejdź do 'Bazy modeli niepewnej', \nwybierz opcję 'Edycja bazy modeli',\n"),
              std::string::npos);
    EXPECT_NE(f.ui.transcript().find("[note] Uwaga błąd!\nPrzejdź do 'Bazy modeli niepewnej'"),
              std::string::npos);
    // The record read before the faulty line is no loaded base.
    EXPECT_EQ(f.s.kb.models.model.count(), 1u);
}

TEST(ModelsLoad, SecondLoadReplacesTheFirst) {
    ModelSession f;
    f.rules(kRules);
    ASSERT_NE(f.models("model(1,\"bez_warunku\",\"y\",\"a\",\"+\",\"1\",0,\"1\")\narg_dopyt(\"a\")\n"), "");
    f.ui.add_answer("1");
    ModelLinks links;
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "y"), 2.0);
    ASSERT_NE(f.models("model(1,\"bez_warunku\",\"y\",\"b\",\"*\",\"3\",0,\"1\")\narg_dopyt(\"b\")\n"), "");
    EXPECT_EQ(f.s.kb.models.arg_dopyt.count(), 1u);
    EXPECT_EQ(*f.s.models.lista_argumentow_dopytywalnych.first(), (TextList{"b"}));
    f.s.inference.zmienna_ustalona.clear();
    f.s.inference.model_stosowany.clear();
    f.ui.add_answer("2");
    EXPECT_DOUBLE_EQ(*oblicz(f.s, links, "y"), 6.0);  // the new model, not the cached old one
}

TEST(ModelsLoad, CreateBrowseAndDeleteCommands) {
    ModelSession f;
    f.rules(kRules);
    CommandRegistry r;
    register_model_commands(r);
    (*r.find(10081))(f.s);
    EXPECT_NE(f.ui.transcript().find("[note] Uwaga!\nBrak modeli podstawowych!"), std::string::npos);
    (*r.find(10084))(f.s);
    EXPECT_NE(f.ui.transcript().find("[note] Uwaga!\nBrak bazy modeli!"), std::string::npos);

    ASSERT_NE(f.models(kModels), "");
    f.ui.add_answer("2");
    f.ui.add_answer("");
    (*r.find(10081))(f.s);
    EXPECT_NE(f.ui.transcript().find("[records] Przegląd modeli podstawowych\nMODEL PODSTAWOWY\n"
                                     "Liczba modeli podstawowych: "),
              std::string::npos)
        << f.ui.transcript();
    EXPECT_NE(f.ui.transcript().find("Warunek stosowania: bez_warunku\nWynik: akumulator_slaby\n"
                                     "Argument 1: spadek\nSymbol operacji: >\nArgument 2: 2.5\n"
                                     "Semafor wyświetlania: "),
              std::string::npos)
        << f.ui.transcript();

    f.ui.add_answer(f.dir + "/MONOWA.BEN");
    f.ui.add_answer("&NIE");
    (*r.find(10088))(f.s);
    EXPECT_TRUE(file_exists(f.dir + "/MONOWA.BEN"));
    EXPECT_FALSE(f.s.kb.nazwa_mo.loaded());
    EXPECT_NE(f.ui.transcript().find(
                  "[note] Tworzenie nowej bazy modeli\nNowa baza modeli MONOWA.BEN została utworzona."),
              std::string::npos);

    ASSERT_NE(f.models(kModels), "");
    f.ui.add_answer(f.dir + "/MONOWA.BEN");
    f.ui.add_answer("Tak");
    (*r.find(10089))(f.s);
    EXPECT_FALSE(file_exists(f.dir + "/MONOWA.BEN"));
    EXPECT_FALSE(f.s.kb.nazwa_mo.loaded());
    EXPECT_NE(f.ui.transcript().find("Baza modeli MONOWA.BEN została usunięta."), std::string::npos);
}

TEST(ModelsLoad, EmptyLineIsReported) {
    ModelSession f;
    f.rules(kRules);
    EXPECT_EQ(f.models(std::string(kModels) + "\n"), "");
    EXPECT_FALSE(f.s.kb.nazwa_mo.loaded());
    EXPECT_NE(f.ui.helper_text().find("Baza zawiera puste linie!"), std::string::npos);
}

}  // namespace
}  // namespace zuva
