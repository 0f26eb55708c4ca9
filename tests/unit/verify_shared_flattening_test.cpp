// The flattening shared by the diagnoses of one check: the same forms as the generator's,
// in the same order, whatever asks first; a replaced rule table gets a new index and new
// forms; an index made before the askable set is known takes it over as a new index would;
// outside the scope nothing is kept.
#include <gtest/gtest.h>

#include <random>

#include "verify/shared_flattening.h"
#include "verify_test_support.h"

namespace zuva {
namespace {

using namespace verify_test;

// A random base of a few chained conclusions, askable conditions and now and then a cycle.
void random_base(Session& s, std::mt19937& rng) {
    const int nrules = 3 + static_cast<int>(rng() % 10);
    for (int n = 1; n <= nrules; ++n) {
        TextList conds;
        const int k = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < k; ++i)
            conds.push_back(rng() % 2 ? "c" + std::to_string(rng() % 5) : "x" + std::to_string(rng() % 4));
        add_rule(s, n, "c" + std::to_string(rng() % 5), conds);
    }
    askable_from_rules(s);
}

std::vector<std::pair<TextList, IntList>> generated(const Session& s, const Regula& r) {
    FlattenIndex index(s.kb);
    Splaszczanie gen = splaszcz(index, r);
    std::vector<std::pair<TextList, IntList>> out;
    while (auto f = gen.next())
        out.push_back({f->flattened_conditions, f->used_rule_numbers});
    return out;
}

std::vector<std::pair<TextList, IntList>> kept(const FlattenIndex& index, const RuleForms* forms,
                                               const Regula& r) {
    std::vector<std::pair<TextList, IntList>> out;
    for_each_form(index, forms, r, [&](const RegulaSplaszczona& f) {
        out.push_back({f.flattened_conditions, f.used_rule_numbers});
    });
    return out;
}

std::vector<std::pair<std::int32_t, TextList>> plain(const std::vector<RegulaDoTestowania>& forms) {
    std::vector<std::pair<std::int32_t, TextList>> out;
    for (const auto& f : forms)
        out.push_back({f.rule_number, f.flattened_conditions});
    return out;
}

TEST(SharedFlattening, KeptFormsEqualTheGeneratorsInOrder) {
    std::mt19937 rng(3602);
    for (int round = 0; round < 60; ++round) {
        ScriptedUi ui;
        Session s(ui);
        random_base(s, rng);
        IntList numbers;
        for (const auto& r : s.kb.rules.regula)
            if (rng() % 2) numbers.insert(numbers.begin(), r.rule_number);  // not in table order
        const auto outside = plain(*tested_forms_for(s.kb, numbers));
        const IntList first_only{s.kb.rules.regula[0].rule_number};
        const auto outside_first = plain(*tested_forms_for(s.kb, first_only));
        SharedFlattening shared;
        // The tested forms asked first (they then work out the kept forms), or the kept forms.
        const bool tested_first = round % 2 == 0;
        std::vector<std::pair<std::int32_t, TextList>> inside;
        if (tested_first) inside = plain(*tested_forms_for(s.kb, numbers));
        const auto index = flatten_index_for(s.kb);
        const auto forms = kept_rule_forms(s.kb);
        ASSERT_NE(forms, nullptr);
        ASSERT_EQ(forms->size(), s.kb.rules.regula.count());
        for (const auto& r : s.kb.rules.regula)
            ASSERT_EQ(kept(*index, forms.get(), r), generated(s, r))
                << "round " << round << " rule " << r.rule_number;
        if (!tested_first) inside = plain(*tested_forms_for(s.kb, numbers));
        EXPECT_EQ(inside, outside) << "round " << round;
        // Asked again, the same objects; other numbers, other forms.
        EXPECT_EQ(flatten_index_for(s.kb), index);
        EXPECT_EQ(kept_rule_forms(s.kb), forms);
        EXPECT_EQ(tested_forms_for(s.kb, numbers), tested_forms_for(s.kb, numbers));
        EXPECT_EQ(plain(*tested_forms_for(s.kb, first_only)), outside_first) << "round " << round;
        EXPECT_EQ(plain(*tested_forms_for(s.kb, numbers)), outside) << "round " << round;
    }
}

TEST(SharedFlattening, AChangedRuleTableGetsANewIndexAndNewForms) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a", "b"});
    add_rule(s, 2, "a", {"x"});
    askable_from_rules(s);
    SharedFlattening shared;
    const auto before = tested_forms_for(s.kb, {1});
    ASSERT_EQ(before->size(), 1u);
    EXPECT_EQ(before->front().flattened_conditions, (TextList{"b", "x"}));
    const auto index_before = flatten_index_for(s.kb);
    // Another rule for "a": a second form of rule 1 (the table and the askable set change).
    add_rule(s, 3, "a", {"y"});
    askable_from_rules(s);
    EXPECT_NE(flatten_index_for(s.kb), index_before);
    const auto after = tested_forms_for(s.kb, {1});
    ASSERT_EQ(after->size(), 2u);
    EXPECT_EQ((*after)[1].flattened_conditions, (TextList{"b", "y"}));
    EXPECT_EQ(kept_rule_forms(s.kb)->size(), 3u);
    // The rule base unloaded: nothing to flatten, nothing stale handed out.
    s.kb.rules.regula.clear();
    s.kb.dopytywalny.clear();
    EXPECT_TRUE(tested_forms_for(s.kb, {1})->empty());
    EXPECT_TRUE(kept_rule_forms(s.kb)->empty());
}

// The rule load's first test asks for an index before the askable conditions are known; the
// index handed out after they are must be the one a new index would be, whatever the first
// test had worked out (text ids, components) or not.
TEST(SharedFlattening, AnIndexMadeBeforeTheAskableSetEqualsANewOneAfterIt) {
    std::mt19937 rng(3603);
    for (int round = 0; round < 60; ++round) {
        ScriptedUi ui;
        Session s(ui);
        random_base(s, rng);
        s.kb.dopytywalny.clear();
        SharedFlattening shared;
        const FlattenIndex* early = flatten_index_for(s.kb).get();
        if (round % 2 == 0) early->component(0);       // numbers the texts before the askable set
        if (round % 3 == 0) early->flattenable("c0");  // and settles what can be flattened
        askable_from_rules(s);
        const auto index = flatten_index_for(s.kb);
        EXPECT_EQ(index.get(), early) << "round " << round;  // taken over, not made again
        const FlattenIndex fresh(s.kb);
        ASSERT_EQ(index->text_count(), fresh.text_count()) << "round " << round;
        for (const auto& r : s.kb.rules.regula) {
            for (std::size_t j = 0; j < r.conditions.size(); ++j) {
                const std::int32_t id = fresh.condition_text_id(r, j);
                ASSERT_EQ(index->condition_text_id(r, j), id);
                EXPECT_EQ(index->askable_id(id), fresh.askable_id(id))
                    << "round " << round << " " << r.conditions[j];
                EXPECT_EQ(index->flattenable(r.conditions[j]), fresh.flattenable(r.conditions[j]))
                    << "round " << round << " " << r.conditions[j];
            }
            EXPECT_EQ(index->flattenable_rules_concluding(r.conclusion),
                      fresh.flattenable_rules_concluding(r.conclusion))
                << "round " << round;
            EXPECT_EQ(kept(*index, kept_rule_forms(s.kb).get(), r), generated(s, r))
                << "round " << round << " rule " << r.rule_number;
        }
    }
}

TEST(SharedFlattening, NothingIsKeptOutsideTheScopeAndScopesNest) {
    ScriptedUi ui;
    Session s(ui);
    add_rule(s, 1, "w", {"a"});
    add_rule(s, 2, "a", {"x"});
    askable_from_rules(s);
    EXPECT_EQ(kept_rule_forms(s.kb), nullptr);
    EXPECT_NE(flatten_index_for(s.kb), flatten_index_for(s.kb));
    std::shared_ptr<const FlattenIndex> outer_index;
    {
        SharedFlattening outer;
        outer_index = flatten_index_for(s.kb);
        {
            SharedFlattening inner;
            EXPECT_NE(flatten_index_for(s.kb), outer_index);  // the inner scope keeps its own
            EXPECT_EQ(flatten_index_for(s.kb), flatten_index_for(s.kb));
        }
        EXPECT_EQ(flatten_index_for(s.kb), outer_index);
    }
    EXPECT_EQ(kept_rule_forms(s.kb), nullptr);
    EXPECT_NE(flatten_index_for(s.kb), outer_index);
}

}  // namespace
}  // namespace zuva
