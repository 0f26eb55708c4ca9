// The how-tree over working tables as a run leaves them, with origins the consultation
// records (a completion by a constraint through its hook included), and the list of
// conclusions the command offers.
#include <gtest/gtest.h>

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/forward.h"
#include "consult/how_concluded.h"
#include "consult/why_asked.h"
#include "forward_test_support.h"
#include "session/session.h"
#include "ui/scripted_ui.h"

namespace zuva {
namespace {

using testing_support::use_rule_base;

class HowTree : public ::testing::Test {
  protected:
    HowTree() : s(ui) {}
    ScriptedUi ui;
    Session s;
};

// c from two cumulative rules: a answered 1, x completed to -1 by an exact constraint with a.
TEST_F(HowTree, ConstraintCompletionIsTracedToTheStatementThatCausedIt) {
    use_rule_base(s,
                  "reguła(1,\"c\",[\"a\"],1,\"0.8\")\n"
                  "reguła(2,\"c\",[\"x\"],1,\"-0.5\")\n"
                  "reguła(3,\"d\",[\"c\",\"y\"],1,\"0.5\")\n");
    kasowanie_tablic_roboczych(s);
    append_resultant(s, "a", 1.0, {OriginKind::Answer});
    s.inference.wypadkowa_prbd.append("x", -1.0);
    record_constraint_completion(s, "a", true);
    aktualizacja_prbd(s, 1, "c", 0.8);
    aktualizacja_prbd(s, 2, "c", 0.5);
    oznacz_zastosowana(s, 1);
    oznacz_zastosowana(s, 2);
    pamietaj_wniosek_wypadkowy(s, "c", 0.9, {OriginKind::CumulativeRules});
    run_finished(s, RunDirection::Forward);

    EXPECT_EQ(how_tree(s, "c"),
              "c (CF = 0.9): wypadkowa reguł kumulatywnych\n"
              "    reguła 1: wkład 0.8 = zaokrąglenie(CF reguły 0.8 × CF warunków 1)\n"
              "        a (CF = 1): odpowiedź użytkownika\n"
              "    reguła 2: wkład 0.5 = zaokrąglenie(CF reguły -0.5 × CF warunków -1)\n"
              "        x (CF = -1): uzupełnienie z ograniczenia dokładnego, bo warunek a ma CF = 1\n"
              "            a (CF = 1): odpowiedź użytkownika\n"
              "    wkłady dodatnie łącznie P = 0.9, ujemne łącznie N = 0; "
              "wypadkowa = zaokrąglenie((P + N) / (1 - min(P, -N)))\n");
    // d waits on y, which nothing asked; c is expanded once, then referred to.
    EXPECT_EQ(
        how_tree(s, "d"),
        "d: brak CF\n"
        "    reguła 3: nie została zastosowana, czeka na warunek y:\n"
        "        y: brak CF\n"
        "            nie zapytano o ten warunek, bo żadna reguła, która go potrzebuje, nie doszła do niego\n"
        "    wypadkowa powstaje dopiero, gdy zastosowano wszystkie reguły wniosku\n");

    const auto items = conclusions_of_last_run(s);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].statement, "c");
    EXPECT_TRUE(items[0].has_cf);
    EXPECT_EQ(items[0].cf, 0.9);
    EXPECT_EQ(items[1].statement, "d");
    EXPECT_FALSE(items[1].has_cf);
}

// A hidden append (the member already had a resultant) keeps its own origin: the origin
// belongs to the slot, and the visible record keeps the one it had.
TEST_F(HowTree, OriginsBelongToSlots) {
    use_rule_base(s, "reguła(1,\"c\",[\"a\"],1,\"0.8\")\n");
    kasowanie_tablic_roboczych(s);
    append_resultant(s, "a", 0.5, {OriginKind::Answer});
    append_resultant(s, "b", 1.0, {OriginKind::Fact});
    s.inference.wypadkowa_prbd.append("a", -1.0);
    record_constraint_completion(s, "b", true);
    EXPECT_EQ(origin_of(s, "a").kind, OriginKind::Answer);
    EXPECT_EQ(origin_of_slot(s, 2).kind, OriginKind::ExactConstraint);
    EXPECT_EQ(origin_of_slot(s, 2).ref, 1);
    EXPECT_EQ(origin_of_slot(s, 99).kind, OriginKind::Unknown);
    // The next run starts with no origins.
    kasowanie_tablic_roboczych(s);
    EXPECT_EQ(origin_of_slot(s, 0).kind, OriginKind::Unknown);
    EXPECT_TRUE(s.inference.explain.resultant_origins.empty());
}

// Facts imported from a data source are told apart from those of the base file.
TEST_F(HowTree, ImportedFactsAreSeededWithTheirOrigin) {
    use_rule_base(s,
                  "fakt(\"a\",\"1.0\")\nfakt(\"b\",\"0.5\")\n"
                  "reguła(1,\"c\",[\"a\",\"b\"],1,\"0.8\")\n");
    mark_imported(s, "b", false);
    kasowanie_tablic_roboczych(s);
    inicjalizacja_faktow(s, false);
    EXPECT_EQ(origin_of(s, "a").kind, OriginKind::Fact);
    EXPECT_EQ(origin_of(s, "b").kind, OriginKind::Imported);
    run_finished(s, RunDirection::Forward);
    EXPECT_EQ(how_tree(s, "b"), "b (CF = 0.5): fakt zaimportowany z zewnętrznego źródła danych\n");
}

// A circular base: each statement is expanded once and the tree ends.
TEST_F(HowTree, CircularRulesEndWithAReference) {
    use_rule_base(s,
                  "reguła(1,\"p\",[\"q\"],1,\"0.9\")\n"
                  "reguła(2,\"q\",[\"p\"],1,\"0.9\")\n"
                  "reguła(3,\"q\",[\"r\"],1,\"0.9\")\n");
    kasowanie_tablic_roboczych(s);
    append_resultant(s, "r", 1.0, {OriginKind::Answer});
    aktualizacja_prbd(s, 3, "q", 0.9);
    oznacz_zastosowana(s, 3);
    aktualizacja_prbd(s, 2, "q", 0.73);
    oznacz_zastosowana(s, 2);
    aktualizacja_prbd(s, 1, "p", 0.81);
    oznacz_zastosowana(s, 1);
    pamietaj_wniosek_wypadkowy(s, "q", 0.9, {OriginKind::CumulativeRules});
    pamietaj_wniosek_wypadkowy(s, "p", 0.81, {OriginKind::CumulativeRules});
    run_finished(s, RunDirection::Forward);
    const std::string t = how_tree(s, "p");
    EXPECT_NE(t.find("                p (CF = 0.81): wypadkowa reguł kumulatywnych (jak wyżej)\n"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("                r (CF = 1): odpowiedź użytkownika\n"), std::string::npos) << t;
}

}  // namespace
}  // namespace zuva
