// The evaluation of hypotheses in backward runs: depth-first order of questions, a shared
// auxiliary hypothesis, negative conditions, "n"-prefixed names, and the model alternatives.
#include <gtest/gtest.h>

#include "backward_test_support.h"
#include "consult/backward.h"
#include "consult/calculus_basics.h"
#include "forward_test_support.h"
#include "models_fixture.h"
#include "ui/scripted_ui.h"

using namespace zuva;
using namespace zuva::testing_support;
using namespace zuva::backward_support;

TEST(BackwardEvaluation, DepthFirstOrderSharedAuxiliaryAndNegativeFirstCondition) {
    // Rule 1 needs "pośredni", which needs "głęboki"; rule 4 needs "pośredni" again.
    ScriptedUi ui(opening("1", "1", {"-0.5", "0.9", "0.7", "0.9", "0.6", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"cel\",[\"a\",\"pośredni\",\"c\"],1,\"0.8\")\n"
                  "reguła(2,\"pośredni\",[\"d\",\"głęboki\"],1,\"1\")\n"
                  "reguła(3,\"głęboki\",[\"f\"],1,\"1\")\n"
                  "reguła(4,\"cel\",[\"pośredni\",\"g\"],1,\"0.5\")\n");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    const std::string& t = ui.transcript();
    // Each condition is followed down to its askable conditions before the next one; the
    // first condition's CF -0.5 does not stop the others from being asked.
    EXPECT_EQ(asked(t), (std::vector<std::string>{"a", "d", "f", "c", "g"}));
    // The shared auxiliary hypothesis is tested once and then taken from its resultant.
    EXPECT_EQ(count_of(t, "Hipoteza pomocnicza pośredni jest testowana.\n"), 1);
    EXPECT_DOUBLE_EQ(*resultant(s, "pośredni"), 0.7);
    // Rule 1: conditions CF -0.5, contribution -0.4; rule 4: 0.5 · 0.6 = 0.3.
    ASSERT_NE(s.inference.prbd.find_rule(1), nullptr);
    EXPECT_DOUBLE_EQ(s.inference.prbd.find_rule(1)->contribution, -0.4);
    EXPECT_DOUBLE_EQ(s.inference.prbd.find_rule(4)->contribution, 0.3);
    // (0.3 - 0.4) / (1 - 0.3) = -0.142857..., rounded halves upward to -0.14.
    EXPECT_DOUBLE_EQ(*resultant(s, "cel"), -0.14);
    EXPECT_NE(s.report.text.find("CF(cel) = -0.14\n"), std::string::npos);
}

TEST(BackwardEvaluation, ConditionWithoutCfStopsItsRuleButNotTheOthers) {
    // "brak" is a conclusion whose only rule has no condition: it gets no CF, so rule 1 is
    // not applied, although its other condition is still asked; "cel" then has a pending
    // rule and no CF, and the run ends after the announcement.
    ScriptedUi ui(opening("1", "1", {"0.9", "0.8"}));
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"cel\",[\"brak\",\"x\"],1,\"0.8\")\n"
                  "reguła(2,\"cel\",[\"y\"],1,\"0.5\")\n"
                  "reguła(3,\"brak\",[\"bez warunku\"],1,\"0.5\")\n");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    EXPECT_EQ(asked(ui.transcript()), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(s.inference.prbd.find_rule(1), nullptr);
    ASSERT_NE(s.inference.prbd.find_rule(2), nullptr);
    EXPECT_FALSE(resultant(s, "cel"));
    EXPECT_EQ(ui.transcript().find("Wynik wnioskowania wstecz"), std::string::npos);
}

TEST(BackwardEvaluation, NegatedConclusionTakesTheContributionsWithReversedSigns) {
    ScriptedUi ui(opening("1", "2", {"1", "1", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"awaria\",[\"iskra\"],1,\"0.8\")\n"
                  "reguła(2,\"awaria\",[\"paliwo\"],1,\"-0.5\")\n"
                  "reguła(3,\"jedzie\",[\"nawaria\"],1,\"0.9\")\n");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    EXPECT_EQ(listed(ui.transcript()), (std::vector<std::string>{"awaria", "jedzie"}));
    // "nawaria" is askable by name, but it is the negation of a conclusion: not asked.
    EXPECT_EQ(asked(ui.transcript()), (std::vector<std::string>{"iskra", "paliwo"}));
    // awaria: 0.8 and -0.5; reversed: P = 0.5, N = -0.8, (0.5 - 0.8) / (1 - 0.5) = -0.6.
    EXPECT_DOUBLE_EQ(*resultant(s, "nawaria"), -0.6);
    EXPECT_DOUBLE_EQ(*resultant(s, "jedzie"), -0.54);
    EXPECT_NE(ui.transcript().find("Hipoteza pomocnicza nawaria jest testowana."), std::string::npos);
    // The contributions stay recorded for awaria itself, whose own test now gives +0.6.
    EXPECT_FALSE(resultant(s, "awaria"));
    EXPECT_DOUBLE_EQ(*ocena_hipotezy_cd(s, "awaria"), 0.6);
}

TEST(BackwardEvaluation, NamesBeginningWithN) {
    // "nzapłon" negates the askable "zapłon" and is asked as it stands; "niskie_napiecie"
    // is an ordinary askable condition ("iskie_napiecie" is neither askable nor concluded)
    // and is asked too.
    ScriptedUi ui(opening("1", "1", {"0.4", "0.8", "-0.8", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"rozruch\",[\"nzapłon\",\"niskie_napiecie\"],1,\"0.5\")\n"
                  "reguła(2,\"rozruch\",[\"zapłon\"],1,\"0.5\")\n");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    EXPECT_EQ(asked(ui.transcript()), (std::vector<std::string>{"nzapłon", "niskie_napiecie", "zapłon"}));
    EXPECT_DOUBLE_EQ(*resultant(s, "niskie_napiecie"), 0.8);
    // 0.5 · min(0.4, 0.8) = 0.2 and 0.5 · -0.8 = -0.4: (0.2 - 0.4) / (1 - 0.2) = -0.25.
    EXPECT_DOUBLE_EQ(*resultant(s, "rozruch"), -0.25);
}

TEST(BackwardEvaluation, DisjunctiveHypothesisTakesTheLargestContributionAndSkipsDoublyNegativeRules) {
    ScriptedUi ui(opening("1", "1", {"0.5", "0.8", "-0.4", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "reguła_dysjunktywna(\"usterka\")\n"
                  "reguła(1,\"usterka\",[\"a\"],1,\"0.6\")\n"
                  "reguła(2,\"usterka\",[\"b\"],1,\"0.75\")\n"
                  "reguła(3,\"usterka\",[\"c\"],1,\"-0.9\")\n");
    wnioskowanie_wstecz(s);
    EXPECT_FALSE(ui.has_answers());
    // 0.3 and 0.6; rule 3 (conditions -0.4, rule -0.9) is skipped with its note.
    EXPECT_DOUBLE_EQ(*resultant(s, "usterka"), 0.6);
    EXPECT_EQ(s.inference.prbd.find_rule(3), nullptr);
    EXPECT_NE(ui.transcript().find("[note] Uwaga!\nStosuję regułę dysjunktywną 3\n"), std::string::npos);
    EXPECT_NE(s.report.text.find("Z wszystkich reguł dysjunktywnych dla hipotezy:\n    usterka\nwynika:\n"
                                 "    CF(usterka)  = 0.6\n\n"),
              std::string::npos);
}

TEST(BackwardEvaluation, ResultOfAnArithmeticModelGetsCfOne) {
    // The load refuses a rule condition named like a model result, so the tables are filled
    // directly: the result is then evaluated as an auxiliary hypothesis of both rules.
    zuva::testing::ModelSession f;
    f.rules(
        "reguła(1,\"decyzja\",[\"suma\"],1,\"0.7\")\nreguła(2,\"decyzja\",[\"suma\",\"zgoda\"],1,\"0.2\")\n");
    f.model_tables("model(1,\"bez_warunku\",\"suma\",\"x\",\"+\",\"y\",1,\"1\")\n");
    f.s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.append(TextList{"zgoda"});
    for (const char* a : {"1", "&NIE", "1", "1", "2", "3", "1", "&NIE", "&Nie"})
        f.ui.add_answer(a);
    wnioskowanie_wstecz(f.s);
    EXPECT_FALSE(f.ui.has_answers());
    const std::string& t = f.ui.transcript();
    // The model's arguments are asked once; the result is computed once and explained.
    EXPECT_EQ(asked(t), (std::vector<std::string>{"x", "y", "zgoda"}));
    EXPECT_EQ(f.count("Stosuję model arytmetyczny podstawowy 1 o postaci:"), 2u);  // report and dialog
    ASSERT_TRUE(f.s.inference.zmienna_ustalona.find("suma"));
    EXPECT_DOUBLE_EQ(*f.s.inference.zmienna_ustalona.find("suma"), 5.0);
    EXPECT_EQ(f.s.inference.model_stosowany.count(1), 0u);
    // 0.7 · 1 and 0.2 · min(1, 1): 0.7 + 0.2 - 0.14 = 0.76.
    EXPECT_DOUBLE_EQ(*resultant(f.s, "decyzja"), 0.76);
    EXPECT_FALSE(resultant(f.s, "suma"));
    // The final listing shows the fixed value.
    EXPECT_NE(
        f.s.report.text.find("Dane są wartości następujących argumentów:\n    x=2\n    y=3\n    suma=5\n"),
        std::string::npos);
}

TEST(BackwardEvaluation, RelationalModelConditionIsTestedAsAnAuxiliaryHypothesis) {
    zuva::testing::ModelSession f;
    f.rules(
        "reguła(1,\"wymiana\",[\"słaby\"],1,\"0.9\")\n"
        "reguła(2,\"pomiar_ważny\",[\"miernik_sprawny\"],1,\"1\")\n"
        "reguła(3,\"inne\",[\"pomiar_ważny\"],1,\"1\")\n");
    ASSERT_NE(f.models("model(1,\"pomiar_ważny\",\"słaby\",\"napięcie\",\"<\",\"12\",1,\"cf_slaby\")\n"), "")
        << f.ui.transcript();
    for (const char* a : {"1", "&NIE", "1"})
        f.ui.add_answer(a);
    // The narrow candidates: the rule conclusions that are no condition, then the model's.
    const auto position = [&] {
        TextList c = kandydaci_hipotez(f.s, kHipotezaWaska);
        for (std::size_t i = 0; i < c.size(); ++i)
            if (c[i] == "wymiana") return std::to_string(i + 1);
        return std::string("?");
    }();
    for (const char* a : {position.c_str(), "1", "11.5", "0.8", "&NIE", "&Nie"})
        f.ui.add_answer(a);
    wnioskowanie_wstecz(f.s);
    EXPECT_FALSE(f.ui.has_answers());
    const std::string& t = f.ui.transcript();
    EXPECT_EQ(asked(t), (std::vector<std::string>{"miernik_sprawny", "napięcie", "słaby"}));
    EXPECT_DOUBLE_EQ(*resultant(f.s, "pomiar_ważny"), 1.0);
    EXPECT_DOUBLE_EQ(*resultant(f.s, "słaby"), 0.8);
    EXPECT_DOUBLE_EQ(*resultant(f.s, "wymiana"), 0.72);
    // The message about the relational conclusion comes after the comparison.
    EXPECT_LT(t.find("name: napięcie"), t.find("Hipoteza pomocnicza słaby jest testowana."));
    EXPECT_NE(f.s.report.text.find("Dla testowanej hipotezy w sensie wąskim jest:\nCF(wymiana) = 0.72\n"),
              std::string::npos);
    EXPECT_TRUE(f.s.inference.model_stosowany.count(1));
}

TEST(BackwardEvaluation, ModelConditionsAreNotEvaluatedOutsideABackwardTest) {
    // Without a hypothesis under test, the model's condition is not a sub-hypothesis.
    zuva::testing::ModelSession f;
    f.rules("reguła(1,\"pomiar_ważny\",[\"miernik_sprawny\"],1,\"1\")\n");
    ASSERT_NE(f.models("model(1,\"pomiar_ważny\",\"słaby\",\"napięcie\",\"<\",\"12\",1,\"cf_slaby\")\n"), "")
        << f.ui.transcript();
    EXPECT_FALSE(ocena_hipotezy_cd(f.s, "słaby"));
    EXPECT_EQ(f.ui.transcript().find("[value]"), std::string::npos);
}

TEST(BackwardEvaluation, AFailedAuxiliaryHypothesisIsNotFollowedAgainWhileNothingChanged) {
    // Forty levels of two conclusions, each needing both of the level below; the bottom
    // ones have only unconditional rules and get no CF. Following every path again would
    // take 2^40 evaluations.
    std::string base;
    int number = 0;
    const int depth = 40;
    auto name = [](int level, int k) { return "p" + std::to_string(level) + "_" + std::to_string(k); };
    base += "reguła(" + std::to_string(++number) + ",\"szczyt\",[\"" + name(0, 0) + "\",\"" + name(0, 1) +
            "\"],1,\"0.9\")\n";
    for (int level = 0; level < depth; ++level)
        for (int k = 0; k < 2; ++k)
            base += "reguła(" + std::to_string(++number) + ",\"" + name(level, k) + "\",[\"" +
                    name(level + 1, 0) + "\",\"" + name(level + 1, 1) + "\"],1,\"0.9\")\n";
    for (int k = 0; k < 2; ++k)
        base += "reguła(" + std::to_string(++number) + ",\"" + name(depth, k) +
                "\",[\"bez warunku\"],1,\"0.5\")\n";
    ScriptedUi ui(opening("1", "1", {}));
    Session s(ui);
    use_rule_base(s, base);
    wnioskowanie_wstecz(s);
    EXPECT_NE(ui.transcript().find("Testuję hipotezę w sensie wąskim"), std::string::npos);
    EXPECT_EQ(ui.transcript().find("Wynik wnioskowania wstecz"), std::string::npos);
    EXPECT_TRUE(s.inference.prbd.empty());
}
