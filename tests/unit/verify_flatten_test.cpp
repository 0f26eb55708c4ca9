// Flattened forms and their order, the expansion step, the circular guard and the two
// flattening commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "report/report.h"
#include "session/command_registry.h"
#include "shell/handlers.h"
#include "verify/flatten.h"
#include "verify_test_support.h"

namespace zuva {
namespace {

using namespace verify_test;
using ::testing::HasSubstr;
using ::testing::Not;

struct Form {
    TextList conditions;
    IntList raw;
    IntList shown;
    bool operator==(const Form&) const = default;
};

std::vector<Form> all_forms(const Session& s, const TextList& conditions, std::size_t limit = 100000) {
    FlattenIndex index(s.kb);
    Splaszczanie gen = splaszcz(index, "w", conditions);
    std::vector<Form> out;
    while (auto f = gen.next()) {
        out.push_back({f->flattened_conditions, f->used_rule_numbers,
                       numery_regul_splaszczajacych(f->used_rule_numbers)});
        if (out.size() >= limit) break;
    }
    return out;
}

std::vector<Form> forms_of_rule(const Session& s, std::size_t pos) {
    return all_forms(s, s.kb.rules.regula[pos].conditions);
}

void run(Session& s, int id) {
    CommandRegistry reg;
    install_handlers(reg);
    ASSERT_TRUE(reg.has(id));
    (*reg.find(id))(s);
}

TEST(VerifyFlatten, WorkedExampleFormsAndTheirOrder) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a", "b"});
    add_rule(s, 2, "a", {"x", "y"});
    add_rule(s, 3, "b", {"z"});
    askable_from_rules(s);
    EXPECT_EQ(forms_of_rule(s, 0), (std::vector<Form>{{{"z", "x", "y"}, {3, 2}, {2, 3}}}));

    add_rule(s, 4, "a", {"v"});
    askable_from_rules(s);
    EXPECT_EQ(forms_of_rule(s, 0),
              (std::vector<Form>{{{"z", "x", "y"}, {3, 2}, {2, 3}}, {{"z", "v"}, {3, 4}, {4, 3}}}));
}

TEST(VerifyFlatten, LastConditionVariesFastest) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a", "b"});
    add_rule(s, 2, "a", {"x1"});
    add_rule(s, 3, "a", {"x2"});
    add_rule(s, 4, "b", {"y1"});
    add_rule(s, 5, "b", {"y2"});
    askable_from_rules(s);
    auto f = forms_of_rule(s, 0);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].conditions, (TextList{"y1", "x1"}));
    EXPECT_EQ(f[1].conditions, (TextList{"y2", "x1"}));
    EXPECT_EQ(f[2].conditions, (TextList{"y1", "x2"}));
    EXPECT_EQ(f[3].conditions, (TextList{"y2", "x2"}));
    EXPECT_EQ(f[3].shown, (IntList{3, 5}));
}

TEST(VerifyFlatten, AllAskableRuleIsReversedWithEmptyNumbers) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a", "b", "c", "a"});
    askable_from_rules(s);
    // [a, b, c, a] reversed is [a, c, b, a]; the last occurrence of a stays.
    EXPECT_EQ(forms_of_rule(s, 0), (std::vector<Form>{{{"c", "b", "a"}, {0, 0, 0, 0}, {}}}));
}

TEST(VerifyFlatten, DuplicatesFromTwoExpansionsKeepTheLastOccurrence) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a", "b"});
    add_rule(s, 2, "a", {"x", "y"});
    add_rule(s, 3, "b", {"y", "z"});
    askable_from_rules(s);
    // Concatenation [y, z, x, y] loses its first y.
    EXPECT_EQ(forms_of_rule(s, 0), (std::vector<Form>{{{"z", "x", "y"}, {3, 2}, {2, 3}}}));
}

TEST(VerifyFlatten, RepeatedFormsAndRepeatedRuleNumbers) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a"});
    add_rule(s, 2, "a", {"x"});
    add_rule(s, 3, "a", {"x"});
    askable_from_rules(s);
    // The same form through different rules is produced twice.
    EXPECT_EQ(forms_of_rule(s, 0), (std::vector<Form>{{{"x"}, {2}, {2}}, {{"x"}, {3}, {3}}}));

    ScriptedUi ui2;
    Session t(ui2);
    add_rule(t, 1, "w", {"c", "d"});
    add_rule(t, 2, "d", {"c"});
    add_rule(t, 3, "c", {"x"});
    askable_from_rules(t);
    // Round 1 substitutes 3 for c and 2 for d; round 2 substitutes 3 for the c that 2 brought.
    EXPECT_EQ(forms_of_rule(t, 0), (std::vector<Form>{{{"x"}, {0, 3, 2, 3}, {3, 2, 3}}}));
}

TEST(VerifyFlatten, AskableConclusionIsExpandedFirstThenKept) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a", "q"});
    add_rule(s, 2, "a", {"x"});
    set_askable(s, {"a", "q", "x"});
    EXPECT_EQ(forms_of_rule(s, 0), (std::vector<Form>{{{"q", "x"}, {0, 2}, {2}}, {{"q", "a"}, {0, 0}, {}}}));
}

TEST(VerifyFlatten, DeadBranchesYieldNothing) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a"});
    add_rule(s, 2, "a", {"nic"});  // "nic" is neither askable nor concluded
    add_rule(s, 3, "a", {"x"});
    add_rule(s, 4, "v", {"x", "bez warunku"});
    add_rule(s, 5, "u", {});
    askable_from_rules(s);
    s.kb.dopytywalny.remove_all([](const std::string& c) { return c == "nic"; });
    EXPECT_EQ(forms_of_rule(s, 0), (std::vector<Form>{{{"x"}, {3}, {3}}}));
    EXPECT_TRUE(forms_of_rule(s, 3).empty());
    // A rule without conditions has one empty form.
    EXPECT_EQ(forms_of_rule(s, 4), (std::vector<Form>{{{}, {}, {}}}));
}

TEST(VerifyFlatten, ExpansionStepAndAskableTest) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 7, "a", {"x", "y"});
    add_rule(s, 2, "b", {"z"});
    add_rule(s, 5, "a", {"v"});
    set_askable(s, {"a", "x", "y", "z", "v"});
    FlattenIndex index(s.kb);
    auto alts = szukaj_regule(index, "a");
    ASSERT_EQ(alts.size(), 3u);
    EXPECT_EQ(alts[0], (std::pair<TextList, std::int32_t>{{"x", "y"}, 7}));
    EXPECT_EQ(alts[1], (std::pair<TextList, std::int32_t>{{"v"}, 5}));
    EXPECT_EQ(alts[2], (std::pair<TextList, std::int32_t>{{"a"}, 0}));
    EXPECT_TRUE(szukaj_regule(index, "nieznany").empty());
    EXPECT_EQ(ma_warunki_niedopyt(index, {"x", "y"}), "NIE");
    EXPECT_EQ(ma_warunki_niedopyt(index, {"x", "b"}), "TAK");
    EXPECT_EQ(ma_warunki_niedopyt(index, {}), "NIE");
}

TEST(VerifyFlatten, CircularChainsEnd) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "a", {"b"});
    add_rule(s, 2, "b", {"a"});
    askable_from_rules(s);
    EXPECT_TRUE(forms_of_rule(s, 0).empty());

    ScriptedUi ui2;
    Session t(ui2);
    add_rule(t, 1, "w", {"a"});
    add_rule(t, 2, "a", {"b"});
    add_rule(t, 3, "b", {"a"});
    add_rule(t, 4, "b", {"x"});
    askable_from_rules(t);
    // The way round the circle is cut, the way out of it stays.
    EXPECT_EQ(forms_of_rule(t, 0), (std::vector<Form>{{{"x"}, {4, 2}, {2, 4}}}));
}

TEST(VerifyFlatten, DenseCircularBaseWithAskableConclusionsEnds) {
    ScriptedUi ui;
    Session s(ui);
    // Every conclusion is concluded by two rules that lead to the others; all are askable too.
    const TextList names{"a", "b", "c", "d"};
    int n = 1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        add_rule(s, n++, names[i], {names[(i + 1) % 4], names[(i + 2) % 4]});
        add_rule(s, n++, names[i], {names[(i + 3) % 4], "x"});
    }
    set_askable(s, {"a", "b", "c", "d", "x"});
    auto start = std::chrono::steady_clock::now();
    auto f = all_forms(s, {"a", "b"});
    auto secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(secs, 5.0);
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(f.back().conditions, (TextList{"b", "a"}));  // keeping both is the last choice
    for (const auto& form : f)
        for (const auto& c : form.conditions)
            EXPECT_TRUE(c == "a" || c == "b" || c == "c" || c == "d" || c == "x");
}

TEST(VerifyFlatten, AllRulesCommandWithoutBaseShowsOnlyTheClosingNote) {
    ScriptedUi ui;
    Session s(ui);
    run(s, 10146);
    EXPECT_EQ(ui.transcript(), "[note] Uwaga!\nTo już wszystkie reguły spłaszczone!\n");
}

TEST(VerifyFlatten, CommandsRefuseAContradictoryBase) {
    ScriptedUi ui;
    Session s(ui);
    name_base(s);
    add_rule(s, 1, "a", {"a"});
    s.kb.sprzecznosc_1z.append("TAK");
    run(s, 10146);
    run(s, 10145);
    EXPECT_EQ(ui.transcript(),
              "[note] Uwaga!\nZewnętrznie sprzecznej bazy reguł nie można spłaszczyć!\n"
              "[note] Uwaga!\nZewnętrznie sprzecznej bazy reguł nie można spłaszczyć!\n");
}

void worked_example(Session& s) {
    name_base(s, "REPRZYK.BEN");
    add_rule(s, 1, "w", {"a", "b"});
    add_rule(s, 2, "a", {"x", "y"});
    add_rule(s, 3, "b", {"z"});
    add_rule(s, 4, "a", {"v"});
    askable_from_rules(s);
}

TEST(VerifyFlatten, AllRulesCommandShowsEveryFormAndStopsOnNo) {
    ScriptedUi ui({"Tak", "Tak", "Tak", "Tak", "Tak"});
    Session s(ui);
    worked_example(s);
    run(s, 10146);
    EXPECT_EQ(ui.helper_text(),
              "Reguły spłaszczone bazy reguł REPRZYK.BEN\n\n"
              "Numer  Wniosek  Lista warunków  Numery reguł spłaszczających\n\n"
              "1 w [\"z\",\"x\",\"y\"] [2,3]\n"
              "1 w [\"z\",\"v\"] [4,3]\n"
              "2 a [\"y\",\"x\"] []\n"
              "3 b [\"z\"] []\n"
              "4 a [\"v\"] []\n");
    EXPECT_THAT(
        ui.transcript(),
        HasSubstr("[question] Reguła spłaszczona: Numer, Wniosek, Lista warunków dopytywalnych, Numery "
                  "reguł spłaszczających\n1. w [\"z\",\"x\",\"y\"] [2,3]\n\nCzy chcesz zobaczyć następną "
                  "regułę spłaszczoną?\nbuttons: &Tak | &Nie\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Uwaga!\nTo już wszystkie reguły spłaszczone!\n"));

    ScriptedUi ui2({"Tak", "Nie"});
    Session t(ui2);
    worked_example(t);
    run(t, 10146);
    EXPECT_THAT(ui2.helper_text(), HasSubstr("1 w [\"z\",\"v\"] [4,3]\n"));
    EXPECT_THAT(ui2.helper_text(), Not(HasSubstr("2 a")));
    EXPECT_THAT(ui2.transcript(), Not(HasSubstr("[note]")));
}

TEST(VerifyFlatten, ChosenRuleCommand) {
    ScriptedUi ui({"2", "Tak"});
    Session s(ui);
    worked_example(s);
    add_rule(s, 10, "k", {"z"});
    askable_from_rules(s);
    kasowanie_tekst_raportu(s);
    run(s, 10145);
    // The list is sorted as text, by bytes: "1  w" before "10  k" before "2  a".
    EXPECT_THAT(ui.transcript(), HasSubstr("[list] Wybór reguły do spłaszczenia\nNumer reguły           "
                                           "Wniosek reguły\n1. 1  w\n2. 10  k\n3. 2  a\n4. 3  b\n5. 4  a\n"));
    EXPECT_EQ(s.report.text,
              "Wyniki spłaszczenia reguły 10:\n\n"
              "Numer  Wniosek     Lista warunków dopytywalnych          Numery reguł spłaszczających\n\n");
    EXPECT_THAT(ui.helper_text(), HasSubstr("10 k [\"z\"] []\n"));
    EXPECT_THAT(ui.transcript(), HasSubstr("10. k [\"z\"] []\n\nCzy chcesz"));
    EXPECT_THAT(ui.transcript(), HasSubstr("[note] Uwaga!\nTo już wszystkie reguły spłaszczone!\n"));

    ScriptedUi ui2({"1", "Tak", "Nie"});
    Session t(ui2);
    worked_example(t);
    run(t, 10145);
    EXPECT_THAT(ui2.helper_text(), HasSubstr("1 w [\"z\",\"x\",\"y\"] [2,3]\n1 w [\"z\",\"v\"] [4,3]\n"));
    EXPECT_THAT(ui2.transcript(), Not(HasSubstr("[note]")));
}

TEST(VerifyFlatten, ChosenRuleDialogClosedWithoutChoiceEndsCleanly) {
    ScriptedUi ui({""});
    Session s(ui);
    worked_example(s);
    run(s, 10145);
    EXPECT_THAT(ui.transcript(), Not(HasSubstr("Wyniki")));
    EXPECT_THAT(ui.transcript(), Not(HasSubstr("[note]")));
    EXPECT_FALSE(ui.has_answers());
}

// The generator started from a rule of the table reads the conditions' ids from the index;
// started from a list of texts it looks them up. Both must give the same forms in the same
// order, also on circular bases, with repeated conditions, texts the base does not hold, and
// with repeated rounds passed over.
std::vector<Form> drain(Splaszczanie gen, bool skip_repeated) {
    if (skip_repeated) gen.skip_repeated_rounds();
    std::vector<Form> out;
    while (auto f = gen.next()) {
        out.push_back({f->flattened_conditions, f->used_rule_numbers, {}});
        if (out.size() >= 5000) break;
    }
    return out;
}

TEST(VerifyFlatten, FormsOfATableRuleEqualThoseOfItsConditionTexts) {
    std::mt19937 rng(36);
    for (int round = 0; round < 80; ++round) {
        ScriptedUi ui;
        Session s(ui);
        const int nrules = 2 + static_cast<int>(rng() % 9);
        for (int n = 1; n <= nrules; ++n) {
            TextList conds;
            const int k = 1 + static_cast<int>(rng() % 3);
            for (int i = 0; i < k; ++i) {
                const unsigned pick = rng() % 10;
                // Conclusions (cycles allowed), askables, and now and then a text nothing holds.
                conds.push_back(pick < 5   ? "c" + std::to_string(rng() % 4)
                                : pick < 9 ? "x" + std::to_string(rng() % 3)
                                           : std::string("nic"));
            }
            add_rule(s, n, "c" + std::to_string(rng() % 4), conds);
        }
        askable_from_rules(s);
        s.kb.dopytywalny.remove_all([](const std::string& t) { return t == "nic"; });
        FlattenIndex index(s.kb);
        for (const auto& r : s.kb.rules.regula) {
            const Regula outside = r;  // not a row of the table: the conditions are looked up
            for (bool skip : {false, true}) {
                const auto by_texts = drain(splaszcz(index, r.conclusion, TextList(r.conditions)), skip);
                ASSERT_EQ(drain(splaszcz(index, r), skip), by_texts)
                    << "round " << round << " rule " << r.rule_number;
                ASSERT_EQ(drain(splaszcz(index, outside), skip), by_texts) << "round " << round;
            }
        }
        // A condition list with a text the base does not hold has no form.
        EXPECT_TRUE(drain(splaszcz(index, "w", TextList{"x0", "zadna_baza"}), false).empty());
    }
}

}  // namespace
}  // namespace zuva
