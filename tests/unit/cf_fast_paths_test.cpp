// The shortcuts of the calculus must give what the general code gives: the reading of
// plain decimal CF texts without strtod, and the "koniec" state of prbd kept as a count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "kb/askable_conditions.h"
#include "kb/rule_lists.h"
#include "session/inference_state.h"
#include "session/session.h"
#include "store/rule_text_ids.h"
#include "ui/scripted_ui.h"

using namespace zuva;

namespace {

// Same value to the bit (the sign of zero included), or both absent.
void expect_same(const std::string& text) {
    const auto fast = parse_cf_text(text);
    const auto general = cf_from_text(text);
    ASSERT_EQ(fast.has_value(), general.has_value()) << text;
    if (!fast) return;
    std::uint64_t a, b;
    std::memcpy(&a, &*fast, 8);
    std::memcpy(&b, &*general, 8);
    EXPECT_EQ(a, b) << text;
}

}  // namespace

TEST(CfFastPaths, PlainDecimalsReadAsStrtodReadsThem) {
    for (const char* t : {"1",
                          "1.0",
                          "-1",
                          "-1.00",
                          "0",
                          "-0",
                          "+0.5",
                          ".5",
                          "-.25",
                          "1.",
                          "00.75",
                          "0.33",
                          "0.333333333333333",
                          "0.3333333333333333",
                          "0.1234567890123456789",
                          "1.01",
                          "-1.000001",
                          "2",
                          "1e-1",
                          "5E-1",
                          "-1e0",
                          "",
                          "-",
                          ".",
                          "x",
                          "0,5",
                          " 0.5",
                          "0.5 ",
                          "+-1",
                          "1.2.3"})
        expect_same(t);
    for (int k = -1000; k <= 1000; ++k) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.3f", k / 1000.0);
        expect_same(buf);
        std::snprintf(buf, sizeof buf, "%g", k / 1000.0);
        expect_same(buf);
    }
    // Random digit strings of every length up to 17 digits, with the point anywhere.
    std::mt19937 rng(99);
    for (int round = 0; round < 20000; ++round) {
        const int len = 1 + static_cast<int>(rng() % 17);
        std::string t = rng() % 3 == 0 ? "-" : "";
        const int point = static_cast<int>(rng() % static_cast<unsigned>(len + 1));
        for (int i = 0; i < len; ++i) {
            if (i == point) t += '.';
            t += static_cast<char>('0' + (i == 0 && rng() % 2 ? rng() % 2 : rng() % 10));
        }
        expect_same(t);
    }
}

TEST(CfFastPaths, KoniecCountFollowsTheLiveRecords) {
    // Random updates of a few rules between "koniec" and other conclusions, with positive,
    // zero and negative contributions; after each one the count agrees with a scan.
    PrbdTable t;
    std::mt19937 rng(5);
    const double values[] = {0.5, 0.0, -0.3, 1.0, -1.0};
    for (int step = 0; step < 5000; ++step) {
        if (step % 1000 == 999) t.clear();
        const auto rule = static_cast<std::int32_t>(rng() % 6);
        t.update(rule, rng() % 2 ? "koniec" : "wniosek", values[rng() % 5]);
        bool positive = false;
        t.for_each([&](const Prbd& p) { positive |= p.conclusion == "koniec" && p.contribution > 0.0; });
        ASSERT_EQ(t.has_positive_koniec(), positive) << step;
    }
}

TEST(CfFastPaths, RuleNumbersAnywhereInTheIntRange) {
    // Small numbers sit in a vector, others in a hash map: negative, zero, the border and
    // large numbers must behave alike in the applied-rule marks and in prbd by rule.
    NumberSet marks;
    PrbdTable t;
    std::map<std::int32_t, double> ref;
    std::set<std::int32_t> ref_marks;
    const std::int32_t picks[] = {0, 1, 2, 7, -1, -5, 131071, 131072, 131073, 2000000000, -2000000000, 99999};
    std::mt19937 rng(17);
    for (int step = 0; step < 20000; ++step) {
        const std::int32_t n =
            rng() % 4 ? picks[rng() % 12] : static_cast<std::int32_t>(rng() % 300000) - 1000;
        const double v = static_cast<double>(rng() % 200) / 100.0 - 1.0;
        switch (rng() % 3) {
            case 0:
                ASSERT_EQ(marks.insert(n), ref_marks.insert(n).second) << n;
                break;
            case 1:
                ASSERT_EQ(marks.erase(n), ref_marks.erase(n)) << n;
                break;
            default:
                t.update(n, "w", v);
                ref[n] = v;
        }
        ASSERT_EQ(marks.size(), ref_marks.size());
        ASSERT_EQ(marks.contains(n), ref_marks.count(n) == 1) << n;
        const Prbd* p = t.find_rule(n);
        ASSERT_EQ(p != nullptr, ref.count(n) == 1) << n;
        if (p) {
            EXPECT_EQ(p->contribution, ref[n]);
        }
        ASSERT_EQ(t.count(), ref.size());
        if (step % 5000 == 4999) {
            marks.clear();
            ref_marks.clear();
            t.clear();
            ref.clear();
            ASSERT_TRUE(marks.empty());
            ASSERT_EQ(t.find_rule(1), nullptr);
        }
    }
}

TEST(CfFastPaths, PrbdByConclusionSurvivesRunsReserveCopyMoveAndIds) {
    // The chain of the previous update's conclusion is kept: runs of one conclusion,
    // switches between a few, a reserve (rehash), a copy, a move and statement ids in
    // between must leave for_conclusion equal to a scan of the records in table order.
    PrbdTable t;
    std::vector<Prbd> ref;  // live records in table order
    std::mt19937 rng(23);
    const char* names[] = {"a", "b", "wniosek dlugi ponad szesnascie znakow", "koniec"};
    auto check = [&](const PrbdTable& table, int step) {
        for (const char* name : names) {
            std::vector<std::pair<std::int32_t, double>> got, want;
            table.for_conclusion(name,
                                 [&](const Prbd& p) { got.emplace_back(p.rule_number, p.contribution); });
            for (const auto& p : ref)
                if (p.conclusion == name) want.emplace_back(p.rule_number, p.contribution);
            ASSERT_EQ(got, want) << step << " " << name;
        }
    };
    // From step 400 of each 500, two of the conclusions have statement ids (records of
    // them exist by then); updates give the id now and then, or an id of other ids.
    auto ids = std::make_shared<StatementIds>();
    ids->intern(names[2]);
    ids->intern(names[0]);
    StatementIds other;
    other.intern(names[0]);
    std::string current = names[0];
    for (int step = 0; step < 6000; ++step) {
        if (rng() % 4 == 0) current = names[rng() % 4];
        const auto rule = static_cast<std::int32_t>(rng() % 40);
        const double v = static_cast<double>(rng() % 21) / 10.0 - 1.0;
        switch (rng() % 3) {
            case 0:
                t.update(rule, current, v);
                break;
            case 1:
                t.update(rule, current, v, {ids.get(), ids->id_of(current)});
                break;
            default:
                t.update(rule, current, v, {&other, 0});
        }
        std::erase_if(ref, [&](const Prbd& p) { return p.rule_number == rule; });
        ref.push_back({rule, current, v});
        switch (step % 500) {
            case 100:
                t.reserve(static_cast<std::size_t>(step) * 8);
                break;
            case 200: {
                PrbdTable copy = t;
                copy.update(1000 + step, current, 0.25);  // the copy's own chain, not t's
                t = copy;
                ref.push_back({1000 + step, current, 0.25});
                break;
            }
            case 300: {
                PrbdTable moved = std::move(t);
                t = std::move(moved);
                break;
            }
            case 400:
                t.use_ids(ids);
                break;
            case 499:
                t.clear();
                ref.clear();
                break;
        }
        check(t, step);
    }
}

namespace {

// A base whose conclusions repeat, with a disjunctive conclusion among them.
void fill_rules(Session& s) {
    s.kb.rules.regula.append({1, "w", {"a", "b"}, 1, "0.5"});
    s.kb.rules.regula.append({2, "d", {"a"}, 1, "0.5"});
    s.kb.rules.regula.append({3, "w", {"c"}, 1, "0.5"});
    s.kb.rules.regula.append({4, "d", {"w"}, 1, "0.5"});
    s.kb.rules.regula.append({5, "koniec", {"d"}, 1, "1"});
    s.kb.rules.regula_dysjunktywna.append({"d"});
}

std::vector<std::pair<std::string, std::vector<std::int32_t>>> listed(const Table<PendingRules>& t) {
    std::vector<std::pair<std::string, std::vector<std::int32_t>>> out;
    for (const auto& r : t)
        out.emplace_back(r.conclusion,
                         std::vector<std::int32_t>(r.pending_rules.begin(), r.pending_rules.end()));
    return out;
}

}  // namespace

TEST(CfFastPaths, IdsOfTheLoadAreTakenOverOnlyWhileTheRulesHoldTheSameTexts) {
    ScriptedUi ui;
    Session s(ui);
    fill_rules(s);
    wyznacz_warunki_dopytywalne(s);
    ASSERT_TRUE(s.kb.rule_text_ids);
    EXPECT_TRUE(s.kb.rule_text_ids->describes(s.kb.rules.regula.rows()));
    const StatementIds* made = s.kb.rule_text_ids->ids.get();
    RuleIndex& ix = rule_index(s);
    EXPECT_EQ(ix.ids.get(), made);
    EXPECT_EQ(ix.statement(ix.conclusion_of[2]), "w");
    EXPECT_EQ(ix.conclusion_of[0], ix.conclusion_of[2]);
    // The derived lists are made from the load's ids when first read, as the load saw them,
    // also after the index took the ids over and interned more.
    ix.ids->intern("nowy");
    EXPECT_EQ(*s.kb.lista_warunkow.first(), (TextList{"b", "a", "c", "w", "d"}));
    ASSERT_EQ(s.kb.lista_wnioskow_regul.count(), 2u);
    EXPECT_EQ(s.kb.lista_wnioskow_regul[0], (TextList{"w", "d"}));
    EXPECT_EQ(s.kb.lista_wnioskow_regul[1], (TextList{"w", "d", "koniec"}));

    // A condition changed in place after the load: same number of rules, same storage.
    ScriptedUi ui2;
    Session t(ui2);
    fill_rules(t);
    wyznacz_warunki_dopytywalne(t);
    t.kb.rules.regula.mutable_rows()[2].conditions[0] = "e";
    EXPECT_FALSE(t.kb.rule_text_ids->describes(t.kb.rules.regula.rows()));
    RuleIndex& changed = rule_index(t);
    const auto k = static_cast<std::size_t>(changed.condition_offset[2]);
    EXPECT_EQ(changed.statement(changed.condition_ids[k]), "e");
    EXPECT_LT(changed.id_of("c"), 0);
    EXPECT_EQ(*t.kb.lista_warunkow.first(), (TextList{"b", "a", "c", "w", "d"}));
    t.kb.lista_wnioskow_regul.clear();
    EXPECT_TRUE(t.kb.lista_wnioskow_regul.empty());
    t.kb.lista_wnioskow_regul.append({"x"});
    EXPECT_EQ(t.kb.lista_wnioskow_regul.count(), 1u);
    // A rule with one condition more is another table as well.
    RuleTextIds ids = RuleTextIds::of(t.kb.rules.regula.rows());
    t.kb.rules.regula.mutable_rows()[0].conditions.push_back("f");
    EXPECT_FALSE(ids.describes(t.kb.rules.regula.rows()));
}

TEST(CfFastPaths, PendingListsByTheLoadsIdsAgreeWithListsByText) {
    ScriptedUi ui;
    Session by_ids(ui);
    fill_rules(by_ids);
    wyznacz_warunki_dopytywalne(by_ids);
    tworz_listy_numerow_regul_kumulatywnych(by_ids);
    tworz_listy_numerow_regul_dysjunktywnych(by_ids);
    ScriptedUi ui2;
    Session by_text(ui2);
    fill_rules(by_text);
    tworz_listy_numerow_regul_kumulatywnych(by_text);
    tworz_listy_numerow_regul_dysjunktywnych(by_text);
    using L = std::vector<std::pair<std::string, std::vector<std::int32_t>>>;
    EXPECT_EQ(listed(by_ids.inference.lista_numerow_regul_kumulatywnych),
              (L{{"w", {1, 3}}, {"koniec", {5}}}));
    EXPECT_EQ(listed(by_ids.inference.lista_numerow_regul_dysjunktywnych), (L{{"d", {2, 4}}}));
    EXPECT_EQ(listed(by_ids.inference.lista_numerow_regul_kumulatywnych),
              listed(by_text.inference.lista_numerow_regul_kumulatywnych));
    EXPECT_EQ(listed(by_ids.inference.lista_numerow_regul_dysjunktywnych),
              listed(by_text.inference.lista_numerow_regul_dysjunktywnych));
}
