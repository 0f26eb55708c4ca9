// Bases that are large or badly formed in the shapes a knowledge engineer writes by accident:
// a long cycle of rules, a wide rule that cannot be flattened, a layered base with a cycle,
// rules written twice on a cycle, a long chain of models, huge powers, and base files with a
// byte-order mark or CR line ends. Each must end quickly with the right result.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <set>

#include "consult/model_eval.h"
#include "kb/base_file_reader.h"
#include "models_fixture.h"
#include "session/command_registry.h"
#include "shell/handlers.h"
#include "text/codec.h"
#include "verify/contradictions.h"
#include "verify/flatten.h"
#include "verify/redundancy.h"
#include "verify_test_support.h"

namespace zuva {
namespace {

using namespace verify_test;
using ::testing::HasSubstr;

// A name with a number after it.
std::string nm(const char* prefix, int i) {
    std::string s = prefix;
    s += std::to_string(i);
    return s;
}

// c0 <- c1 <- ... <- c{n-1} <- c0, rule i + 1 concluding ci.
void cycle(Session& s, int n) {
    for (int i = 0; i < n; ++i)
        add_rule(s, i + 1, nm("c", i), {nm("c", (i + 1) % n)});
}

TEST(LargeBases, LongCycleIsFoundContradictoryWithBoundedRecords) {
    ScriptedUi ui;
    Session s(ui);
    const int n = 30000;
    cycle(s, n);
    name_base(s);
    badaj_sprzecznosc_1z(s);
    EXPECT_EQ(*s.kb.sprzecznosc_1z.first(), "TAK");
    ASSERT_FALSE(s.verify.reguly_sprzeczne.empty());
    EXPECT_TRUE(s.verify.reguly_sprzeczne_obciete);
    // The first chain is the whole cycle from rule 1: rule n concludes the last condition.
    const RegulaSprzeczna& first = *s.verify.reguly_sprzeczne.first();
    EXPECT_EQ(first.contradictory_rule, 1);
    EXPECT_EQ(first.partner_rule, n);
    ASSERT_EQ(first.substitution_path.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(first.substitution_path.front(), n);
    EXPECT_EQ(first.substitution_path.back(), 1);
    std::size_t kept = 0;
    for (const auto& r : s.verify.reguly_sprzeczne)
        kept += r.substitution_path.size();
    EXPECT_LE(kept, 1'000'000u);
}

TEST(LargeBases, CutListOfChainsIsSaidInTheReport) {
    ScriptedUi ui;
    Session s(ui);
    cycle(s, 2000);
    name_base(s);
    badaj_sprzecznosc_1z(s);
    ASSERT_TRUE(s.verify.reguly_sprzeczne_obciete);
    const std::size_t kept = s.verify.reguly_sprzeczne.count();
    ui.add_answer("&Nie");  // the report is not saved
    pisz_sprzecznosc_1z(s);
    EXPECT_THAT(ui.transcript(),
                HasSubstr("Baza reguł ma więcej łańcuchów sprzecznych, niż można zapamiętać; "
                          "pokazano pierwsze " +
                          std::to_string(kept) + "."));
    EXPECT_THAT(ui.transcript(), HasSubstr("Koniec raportu diagnostyki sprzeczności zewnętrznych"));
}

TEST(LargeBases, DenseCycleEndsWithItsVerdict) {
    ScriptedUi ui;
    Session s(ui);
    // Every conclusion needs every other one: the simple paths are beyond counting.
    const int n = 14;
    for (int i = 0; i < n; ++i) {
        TextList conds;
        for (int j = 0; j < n; ++j)
            if (j != i) conds.push_back(nm("k", j));
        add_rule(s, i + 1, nm("k", i), conds);
    }
    add_rule(s, n + 1, "w", {"a"});
    badaj_sprzecznosc_1z(s);
    EXPECT_EQ(*s.kb.sprzecznosc_1z.first(), "TAK");
    EXPECT_TRUE(s.verify.reguly_sprzeczne_obciete);
    const RegulaSprzeczna& first = *s.verify.reguly_sprzeczne.first();
    EXPECT_EQ(first.contradictory_rule, 1);
    EXPECT_EQ(first.substitution_path, (IntList{2, 1}));
}

// The wide rule: cel needs x1..xn and martwy; each xi has two rules, martwy and martwy2
// conclude each other and nothing else concludes them.
void wide_rule(Session& s, int n) {
    TextList top;
    for (int i = 1; i <= n; ++i)
        top.push_back(nm("x", i));
    top.push_back("martwy");
    int k = 1;
    add_rule(s, k++, "cel", top);
    for (int i = 1; i <= n; ++i) {
        add_rule(s, k++, nm("x", i), {nm("a", i)});
        add_rule(s, k++, nm("x", i), {nm("b", i)});
    }
    add_rule(s, k++, "martwy", {"martwy2"});
    add_rule(s, k++, "martwy2", {"martwy"});
}

TEST(LargeBases, WideRuleWithoutFormEndsAtOnceAndSaysWhichConditionsFlatten) {
    ScriptedUi ui;
    Session s(ui);
    wide_rule(s, 40);
    askable_from_rules(s);
    FlattenIndex index(s.kb);
    EXPECT_TRUE(can_be_flattened(index, "x7"));
    EXPECT_TRUE(can_be_flattened(index, "a7"));
    EXPECT_FALSE(can_be_flattened(index, "martwy"));
    EXPECT_FALSE(can_be_flattened(index, "martwy2"));
    EXPECT_FALSE(can_be_flattened(index, "cel"));
    EXPECT_FALSE(can_be_flattened(index, "nieznany"));
    Splaszczanie gen = splaszcz(index, "cel", s.kb.rules.regula[0].conditions);
    EXPECT_FALSE(gen.next());
    // Without martwy the rule has 2^3 forms for x1..x3, the first through the first rules.
    Splaszczanie three = splaszcz(index, "cel", {"x1", "x2", "x3"});
    int forms = 0;
    while (auto f = three.next()) {
        if (forms == 0) {
            EXPECT_EQ(f->flattened_conditions, (TextList{"a3", "a2", "a1"}));
        }
        ++forms;
    }
    EXPECT_EQ(forms, 8);

    // The flattening command shows no line for the rule and ends with its note.
    name_base(s);
    CommandRegistry reg;
    install_handlers(reg);
    ui.add_answer("1");  // the rule-choice list is sorted: "1  cel" first
    (*reg.find(10145))(s);
    EXPECT_THAT(ui.transcript(), HasSubstr("To już wszystkie reguły spłaszczone!"));
    EXPECT_EQ(ui.transcript().find("[question] Reguła spłaszczona"), std::string::npos);
}

// Flattening written plainly from its definition: rounds of choices, every alternative of
// szukaj_regule, duplicates keeping their last occurrence. Only for acyclic bases.
void reference_forms(const FlattenIndex& index, const TextList& list, const IntList& used,
                     std::vector<std::pair<TextList, IntList>>& out) {
    std::function<void(std::size_t, std::vector<TextList>, IntList)> choose =
        [&](std::size_t pos, std::vector<TextList> e, IntList u) {
            if (pos == list.size()) {
                TextList cat;
                for (const auto& l : e)
                    cat.insert(cat.end(), l.begin(), l.end());
                TextList next = redukuj(cat);
                if (ma_warunki_niedopyt(index, next) == "TAK")
                    reference_forms(index, next, u, out);
                else
                    out.emplace_back(next, u);
                return;
            }
            for (auto& [conds, number] : szukaj_regule(index, list[pos])) {
                std::vector<TextList> e2 = e;
                e2.insert(e2.begin(), conds);
                IntList u2 = u;
                u2.insert(u2.begin(), number);
                choose(pos + 1, e2, u2);
            }
        };
    choose(0, {}, used);
}

TEST(LargeBases, PrunedFlatteningGivesExactlyThePlainForms) {
    std::mt19937 rng(18);
    for (int round = 0; round < 80; ++round) {
        ScriptedUi ui;
        Session s(ui);
        int nrules = 3 + static_cast<int>(rng() % 9);
        for (int n = 1; n <= nrules; ++n) {
            int level = static_cast<int>(rng() % 4);
            TextList conds;
            int k = static_cast<int>(rng() % 4);
            for (int i = 0; i < k; ++i) {
                int pick = static_cast<int>(rng() % 8);
                if (pick < 3 && level < 3)
                    conds.push_back("c" + std::to_string(level + 1 + static_cast<int>(rng() % (3 - level))));
                else if (pick == 3)
                    conds.push_back(rng() % 2 ? "nic" : "bez warunku");  // neither askable nor concluded
                else
                    conds.push_back(nm("x", static_cast<int>(rng() % 4)));
            }
            add_rule(s, n, nm("c", level), conds);
        }
        askable_from_rules(s);
        s.kb.dopytywalny.remove_all([](const std::string& c) { return c == "nic"; });
        FlattenIndex index(s.kb);
        for (const auto& r : s.kb.rules.regula) {
            std::vector<std::pair<TextList, IntList>> expected, got;
            reference_forms(index, r.conditions, {}, expected);
            Splaszczanie gen = splaszcz(index, r.conclusion, r.conditions);
            while (auto f = gen.next())
                got.emplace_back(f->flattened_conditions, f->used_rule_numbers);
            ASSERT_EQ(got, expected) << "round " << round << " rule " << r.rule_number;
            // On an acyclic base a rule has a form exactly when all its conditions flatten.
            bool all = std::all_of(r.conditions.begin(), r.conditions.end(),
                                   [&](const std::string& c) { return can_be_flattened(index, c); });
            EXPECT_EQ(!got.empty(), all) << "round " << round << " rule " << r.rule_number;
        }
    }
}

std::string cp1250_file(const std::string& path) {
    auto bytes = read_file_bytes(path);
    EXPECT_TRUE(bytes) << path;
    return bytes ? *decode_file_text(*bytes) : std::string();
}

std::string shape(const std::string& name) {
    return cp1250_file(std::string(ZUVA_TEST_DATA) + "/shapes/" + name);
}

TEST(LargeBases, LayeredBaseWithACycleRecordsEachPairOnceAndQuickly) {
    ScriptedUi ui;
    Session s(ui);
    ASSERT_FALSE(parse_base_text(s.kb, BaseKind::Rules, shape("RENADM2.BEN")).has_value());
    ASSERT_EQ(s.kb.rules.regula.count(), 32u);
    askable_from_rules(s);
    EXPECT_FALSE(wyznacz_nadmiar_p(s));
    std::set<std::pair<int, int>> seen;
    for (const auto& p : s.verify.para_splaszczona_n1) {
        EXPECT_TRUE(seen.insert({p.first_rule, p.second_rule}).second);
        EXPECT_FALSE(seen.count({p.second_rule, p.first_rule}));
    }
    EXPECT_EQ(s.verify.reguly_nadmiarowe_n1.count(), s.verify.para_splaszczona_n1.count());
    EXPECT_FALSE(s.verify.para_splaszczona_obcieta);
}

TEST(LargeBases, RulesWrittenTwiceOnACycleAreRedundant) {
    ScriptedUi ui;
    Session s(ui);
    const int k = 30;
    int n = 1;
    for (int copy = 0; copy < 2; ++copy)
        for (int i = 0; i < k; ++i)
            add_rule(s, n++, nm("c", i), {nm("c", (i + 1) % k), "a"});
    askable_from_rules(s);
    EXPECT_FALSE(wyznacz_nadmiar_p(s));
    ASSERT_EQ(s.verify.para_splaszczona_n1.count(), static_cast<std::size_t>(k));
    const ParaSplaszczona& p = *s.verify.para_splaszczona_n1.first();
    EXPECT_EQ(p.first_rule, 1);
    EXPECT_EQ(p.second_rule, k + 1);
    EXPECT_EQ(p.first_conditions, (TextList{"c1", "a"}));
    EXPECT_EQ(p.second_conditions, (TextList{"c1", "a"}));
    EXPECT_TRUE(p.first_used_rules.empty());

    // Different conditions on such a cycle are not redundant.
    ScriptedUi ui2;
    Session t(ui2);
    add_rule(t, 1, "c0", {"c1", "a"});
    add_rule(t, 2, "c1", {"c0", "a"});
    add_rule(t, 3, "c0", {"c1", "b"});
    askable_from_rules(t);
    EXPECT_TRUE(wyznacz_nadmiar_p(t));
}

TEST(LargeBases, ManyRedundantPairsAreBounded) {
    ScriptedUi ui;
    Session s(ui);
    // 150 rules of one conclusion, all the same: 11,175 redundant pairs.
    for (int n = 1; n <= 150; ++n)
        add_rule(s, n, "w", {"a"});
    askable_from_rules(s);
    name_base(s);
    EXPECT_FALSE(wyznacz_nadmiar_p(s));
    EXPECT_EQ(s.verify.para_splaszczona_n1.count(), 10000u);
    EXPECT_TRUE(s.verify.para_splaszczona_obcieta);
}

// x0 = x1 + 1, ..., x{n-1} = xn + 1 with xn asked, and w = (x0 > 0).
std::string model_chain(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "model(" + std::to_string(i + 1) + ",\"bez_warunku\",\"" + nm("x", i) + "\",\"" +
                nm("x", i + 1) + "\",\"+\",\"1\",0,\"1\")\n";
    text += "model(" + std::to_string(n + 1) + ",\"bez_warunku\",\"w\",\"x0\",\">\",\"0\",1,\"cf_w\")\n";
    return text;
}

TEST(LargeBases, LongModelChainIsEvaluatedWithoutDeepening) {
    testing::ModelSession f;
    const int n = 40000;
    f.model_tables(model_chain(n));
    f.ui.add_answer("1");  // xn
    ModelLinks links;
    auto x0 = oblicz(f.s, links, "x0");
    ASSERT_TRUE(x0);
    EXPECT_EQ(*x0, n + 1.0);
    EXPECT_EQ(f.count("[value]"), 1u);
    EXPECT_EQ(f.s.inference.model_stosowany.size(), static_cast<std::size_t>(n));
    EXPECT_TRUE(f.s.models.obliczane.empty());
    // The relational model on top of the chain.
    f.ui.add_answer("0.7");  // the CF of w
    EXPECT_DOUBLE_EQ(*model_relacyjny_dla(f.s, links, "w", 1), 0.7);
}

TEST(LargeBases, ChainWithAFailingEndLeavesNothingFixedAndIsAskedAgain) {
    testing::ModelSession f;
    f.model_tables(model_chain(5000));
    f.ui.add_answer("nie liczba");
    ModelLinks links;
    EXPECT_FALSE(oblicz(f.s, links, "x0"));
    EXPECT_TRUE(f.s.inference.model_stosowany.empty());
    EXPECT_TRUE(f.s.models.obliczane.empty());
    f.ui.add_answer("2");
    EXPECT_EQ(*oblicz(f.s, links, "x2"), 4998.0 + 2.0);
}

TEST(LargeBases, HugePowersAreComputedBySquaring) {
    testing::ModelSession f;
    const double a = 0.9999999999999999;
    auto p = wykonaj(f.s, a, 2147483647.0, "A^N");
    ASSERT_TRUE(p);
    EXPECT_NEAR(*p, std::exp(2147483647.0 * std::log(a)), 1e-12);
    EXPECT_NEAR(*wykonaj(f.s, 1.0000001, 2147483647.0, "A^N") / std::pow(1.0000001, 2147483647.0), 1.0, 1e-9);
    EXPECT_TRUE(std::isinf(*wykonaj(f.s, 2.0, 2147483647.0, "A^N")));
    EXPECT_EQ(*wykonaj(f.s, -0.5, 2147483647.0, "A^N"), -0.0);
    EXPECT_EQ(*wykonaj(f.s, -1.0, 2147483647.0, "A^N"), -1.0);
    EXPECT_EQ(*wykonaj(f.s, 2.0, 1e6, "A^N"), std::pow(2.0, 1e6));
    // Small powers are multiplied out as before, to the last bit.
    double x = 1.1, r = 1.0;
    for (int i = 0; i < 77; ++i)
        r *= x;
    EXPECT_EQ(*wykonaj(f.s, x, 77, "A^N"), r);

    // Polynomial terms: a tiny coefficient times a power beyond the range of reals is finite.
    auto t = wykonaj_wielomianowy({1000000}, {1e-300}, 1.001);
    ASSERT_TRUE(t);
    EXPECT_NEAR(std::log(*t), std::log(1e-300) + 1e6 * std::log(1.001), 1e-6);
    EXPECT_EQ(*wykonaj_wielomianowy({2147483647, 2147483647, 2147483647}, {1, 1, 1}, 1.0), 3.0);
    EXPECT_TRUE(std::isinf(*wykonaj_wielomianowy({2147483647}, {1}, 2.0)));
    // A model with an infinite value is not applied, with its warning.
    f.model_tables("model_wielomianowy(1,\"bez_warunku\",\"p\",\"a\",[\"1\"],[2147483647],0,\"1\")\n");
    f.ui.add_answer("2");
    ModelLinks links;
    EXPECT_FALSE(oblicz(f.s, links, "p"));
    EXPECT_THAT(f.ui.transcript(), HasSubstr("Wynik operacji wielomianowej nie jest liczbą skończoną!"));
}

TEST(LargeBases, ByteOrderMarkAndEveryKindOfLineEnd) {
    const std::string rule = "reguła(1,\"w\",[\"a\"],1,\"0.8\")";
    const std::string bom = "\xEF\xBB\xBF";
    auto text = decode_file_text(bom + rule + "\n");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, rule + "\n");
    // Windows-1250 bytes after a mark are not UTF-8: read as Windows-1250.
    EXPECT_TRUE(decode_file_text(bom + "regu\xB3"
                                       "a"));

    for (const std::string end : {"\n", "\r\n", "\r"}) {
        KnowledgeBase kb;
        std::string two = rule + end + "reguła(2,\"v\",[\"b\"],1,\"0.8\")" + end;
        EXPECT_FALSE(parse_base_text(kb, BaseKind::Rules, two).has_value());
        ASSERT_EQ(kb.rules.regula.count(), 2u);
        EXPECT_EQ(kb.rules.regula[1].conclusion, "v");
        // An empty line is still an error, with its line number.
        KnowledgeBase kb2;
        auto err = parse_base_text(kb2, BaseKind::Rules, rule + end + end + rule + end);
        ASSERT_TRUE(err);
        EXPECT_EQ(err->line_number, 2);
    }
    // Mixed ends, as files edited on several systems have them.
    KnowledgeBase kb;
    EXPECT_FALSE(
        parse_base_text(kb, BaseKind::Rules, rule + "\r" + rule + "\r\n" + rule + "\n" + rule).has_value());
    EXPECT_EQ(kb.rules.regula.count(), 4u);

    // The seed files as they are on disk.
    KnowledgeBase seeds;
    EXPECT_FALSE(parse_base_text(seeds, BaseKind::Rules, shape("REBOM.BEN")).has_value());
    EXPECT_FALSE(parse_base_text(seeds, BaseKind::Rules, shape("RECR.BEN")).has_value());
    EXPECT_GE(seeds.rules.regula.count(), 4u);
}

}  // namespace
}  // namespace zuva
