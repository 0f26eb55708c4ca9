// Circular chains of the rule base: the records and their order, the verdict and what it
// gates, the question at load and the report command with its texts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "session/command_registry.h"
#include "session/enabling.h"
#include "shell/handlers.h"
#include "verify/contradictions.h"
#include "verify/load_checks.h"
#include "verify_test_support.h"

namespace zuva {
namespace {

using namespace verify_test;
using ::testing::HasSubstr;
using ::testing::Not;

using Rec = std::tuple<int, int, IntList>;

std::vector<Rec> records(const Session& s) {
    std::vector<Rec> out;
    for (const auto& r : s.verify.reguly_sprzeczne)
        out.emplace_back(r.contradictory_rule, r.partner_rule, r.substitution_path);
    return out;
}

std::string verdict(const Session& s) {
    return s.kb.sprzecznosc_1z.empty() ? "" : *s.kb.sprzecznosc_1z.first();
}

void run(Session& s, int id) {
    CommandRegistry reg;
    install_handlers(reg);
    (*reg.find(id))(s);
}

// The search written plainly: every rule, every chain, no pruning.
void reference_search(const Table<Regula>& rules, int n, const std::string& c, const TextList& list,
                      IntList& path, std::vector<std::string>& concl, std::vector<Rec>& out) {
    for (const auto& h : list) {
        if (h == c) out.emplace_back(n, path.front(), path);
        if (std::find(concl.begin(), concl.end(), h) != concl.end()) continue;
        for (const auto& r : rules) {
            if (r.conclusion != h) continue;
            path.insert(path.begin(), r.rule_number);
            concl.insert(concl.begin(), h);
            reference_search(rules, n, c, r.conditions, path, concl, out);
            concl.erase(concl.begin());
            path.erase(path.begin());
        }
    }
}

std::vector<Rec> reference(const Session& s) {
    std::vector<Rec> out;
    for (const auto& r : s.kb.rules.regula) {
        IntList path{r.rule_number};
        std::vector<std::string> concl{r.conclusion};
        reference_search(s.kb.rules.regula, r.rule_number, r.conclusion, r.conditions, path, concl, out);
    }
    return out;
}

TEST(VerifyContradictions, ThreeKindsOfChainsAndTheirOrder) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "a", {"a"});
    badaj_sprzecznosc_1z(s);
    EXPECT_EQ(records(s), (std::vector<Rec>{{1, 1, {1}}}));
    EXPECT_EQ(verdict(s), "TAK");

    ScriptedUi ui2;
    Session t(ui2);
    add_rule(t, 1, "a", {"b"});
    add_rule(t, 2, "b", {"a"});
    badaj_sprzecznosc_1z(t);
    EXPECT_EQ(records(t), (std::vector<Rec>{{1, 2, {2, 1}}, {2, 1, {1, 2}}}));

    ScriptedUi ui3;
    Session u(ui3);
    add_rule(u, 1, "a", {"b"});
    add_rule(u, 2, "b", {"c"});
    add_rule(u, 3, "c", {"a"});
    badaj_sprzecznosc_1z(u);
    EXPECT_EQ(records(u), (std::vector<Rec>{{1, 3, {3, 2, 1}}, {2, 1, {1, 3, 2}}, {3, 2, {2, 1, 3}}}));

    ScriptedUi ui4;
    Session v(ui4);
    add_rule(v, 1, "a", {"a", "b"});
    add_rule(v, 2, "b", {"a"});
    badaj_sprzecznosc_1z(v);
    EXPECT_EQ(records(v), (std::vector<Rec>{{1, 1, {1}}, {1, 2, {2, 1}}, {2, 1, {1, 2}}}));
}

TEST(VerifyContradictions, RulesWithTheSameConclusionAndAcyclicBasesAreFree) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "a", {"x"});
    add_rule(s, 2, "a", {"y"});
    add_rule(s, 3, "w", {"a", "a"});
    badaj_sprzecznosc_1z(s);
    EXPECT_TRUE(records(s).empty());
    EXPECT_EQ(verdict(s), "NIE");
    EXPECT_EQ(s.kb.sprzecznosc_1z.count(), 1u);
    // A second test replaces the first's records and verdict.
    add_rule(s, 4, "x", {"w"});
    badaj_sprzecznosc_1z(s);
    EXPECT_EQ(verdict(s), "TAK");
    EXPECT_EQ(s.kb.sprzecznosc_1z.count(), 1u);
    EXPECT_EQ(records(s), reference(s));
}

TEST(VerifyContradictions, RecordsEqualThePlainExhaustiveSearch) {
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        ScriptedUi ui;
        Session s(ui);
        int nrules = 3 + static_cast<int>(rng() % 7);
        int ntexts = 3 + static_cast<int>(rng() % 5);
        for (int n = 1; n <= nrules; ++n) {
            TextList conds;
            int k = static_cast<int>(rng() % 3) + 1;
            for (int i = 0; i < k; ++i)
                conds.push_back("t" + std::to_string(rng() % (ntexts + 2)));
            add_rule(s, n, "t" + std::to_string(rng() % ntexts), conds);
        }
        badaj_sprzecznosc_1z(s);
        auto expected = reference(s);
        ASSERT_EQ(records(s), expected) << "round " << round;
        EXPECT_EQ(verdict(s), expected.empty() ? "NIE" : "TAK");
    }
}

TEST(VerifyContradictions, QuestionDeclinedRecordsNoVerdict) {
    ScriptedUi ui({"Nie"});
    Session s(ui);
    name_base(s, "RECYKL.BEN");
    add_rule(s, 1, "a", {"b"});
    add_rule(s, 2, "b", {"a"});
    EXPECT_TRUE(testuj_sprzecznosc_1z(s));
    EXPECT_TRUE(s.kb.sprzecznosc_1z.empty());
    EXPECT_THAT(
        ui.helper_text(),
        HasSubstr("Baza reguł elementarna niepewna może być diagnozowana na obecność sprzeczności \n"
                  "zewnętrznych. Diagnostyka sprzeczności zewnętrznych dużych i silnie zagnieżdżonych\n"));
    EXPECT_THAT(ui.transcript(),
                HasSubstr("[question] Wybierz\nBaza reguł elementarna niepewna\n   RECYKL.BEN\n"
                          "może być diagnozowana na obecność sprzeczności zewnętrznych.\n"));
    EXPECT_THAT(ui.transcript(),
                HasSubstr("\n\nChcesz diagnozować bazę reguł na obecność sprzeczności zewnętrznych?\n"));
}

TEST(VerifyContradictions, FreeBaseIsToldSo) {
    ScriptedUi ui({"Tak"});
    Session s(ui);
    name_base(s, "REWOLNA.BEN");
    add_rule(s, 1, "a", {"b"});
    EXPECT_TRUE(testuj_sprzecznosc_1z(s));
    EXPECT_EQ(verdict(s), "NIE");
    EXPECT_THAT(ui.helper_text(),
                HasSubstr(" Baza reguł REWOLNA.BEN\n nie jest zewnętrznie SEN1 sprzeczna."));
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Wynik diagnozowania sprzeczności zewnętrznej\nBaza reguł "
                                           "elementarna niepewna\n   REWOLNA.BEN\nnie jest zewnętrznie SEN1 "
                                           "sprzeczna.\n"));
    // The report command on a free base: the "-sprzeczna." form, nothing offered for saving.
    run(s, 10073);
    EXPECT_THAT(ui.transcript(),
                HasSubstr("[note] Uwaga!\nBaza reguł elementarna niepewna\n   REWOLNA.BEN\nnie "
                          "jest zewnętrznie SEN1-sprzeczna.\n"));
    EXPECT_THAT(ui.transcript(), Not(HasSubstr("Raport wnioskowania")));
}

TEST(VerifyContradictions, ContradictoryBaseFailsAndEnablesTheReport) {
    ScriptedUi ui({"Tak"});
    Session s(ui);
    name_base(s, "RECYKL.BEN");
    add_rule(s, 1, "a", {"b"});
    add_rule(s, 2, "b", {"a"});
    kasowanie_tekst_raportu(s);
    EXPECT_FALSE(is_enabled(s, 10073));
    EXPECT_FALSE(testuj_sprzecznosc_1z(s));
    EXPECT_EQ(verdict(s), "TAK");
    EXPECT_TRUE(is_enabled(s, 10073));
    EXPECT_THAT(s.report.text,
                HasSubstr(" W  bazie reguł jest co najmniej jedna sprzeczność zewnętrzna \n typu "
                          "SEN1.\n\n Załadowaną bazę reguł możesz tylko edytować"));
    EXPECT_THAT(ui.transcript(),
                HasSubstr("[note] Informacja o sprzeczności\nBaza reguł elementarna niepewna\n  "
                          " RECYKL.BEN\nzawiera co najmniej jedną sprzeczność zewnętrzną typu "
                          "SEN1.\n"));
    // Asked again on a base already marked: the message, not a second search.
    s.verify.reguly_sprzeczne.clear();
    EXPECT_FALSE(informuj_sprzecznosc_1z(s));
    EXPECT_TRUE(s.verify.reguly_sprzeczne.empty());
}

TEST(VerifyContradictions, NoTypeNameWithoutTheBenForm) {
    ScriptedUi ui({"Tak"});
    Session s(ui);
    name_base(s, "RECYKL.TXT", ".TXT");
    add_rule(s, 1, "a", {"a"});
    EXPECT_TRUE(testuj_sprzecznosc_1z(s));
    EXPECT_TRUE(s.kb.sprzecznosc_1z.empty());
    EXPECT_THAT(ui.transcript(), Not(HasSubstr("[note]")));
    EXPECT_FALSE(nazwa_sprzecznosci_1(s).has_value());

    ScriptedUi ui2;
    Session t(ui2);
    name_base(t, "REMALE.ben", ".ben");
    EXPECT_EQ(nazwa_sprzecznosci_1(t), "SEN1");
}

TEST(VerifyContradictions, ReportOfAllThreeKinds) {
    ScriptedUi ui({"Nie"});
    Session s(ui);
    name_base(s, "RERAP.BEN");
    add_rule(s, 1, "a", {"a", "b"});
    add_rule(s, 2, "b", {"c"});
    add_rule(s, 3, "c", {"a"});
    add_rule(s, 4, "d", {"e"});
    add_rule(s, 5, "e", {"d"});
    badaj_sprzecznosc_1z(s);
    run(s, 10073);
    EXPECT_EQ(s.report.text,
              " Raport diagnostyki sprzeczności zewnętrznych bazy reguł \n RERAP.BEN\n\n"
              " Następujące reguły są SEN1-sprzeczne: \n\n"
              " Reguła 1 jest zewnętrznie SEN1-samosprzeczna. \n\n"
              " Reguła 4 jest zewnętrznie bezpośrednio SEN1-sprzeczna z regułą 5.\n"
              " Można to wykazać podstawiając 5 ==> 4\n\n\n"
              " Reguła 5 jest zewnętrznie bezpośrednio SEN1-sprzeczna z regułą 4.\n"
              " Można to wykazać podstawiając 4 ==> 5\n\n\n"
              "\n\n Reguła 1 jest zewnętrznie pośrednio SEN1-sprzeczna z regułą 3.\n"
              " Można to wykazać podstawiając 3 ==> 2 ==> 1\n\n\n"
              "\n\n Reguła 2 jest zewnętrznie pośrednio SEN1-sprzeczna z regułą 1.\n"
              " Można to wykazać podstawiając 1 ==> 3 ==> 2\n\n\n"
              "\n\n Reguła 3 jest zewnętrznie pośrednio SEN1-sprzeczna z regułą 2.\n"
              " Można to wykazać podstawiając 2 ==> 1 ==> 3\n\n\n"
              "\n Koniec raportu diagnostyki sprzeczności zewnętrznych bazy reguł \n RERAP.BEN.");
    const std::string t = "[note] Diagnostyka sprzeczności zewnętrzych bazy reguł\n";
    EXPECT_THAT(ui.transcript(),
                HasSubstr("[note] Diagnostyka sprzeczności zewnętrzych bazy reguł elementarnej "
                          "niepewnej\n   RERAP.BEN\nRaport diagnostyki sprzeczności zewnętrznych "
                          "bazy reguł.\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr(t + "Następujące reguły są SEN1-sprzeczne: \n"));
    EXPECT_THAT(ui.transcript(), HasSubstr(t + "Reguła 1 jest zewnętrznie SEN1-samosprzeczna.\n"));
    EXPECT_THAT(ui.transcript(),
                HasSubstr(t + "Reguła 4 jest zewnętrznie bezpośrednio SEN1-sprzeczna z regułą 5.\n"
                              "Można to wykazać podstawiając 5 do 4.\n"));
    EXPECT_THAT(ui.transcript(),
                HasSubstr(t + "Reguła 1 jest zewnętrznie pośrednio SEN1 -sprzeczna z regułą 3.\n"
                              "Można to wykazać podstawiając: 3==>2==>1.\n"));
    EXPECT_THAT(ui.transcript(),
                HasSubstr(t + "Koniec raportu diagnostyki sprzeczności zewnętrznych bazy reguł "
                              "elementarnej niepewnej\n   RERAP.BEN.\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[question] Raport wnioskowania/diagnostyki"));
    // The report repeats no test: the records are as they were.
    EXPECT_EQ(s.verify.reguly_sprzeczne.count(), 6u);
}

TEST(VerifyContradictions, LoadStepForgetsTheFindingsOfThePreviousBase) {
    ScriptedUi ui({"Tak", "Nie"});
    Session s(ui);
    name_base(s, "REPIERW.BEN");
    add_rule(s, 1, "a", {"a"});
    external_contradiction_test_at_load(s);
    ASSERT_EQ(s.verify.reguly_sprzeczne.count(), 1u);
    s.verify.jest_nadmiar.append("TAK");
    s.verify.reguly_nadmiarowe_n1.append(1, 2);
    // A new base is loaded and its test declined.
    s.kb.rules.regula.clear();
    s.kb.sprzecznosc_1z.clear();
    add_rule(s, 1, "b", {"x"});
    external_contradiction_test_at_load(s);
    EXPECT_TRUE(s.verify.reguly_sprzeczne.empty());
    EXPECT_TRUE(s.verify.jest_nadmiar.empty());
    EXPECT_TRUE(s.verify.reguly_nadmiarowe_n1.empty());
}

TEST(VerifyContradictions, LoadStepRecordsTheVerdict) {
    ScriptedUi ui({"Tak"});
    Session s(ui);
    name_base(s);
    add_rule(s, 1, "a", {"a"});
    external_contradiction_test_at_load(s);
    EXPECT_EQ(verdict(s), "TAK");
    // A contradictory base is not offered the redundancy test.
    std::string before = ui.transcript();
    redundancy_test_at_load(s);
    EXPECT_EQ(ui.transcript(), before);
}

}  // namespace
}  // namespace zuva
