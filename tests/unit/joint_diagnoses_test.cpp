// Rules with constraint bases: joint contradictions and redundancy (exact and uncertain),
// their load questions and reports, and the analysis of mutually exclusive conclusions.
#include "verify/joint_diagnoses.h"

#include <gtest/gtest.h>

#include "forward_test_support.h"
#include "kb/base_file_reader.h"
#include "report/report.h"
#include "ui/scripted_ui.h"
#include "verify/analysis.h"
#include "verify/shared_flattening.h"

using namespace zuva;
using namespace zuva::testing_support;

namespace {

void use_constraints(Session& s, bool uncertain, const std::string& text) {
    ASSERT_FALSE(
        parse_base_text(s.kb, uncertain ? BaseKind::UncertainConstraints : BaseKind::ExactConstraints, text));
    (uncertain ? s.kb.nazwa_op : s.kb.nazwa_og).short_name.append(uncertain ? "ONTEST.BEN" : "OGTEST.BEN");
    s.kb.rozszerzenie.insert_front(".BEN");
}

}  // namespace

TEST(JointDiagnoses, ContradictionsDirectAndIndirectForBothKinds) {
    for (bool uncertain : {false, true}) {
        ScriptedUi ui;
        Session s(ui);
        use_rule_base(s,
                      "reguła(1,\"w\",[\"a\",\"b\"],1,\"0.8\")\n"
                      "reguła(2,\"w\",[\"p\",\"c\"],1,\"0.8\")\n"
                      "reguła(3,\"p\",[\"a\"],1,\"0.8\")\n"
                      "reguła(4,\"v\",[\"a\",\"x\"],1,\"0.8\")\n");
        use_constraints(
            s, uncertain,
            uncertain ? "ograniczenie_n(1,[\"a\",\"b\",\"c\"])\n" : "ograniczenie(1,[\"a\",\"b\",\"c\"])\n");
        EXPECT_FALSE(wyznacz_sprzecznosc_2(s, uncertain));
        const WynikiLaczne& w = s.verify.laczne[uncertain ? 1 : 0];
        ASSERT_EQ(w.sprzecznosc.count(), 2u);
        EXPECT_EQ(w.sprzecznosc[0].rule_number, 1);
        EXPECT_EQ(w.sprzecznosc[1].rule_number, 2);
        ASSERT_EQ(w.splaszczona_s.count(), 2u);
        EXPECT_TRUE(w.splaszczona_s[0].used_rule_numbers.empty());
        EXPECT_EQ(w.splaszczona_s[1].flattened_conditions, (TextList{"c", "a"}));
        EXPECT_EQ(w.splaszczona_s[1].used_rule_numbers, (IntList{3}));
        EXPECT_TRUE(s.verify.laczne[uncertain ? 0 : 1].sprzecznosc.empty());  // the kinds stay apart
        EXPECT_EQ(*nazwa_sprzecznosci_2(s, uncertain), uncertain ? "SEN/N2" : "SEN/D2");
        // The report names both rules, direct and indirect, and ends.
        kasowanie_tekst_raportu(s);
        ScriptedUi& u = ui;
        u.add_answer("&Nie");
        pisz_sprzecznosc_2(s, uncertain);
        const std::string& r = s.report.text;
        EXPECT_NE(r.find(" Reguła 1 jest bezpośrednio "), std::string::npos) << r;
        EXPECT_NE(
            r.find(uncertain ? " Reguła 2 jest pośrednio SEN/N2" : " Reguła 2 jest pośrednio łącznie SEN/D2"),
            std::string::npos)
            << r;
        EXPECT_TRUE(w.sprzecznosc.empty());
    }
}

TEST(JointDiagnoses, RedundancyThroughAConstraint) {
    ScriptedUi ui;
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"w\",[\"x\",\"a\"],1,\"0.8\")\n"
                  "reguła(2,\"w\",[\"x\",\"b\"],1,\"0.8\")\n"
                  "reguła(3,\"u\",[\"y\",\"a\"],1,\"0.8\")\n"
                  "reguła_dysjunktywna(\"d\")\n"
                  "reguła(4,\"d\",[\"z\",\"a\"],1,\"0.8\")\n"
                  "reguła(5,\"d\",[\"z\",\"b\"],1,\"0.8\")\n");
    use_constraints(s, false, "ograniczenie(1,[\"a\",\"b\"])\nograniczenie(2,[\"a\",\"b\",\"c\"])\n");
    EXPECT_FALSE(wyznacz_nadmiar_2(s, false));
    const WynikiLaczne& w = s.verify.laczne[0];
    ASSERT_EQ(w.reguly_nadmiarowe.count(), 1u);  // constraint 2 is covered only in part
    EXPECT_EQ(w.reguly_nadmiarowe[0].rule_numbers, (IntList{1, 2}));
    EXPECT_EQ(w.reguly_nadmiarowe[0].constraint_number, 1);
    EXPECT_EQ(w.splaszczona_n.count(), 2u);
    // A third rule that names a member too leaves remainders that are no single conditions.
    ScriptedUi ui2;
    Session s2(ui2);
    use_rule_base(s2,
                  "reguła(1,\"w\",[\"x\",\"a\"],1,\"0.8\")\n"
                  "reguła(2,\"w\",[\"x\",\"b\"],1,\"0.8\")\n"
                  "reguła(3,\"w\",[\"y\",\"a\"],1,\"0.8\")\n");
    use_constraints(s2, true, "ograniczenie_n(1,[\"a\",\"b\"])\n");
    EXPECT_TRUE(wyznacz_nadmiar_2(s2, true));
    EXPECT_EQ(*nazwa_nadmiaru_2(s2, true), "NEN/N2");
}

// Inside a check the report repeats a search that found nothing only when a table it reads
// has changed; a search of the other kind, or over another constraint table, still runs.
TEST(JointDiagnoses, ASearchThatFoundNothingIsRepeatedOnlyOverOtherTables) {
    ScriptedUi ui;
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"w\",[\"x\",\"a\"],1,\"0.8\")\n"
                  "reguła(2,\"w\",[\"x\",\"b\"],1,\"0.8\")\n");
    use_constraints(s, false, "ograniczenie(1,[\"a\",\"c\"])\n");
    use_constraints(s, true, "ograniczenie_n(1,[\"a\",\"b\"])\n");
    SharedFlattening shared;
    EXPECT_TRUE(wyznacz_nadmiar_2(s, false));
    EXPECT_TRUE(wyznacz_nadmiar_2(s, false));
    EXPECT_TRUE(s.verify.laczne[0].splaszczona_n.empty());
    EXPECT_FALSE(wyznacz_nadmiar_2(s, true));  // the uncertain table holds the pair
    ASSERT_FALSE(parse_base_text(s.kb, BaseKind::ExactConstraints, "ograniczenie(2,[\"a\",\"b\"])\n"));
    ASSERT_EQ(s.kb.exact.ograniczenie.count(), 2u);
    EXPECT_FALSE(wyznacz_nadmiar_2(s, false));
    ASSERT_EQ(s.verify.laczne[0].reguly_nadmiarowe.count(), 1u);
    EXPECT_EQ(s.verify.laczne[0].reguly_nadmiarowe[0].constraint_number, 2);
}

TEST(JointDiagnoses, LoadQuestionsAndReportCommand) {
    ScriptedUi ui({"&Tak", "&Tak", "&Nie"});
    Session s(ui);
    use_rule_base(s, "reguła(1,\"w\",[\"x\",\"a\"],1,\"0.8\")\nreguła(2,\"w\",[\"x\",\"b\"],1,\"0.8\")\n");
    use_constraints(s, false, "ograniczenie(1,[\"a\",\"b\"])\n");
    kasowanie_tekst_raportu(s);
    EXPECT_TRUE(testuj_sprzecznosc_2(s, false));
    EXPECT_NE(ui.transcript().find("nie mają sprzeczności łącznych!"), std::string::npos) << ui.transcript();
    EXPECT_TRUE(testuj_nadmiar_2(s, false));
    EXPECT_NE(ui.transcript().find("[note] Być może wykryto nadmiarowość łączną"), std::string::npos);
    pisz_nadmiar_2(s, false);
    const std::string& r = s.report.text;
    EXPECT_NE(
        r.find(" Wymienione reguły oraz ograniczenie 1 o postaci\n   ograniczenie(1, [a,b]) mogą zawierać "
               "nadmiarowość typu NEN/D2"),
        std::string::npos)
        << r;
    EXPECT_TRUE(s.verify.laczne[0].reguly_nadmiarowe.empty());
}

// Five rules over a, b and c, with the exact constraint that a and b exclude each other.
static void use_exclusion_base(Session& s) {
    use_rule_base(s,
                  "reguła(1,\"w1\",[\"a\"],1,\"0.8\")\n"
                  "reguła(2,\"w2\",[\"b\"],1,\"0.8\")\n"
                  "reguła(3,\"w3\",[\"a\",\"c\"],1,\"0.8\")\n"
                  "reguła(4,\"w4\",[\"b\",\"c\"],1,\"0.8\")\n"
                  "reguła(5,\"w5\",[\"c\"],1,\"0.8\")\n");
    use_constraints(s, false, "ograniczenie(1,[\"a\",\"b\"])\n");
}

TEST(Analysis, ExclusionToOneToNoneAndNot) {
    ScriptedUi ui;
    Session s(ui);
    use_exclusion_base(s);
    auto one = testuj(s, 1, formy_do_testowania(s, {1, 2}));
    EXPECT_TRUE(one.passed);
    EXPECT_FALSE(one.common);
    auto shared = testuj(s, 2, formy_do_testowania(s, {3, 4}));
    EXPECT_TRUE(shared.passed);
    EXPECT_TRUE(shared.common);
    auto both = testuj(s, 3, formy_do_testowania(s, {1, 5}));
    EXPECT_FALSE(both.passed);  // the scenario of a makes only rule 1 true
    EXPECT_FALSE(testuj(s, 1, formy_do_testowania(s, {1, 5})).passed);
    EXPECT_TRUE(testuj(s, 3, formy_do_testowania(s, {3, 5})).passed);
}

TEST(Analysis, CommandsWriteExactlyOneVerdict) {
    struct Case {
        int option;
        std::string chosen;
        std::string heading;
    };
    for (const Case& c :
         {Case{1, "1,2", "\nWnioski następujących reguł wykluczają się wzajemnie do jednego:\n"},
          Case{2, "3,4", "\nWnioski następujących reguł wykluczają się wzajemnie do żadnego:\n"},
          Case{2, "1,5", "\nWnioski następujących reguł nie wykluczają się wzajemnie do żadnego:\n"},
          Case{3, "1,5", "\nWnioski następujących reguł nie wykluczają się wzajemnie: \n"}}) {
        ScriptedUi ui({c.chosen});
        Session s(ui);
        use_exclusion_base(s);
        analiza_bazy_wiedzy(s, c.option);
        const std::string& h = ui.helper_text();
        EXPECT_NE(h.find(c.heading), std::string::npos) << c.option << " " << c.chosen << "\n" << h;
        EXPECT_EQ(count_of(h, "\nWnioski następuj"), 1) << h;
    }
    ScriptedUi ui;
    Session s(ui);
    use_rule_base(s, "reguła(1,\"w1\",[\"a\"],1,\"0.8\")\n");
    analiza_bazy_wiedzy(s, 1);
    EXPECT_NE(ui.transcript().find("Analiza wykluczalności wymaga załadowania odpowiedniej bazy ograniczeń."),
              std::string::npos);
}
