// Mutually exclusive conditions in a consultation: the questions for members of exact and
// uncertain constraints, the completion of the other members, and the errors that stop
// inference.
#include <gtest/gtest.h>

#include "consult/calculus_basics.h"
#include "consult/exclusive.h"
#include "consult/forward.h"
#include "consult/pytaj.h"
#include "forward_test_support.h"
#include "kb/base_file_reader.h"
#include "kb/numbering.h"
#include "report/report.h"
#include "ui/scripted_ui.h"

using namespace zuva;
using namespace zuva::testing_support;

namespace {

void use_constraints(Session& s, const std::string& exact, const std::string& uncertain = "") {
    if (!exact.empty()) {
        ASSERT_FALSE(parse_base_text(s.kb, BaseKind::ExactConstraints, exact));
        s.kb.nazwa_og.short_name.append("OGTEST.BEN");
    }
    if (!uncertain.empty()) {
        ASSERT_FALSE(parse_base_text(s.kb, BaseKind::UncertainConstraints, uncertain));
        s.kb.nazwa_op.short_name.append("ONTEST.BEN");
    }
    zapomnij_indeks_ograniczen(s);
    kasowanie_tekst_raportu(s);  // the report buffer receives what the questions write
}

double cf_of(const Session& s, const std::string& statement) {
    auto r = resultant(s, statement);
    return r ? *r : 99.0;
}

const char* const kRules =
    "reguła(1,\"x\",[\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\",\"j\"],1,\"0.8\")\n";

}  // namespace

TEST(ExclusiveConditions, ExactPairAcceptsOnlyPlusOrMinusOneAndCompletesThePartner) {
    ScriptedUi ui({"0.5", "1"});
    Session s(ui);
    use_rule_base(s, kRules);
    use_constraints(s, "ograniczenie(1,[\"a\",\"b\"])\n");
    EXPECT_EQ(pytaj(s, "a"), 1.0);
    EXPECT_EQ(cf_of(s, "b"), -1.0);
    EXPECT_NE(s.report.text.find("Warunek: \n   a\njest w bazie ograniczeń dokładnej.\n"
                                 "Określ CF warunku równe -1.0 lub 1.0.\n"
                                 "     Źle! Musi być -1 = CF  lub CF = 1 ! \n   CF(a) = 1\n\n"),
              std::string::npos)
        << s.report.text;
    EXPECT_NE(ui.transcript().find("Źle! Musi być -1 = CF  lub CF = 1 !"), std::string::npos);
    // The partner is known: asking it asks nothing.
    EXPECT_EQ(pytaj(s, "b"), -1.0);
    EXPECT_FALSE(ui.has_answers());
    // -1 for one member of a pair makes the other true.
    ScriptedUi ui2({"-1"});
    Session s2(ui2);
    use_rule_base(s2, kRules);
    use_constraints(s2, "ograniczenie(1,[\"a\",\"b\"])\n");
    EXPECT_EQ(pytaj(s2, "b"), -1.0);
    EXPECT_EQ(cf_of(s2, "a"), 1.0);
}

TEST(ExclusiveConditions, LargerExactConstraintTrueMemberMakesTheOthersFalse) {
    ScriptedUi ui({"1"});
    Session s(ui);
    use_rule_base(s, kRules);
    use_constraints(s, "ograniczenie(2,[\"c\",\"d\",\"e\"])\n");
    EXPECT_EQ(pytaj(s, "d"), 1.0);
    EXPECT_EQ(cf_of(s, "c"), -1.0);
    EXPECT_EQ(cf_of(s, "e"), -1.0);
    EXPECT_EQ(s.inference.wypadkowa_prbd.count(), 3u);
}

TEST(ExclusiveConditions, FalseMembersAreDeclaredInTurnAndTheLastOneFollows) {
    // c is answered -1, d is asked in the walk (0.5 refused by kontrola_cf, then -1), and e
    // follows with 1.0 without a question.
    ScriptedUi ui({"-1", "0.5", "-1"});
    Session s(ui);
    use_rule_base(s, kRules);
    use_constraints(s, "ograniczenie(2,[\"c\",\"d\",\"e\"])\n");
    EXPECT_EQ(pytaj(s, "c"), -1.0);
    EXPECT_EQ(cf_of(s, "d"), -1.0);
    EXPECT_EQ(cf_of(s, "e"), 1.0);
    EXPECT_FALSE(ui.has_answers());
    const std::string& r = s.report.text;
    EXPECT_NE(
        r.find("Warunek: \n    c(-1)\njest w liście warunków wykluczających się bazy ograniczeń dokładnych.\n"
               "Pozostałe warunki wykluczające się z niezadeklarowanym CF są następujące:\n    d\n    e\n"
               "Tylko jeden z z pozostałych warunków musi mieć CF=1, a pozostałe CF=-1. \n"
               "Zadeklaruj wartości CF tych warunków. \n"),
        std::string::npos)
        << r;
    EXPECT_NE(r.find("Dla warunków z bazy ograniczeń dokładnych CF =1 lub -1\n\n    CF(d) = 0.5\n\n"
                     "Źle! Warunki z listy warunków wzajemnie się wykluczających\n"
                     "z ograniczenia w bazie ograniczeń dokładnych mogą mieć wyłącznie\n"
                     "wartości CF równe 1 lub -1.\n"
                     "Dla warunków z bazy ograniczeń dokładnych CF =1 lub -1\n\n    CF(d) = -1\n\n"),
              std::string::npos)
        << r;
    EXPECT_NE(r.find("więc warunek e ma CF=1."), std::string::npos) << r;
    EXPECT_NE(ui.transcript().find("[explanation] CF warunków wykluczających bazy ograniczeń dokładnych"),
              std::string::npos);
    // A member already true settles the constraint without questions.
    ScriptedUi ui2({"-1"});
    Session s2(ui2);
    use_rule_base(s2, kRules);
    use_constraints(s2, "ograniczenie(2,[\"c\",\"d\",\"e\",\"f\"])\n");
    s2.inference.wypadkowa_prbd.append("f", 1.0);
    EXPECT_EQ(pytaj(s2, "c"), -1.0);
    EXPECT_EQ(cf_of(s2, "d"), -1.0);
    EXPECT_EQ(cf_of(s2, "e"), -1.0);
}

TEST(ExclusiveConditions, UncertainMembers) {
    // A pair: the partner gets the negated answer.
    ScriptedUi ui({"0.6"});
    Session s(ui);
    use_rule_base(s, kRules);
    use_constraints(s, "", "ograniczenie_n(1,[\"f\",\"g\"])\nograniczenie_n(2,[\"h\",\"i\",\"j\"])\n");
    EXPECT_EQ(pytaj(s, "f"), 0.6);
    EXPECT_EQ(cf_of(s, "g"), -0.6);
    EXPECT_NE(s.report.text.find("Warunek: \n   f\njest w bazie ograniczeń niepewnej.\n"
                                 "Określ CF warunku  z przedziału [-1,1].\n"),
              std::string::npos)
        << s.report.text;
    // Three members: the others are declared, each CF checked.
    ScriptedUi ui2({"0.3", "0.2", "1.5", "0.1"});
    Session s2(ui2);
    use_rule_base(s2, kRules);
    use_constraints(s2, "", "ograniczenie_n(2,[\"h\",\"i\",\"j\"])\n");
    EXPECT_EQ(pytaj(s2, "h"), 0.3);
    EXPECT_EQ(cf_of(s2, "i"), 0.2);
    EXPECT_EQ(cf_of(s2, "j"), 0.1);
    const std::string& r = s2.report.text;
    EXPECT_NE(r.find("Zadeklarowano wartości CF dla następujących warunków dopytywalnych\n"
                     "z bazy ograniczeń niepewnych:\n    h(0.3)\n"
                     "Pozostałe warunki niepewnie wykluczające się są następujące:\n    i\n    j\n\n"
                     "Deklarując wartości CF tych warunków pamiętaj, że\n"),
              std::string::npos)
        << r;
    EXPECT_NE(r.find("\n   CF(i) = 0.2\n\n     Źle! Musi być -1 <= CF <= 1 ! \n   CF(j) = 0.1\n"),
              std::string::npos)
        << r;
}

TEST(ExclusiveConditions, WithoutTheConstraintBaseNameTheRecordsAreNotUsed) {
    ScriptedUi ui({"0.5"});
    Session s(ui);
    use_rule_base(s, kRules);
    ASSERT_FALSE(parse_base_text(s.kb, BaseKind::ExactConstraints, "ograniczenie(1,[\"a\",\"b\"])\n"));
    EXPECT_EQ(pytaj(s, "a"), 0.5);
    EXPECT_FALSE(resultant(s, "b"));
}

TEST(ExclusiveConditions, ContradictingFactsStopTheRun) {
    // Two members of one exact constraint declared true.
    ScriptedUi ui({"1", "&NIE", "1"});
    Session s(ui);
    use_rule_base(s, std::string("fakt(\"a\",\"1.0\")\nfakt(\"b\",\"1\")\n") + kRules);
    use_constraints(s, "ograniczenie(7,[\"a\",\"b\"])\n");
    wnioskowanie_w_przod(s);
    EXPECT_TRUE(blad_wykluczajacych(s));
    EXPECT_NE(
        s.report.text.find("Błąd bazy reguł! Dwa warunki wykluczające się:\n    a\n    b\n"
                           "z ograniczenia dokładnego 7 zostały zadeklarowane w bazie reguł jako fakty z "
                           "CF=1.0.\nWnioskowanie nie jest możliwe!"),
        std::string::npos)
        << s.report.text;
    EXPECT_EQ(s.report.text.find("Brak możliwości dalszego wnioskowania!"), std::string::npos);
    EXPECT_EQ(s.inference.wypadkowa_prbd.count(), 1u);  // "bez warunku" only
    // Both members false in a pair: the completion refuses to make b true and stops too.
    ScriptedUi ui2({"1", "&NIE", "1"});
    Session s2(ui2);
    use_rule_base(s2, std::string("fakt(\"a\",\"-1\")\nfakt(\"b\",\"-1\")\n") + kRules);
    use_constraints(s2, "ograniczenie(7,[\"a\",\"b\"])\n");
    wnioskowanie_w_przod(s2);
    EXPECT_TRUE(blad_wykluczajacych(s2));
    EXPECT_EQ(cf_of(s2, "b"), -1.0);
    EXPECT_EQ(s2.inference.wypadkowa_prbd.rows().size(), 3u);
    EXPECT_NE(ui2.transcript().find("mają CF=-1.0, a jeden z nich musi mieć CF=1.0."), std::string::npos);
    EXPECT_EQ(s2.report.text.find("Brak możliwości dalszego wnioskowania!"), std::string::npos);
}

TEST(ExclusiveConditions, DeclaredFactsAreCompleted) {
    ScriptedUi ui({"1", "&NIE", "1", "0.4", "&NIE", "&Nie"});
    Session s(ui);
    use_rule_base(s, std::string("fakt(\"d\",\"1.0\")\nfakt(\"h\",\"0.7\")\n") +
                         "reguła(1,\"x\",[\"c\",\"e\",\"i\"],1,\"0.8\")\n");
    use_constraints(s, "ograniczenie(2,[\"c\",\"d\",\"e\"])\n", "ograniczenie_n(1,[\"h\",\"i\"])\n");
    wnioskowanie_w_przod(s);
    EXPECT_EQ(cf_of(s, "c"), -1.0);
    EXPECT_EQ(cf_of(s, "e"), -1.0);
    // The uncertain partner of a declared fact is declared by the user.
    EXPECT_EQ(cf_of(s, "i"), 0.4);
    EXPECT_EQ(cf_of(s, "x"), -0.8);
}

TEST(ExclusiveConditions, PairRuleFailsWithoutEffect) {
    ScriptedUi ui;
    Session s(ui);
    EXPECT_FALSE(ustal_cf(s, "a", "b", -1.0));
    EXPECT_FALSE(ustal_cf(s, "a", "b", 0.5));
    EXPECT_TRUE(s.inference.wypadkowa_prbd.empty());
    EXPECT_TRUE(ustal_cf(s, "a", "b", 1.0));
    EXPECT_EQ(cf_of(s, "a"), 1.0);
    EXPECT_EQ(cf_of(s, "b"), -1.0);
}

TEST(NumberingVerdicts, EachKindKeepsItsOwnVerdict) {
    ScriptedUi ui;
    Session s(ui);
    use_rule_base(s, "reguła(1,\"x\",[\"a\"],1,\"0.8\")\nreguła(1,\"y\",[\"b\"],1,\"0.8\")\n");
    EXPECT_FALSE(testuj_numery_regul(s));
    use_constraints(s, "ograniczenie(1,[\"a\",\"b\"])\n");
    EXPECT_TRUE(testuj_numery_ograniczen_dokladnych(s));
    EXPECT_TRUE(numbering_failed(s));  // the rule base's verdict stands
    // A repeated constraint number is forgotten when its base goes.
    ScriptedUi ui2;
    Session s2(ui2);
    use_rule_base(s2, "reguła(1,\"x\",[\"a\"],1,\"0.8\")\n");
    use_constraints(s2, "ograniczenie(1,[\"a\",\"b\"])\nograniczenie(1,[\"a\",\"b\"])\n");
    EXPECT_FALSE(testuj_numery_ograniczen_dokladnych(s2));
    EXPECT_TRUE(numbering_failed(s2));
    EXPECT_TRUE(testuj_numery_regul(s2));
    EXPECT_TRUE(numbering_failed(s2));
    zapomnij_werdykt_numerow(s2, BaseKind::ExactConstraints);
    EXPECT_FALSE(numbering_failed(s2));
}
