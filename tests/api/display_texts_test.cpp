// The texts base through the library: a consultation of the sample with and without its
// TEAUTO.BEN gives the same questions in the same order and the same conclusions and CFs;
// with it every question and conclusion the base gives a text carries it, the question's text
// is the program's own (the words of the base come beside it), and backward inference by an
// identifier still finds its hypothesis.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "zuva/zuva.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;
using api::QuestionKind;

const std::string kSample = ZUVA_TEST_DATA "/../../examples/BAZY";

struct TextsRun {
    std::vector<api::Question> questions;
    api::Result result;
};

// Every askable condition is answered "rather yes" so that most rules fire; the members of the
// exact constraint (one of three) "no", which completes the last of them.
TextsRun consult(const api::KnowledgeBase& kb, const std::string& hypothesis) {
    TextsRun r;
    api::Consultation c = hypothesis.empty() ? kb.forward() : kb.backward(hypothesis);
    while (auto q = c.next()) {
        r.questions.push_back(*q);
        const bool exact = q->name == "rozrusznik_nie_kreci" || q->name == "rozrusznik_kreci_wolno" ||
                           q->name == "silnik_kreci_ale_nie_zapala";
        c.answer(q->kind == QuestionKind::ArgumentValue ? (q->name == "napiecie_spoczynkowe" ? "11.9" : "9.1")
                 : exact                                ? "-1"
                                                        : "0.7");
    }
    r.result = c.result();
    return r;
}

TEST(DisplayTexts, SampleWithAndWithoutItsTextsBase) {
    testing_support::TempDir plain("zuva-texts");
    for (const auto& e : fs::directory_iterator(kSample))
        if (e.path().filename() != "TEAUTO.BEN")
            fs::copy_file(e.path(), plain.path(e.path().filename().string()));
    const api::KnowledgeBase with = api::KnowledgeBase::open(kSample + "/REAUTO.BEN");
    const api::KnowledgeBase without = api::KnowledgeBase::open(plain.path("REAUTO.BEN"));
    ASSERT_EQ(with.files().size(), without.files().size() + 1);
    EXPECT_EQ(with.display_text("silny_mroz"), "Czy jest silny mróz?");
    EXPECT_EQ(with.display_text("silny_mroz", "en"), "Is there a hard frost?");
    EXPECT_EQ(with.display_text("silny_mroz", "de"), "Czy jest silny mróz?");  // no German: Polish
    EXPECT_EQ(without.display_text("silny_mroz"), "");
    EXPECT_NE(with.help_text("pompa_paliwa_milczy"), "");

    for (const std::string hypothesis : {"", "uszkodzony_akumulator"}) {
        SCOPED_TRACE("hypothesis '" + hypothesis + "'");
        const TextsRun a = consult(with, hypothesis), b = consult(without, hypothesis);
        ASSERT_EQ(a.questions.size(), b.questions.size());
        ASSERT_FALSE(a.questions.empty());
        for (std::size_t i = 0; i < a.questions.size(); ++i) {
            const api::Question &q = a.questions[i], &p = b.questions[i];
            EXPECT_EQ(q.name, p.name);
            EXPECT_EQ(q.kind, p.kind);
            EXPECT_TRUE(p.display.empty());
            const std::string text = with.display_text(q.name);
            EXPECT_EQ(q.display, text) << q.name;
            // The program's own text stays; the base's words come beside it.
            EXPECT_EQ(q.text, p.text);
            EXPECT_EQ(q.options, p.options);
        }
        EXPECT_TRUE(a.result.completed);
        ASSERT_EQ(a.result.conclusions.size(), b.result.conclusions.size());
        for (std::size_t i = 0; i < a.result.conclusions.size(); ++i) {
            const api::Conclusion &x = a.result.conclusions[i], &y = b.result.conclusions[i];
            EXPECT_EQ(x.name, y.name);
            EXPECT_EQ(x.cf, y.cf) << x.name;
            EXPECT_EQ(x.display, with.display_text(x.name));
        }
        // Files programs read back keep the identifiers: the summaries are equal.
        EXPECT_EQ(a.result.summary, b.result.summary);
    }
}

}  // namespace
}  // namespace zuva
