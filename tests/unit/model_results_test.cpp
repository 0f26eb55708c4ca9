// Models with the same result: refused unless an exclusive-model list (without exact
// constraints) or an exact constraint holds their conditions of application, or the rules
// concluding those conditions exclude each other; the pairs of kinds come first.
#include "verify/model_results.h"

#include <gtest/gtest.h>

#include "consult/inference_start.h"
#include "forward_test_support.h"
#include "kb/base_file_reader.h"
#include "ui/scripted_ui.h"
#include "verify/load_checks.h"

using namespace zuva;
using namespace zuva::testing_support;

namespace {

std::string basic(int n, const std::string& cond, const std::string& result, const std::string& op) {
    return "model(" + std::to_string(n) + ",\"" + cond + "\",\"" + result + "\",\"a\",\"" + op +
           "\",\"b\",1,\"1\")\n";
}

struct ModelResults : ::testing::Test {
    ScriptedUi ui;
    Session s{ui};
    void rules(const std::string& text = "reguła(1,\"w\",[\"p\"],1,\"0.8\")\n") { use_rule_base(s, text); }
    // More records of the kind: the base stays loaded under its name.
    void models(const std::string& text) {
        ASSERT_FALSE(parse_base_text(s.kb, BaseKind::Models, text));
        if (!s.kb.nazwa_mo.loaded()) s.kb.nazwa_mo.short_name.append("MOTEST.BEN");
    }
    void constraints(const std::string& text) {
        ASSERT_FALSE(parse_base_text(s.kb, BaseKind::ExactConstraints, text));
        if (!s.kb.nazwa_og.loaded()) s.kb.nazwa_og.short_name.append("OGTEST.BEN");
    }
    int notes() const { return count_of(ui.transcript(), "[note] "); }
    bool has(const std::string& piece) const { return ui.transcript().find(piece) != std::string::npos; }
};

TEST_F(ModelResults, OneKindWithoutConstraintsNeedsOneExclusiveListHoldingTheGroup) {
    rules();
    models(basic(1, "c1", "y", "+") + basic(2, "c2", "y", "-"));
    EXPECT_FALSE(testuj_wyniki_modeli(s));
    EXPECT_TRUE(
        has("[note] Uwaga!\nBaza modeli zawiera modele elementarne \no tych samych wynikach/wnioskach:\n"
            "               y\nWarunki stosowania tych modeli nie wykluczają się, \n"
            "ponieważ brak odpowiedniej bazy ograniczeń.\nZaładowaną bazę modeli możesz tylko "
            "edytować, \nlecz nie możesz korzystać z niej dla wnioskowania.\nPrzejdź do opcji'Baza "
            "modeli/Edycja bazy modeli'\n i popraw bazę modeli lub przejdź do opcji \n'Baza "
            "ograniczeń/Tworzenie bazy ograniczeń'\ni utwórz odpowiednią bazę ograniczeń.\n"))
        << ui.transcript();
    EXPECT_EQ(notes(), 1);
    // A list that holds one of the conditions only does not make them exclusive.
    models("modele_ekskluzywne([\"c1\",\"c3\"])\n");
    EXPECT_FALSE(testuj_wyniki_modeli(s));
    models("modele_ekskluzywne([\"c3\",\"c2\",\"c1\"])\n");
    EXPECT_TRUE(testuj_wyniki_modeli(s));
    EXPECT_EQ(notes(), 2);
}

TEST_F(ModelResults, UnaryAndRelationalModelsStartNoGroupOfBasicModels) {
    rules();
    models(basic(1, "c1", "y", "sqrt") + basic(2, "c2", "y", "abs") + basic(3, "c1", "k", ">") +
           basic(4, "c2", "k", "<"));
    EXPECT_TRUE(testuj_wyniki_modeli(s));
    // A two-argument model starts one, and the unary models of its result belong to it.
    models(basic(5, "c3", "y", "max"));
    EXPECT_FALSE(testuj_wyniki_modeli(s));
    EXPECT_TRUE(has("modele elementarne \no tych samych wynikach/wnioskach:\n               y\n"));
}

TEST_F(ModelResults, PairsOfKindsComeFirstWithTheirTexts) {
    rules();
    models(basic(1, "c1", "k", "+") + basic(2, "c2", "k", "*") + basic(3, "c1", "y", "+") +
           "model_liniowy(4,\"c2\",\"y\",[\"2\"],[\"a\"],1,\"1\")\n");
    EXPECT_FALSE(testuj_wyniki_modeli(s));
    EXPECT_TRUE(
        has("[note] Uwaga!\nBaza modeli zawiera modele elementarne i liniowe\no tych samych wynikach:\n"
            "               y\nWarunki stosowania tych modeli nie wykluczają się, \nponieważ brak "
            "odpowiedniej bazy ograniczeń.\nPrzejdź do opcji 'Baza modeli/Edycja bazy modeli'\ni "
            "popraw bazę modeli lub przejdź do opcji \nBaza ograniczeń/Tworzenie bazy ograniczeń'\ni "
            "utwórz odpowiednią bazę ograniczeń\n"))
        << ui.transcript();
    EXPECT_EQ(notes(), 1);  // the group of k is not reached
}

TEST_F(ModelResults, ExtendedAndBasicModelsOfOneResultAreAPairOfKinds) {
    rules();
    models("model_r(1,\"c1\",\"y\",\"+\",[\"a\",\"b\"],1,\"1\")\n" + basic(2, "c2", "y", "-"));
    EXPECT_FALSE(testuj_wyniki_modeli(s));
    EXPECT_TRUE(has("modele elementarne i rozwinięte\no tych samych wynikach/wnioskach:\n"))
        << ui.transcript();
}

TEST_F(ModelResults, ExactConstraintHoldingTheConditionsOrRulesThatExcludeEachOther) {
    rules(
        "reguła(1,\"c1\",[\"p\"],1,\"0.8\")\nreguła(2,\"c2\",[\"q\"],1,\"0.8\")\n"
        "reguła(3,\"c2\",[\"q\",\"r\"],1,\"0.8\")\n");
    models(basic(1, "d1", "y", "+") + basic(2, "d2", "y", "-") + basic(3, "c1", "z", "+") +
           basic(4, "c2", "z", "-"));
    // d1 and d2 have no rules and no constraint holds both.
    constraints("ograniczenie(1,[\"d1\",\"e\"])\nograniczenie(2,[\"p\",\"q\"])\n");
    EXPECT_FALSE(testuj_wyniki_modeli(s));
    const std::string missing =
        "Brak reguł dla następujących warunków startowych modeli o tym samym wyniku:\n[\"d1\",\"d2\"]\n"
        "Załadowane bazy modeli i ograniczeń możesz tylko edytować, \nlecz nie możesz korzystać z nich dla "
        "wnioskowania.\nPrzejdź do opcji edycji baz i popraw jedną lub wszystkie.";
    EXPECT_TRUE(has("[note] Uwaga!\n" + missing + "\n")) << ui.transcript();
    EXPECT_NE(ui.helper_text().find(missing), std::string::npos);
    // A constraint holds d1 and d2; c1 and c2 come from p and q, which one constraint holds
    // (two rules of c2 are no conflict).
    s.kb.exact.ograniczenie.clear();
    constraints("ograniczenie(1,[\"d2\",\"d1\"])\nograniczenie(2,[\"p\",\"q\"])\n");
    const int before = notes();
    EXPECT_TRUE(testuj_wyniki_modeli(s)) << ui.transcript();
    EXPECT_EQ(notes(), before);
}

TEST_F(ModelResults, RulesThatDoNotExcludeEachOtherAreListedAndEveryGroupIsJudged) {
    rules(
        "reguła(1,\"c1\",[\"p\"],1,\"0.8\")\nreguła(2,\"c2\",[\"q\"],1,\"0.8\")\n"
        "reguła(3,\"c3\",[\"p\",\"x\"],1,\"0.8\")\nreguła(4,\"c4\",[\"x\"],1,\"0.8\")\n");
    // The first group (c1, c2) is shown exclusive by the constraint of p and q; the second
    // (c3, c4) is not: c3 holds with c4 whenever x does.
    models(basic(1, "c1", "y", "+") + basic(2, "c2", "y", "-") + basic(3, "c3", "z", "+") +
           basic(4, "c4", "z", "-"));
    constraints("ograniczenie(1,[\"p\",\"q\"])\n");
    EXPECT_FALSE(testuj_wyniki_modeli(s));
    const std::string& t = ui.transcript();
    const std::size_t heading = t.find(
        "[note] Uwaga!\n\nWnioski następujących reguł, bedące warunkami startowymi modeli o tych samych "
        "wynikach/wnioskach, nie wykluczają się wzajemnie: \n");
    const std::size_t r3 = t.find(
        "[note] Wnioski następujących reguł nie wykluczają się wzajemnie:\nNumer reguły:  3    Wniosek:  "
        "c3\n");
    const std::size_t r4 = t.find("Numer reguły:  4    Wniosek:  c4\n");
    const std::size_t end = t.find(
        "[note] Uwaga!\nZaładowane bazy modeli i ograniczeń możesz tylko edytować, \nlecz nie możesz "
        "korzystać "
        "z nich dla wnioskowania.\nPrzejdź do opcji edycji baz i popraw jedną lub wszystkie.\n");
    ASSERT_NE(heading, std::string::npos) << t;
    EXPECT_LT(heading, r3);
    EXPECT_LT(r3, r4);
    EXPECT_LT(r4, end);
    EXPECT_NE(end, std::string::npos);
    EXPECT_EQ(t.find("Numer reguły:  1"), std::string::npos);
    EXPECT_EQ(notes(), 4);
}

TEST_F(ModelResults, CircularRulesOfAConditionEnd) {
    // c1 comes from p, or from g, which comes back from c1: the flattening ends, and the forms
    // of c1 ([p]) and c2 ([q]) are shown exclusive by the constraint.
    rules(
        "reguła(1,\"c1\",[\"p\"],1,\"0.8\")\nreguła(2,\"c1\",[\"g\"],1,\"0.8\")\n"
        "reguła(3,\"g\",[\"c1\"],1,\"0.8\")\nreguła(4,\"c2\",[\"q\"],1,\"0.8\")\n");
    models(basic(1, "c1", "y", "+") + basic(2, "c2", "y", "-"));
    constraints("ograniczenie(1,[\"p\",\"q\"])\n");
    EXPECT_TRUE(testuj_wyniki_modeli(s)) << ui.transcript();
}

TEST_F(ModelResults, InferenceStartRunsTheTestsAfterTheNumberingVerdict) {
    rules();
    install_load_diagnoses(s);
    models(basic(1, "c1", "y", "+") + "model_liniowy(2,\"c2\",\"y\",[\"2\"],[\"a\"],1,\"1\")\n");
    EXPECT_FALSE(start_wnioskowania(s, InferenceDirection::Forward));
    EXPECT_TRUE(has("Baza modeli zawiera modele elementarne i liniowe"));
    EXPECT_EQ(notes(), 1);  // no other refusal, no header of the run
}

}  // namespace
