// api::run over answers by name: a name the base does not know and the run never asked about
// is a misspelt answer, an Error with the name meant, unless the options allow extra answers.
#include <gtest/gtest.h>

#include "support/sample_answers.h"
#include "support/sample_base.h"
#include "zuva/zuva.h"

namespace zuva {
namespace {

TEST(RunAnswers, AnUnknownNameNeverAskedIsAnError) {
    const api::KnowledgeBase kb = api::KnowledgeBase::open(testing_support::kExamples + "/BAZY/REAUTO.BEN");
    auto answers = testing_support::kSampleAnswers;
    EXPECT_NO_THROW(api::run(kb, answers));
    answers["silny_mrozz"] = "1";
    try {
        api::run(kb, answers);
        ADD_FAILURE() << "no error for a misspelt name";
    } catch (const api::Error& e) {
        EXPECT_EQ(e.message(),
                  "Baza nie zna nazwy silny_mrozz, na którą podano odpowiedź (czy chodziło o silny_mroz?).");
    }
    api::Options o;
    o.allow_extra_answers = true;
    EXPECT_NO_THROW(api::run(kb, answers, {}, o));
}

}  // namespace
}  // namespace zuva
