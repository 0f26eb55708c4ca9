// Consultations run one after another on one load of the bases give what a consultation of
// a freshly opened base gives: every case of the sample suite, run through a runner in many
// orders, against the same case driven question by question on a consultation of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "testing/case_file.h"
#include "zuva/zuva.h"

namespace zuva::testing {
namespace {

// What a run gave, or the message it was refused with; "" for a run ended by an
// unanswered question.
struct Outcome {
    std::optional<api::Result> result;
    std::string refused;
};

const std::string* answer_of(const TestCase& c, const std::string& name) {
    for (const auto& [n, text] : c.answers)
        if (n == name) return &text;
    return nullptr;
}

api::Options options_of(const TestCase& c) {
    api::Options o;
    o.labels = c.labels;
    o.imported = c.imported;
    return o;
}

// The case on a consultation of its own (its own load, its own thread).
Outcome fresh(const TestCase& c) {
    Outcome out;
    try {
        const api::KnowledgeBase kb = api::KnowledgeBase::open(c.rule_path);
        api::Consultation run =
            c.hypothesis.empty() ? kb.forward(options_of(c)) : kb.backward(c.hypothesis, options_of(c));
        while (auto q = run.next()) {
            const std::string* a = answer_of(c, q->name);
            if (!a) return out;
            run.answer(*a);
        }
        out.result = run.result();
    } catch (const api::Error& e) {
        out.refused = e.message();
    }
    return out;
}

Outcome reused(const TestCase& c, api::Runner& runner) {
    Outcome out;
    try {
        out.result =
            runner.run(c.hypothesis, options_of(c),
                       [&](const api::Question& q, const std::string& refused) -> std::optional<std::string> {
                           const std::string* a = answer_of(c, q.name);
                           if (!a || !refused.empty()) return std::nullopt;
                           return *a;
                       });
    } catch (const api::Error& e) {
        out.refused = e.message();
    }
    return out;
}

void expect_same_offers(const std::vector<api::Offer>& a, const std::vector<api::Offer>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(a[i].path, b[i].path);
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_EQ(a[i].available, b[i].available);
    }
}

void expect_same(const Outcome& want, const Outcome& got, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(want.refused, got.refused);
    ASSERT_EQ(want.result.has_value(), got.result.has_value());
    if (!want.result) return;
    const api::Result& a = *want.result;
    const api::Result& b = *got.result;
    EXPECT_EQ(a.completed, b.completed);
    ASSERT_EQ(a.conclusions.size(), b.conclusions.size());
    for (std::size_t i = 0; i < a.conclusions.size(); ++i) {
        EXPECT_EQ(a.conclusions[i].name, b.conclusions[i].name);
        EXPECT_EQ(a.conclusions[i].cf, b.conclusions[i].cf) << a.conclusions[i].name;
    }
    ASSERT_EQ(a.arguments.size(), b.arguments.size());
    for (std::size_t i = 0; i < a.arguments.size(); ++i) {
        EXPECT_EQ(a.arguments[i].name, b.arguments[i].name);
        EXPECT_EQ(a.arguments[i].value, b.arguments[i].value);
    }
    expect_same_offers(a.advice, b.advice);
    expect_same_offers(a.pictures, b.pictures);
    expect_same_offers(a.sounds, b.sounds);
    EXPECT_EQ(a.report, b.report);
    EXPECT_EQ(a.summary, b.summary);
    ASSERT_EQ(a.notes.size(), b.notes.size());
    for (std::size_t i = 0; i < a.notes.size(); ++i)
        EXPECT_EQ(a.notes[i].text, b.notes[i].text);
    EXPECT_EQ(a.trace.rules, b.trace.rules);
    EXPECT_EQ(a.trace.models, b.trace.models);
    EXPECT_EQ(a.trace.answered, b.trace.answered);
    ASSERT_EQ(a.trace.contributions.size(), b.trace.contributions.size());
    for (std::size_t i = 0; i < a.trace.contributions.size(); ++i) {
        EXPECT_EQ(a.trace.contributions[i].conclusion, b.trace.contributions[i].conclusion);
        EXPECT_EQ(a.trace.contributions[i].number, b.trace.contributions[i].number);
        EXPECT_EQ(a.trace.contributions[i].cf, b.trace.contributions[i].cf);
    }
}

TEST(RunnerReuse, EveryCaseOfTheSampleSuiteInAThousandRunsGivesWhatAFreshLoadGives) {
    CaseFileError error;
    auto file = read_case_file(ZUVA_TEST_DATA "/../../examples/BAZY/AUTO.TST", error);
    ASSERT_TRUE(file) << error.text();
    const auto& cases = file->cases;
    ASSERT_GE(cases.size(), 8u);
    std::vector<Outcome> want;
    bool some_refused = false, some_imported = false, some_backward = false;
    for (const auto& c : cases) {
        want.push_back(fresh(c));
        ASSERT_TRUE(want.back().result || !want.back().refused.empty()) << c.name;
        some_refused |= !want.back().refused.empty() || !want.back().result->completed;
        some_imported |= !c.imported.empty();
        some_backward |= !c.hypothesis.empty();
    }
    // The suite has the runs that make a runner load again, between those it reuses.
    EXPECT_TRUE(some_refused && some_imported && some_backward);

    std::map<std::string, api::Runner> runners;
    auto runner_of = [&](const TestCase& c) -> api::Runner& {
        auto it = runners.find(c.rule_path);
        if (it == runners.end())
            it = runners.emplace(c.rule_path, api::Runner(api::KnowledgeBase::open(c.rule_path))).first;
        return it->second;
    };
    // Each case after each other case, then a thousand runs in a shuffled order.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < cases.size(); ++i)
        for (std::size_t j = 0; j < cases.size(); ++j) {
            order.push_back(i);
            order.push_back(j);
        }
    std::mt19937 random(3233);
    while (order.size() < 1000 + 2 * cases.size() * cases.size())
        order.push_back(random() % cases.size());
    std::shuffle(order.end() - 1000, order.end(), random);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const TestCase& c = cases[order[k]];
        expect_same(want[order[k]], reused(c, runner_of(c)), c.name + " (run " + std::to_string(k) + ")");
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace
}  // namespace zuva::testing
