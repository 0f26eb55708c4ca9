// Redundant pairs of rules: detection through flattened forms, the reverse pair skipped,
// the question and message at load, the enabled commands and the report command.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "session/command_registry.h"
#include "session/enabling.h"
#include "shell/handlers.h"
#include "verify/contradictions.h"
#include "verify/flatten.h"
#include "verify/load_checks.h"
#include "verify/redundancy.h"
#include "verify_test_support.h"

namespace zuva {
namespace {

using namespace verify_test;
using ::testing::HasSubstr;
using ::testing::Not;

using Pair = std::tuple<int, std::string, TextList, IntList, int, TextList, IntList>;

std::vector<Pair> pairs(const Session& s) {
    std::vector<Pair> out;
    for (const auto& p : s.verify.para_splaszczona_n1)
        out.emplace_back(p.first_rule, p.conclusion, p.first_conditions, p.first_used_rules, p.second_rule,
                         p.second_conditions, p.second_used_rules);
    return out;
}

void run(Session& s, int id) {
    CommandRegistry reg;
    install_handlers(reg);
    (*reg.find(id))(s);
}

// The detection written plainly: every ordered pair, forms generated afresh each time; a
// pair is recorded once, with the first combination of forms that shows it.
std::vector<Pair> reference(const Session& s) {
    FlattenIndex index(s.kb);
    std::vector<Pair> out;
    std::set<std::pair<int, int>> rec;
    for (const auto& r1 : s.kb.rules.regula)
        for (const auto& r2 : s.kb.rules.regula) {
            if (r2.conclusion != r1.conclusion || r2.rule_number == r1.rule_number) continue;
            if (rec.count({r1.rule_number, r2.rule_number}) || rec.count({r2.rule_number, r1.rule_number}))
                continue;
            Splaszczanie g1 = splaszcz(index, r1.conclusion, r1.conditions);
            while (auto f1 = g1.next()) {
                Splaszczanie g2 = splaszcz(index, r2.conclusion, r2.conditions);
                while (auto f2 = g2.next()) {
                    if (podzbior_ogolny(f1->flattened_conditions, f2->flattened_conditions) ||
                        podzbior_ogolny(f2->flattened_conditions, f1->flattened_conditions)) {
                        rec.insert({r1.rule_number, r2.rule_number});
                        out.emplace_back(r1.rule_number, r1.conclusion, f1->flattened_conditions,
                                         numery_regul_splaszczajacych(f1->used_rule_numbers), r2.rule_number,
                                         f2->flattened_conditions,
                                         numery_regul_splaszczajacych(f2->used_rule_numbers));
                        break;
                    }
                }
                if (rec.count({r1.rule_number, r2.rule_number})) break;
            }
        }
    return out;
}

TEST(VerifyRedundancy, SubsetFoundAndReversePairSkipped) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a", "b"});
    add_rule(s, 2, "w", {"a"});
    askable_from_rules(s);
    EXPECT_FALSE(wyznacz_nadmiar_p(s));
    EXPECT_EQ(pairs(s), (std::vector<Pair>{{1, "w", {"b", "a"}, {}, 2, {"a"}, {}}}));
    EXPECT_EQ(s.verify.reguly_nadmiarowe_n1.count(), 1u);
    EXPECT_TRUE(s.verify.reguly_nadmiarowe_n1.contains(1, 2));
    EXPECT_FALSE(s.verify.reguly_nadmiarowe_n1.contains(2, 1));
    EXPECT_EQ(s.verify.jest_nadmiar.count(), 1u);
}

TEST(VerifyRedundancy, WhichRulesAreCompared) {
    struct Case {
        std::vector<std::pair<std::string, TextList>> rules;
        bool redundant;
    };
    const std::vector<Case> cases{
        {{{"w", {"a", "b"}}, {"w", {"b", "a"}}}, true},   // same conditions, other order
        {{{"w", {"a", "b"}}, {"w", {"b", "c"}}}, false},  // partial overlap
        {{{"w", {"a"}}, {"v", {"a", "b"}}}, false},       // different conclusions
        {{{"w", {"a"}}, {"W", {"a"}}}, false},            // conclusions compared exactly
    };
    for (const auto& c : cases) {
        ScriptedUi ui;
        Session s(ui);
        int n = 1;
        for (const auto& [concl, conds] : c.rules)
            add_rule(s, n++, concl, conds);
        askable_from_rules(s);
        EXPECT_EQ(!wyznacz_nadmiar_p(s), c.redundant) << c.rules[0].second.size();
    }
}

TEST(VerifyRedundancy, ThroughDerivedConditionsAndTheFirstMatchingCombination) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"p"});
    add_rule(s, 2, "p", {"a"});
    add_rule(s, 3, "w", {"a", "b"});
    askable_from_rules(s);
    EXPECT_FALSE(wyznacz_nadmiar_p(s));
    EXPECT_EQ(pairs(s), (std::vector<Pair>{{1, "w", {"a"}, {2}, 3, {"b", "a"}, {}}}));

    ScriptedUi ui2;
    Session t(ui2);
    add_rule(t, 1, "w", {"a"});
    add_rule(t, 2, "a", {"x"});
    add_rule(t, 3, "a", {"y"});
    add_rule(t, 4, "w", {"x", "y"});
    askable_from_rules(t);
    EXPECT_FALSE(wyznacz_nadmiar_p(t));
    // Both forms of rule 1 are within rule 4; the pair is recorded once, with the first.
    EXPECT_EQ(pairs(t), (std::vector<Pair>{{1, "w", {"x"}, {2}, 4, {"y", "x"}, {}}}));
    EXPECT_EQ(t.verify.reguly_nadmiarowe_n1.count(), 1u);
}

TEST(VerifyRedundancy, RecordsEqualThePlainDetection) {
    std::mt19937 rng(11);
    for (int round = 0; round < 60; ++round) {
        ScriptedUi ui;
        Session s(ui);
        int nrules = 3 + static_cast<int>(rng() % 8);
        for (int n = 1; n <= nrules; ++n) {
            // Conclusions c0..c3; rule n may use conclusions of higher index only (acyclic) and askables.
            int level = static_cast<int>(rng() % 4);
            TextList conds;
            int k = 1 + static_cast<int>(rng() % 3);
            for (int i = 0; i < k; ++i) {
                int pick = static_cast<int>(rng() % 6);
                if (pick < 2 && level < 3)
                    conds.push_back("c" + std::to_string(level + 1 + static_cast<int>(rng() % (3 - level))));
                else
                    conds.push_back("x" + std::to_string(rng() % 4));
            }
            add_rule(s, n, "c" + std::to_string(level), conds);
        }
        askable_from_rules(s);
        auto expected = reference(s);
        EXPECT_EQ(wyznacz_nadmiar_p(s), expected.empty());
        ASSERT_EQ(pairs(s), expected) << "round " << round;
    }
}

TEST(VerifyRedundancy, RulesWithMoreFormsThanAreKept) {
    ScriptedUi ui;
    Session s(ui);
    TextList top;
    int n = 1;
    add_rule(s, n++, "w", {});  // placeholder replaced below
    for (int i = 0; i < 13; ++i) {
        std::string c = "c" + std::to_string(i);
        top.push_back(c);
        add_rule(s, n++, c, {"x" + std::to_string(i)});
        add_rule(s, n++, c, {"y" + std::to_string(i)});
    }
    s.kb.rules.regula.mutable_rows()[0].conditions = top;
    add_rule(s, n++, "w", {"y0"});
    askable_from_rules(s);
    EXPECT_FALSE(wyznacz_nadmiar_p(s));
    // 2^13 forms of rule 1, all with distinct conditions; the first 4,096 have x0, the first
    // with y0 (the single condition of the last rule) comes after the kept ones.
    ASSERT_EQ(s.verify.para_splaszczona_n1.count(), 1u);
    const Pair p = pairs(s).front();
    EXPECT_EQ(std::get<2>(p).size(), 13u);
    EXPECT_EQ(std::get<2>(p).back(), "y0");
    EXPECT_EQ(std::get<3>(p).front(), 3);
    EXPECT_EQ(std::get<3>(p).back(), 26);
}

TEST(VerifyRedundancy, QuestionAndMessageWhenFree) {
    ScriptedUi ui({"Tak"});
    Session s(ui);
    name_base(s, "REWOLNA.BEN");
    add_rule(s, 1, "w", {"a"});
    add_rule(s, 2, "w", {"b"});
    askable_from_rules(s);
    kasowanie_tekst_raportu(s);
    EXPECT_TRUE(testuj_nadmiar_p(s));
    EXPECT_EQ(s.report.text,
              "Baza reguł REWOLNA.BEN może być diagnozowana na obecność nadmiarowości.\n"
              "Diagnostyka nadmiarowości dużych i silnie zagnieżdżonych baz reguł może trwać długo.\n\n"
              "Zaleca się diagnozowanie nadmiarowości baz nowych lub zmodyfikowanych.\n"
              "Przy kolejnym stosowaniu tych baz można test nadmiarowości pominąć.\n\n"
              "Baza reguł REWOLNA.BEN nie ma reguł nadmiarowych!");
    EXPECT_THAT(
        ui.transcript(),
        HasSubstr("[question] Wybierz\nBaza reguł elementarna niepewna\n   REWOLNA.BEN\nmoże być "
                  "diagnozowana na obecność nadmiarowości.\n\nDiagnostyka nadmiarowości dużych i \n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Wynik diagnozowania nadmiarowości\nBaza reguł elementarna "
                                           "niepewna\n   REWOLNA.BEN\nnie ma reguł nadmiarowych\n"));
    EXPECT_FALSE(is_enabled(s, 10075));
}

TEST(VerifyRedundancy, MessageAndCommandsWhenRedundant) {
    ScriptedUi ui({"Tak"});
    Session s(ui);
    name_base(s, "RENAD.BEN");
    add_rule(s, 1, "w", {"a", "b"});
    add_rule(s, 2, "w", {"a"});
    askable_from_rules(s);
    enable_commands(s, {10100, 10101});
    redundancy_test_at_load(s);
    EXPECT_THAT(
        ui.helper_text(),
        HasSubstr(" W  bazie reguł RENAD.BEN są reguły nadmiarowe typu NEN1.\n\n Załadowaną bazę reguł "
                  "możesz stosować do wnioskowania, gdyż nadmiarowość\n"));
    EXPECT_THAT(ui.transcript(),
                HasSubstr("[note] Uwaga:\nBaza reguł elementarna niepewna\n   RENAD.BEN\nzawiera reguły "
                          "nadmiarowe typu NEN1.\n"));
    for (int id : {10075, 10067, 10068, 10069, 10077, 10093, 10113, 10124})
        EXPECT_TRUE(is_enabled(s, id)) << id;
    EXPECT_FALSE(is_enabled(s, 10100));
    EXPECT_FALSE(is_enabled(s, 10101));
}

TEST(VerifyRedundancy, DeclinedOrContradictoryOrWithoutTypeName) {
    ScriptedUi ui({"Nie"});
    Session s(ui);
    name_base(s);
    add_rule(s, 1, "w", {"a"});
    add_rule(s, 2, "w", {"a"});
    askable_from_rules(s);
    EXPECT_TRUE(testuj_nadmiar_p(s));
    EXPECT_TRUE(s.verify.para_splaszczona_n1.empty());

    s.kb.sprzecznosc_1z.append("TAK");
    EXPECT_FALSE(informuj_nadmiar_p(s));
    EXPECT_TRUE(s.verify.para_splaszczona_n1.empty());
    run(s, 10075);  // nothing recorded: the command does nothing
    EXPECT_THAT(ui.transcript(), Not(HasSubstr("[note]")));

    ScriptedUi ui2;
    Session t(ui2);
    name_base(t, "RENAD.TXT", ".TXT");
    add_rule(t, 1, "w", {"a"});
    add_rule(t, 2, "w", {"a"});
    askable_from_rules(t);
    EXPECT_FALSE(informuj_nadmiar_p(t));
    EXPECT_FALSE(nazwa_nadmiaru_p(t).has_value());
    EXPECT_THAT(ui2.transcript(), Not(HasSubstr("[note]")));
}

TEST(VerifyRedundancy, ReportCommand) {
    ScriptedUi ui({"Nie"});
    Session s(ui);
    name_base(s, "RENAD.BEN");
    add_rule(s, 1, "w", {"p"});
    add_rule(s, 2, "p", {"a"});
    add_rule(s, 3, "w", {"a", "b"});
    add_rule(s, 4, "v", {"a"});
    add_rule(s, 5, "v", {"a"});
    askable_from_rules(s);
    wyznacz_nadmiar_p(s);
    run(s, 10075);
    EXPECT_EQ(s.report.text,
              " Raport diagnostyki nadmiarowości bazy reguł \n RENAD.BEN\n\n"
              " Wykrywanie nadmiarowości typu NEN1 odbywa się na drodze spłaszczania reguł\n"
              " i porównania list warunków spłaszczonych reguł.\n"
              " W wyniku spłaszczenia reguły 1 otrzymuje się: \n"
              "   regula_splaszczona(1, w, [a])\n"
              " Spłaszczenie uzyskano za pomocą reguł o numerach: 2\n"
              " W wyniku spłaszczenia reguły 3 otrzymuje się: \n"
              "   regula_splaszczona(3, w, [b,a])\n"
              " Spłaszczenie uzyskano za pomocą reguł o numerach: \n\n"
              " Reguły 1 i 3 zawierają nadmiar typu NEN1.\n"
              " W wyniku spłaszczenia reguły 4 otrzymuje się: \n"
              "   regula_splaszczona(4, v, [a])\n"
              " Spłaszczenie uzyskano za pomocą reguł o numerach: \n\n"
              " W wyniku spłaszczenia reguły 5 otrzymuje się: \n"
              "   regula_splaszczona(5, v, [a])\n"
              " Spłaszczenie uzyskano za pomocą reguł o numerach: \n\n"
              " Reguły 4 i 5 zawierają nadmiar typu NEN1.\n"
              "\n Koniec raportu diagnostyki nadmiarowości bazy reguł \n RENAD.BEN.");
    EXPECT_THAT(ui.transcript(),
                HasSubstr("[note] Raport diagnostyki nadmiarowości bazy reguł RENAD.BEN\n"
                          "Wykrywanie nadmiarowości typu NEN1 odbywa się na drodze \nspłaszczania "
                          "reguł i porównania list warunków spłaszczonych reguł.\n"));
    EXPECT_THAT(
        ui.transcript(),
        HasSubstr("[note] Diagnostyka nadmiarowości bazy reguł\nW wyniku spłaszczenia reguły 1 otrzymuje "
                  "się:\n\nregula_splaszczona(1, w, [\"a\"])\n\nSpłaszczenie uzyskano za pomocą reguł o "
                  "numerach: 2, \n\n\nW wyniku spłaszczenia reguły 3 otrzymuje się:\n\nregula_splaszczona(3, "
                  "w, [\"b\",\"a\"])\n\nSpłaszczenie uzyskano za pomocą reguł o numerach: \n\nReguły 1 i 3 "
                  "zawierają nadmiar typu NEN1.\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Diagnostyka nadmiarowości bazy reguł\nKoniec raportu "
                                           "diagnostyki nadmiarowości bazy reguł elementarnej niepewnej\n   "
                                           "RENAD.BEN.\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[question] Raport wnioskowania/diagnostyki"));
    // The report consumed the findings; the verdict stays until the next load.
    EXPECT_TRUE(s.verify.reguly_nadmiarowe_n1.empty());
    EXPECT_TRUE(s.verify.para_splaszczona_n1.empty());
    EXPECT_EQ(s.verify.jest_nadmiar.count(), 1u);
}

TEST(VerifyRedundancy, ReportWithoutRedundancy) {
    ScriptedUi ui;
    Session s(ui);
    name_base(s, "REWOLNA.BEN");
    add_rule(s, 1, "w", {"a"});
    askable_from_rules(s);
    pisz_nadmiar_p(s);
    EXPECT_EQ(ui.transcript(),
              "[note] Wynik diagnozowania nadmiarowości bazy reguł\nBaza reguł elementarna "
              "niepewna\n   REWOLNA.BEN\nnie ma reguł nadmiarowych!\n");
}

TEST(VerifyRedundancy, CircularBaseWhoseTestWasDeclinedNeverHangs) {
    // The external-contradiction test is declined; every command must still end.
    ScriptedUi ui(
        {"Nie", "Tak", "Tak", "Tak", "Tak", "Tak", "Tak", "Tak", "Tak", "Tak", "Tak", "Tak", "Tak"});
    Session s(ui);
    name_base(s, "REKOLO.BEN");
    add_rule(s, 1, "w", {"a"});
    add_rule(s, 2, "a", {"b"});
    add_rule(s, 3, "b", {"a"});
    add_rule(s, 4, "b", {"x"});
    add_rule(s, 5, "w", {"b", "x"});
    add_rule(s, 6, "a", {"a"});
    askable_from_rules(s);
    external_contradiction_test_at_load(s);
    EXPECT_TRUE(s.kb.sprzecznosc_1z.empty());
    redundancy_test_at_load(s);
    EXPECT_FALSE(s.verify.para_splaszczona_n1.empty());
    run(s, 10146);
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Uwaga!\nTo już wszystkie reguły spłaszczone!\n"));
    // The report of the untested base says so and offers the test, which finds the circle.
    while (ui.has_answers())
        ui.next_answer();
    for (const char* a : {"Tak", "Nie"})
        ui.add_answer(a);
    run(s, 10073);
    EXPECT_THAT(ui.transcript(), HasSubstr("nie była diagnozowana na obecność sprzeczności zewnętrznych."));
    EXPECT_THAT(ui.transcript(), Not(HasSubstr("nie jest zewnętrznie SEN1-sprzeczna.")));
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Informacja o sprzeczności\n"));
}

// The full texts of the two questions offered at load and of the two messages that tell
// a contradictory or redundant base.
TEST(VerifyLoadTexts, QuestionsAndMessagesInFull) {
    ScriptedUi ui({"Tak", "Tak"});
    Session s(ui);
    name_base(s, "REDOK.BEN");
    add_rule(s, 1, "w", {"a"});
    add_rule(s, 2, "w", {"a"});
    askable_from_rules(s);
    testuj_nadmiar_p(s);
    add_rule(s, 3, "a", {"a"});
    testuj_sprzecznosc_1z(s);
    const std::string q33 =
        "Baza reguł elementarna niepewna\n   REDOK.BEN\nmoże być diagnozowana na obecność "
        "nadmiarowości.\n\nDiagnostyka nadmiarowości dużych i \nsilnie zagnieżdżonych baz reguł może trwać "
        "długo.\nZaleca się diagnozowanie nadmiarowości \nbaz nowych lub zmodyfikowanych.\nPrzy kolejnym "
        "stosowaniu tych baz \nmożna test nadmiarowości pominąć.\n\nChcesz diagnozować bazę reguł na "
        "obecność \nnadmiarowości?";
    const std::string n33 =
        "Baza reguł elementarna niepewna\n   REDOK.BEN\nzawiera reguły nadmiarowe typu NEN1.\n\nZaładowaną "
        "bazę reguł możesz stosować do wnioskowania,\ngdyż nadmiarowość reguł nie zakłóca wnioskowania. "
        "\nMoże jednak wydłużyć czas wnioskowania i uzależnić \nwynik wnioskowania od niepotrzebnych "
        "warunków.\nDlatego lepiej nadmiarowość usunąć.\nW tym celu musisz kontynuować pracę z załadowaną "
        "\nbazą reguł i przejść do opcji:\n   'Baza reguł niepewna\n      Diagnostyka nadmiarowośc bazy "
        "reguł',\ngdzie dowiesz się o istocie wykrytej nadmiarowości.";
    const std::string q32 =
        "Baza reguł elementarna niepewna\n   REDOK.BEN\nmoże być diagnozowana na obecność sprzeczności "
        "zewnętrznych.\n\nDiagnostyka sprzeczności zewnętrznych dużych i silnie \nzagnieżdżonych baz reguł "
        "może trwać długo, gdyż wymaga \nona spłaszczenia tych baz. \nZaleca się diagnozowanie sprzeczności "
        "zewnętrznych baz nowych lub zmodyfikowanych.\nPrzy kolejnym stosowaniu tych baz można test "
        "sprzeczności zewnętrznej pominąć.\n\nPamiętaj, że niepewne sprzeczności zewnętrzne  \nmogą "
        "doprowadzić do 'zawieszenia się' komputera.\n\nChcesz diagnozować bazę reguł na obecność "
        "sprzeczności zewnętrznych?";
    const std::string n32 =
        "Baza reguł elementarna niepewna\n   REDOK.BEN\nzawiera co najmniej jedną sprzeczność zewnętrzną "
        "typu SEN1.\n\nZaładowaną bazę reguł możesz tylko edytować, \nlecz nie możesz korzystać z niej dla "
        "wnioskowania.\nNie możesz również ładować odpowiadającej jej bazy modeli, ograniczeń i rad.\nMożesz "
        "jednak diagnozować jej sprzeczności zewnętrzne. W tym celu musisz przejść do opcji\n   'Baza reguł "
        "niepewna\n     Diagnostyka sprzeczności zewnętrznych bazy reguł'.";
    EXPECT_THAT(ui.transcript(), HasSubstr("[question] Wybierz\n" + q33 + "\nbuttons: &Tak | &Nie\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Uwaga:\n" + n33 + "\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[question] Wybierz\n" + q32 + "\nbuttons: &Tak | &Nie\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Informacja o sprzeczności\n" + n32 + "\n"));
}

}  // namespace
}  // namespace zuva
