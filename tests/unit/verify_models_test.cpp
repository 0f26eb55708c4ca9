// Contradictions of models and of models with rules: the records of each search, the
// load-time verdicts and what they refuse, and the report commands with their unloading.
#include <gtest/gtest.h>

#include "consult/inference_start.h"
#include "kb/base_file_reader.h"
#include "models_fixture.h"
#include "session/enabling.h"
#include "session/verdicts.h"
#include "verify/load_checks.h"
#include "verify/model_contradictions.h"
#include "verify/model_rule_contradictions.h"
#include "verify_test_support.h"

using zuva::testing::ModelSession;

namespace zuva {
namespace {

ModelGroup models_of(const std::string& text) {
    KnowledgeBase kb;
    EXPECT_FALSE(parse_base_text(kb, BaseKind::Models, text).has_value());
    return kb.models;
}

std::string basic(int n, const std::string& cond, const std::string& res, const std::string& a,
                  const std::string& op, const std::string& b) {
    const bool rel = op == ">" || op == "<" || op == "==" || op == "><" || op == "<>";
    return "model(" + std::to_string(n) + ",\"" + cond + "\",\"" + res + "\",\"" + a + "\",\"" + op +
           "\",\"" + b + "\",1,\"" + (rel ? "cf" : "1") + "\")\n";
}

TEST(VerifyModels, DirectAndNestedArithmeticContradictions) {
    // x = x + 1 reads its own result; no nesting search is made for it.
    SprzecznosciModeli f = znajdz_sprzecznosci_modeli(models_of(basic(1, "bez_warunku", "x", "x", "+", "1")));
    ASSERT_EQ(f.bezposrednie.size(), 1u);
    EXPECT_EQ(f.bezposrednie[0].model_number, 1);
    EXPECT_EQ(f.bezposrednie[0].result, "x");
    EXPECT_TRUE(f.posrednie.empty());

    // x = y + 1 and y = x * 2: each is contradictory through the other.
    f = znajdz_sprzecznosci_modeli(
        models_of(basic(1, "bez_warunku", "x", "y", "+", "1") + basic(2, "bez_warunku", "y", "x", "*", "2")));
    EXPECT_TRUE(f.bezposrednie.empty());
    ASSERT_EQ(f.posrednie.size(), 2u);
    EXPECT_EQ(f.posrednie[0].model_number, 1);
    EXPECT_EQ(f.posrednie[0].nesting_path, (IntList{2, 1}));
    EXPECT_EQ(f.posrednie[0].result, "x");
    EXPECT_EQ(f.posrednie[1].model_number, 2);
    EXPECT_EQ(f.posrednie[1].nesting_path, (IntList{1, 2}));

    // Three deep through every kind: x from a linear model of p, p polynomial in q, q an
    // extended sum over x.
    f = znajdz_sprzecznosci_modeli(
        models_of("model_liniowy(1,\"bez_warunku\",\"x\",[\"2\"],[\"p\"],1,\"1\")\n"
                  "model_wielomianowy(2,\"bez_warunku\",\"p\",\"q\",[\"1\",\"3\"],[0,1],1,\"1\")\n"
                  "model_r(3,\"bez_warunku\",\"q\",\"+\",[\"x\",\"5\"],1,\"1\")\n"));
    ASSERT_EQ(f.posrednie.size(), 3u);
    // Arguments in the order of the diagnosis: basic, extended, linear, polynomial.
    EXPECT_EQ(f.posrednie[0].model_number, 3);
    EXPECT_EQ(f.posrednie[0].nesting_path, (IntList{2, 1, 3}));
    EXPECT_EQ(f.posrednie[1].model_number, 1);
    EXPECT_EQ(f.posrednie[1].nesting_path, (IntList{3, 2, 1}));
}

TEST(VerifyModels, NestingSearchFollowsTheFirstNestedModelOnly) {
    // The number "2" is computed by model 2, which leads back to x through model 3; a number
    // is never followed, so model 1 has no record, while 2 and 3 are found.
    SprzecznosciModeli f = znajdz_sprzecznosci_modeli(models_of(basic(1, "bez_warunku", "x", "2", "+", "1") +
                                                                basic(2, "bez_warunku", "2", "z", "+", "1") +
                                                                basic(3, "bez_warunku", "z", "x", "+", "1")));
    ASSERT_EQ(f.posrednie.size(), 2u);
    EXPECT_EQ(f.posrednie[0].model_number, 2);
    EXPECT_EQ(f.posrednie[0].nesting_path, (IntList{1, 3, 2}));
    // Model 3 reaches "2" through x; the model computing a number is still looked at.
    EXPECT_EQ(f.posrednie[1].model_number, 3);
    EXPECT_EQ(f.posrednie[1].nesting_path, (IntList{2, 1, 3}));
    // The search commits to the model of the first argument it can descend into: from
    // x = a + b it goes into a = c + 1 and does not come back for b = x + 1.
    f = znajdz_sprzecznosci_modeli(models_of(basic(1, "bez_warunku", "x", "a", "+", "b") +
                                             basic(2, "bez_warunku", "a", "c", "+", "1") +
                                             basic(3, "bez_warunku", "b", "x", "+", "1")));
    ASSERT_EQ(f.posrednie.size(), 1u);
    EXPECT_EQ(f.posrednie[0].model_number, 3);
    EXPECT_EQ(f.posrednie[0].nesting_path, (IntList{1, 3}));
    // A long chain without a circle gives nothing and ends.
    std::string chain;
    for (int i = 1; i <= 300; ++i)
        chain += basic(i, "bez_warunku", "v" + std::to_string(i), "v" + std::to_string(i - 1), "+", "1");
    EXPECT_TRUE(znajdz_sprzecznosci_modeli(models_of(chain)).empty());
}

TEST(VerifyModels, RelationalModelWhoseConclusionIsItsCondition) {
    SprzecznosciModeli f = znajdz_sprzecznosci_modeli(models_of(
        basic(1, "w", "w", "a", ">", "b") + basic(2, "bez_warunku", "bez_warunku", "a", "<", "b") +
        basic(3, "v", "u", "a", "<", "b") + "model_r(4,\"t\",\"t\",\"<,<\",[\"1\",\"a\",\"3\"],1,\"cf\")\n"));
    ASSERT_EQ(f.relacyjne.size(), 2u);
    EXPECT_EQ(f.relacyjne[0].model_number, 1);
    EXPECT_EQ(f.relacyjne[1].model_number, 4);
    EXPECT_EQ(f.relacyjne[1].result, "t");
}

struct Joint : ::testing::Test {
    ScriptedUi ui;
    Session s{ui};
    void models(const std::string& text) { ASSERT_FALSE(parse_base_text(s.kb, BaseKind::Models, text)); }
    void rules() { verify_test::askable_from_rules(s); }
};

TEST_F(Joint, RuleWhoseFlattenedConditionsLeadBackThroughAModel) {
    // Model 1 concludes z when its condition w holds; rule 1 concludes w from v, rule 2 v from z.
    models(basic(1, "w", "z", "a", ">", "b"));
    verify_test::add_rule(s, 1, "w", {"v"});
    verify_test::add_rule(s, 2, "v", {"z", "y"});
    rules();
    auto found = znajdz_sprzecznosci_mr(s.kb);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].model_number, 1);
    EXPECT_EQ(found[0].rule_number, 1);
    EXPECT_EQ(oczyszczona_sciezka(found[0].rule_path, 1), (IntList{2}));
    EXPECT_EQ(found[0].model_path, (IntList{1}));
    EXPECT_TRUE(oczyszczona_sciezka(found[0].model_path, 1).empty());

    badaj_sprzecznosc_mr(s);
    EXPECT_TRUE(sprzecznosc_modeli_i_regul(s));
    EXPECT_FALSE(ladowanie_ograniczen_i_rad_dozwolone(s));
}

TEST_F(Joint, ChainsThroughModelsAndTheirEnd) {
    // z comes from model 2 under condition q, q from the extended model 3 under w: the rule
    // for w is contradictory through both models.
    models(basic(1, "w", "k", "a", ">", "b") + basic(2, "q", "z", "a", "<", "b") +
           "model_r(3,\"w\",\"q\",\"<,<\",[\"1\",\"a\",\"3\"],1,\"cf\")\n");
    verify_test::add_rule(s, 7, "w", {"z"});
    rules();
    auto found = znajdz_sprzecznosci_mr(s.kb);
    // Model 1 and model 3 both have w as their condition.
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].model_number, 1);
    EXPECT_EQ(found[0].model_path, (IntList{2, 3}));
    EXPECT_EQ(found[1].model_number, 3);
    EXPECT_EQ(oczyszczona_sciezka(found[1].model_path, 3), (IntList{2}));

    // A rule with no model condition among its flattened conditions gives nothing.
    Session clean{ui};
    ASSERT_FALSE(parse_base_text(clean.kb, BaseKind::Models, basic(1, "w", "k", "a", ">", "b")));
    verify_test::add_rule(clean, 1, "w", {"x"});
    verify_test::askable_from_rules(clean);
    EXPECT_TRUE(znajdz_sprzecznosci_mr(clean.kb).empty());
}

TEST_F(Joint, CircleOfRelationalModelsEnds) {
    // c1 from c2, c2 from c3, c3 from c1: the chain from c1 comes round and stops.
    models(basic(1, "c2", "c1", "a", ">", "b") + basic(2, "c3", "c2", "a", ">", "b") +
           basic(3, "c1", "c3", "a", ">", "b") + basic(4, "w", "k", "a", ">", "b"));
    RelationalModels rel(s.kb.models);
    RelationalModels::Chain ch = rel.testuj_modele("c1");
    EXPECT_EQ(ch.conditions, (TextList{"c2", "c3"}));
    EXPECT_EQ(ch.models, (IntList{1, 2, 3}));
    // No rule concludes w through the circle: nothing.
    verify_test::add_rule(s, 1, "w", {"c1"});
    rules();
    EXPECT_TRUE(znajdz_sprzecznosci_mr(s.kb).empty());
    // A rule for c2 meets c2 again on the circle: a finding for model 1.
    verify_test::add_rule(s, 2, "c2", {"c1"});
    rules();
    auto found = znajdz_sprzecznosci_mr(s.kb);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].model_number, 1);
    EXPECT_EQ(found[0].rule_number, 2);
}

TEST_F(Joint, EveryModelConcludingAConditionIsTriedInTheChain) {
    // z is concluded by model 2 (under q, which leads nowhere) and by model 3 (under w): the
    // rule for w comes back to w through the second one.
    models(basic(1, "w", "k", "a", ">", "b") + basic(2, "q", "z", "a", "<", "b") +
           basic(3, "w", "z", "a", ">=", "b"));
    verify_test::add_rule(s, 7, "w", {"z"});
    rules();
    auto found = znajdz_sprzecznosci_mr(s.kb);
    ASSERT_EQ(found.size(), 2u);  // models 1 and 3 both have the condition w
    EXPECT_EQ(found[0].model_number, 1);
    EXPECT_EQ(found[0].rule_number, 7);
    EXPECT_EQ(found[0].model_path, (IntList{3}));
    // The first chain alone still stops at q.
    RelationalModels rel(s.kb.models);
    EXPECT_EQ(rel.testuj_modele("z").conditions, (TextList{"q"}));
}

// Loads through the load command with the diagnoses in their places.
struct LoadedModels : ::testing::Test {
    ModelSession f;
    void SetUp() override {
        install_load_diagnoses(f.s);
        f.rules("reguła(1,\"w\",[\"v\"],1,\"0.9\")\nreguła(2,\"v\",[\"z\",\"y\"],1,\"0.8\")\n");
        verify_test::askable_from_rules(f.s);
    }
    bool has(const std::string& needle) const { return f.ui.transcript().find(needle) != std::string::npos; }
};

TEST_F(LoadedModels, ContradictoryBaseIsKeptForItsReportAndUnloadedByIt) {
    EXPECT_EQ(
        f.models(basic(1, "bez_warunku", "x", "y", "+", "1") + basic(2, "bez_warunku", "y", "x", "*", "2"),
                 "MOTEST.BEN"),
        "");
    EXPECT_TRUE(
        has("[note] Diagnozowanie\nBaza modeli elementarna niepewna\n   MOTEST.BEN\njest diagnozowana na "
            "obecność sprzeczności.  \nCzas diagnozowania jest zależny od złożoności bazy."));
    EXPECT_TRUE(
        has("[note] Informacja o sprzeczności\nBaza modeli elementarna niepewna\n   MOTEST.BEN\nma co "
            "najmniej jedną sprzeczność."));
    // The joint diagnosis did not run.
    EXPECT_FALSE(has("sprzeczności łącznych"));
    EXPECT_FALSE(f.s.kb.nazwa_mo.loaded());
    EXPECT_EQ(f.s.kb.models.model.count(), 2u);
    EXPECT_TRUE(sprzeczna_baza_modeli(f.s));
    EXPECT_TRUE(is_enabled(f.s, cmd::diagnostyka_sprzecznosci_modeli));
    EXPECT_FALSE(wnioskowanie_dozwolone(f.s));

    f.ui.add_answer("&Nie");  // the report is not saved
    pisz_sprzecznosc_mz(f.s);
    const std::string& t = f.ui.transcript();
    std::size_t head = t.find(" Raport diagnostyki sprzeczności bazy modeli \n MOTEST.BEN\n\n");
    std::size_t deep = t.find(" Następujące modele arytmetyczne są pośrednio sprzeczne:");
    std::size_t rec = t.find(
        " Model 1 ma wynik 'x'\n tożsamy z jednym z argumentów zagnieżdżających się z nim "
        "modeli o numerach:\n      2\n Można to wykazać usuwając zagnieżdżenie na drodze "
        "podstawienia: \n      2 ==> 1\n");
    std::size_t advice = t.find(" Przejdź do 'Bazy modeli'\n wybierz opcję 'Edycja bazy modeli', \n");
    std::size_t end = t.find(" Koniec raportu diagnostyki sprzeczności bazy modeli e\n MOTEST.BEN.");
    ASSERT_NE(head, std::string::npos);
    ASSERT_NE(rec, std::string::npos);
    EXPECT_LT(head, deep);
    EXPECT_LT(deep, rec);
    EXPECT_LT(rec, advice);
    EXPECT_LT(advice, end);
    EXPECT_NE(end, std::string::npos);
    EXPECT_TRUE(has("[note] Sprzeczność modelu\nPrzejdź do 'Bazy modeli niepewnej'"));
    EXPECT_TRUE(f.s.kb.models.model.empty());
    // Inference stays refused, and says why.
    EXPECT_FALSE(start_wnioskowania(f.s, InferenceDirection::Forward));
    EXPECT_TRUE(
        has("[note] Uwaga!\nBaza modeli elementarna niepewna\n   MOTEST.BEN\nma co najmniej jedną "
            "sprzeczność.\nWnioskowanie nie może być rozpoczęte."));

    // A clean base loaded next forgets the verdicts.
    EXPECT_NE(f.models(basic(1, "bez_warunku", "x", "q", "+", "1")), "");
    EXPECT_FALSE(sprzeczna_baza_modeli(f.s));
    EXPECT_TRUE(wnioskowanie_dozwolone(f.s));
    EXPECT_TRUE(has("[note] Wynik diagnozowania sprzeczności łącznych\n"));
}

TEST_F(LoadedModels, JointContradictionKeepsBothBasesAndRefusesInference) {
    EXPECT_EQ(f.models(basic(1, "w", "z", "a", ">", "b")), "");
    EXPECT_TRUE(has("[note] Wynik diagnozowania sprzeczności\n"));
    EXPECT_TRUE(
        has("[note] Informacja o sprzecznościach łącznych bazy modeli i bazy reguł\nBaza modeli "
            "elementarna niepewna\n   MOTEST.BEN\ni baza reguł elementarna niepewna\n   RETEST.BEN\nmają co "
            "najmniej jedną sprzeczność łączną. "));
    EXPECT_TRUE(f.s.kb.nazwa_mo.loaded());
    EXPECT_TRUE(f.s.kb.nazwa_re.loaded());
    EXPECT_TRUE(is_enabled(f.s, cmd::diagnostyka_sprzecznosci_modeli_i_regul));
    EXPECT_FALSE(start_wnioskowania(f.s, InferenceDirection::Backward));
    EXPECT_TRUE(
        has("[note] Uwaga!\nBaza modeli elementarna niepewna\n   MOTEST.BEN\ni baza reguł elementarna "
            "niepewna\n   RETEST.BEN\nmają co najmniej jedną sprzeczność łączną."));

    f.ui.add_answer("&Nie");
    pisz_sprzecznosc_mr(f.s);
    EXPECT_NE(f.ui.helper_text().find(" Model relacyjny 1 jest łącznie sprzeczny z regułą 1\n Numery reguł "
                                      "spłaszczających: [2]\n"),
              std::string::npos);
    EXPECT_TRUE(
        has("[note] Diagnostyka sprzeczności zewnętrzych bazy reguł\nKoniec raportu diagnostyki "
            "sprzeczności łącznych \nbazy reguł elementarnej niepewnej\n   RETEST.BEN"));
    EXPECT_TRUE(f.s.kb.nazwa_mo.loaded());  // the joint report unloads nothing
}

}  // namespace
}  // namespace zuva
