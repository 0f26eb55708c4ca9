// An answer is recorded only for the question, and the consultation, whose form sent it; a
// member of an exact constraint is offered, and takes, only what it accepts.
#include <set>

#include "web_fixture.h"

namespace zuva::web::testing {
namespace {

std::string replaced(std::string form, const std::string& field, const std::string& value) {
    const std::size_t at = form.find(field + "=");
    const std::size_t end = form.find('&', at);
    return form.replace(at, (end == std::string::npos ? form.size() : end) - at, field + "=" + value);
}

TEST_F(WebTest, AnAnswerIsTakenOnlyForTheQuestionAndConsultationItsFormNames) {
    start();
    Browser a(port);
    ASSERT_EQ(a.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    for (int i = 0; i < 2; ++i) {
        auto q = pending_of(a.get("/konsultacja")->body);
        ASSERT_TRUE(q);
        ASSERT_EQ(a.post("/odpowiedz", q->form + "&wartosc=" + kAnswers.at(q->name))->status, 303);
    }
    const auto third = pending_of(a.get("/konsultacja")->body);
    ASSERT_TRUE(third);
    // Forms that do not match the pending question in one field each: none answers it.
    const struct {
        const char* what;
        std::string form;
    } stale[] = {
        {"another question's name", replaced(third->form, "pytanie", "brak_iskry_na_swiecy")},
        {"another number", replaced(third->form, "numer", std::to_string(third->number + 1))},
        {"an earlier log position", replaced(third->form, "pozycja", "1")},
        {"another consultation", replaced(third->form, "konsultacja", "0123456789abcdef")},
        {"no consultation", "numer=" + std::to_string(third->number) + "&pytanie=" + third->name},
    };
    for (const auto& c : stale) {
        ASSERT_EQ(a.post("/odpowiedz", c.form + "&wartosc=1")->status, 303) << c.what;
        const std::string page = a.get("/konsultacja")->body;
        const auto now = pending_of(page);
        ASSERT_TRUE(now) << c.what;
        EXPECT_EQ(now->form, third->form) << c.what << ": nothing was recorded";
        EXPECT_NE(page.find("role=\"alert\""), std::string::npos) << c.what;
    }

    // A second tab of the same browser restarts: the first tab's form names the consultation
    // that ended, and is refused with the new consultation's question shown.
    Browser b(port);
    b.cookie = a.cookie;
    ASSERT_EQ(b.post("/start", "baza=BAZY%2FREAUTO.BEN&hipoteza=naladuj_lub_wymien_akumulator")->status, 303);
    a.cookie = b.cookie;  // one cookie jar
    const auto fresh = pending_of(b.get("/konsultacja")->body);
    ASSERT_TRUE(fresh);
    ASSERT_EQ(a.post("/odpowiedz", third->form + "&wartosc=1")->status, 303);
    const std::string page = a.get("/konsultacja")->body;
    EXPECT_NE(page.find("innej konsultacji"), std::string::npos);
    EXPECT_EQ(pending_of(page)->form, fresh->form) << "the new consultation took no answer";
}

TEST_F(WebTest, AnExactConstraintsMemberIsOfferedAndTakesOnlyYesAndNo) {
    start();
    Browser b(port);
    ASSERT_EQ(b.post("/start", "baza=BAZY%2FREAUTO.BEN")->status, 303);
    // The members of the sample's exact constraint: the first one asked, then the others as
    // its follow-ups.
    const std::set<std::string> members{"rozrusznik_nie_kreci", "rozrusznik_kreci_wolno",
                                        "silnik_kreci_ale_nie_zapala"};
    int seen = 0;
    for (int guard = 0; guard < 100; ++guard) {
        const std::string page = b.get("/konsultacja")->body;
        const auto q = pending_of(page);
        if (!q) break;
        if (members.count(q->name)) {
            ++seen;
            EXPECT_EQ(page.find(">Nie wiem</button>"), std::string::npos) << q->name;
            EXPECT_EQ(page.find("type=\"range\""), std::string::npos) << q->name;
            for (const std::string refused : {"wartosc=0", "wartosc=suwak&suwak=-0.25", "wartosc=0.5"}) {
                ASSERT_EQ(b.post("/odpowiedz", q->form + "&" + refused)->status, 303);
                const std::string again = b.get("/konsultacja")->body;
                EXPECT_EQ(pending_of(again)->form, q->form) << q->name << " " << refused;
                EXPECT_NE(again.find("tylko odpowiedź Tak albo Nie"), std::string::npos);
            }
        }
        ASSERT_EQ(b.post("/odpowiedz", q->form + "&wartosc=" + kAnswers.at(q->name))->status, 303);
    }
    EXPECT_EQ(seen, 2);  // the first one asked and a follow-up; the third is then settled
    const std::string report = b.get("/raport")->body;
    for (const auto& m : members)
        EXPECT_EQ(report.find("CF(" + m + ") = 0"), std::string::npos)
            << m << ": a refused value in the report";
}

}  // namespace
}  // namespace zuva::web::testing
