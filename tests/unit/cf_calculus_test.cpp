// The calculus on its own: combination order, conflict, disjunctive resultants, the
// applied-rule marks, the pending lists, the condition list, and the indexed tables.
#include "consult/cf_calculus.h"

#include <gtest/gtest.h>

#include <deque>
#include <unordered_map>

#include "consult/inference_start.h"
#include "consult/pytaj.h"
#include "forward_test_support.h"
#include "kb/rule_lists.h"
#include "report/report.h"
#include "store/flat_map.h"
#include "text/number_format.h"
#include "ui/scripted_ui.h"

using namespace zuva;
using namespace zuva::testing_support;

TEST(CfCalculus, SumujCombinesNegativesInAnyOrder) {
    EXPECT_DOUBLE_EQ(*sumuj({-1.0, -0.5}), -1.0);
    EXPECT_DOUBLE_EQ(*sumuj({-0.5, -1.0}), -1.0);
    EXPECT_DOUBLE_EQ(*sumuj({-0.6, -0.5}), -0.8);
    EXPECT_DOUBLE_EQ(*sumuj({0.6, 0.5}), 0.8);
    EXPECT_DOUBLE_EQ(*sumuj({0.5, 0.5, 0.5}), 0.875);
    EXPECT_FALSE(sumuj({}));
}

TEST(CfCalculus, CumulativeResultants) {
    EXPECT_DOUBLE_EQ(wypadkowa_z(0.8, 0.0), 0.8);
    EXPECT_DOUBLE_EQ(wypadkowa_z(0.6, -0.5), 0.2);
    EXPECT_DOUBLE_EQ(wypadkowa_z(0.0, -0.8), -0.8);
    EXPECT_DOUBLE_EQ(wypadkowa_z(1.0, -1.0), 0.0);  // total conflict, no division by zero
    EXPECT_DOUBLE_EQ(wypadkowa_z(1.0, -0.5), 1.0);
    ScriptedUi ui;
    Session s(ui);
    s.inference.prbd.update(1, "w", 1.0);
    s.inference.prbd.update(2, "w", -1.0);
    s.inference.prbd.update(3, "v", -0.5);
    EXPECT_TRUE(calkowity_konflikt(s, "w"));
    EXPECT_FALSE(calkowity_konflikt(s, "v"));
    EXPECT_DOUBLE_EQ(wypadkowa_kumulatywna(s, "w"), 0.0);
    // A new contribution of a rule replaces its old one and moves to the end.
    s.inference.prbd.update(1, "w", 0.4);
    EXPECT_EQ(s.inference.prbd.count(), 3u);
    EXPECT_EQ(s.inference.prbd.rows().back().rule_number, 1);
    EXPECT_DOUBLE_EQ(dodatnie_cf(s, "w"), 0.4);
    EXPECT_DOUBLE_EQ(ujemne_cf(s, "w"), -1.0);
}

TEST(CfCalculus, DisjunctiveResultants) {
    ScriptedUi ui;
    Session s(ui);
    auto add = [&](int n, const char* c, double conds, double contribution) {
        s.inference.prbd.update(n, c, contribution);
        s.inference.dysjunkt.append({c, conds, contribution});
    };
    add(1, "a", 0.5, 0.3);
    add(2, "a", 0.8, 0.6);
    add(3, "b", 0.5, 0.3);
    add(4, "b", -0.5, -0.4);
    add(5, "c", -0.5, 0.45);
    add(6, "c", -0.2, 0.1);
    EXPECT_TRUE(jednakowe_znaki(s, "a"));
    EXPECT_FALSE(jednakowe_znaki(s, "b"));
    EXPECT_TRUE(jednakowe_znaki(s, "c"));  // all conditions CF <= 0
    EXPECT_TRUE(jednakowe_znaki(s, "none"));
    EXPECT_DOUBLE_EQ(*wypadkowa_dysjunktywna(s, "a"), 0.6);
    EXPECT_DOUBLE_EQ(*wypadkowa_dysjunktywna(s, "b"), 0.3);
    EXPECT_DOUBLE_EQ(*wypadkowa_dysjunktywna(s, "c"), 0.45);
    EXPECT_FALSE(wypadkowa_dysjunktywna(s, "none"));
    EXPECT_EQ(dodatnie_cf_warunkow(s, "b"), std::vector<double>{0.3});
}

TEST(CfCalculus, ConditionListTakenLeftToRightWithTheMinimum) {
    ScriptedUi ui({"0.4"});
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"x\",[\"a\",\"b\"],1,\"1\")\n"
                  "reguła(2,\"y\",[\"x\",\"c\"],1,\"1\")\n");
    kasowanie_tekst_raportu(s);
    EXPECT_DOUBLE_EQ(*testuj_warunki(s, {}), 1.0);
    s.inference.wypadkowa_prbd.append("a", 0.9);
    std::size_t blocked = 99;
    // x has no resultant and may not be asked; c after it is not asked.
    EXPECT_FALSE(testuj_warunki(s, {"c", "x"}, &blocked));
    EXPECT_EQ(blocked, 1u);  // c was asked (0.4), x blocked
    EXPECT_EQ(count_of(ui.transcript(), "[value]"), 1);
    EXPECT_FALSE(testuj_warunki(s, {"x", "b"}, &blocked));
    EXPECT_EQ(blocked, 0u);
    EXPECT_EQ(count_of(ui.transcript(), "[value]"), 1);  // b not asked behind x
    s.inference.wypadkowa_prbd.append("x", 0.7);
    EXPECT_DOUBLE_EQ(*testuj_warunki(s, {"a", "x", "c"}), 0.4);
    EXPECT_FALSE(moze_pytac(s, "x"));
    EXPECT_TRUE(moze_pytac(s, "b"));
    EXPECT_FALSE(moze_pytac(s, "bez warunku"));
}

TEST(CfCalculus, ChangedContributionClearsTheMarksOfDependentRules) {
    ScriptedUi ui;
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"b\",[\"a\"],1,\"0.7\")\n"
                  "reguła(2,\"c\",[\"b\"],1,\"1\")\n"
                  "reguła(3,\"d\",[\"e\",\"b\"],1,\"1\")\n"
                  "reguła(4,\"f\",[\"e\"],1,\"1\")\n");
    for (int n : {2, 3, 4})
        oznacz_zastosowana(s, n);
    aktualizacja_prbd(s, 1, "b", 0.35);
    skasuj_zastosowane_reguly(s, 0.35, "b", 1);  // the same record: nothing
    EXPECT_TRUE(zastosowana(s, 2) && zastosowana(s, 3));
    skasuj_zastosowane_reguly(s, 0.347, "b", 1);  // an unrounded product differs
    EXPECT_FALSE(zastosowana(s, 2));
    EXPECT_FALSE(zastosowana(s, 3));
    EXPECT_TRUE(zastosowana(s, 4));
}

TEST(CfCalculus, PendingListsShrinkAndMoveToTheEnd) {
    ScriptedUi ui;
    Session s(ui);
    use_rule_base(s,
                  "reguła_dysjunktywna(\"z\")\n"
                  "reguła(1,\"x\",[\"a\"],1,\"1\")\n"
                  "reguła(2,\"y\",[\"a\"],1,\"1\")\n"
                  "reguła(3,\"x\",[\"a\"],1,\"1\")\n"
                  "reguła(4,\"z\",[\"a\"],1,\"1\")\n");
    tworz_listy_oczekujacych(s);
    ASSERT_EQ(s.inference.lista_numerow_regul_kumulatywnych.count(), 2u);
    EXPECT_EQ(s.inference.lista_numerow_regul_kumulatywnych[0].pending_rules, (IntList{1, 3}));
    ASSERT_EQ(s.inference.lista_numerow_regul_dysjunktywnych.count(), 1u);
    EXPECT_TRUE(lista_oczekujacych_niepusta(s, "x"));
    EXPECT_TRUE(redukuj_liste_regul_kumulatywnych(s, "x", 3));
    EXPECT_FALSE(redukuj_liste_regul_kumulatywnych(s, "x", 3));
    EXPECT_FALSE(redukuj_liste_regul_kumulatywnych(s, "x", 2));  // 2 concludes y
    EXPECT_TRUE(regula_oczekuje(s, "x", 1));
    EXPECT_TRUE(redukuj_liste_regul_kumulatywnych(s, "x", 1));
    EXPECT_TRUE(lista_oczekujacych_pusta(s, "x"));
    EXPECT_FALSE(lista_oczekujacych_pusta(s, "y"));
    EXPECT_FALSE(lista_oczekujacych_pusta(s, "nieznany"));
    sync_pending_lists(s);
    const auto& rows = s.inference.lista_numerow_regul_kumulatywnych;
    ASSERT_EQ(rows.count(), 2u);
    EXPECT_EQ(rows[0].conclusion, "y");  // x was reduced last, so it is at the end
    EXPECT_EQ(rows[1].conclusion, "x");
    EXPECT_TRUE(rows[1].pending_rules.empty());
}

// Rows are put in order in place: a long cycle of moves and rows that stay must all come
// out whole, also at a second sync that starts from the order of the first.
TEST(CfCalculus, PendingListsKeepEveryRowWhenReorderedTwice) {
    ScriptedUi ui;
    Session s(ui);
    std::string base;
    for (int i = 0; i < 6; ++i)
        base += "reguła(" + std::to_string(i + 1) + ",\"x" + std::to_string(i) + "\",[\"a\"],1,\"1\")\n";
    use_rule_base(s, base);
    tworz_listy_oczekujacych(s);
    auto listed = [&] {
        std::vector<std::string> out;
        for (const auto& row : s.inference.lista_numerow_regul_kumulatywnych) {
            out.push_back(row.conclusion);
            if (!row.pending_rules.empty()) out.back() += ":" + std::to_string(row.pending_rules.front());
        }
        return out;
    };
    for (const int i : {3, 0, 4})
        ASSERT_TRUE(redukuj_liste_regul_kumulatywnych(s, "x" + std::to_string(i), i + 1));
    sync_pending_lists(s);
    EXPECT_EQ(listed(), (std::vector<std::string>{"x1:2", "x2:3", "x5:6", "x3", "x0", "x4"}));
    ASSERT_TRUE(redukuj_liste_regul_kumulatywnych(s, "x1", 2));
    sync_pending_lists(s);
    EXPECT_EQ(listed(), (std::vector<std::string>{"x2:3", "x5:6", "x3", "x0", "x4", "x1"}));
}

// The per-conclusion lists keep views of their own rows while they are built: with room
// reserved only for the rules of each kind, many short (inline-stored) conclusions of both
// kinds and rows that were there before must all come out whole.
TEST(CfCalculus, PendingListsOfManyShortConclusionsOfBothKinds) {
    ScriptedUi ui;
    Session s(ui);
    std::string base = "reguła_dysjunktywna(\"d0\")\nreguła_dysjunktywna(\"d1\")\n";
    for (int i = 1; i <= 600; ++i) {
        const std::string concl = i % 3 == 0 ? "d" + std::to_string(i % 2) : "k" + std::to_string(i % 200);
        base += "reguła(" + std::to_string(i) + ",\"" + concl + "\",[\"a\"],1,\"0.5\")\n";
    }
    use_rule_base(s, base);
    s.inference.lista_numerow_regul_kumulatywnych.clear();
    s.inference.lista_numerow_regul_dysjunktywnych.clear();
    s.inference.lista_numerow_regul_kumulatywnych.append({"k1", {999}});  // kept as it is
    tworz_listy_numerow_regul_kumulatywnych(s);
    tworz_listy_numerow_regul_dysjunktywnych(s);
    const auto& cum = s.inference.lista_numerow_regul_kumulatywnych;
    const auto& dis = s.inference.lista_numerow_regul_dysjunktywnych;
    ASSERT_EQ(cum.count(), 200u);  // k0..k199, k1 first
    EXPECT_EQ(cum[0].conclusion, "k1");
    EXPECT_EQ(cum[0].pending_rules, (IntList{999}));
    EXPECT_EQ(cum[1].conclusion, "k2");
    EXPECT_EQ(cum[1].pending_rules, (IntList{2, 202}));
    std::size_t numbers = 0;
    for (const auto& row : cum)
        numbers += row.pending_rules.size();
    EXPECT_EQ(numbers, 1u + 400u - 2u);  // 400 cumulative rules, the two of k1 not added
    ASSERT_EQ(dis.count(), 2u);
    EXPECT_EQ(dis[0].conclusion, "d1");
    EXPECT_EQ(dis[1].conclusion, "d0");
    EXPECT_EQ(dis[0].pending_rules.size() + dis[1].pending_rules.size(), 200u);
    EXPECT_EQ(dis[0].pending_rules.front(), 3);
    EXPECT_EQ(dis[1].pending_rules.back(), 600);
}

TEST(CfCalculus, ResultantTableKeepsTableOrderAndJournal) {
    ResultantTable t;
    t.append("a", 0.5);
    t.append("a", 0.9);  // hidden behind the first
    EXPECT_DOUBLE_EQ(*t.find("a"), 0.5);
    t.append("b", 0.1);
    t.store("b", 0.2);
    EXPECT_DOUBLE_EQ(*t.find("b"), 0.2);
    EXPECT_TRUE(t.remove_first("a"));
    EXPECT_DOUBLE_EQ(*t.find("a"), 0.9);
    EXPECT_TRUE(t.remove_first("a"));
    EXPECT_FALSE(t.find("a"));
    ASSERT_EQ(t.count(), 1u);
    EXPECT_EQ(t.rows()[0].key, "b");
    // a first, b first, b changed, a changed, a gone.
    ASSERT_EQ(t.journal_size(), 5u);
    EXPECT_TRUE(t.journal_at(0).first);
    EXPECT_TRUE(t.journal_at(1).first);
    EXPECT_FALSE(t.journal_at(2).first);
    EXPECT_DOUBLE_EQ(t.value_of_row(t.journal_at(3).row), 0.9);
    EXPECT_TRUE(t.journal_at(4).gone);
}

TEST(CfCalculus, SkippedRuleAndRuleExplanationOnlyWhenDisplayed) {
    ScriptedUi ui;
    Session s(ui);
    kasowanie_tekst_raportu(s);
    Regula silent{7, "w", {"a"}, 0, "0.5"};
    wyjasnienie_regula(s, 0.5, silent);
    wyjasnienie_regula_dysjunktywna_pomijana(s, silent, -0.4, -0.9);
    Regula koniec{8, "koniec", {"a"}, 1, "1"};
    wyjasnienie_regula(s, 1.0, koniec);
    EXPECT_EQ(s.report.text, "");
    EXPECT_EQ(ui.transcript(), "");
    Regula shown{9, "w", {"a"}, 1, "-0.9"};
    wyjasnienie_regula_dysjunktywna_pomijana(s, shown, -0.4, -0.9);
    EXPECT_NE(
        ui.transcript().find("[note] Uwaga!\nStosuję regułę dysjunktywną 9\nz ujemnym CF listy warunków, "
                             "równym -0.4\ni z ujemnym CF reguły, równym -0.9\nReguła ta zostanie pominięta "
                             "przy dalszym wnioskowaniu.\n"),
        std::string::npos);
}

TEST(CfCalculus, FormatCfMatchesLg) {
    for (int k = -100; k <= 100; ++k)
        EXPECT_EQ(format_cf(k / 100.0), format_lg(k / 100.0));
    EXPECT_EQ(format_cf(-0.0), format_lg(-0.0));
    EXPECT_EQ(format_cf(0.333), "0.333");
    EXPECT_EQ(format_cf(2.5), "2.5");
}

TEST(CfCalculus, BackwardHeaderHasItsOwnTexts) {
    ScriptedUi ui;
    Session s(ui);
    s.kb.nazwa_re.short_name.append("REX.BEN");
    kasowanie_tekst_raportu(s);
    naglowek_wnioskowania(s, InferenceDirection::Backward);
    EXPECT_EQ(s.report.text, "Wnioskowanie elementarne niepewne wstecz dla bazy reguł REX.BEN\n\n");
    EXPECT_NE(
        ui.transcript().find("[note] Wnioskowanie elementarne niepewne wstecz\nWnioskowanie wstecz dla:\n\n"),
        std::string::npos);
}

namespace {

// One random step on a FlatMap and a std::unordered_map: an erase, or an insert through
// `insert` (which gives the FlatMap's answer); both must agree.
template <class Flat, class Ref, class Key, class Insert>
void random_step(Flat& flat, Ref& ref, const Key& key, int step, std::uint32_t x, Insert insert) {
    if ((x >> 4) % 3 == 0) {
        EXPECT_EQ(flat.erase(key), ref.erase(key) == 1);
    } else {
        auto [v, fresh] = insert(key, step);
        auto [it, rfresh] = ref.try_emplace(key, step);
        EXPECT_EQ(fresh, rfresh);
        EXPECT_EQ(*v, it->second);
    }
    ASSERT_EQ(flat.size(), ref.size());
}

template <class Flat, class Ref, class Key>
void expect_same_entry(const Flat& flat, const Ref& ref, const Key& key) {
    auto it = ref.find(key);
    const int* v = flat.find(key);
    ASSERT_EQ(v != nullptr, it != ref.end()) << key;
    if (v) {
        EXPECT_EQ(*v, it->second);
    }
}

}  // namespace

TEST(CfCalculus, FlatMapOfTextsAgreesWithAStandardMap) {
    // Text keys are kept as a pointer and a 32-bit length: keys of every length up to 40,
    // many sharing a prefix, inserted (half as views of a copy kept elsewhere), erased and
    // looked up again through tables that grow from empty.
    std::vector<std::string> texts;
    for (int i = 0; i < 600; ++i)
        texts.push_back(std::string(static_cast<std::size_t>(i % 41), 'x') + std::to_string(i % 300));
    std::deque<std::string> kept;
    FlatMap<std::string_view, int, TextHash> flat;
    std::unordered_map<std::string_view, int> ref;
    std::uint32_t x = 11;
    for (int step = 0; step < 20000; ++step) {
        x = x * 1103515245u + 12345u;
        const std::string_view key = texts[(x >> 8) % texts.size()];
        const bool as_copy = (x >> 6) % 2;
        random_step(flat, ref, key, step, x, [&](std::string_view k, int v) {
            if (!as_copy) return flat.try_emplace(k, v);
            return flat.try_emplace_as(k, v, [&] { return std::string_view(kept.emplace_back(k)); });
        });
    }
    for (const auto& t : texts)
        expect_same_entry(flat, ref, std::string_view(t));
}

TEST(CfCalculus, FlatMapAgreesWithAStandardMap) {
    FlatMap<std::int32_t, int, IntKeyHash> flat;
    std::unordered_map<std::int32_t, int> ref;
    std::uint32_t x = 7;
    for (int step = 0; step < 20000; ++step) {
        x = x * 1103515245u + 12345u;
        const auto key = static_cast<std::int32_t>((x >> 8) % 700);  // many collisions and reuse
        random_step(flat, ref, key, step, x, [&](std::int32_t k, int v) { return flat.try_emplace(k, v); });
    }
    for (std::int32_t k = 0; k < 700; ++k)
        expect_same_entry(flat, ref, k);
}
