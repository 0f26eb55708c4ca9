// The questions of the kinds the library does not answer itself, driven through the API: a
// backward run with no hypothesis asks the type (Radio) and the hypothesis (List), a run that
// asks its labels asks Choice and Text questions. A label or position the question does not
// have is refused and the same question stays pending; the run then gives what a run with
// the same choices made by the options gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "zuva/zuva.h"

namespace zuva {
namespace {

using api::Consultation;
using api::KnowledgeBase;
using api::Question;
using api::QuestionKind;

const std::string kRules = ZUVA_TEST_DATA "/../../examples/BAZY/REAUTO.BEN";

// The same answers for every run: a symptom is there when a battery shows it.
std::string value_for(const Question& q) {
    if (q.kind == QuestionKind::ArgumentValue) return q.name == "napiecie_spoczynkowe" ? "11.9" : "9.1";
    if (q.name == "rozrusznik_kreci_wolno" || q.name == "kontrolki_gasna_przy_rozruchu") return "1";
    return q.kind == QuestionKind::ConclusionCf ? "0.8" : "-1";
}

// Answers the value questions to the end; `other` answers the rest.
const api::Result& finish(Consultation& c, const std::function<void(const Question&)>& other = {}) {
    while (auto q = c.next()) {
        if (q->kind == QuestionKind::ConditionCf || q->kind == QuestionKind::ConclusionCf ||
            q->kind == QuestionKind::ArgumentValue) {
            c.answer(value_for(*q));
        } else {
            EXPECT_TRUE(other) << "question " << q->name;
            if (!other) return c.result();
            other(*q);
        }
    }
    return c.result();
}

// Refused: throws Error with a reason, and the same question (same number) is still pending.
template <class F>
void expect_refused(Consultation& c, F answer) {
    const auto before = c.next();
    ASSERT_TRUE(before);
    try {
        answer();
        ADD_FAILURE() << "accepted at " << before->name;
    } catch (const api::Error& e) {
        EXPECT_FALSE(e.message().empty());
    }
    const auto after = c.next();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->kind, before->kind);
    EXPECT_EQ(after->name, before->name);
    EXPECT_EQ(after->number, before->number);
    EXPECT_EQ(after->options, before->options);
}

TEST(ApiQuestionKinds, ABackwardRunWithNoHypothesisAsksTheTypeAndTheHypothesis) {
    const KnowledgeBase kb = KnowledgeBase::open(kRules);
    const std::string h = "naladuj_lub_wymien_akumulator";
    Consultation c = kb.backward("");

    auto type = c.next();
    ASSERT_TRUE(type);
    ASSERT_EQ(type->kind, QuestionKind::Radio);
    ASSERT_EQ(type->options.size(), 2u);
    expect_refused(c, [&] { c.choose(3); });
    expect_refused(c, [&] { c.answer("0"); });
    expect_refused(c, [&] { c.answer("szeroka albo wąska"); });
    c.choose(1);

    auto which = c.next();
    ASSERT_TRUE(which);
    ASSERT_EQ(which->kind, QuestionKind::List);
    EXPECT_EQ(which->options, kb.hypotheses(1));
    ASSERT_NE(std::find(which->options.begin(), which->options.end(), h), which->options.end());
    expect_refused(c, [&] { c.answer("nie_ma_takiej_hipotezy"); });
    expect_refused(c, [&] { c.choose(static_cast<int>(which->options.size()) + 1); });
    expect_refused(c, [&] { c.answer(std::to_string(which->options.size() + 1)); });
    c.answer(h);  // by its label

    const api::Result& chosen = finish(c);
    ASSERT_TRUE(chosen.completed);
    Consultation named = kb.backward(h, api::Options{});
    const api::Result& given = finish(named);
    EXPECT_EQ(chosen.summary, given.summary);
    EXPECT_EQ(chosen.report, given.report);
    EXPECT_NE(chosen.summary.find(h), std::string::npos);
}

TEST(ApiQuestionKinds, ARunThatAsksItsLabelsAsksChoiceAndTextQuestions) {
    const KnowledgeBase kb = KnowledgeBase::open(kRules);
    api::Options ask;
    ask.ask_labels = true;
    Consultation c = kb.forward(ask);
    int choices = 0, texts = 0;
    const api::Result& asked = finish(c, [&](const Question& q) {
        if (q.kind == QuestionKind::Choice) {
            ASSERT_EQ(q.options.size(), 2u);
            expect_refused(c, [&] { c.answer("może"); });
            expect_refused(c, [&] { c.choose(0); });
            expect_refused(c, [&] { c.answer("3"); });
            // The first asks whether to keep labels, the next whether there is another: one.
            c.answer(choices++ == 0 ? "tak" : "&Nie");
        } else if (q.kind == QuestionKind::Text) {
            ++texts;
            c.answer("zima 2026");
        } else {
            ADD_FAILURE() << "question " << q.name;
            c.answer("1");
        }
    });
    EXPECT_EQ(choices, 2);
    EXPECT_EQ(texts, 1);
    ASSERT_TRUE(asked.completed);

    api::Options given;
    given.labels = {"zima 2026"};
    Consultation named = kb.forward(given);
    const api::Result& labelled = finish(named);
    EXPECT_EQ(asked.summary, labelled.summary);
    EXPECT_EQ(asked.report, labelled.report);
    EXPECT_NE(asked.summary.find("zima 2026"), std::string::npos);
}

TEST(ApiQuestionKinds, TheRunnerAsksAgainAtALabelTheQuestionDoesNotHave) {
    const KnowledgeBase kb = KnowledgeBase::open(kRules);
    api::Runner runner(kb);
    api::Options ask;
    ask.ask_labels = true;
    std::vector<std::string> reasons;
    int choices = 0;
    auto answer = [&](const Question& q, const std::string& refused) -> std::optional<std::string> {
        if (!refused.empty()) reasons.push_back(refused);
        if (q.kind == QuestionKind::Choice) {
            if (refused.empty()) return std::string("może");  // refused, then asked again
            return std::string(choices++ == 0 ? "1" : "2");
        }
        if (q.kind == QuestionKind::Text) return std::string("lato");
        return value_for(q);
    };
    auto r = runner.run("", ask, answer);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->completed);
    ASSERT_EQ(reasons.size(), 2u);
    EXPECT_EQ(reasons[0], "'może' nie jest żadną z odpowiedzi na to pytanie.");
    EXPECT_NE(r->summary.find("lato"), std::string::npos);
}

}  // namespace
}  // namespace zuva
