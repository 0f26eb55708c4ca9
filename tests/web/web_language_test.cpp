// The page in the visitor's language: chosen by the page's switch (a cookie) or the browser's
// Accept-Language, Polish otherwise; a consultation started from an English page asks and
// explains in English and gives the same summary as in Polish.
#include <gtest/gtest.h>

#include "web/page_language.h"
#include "web_fixture.h"

namespace zuva::web::testing {
namespace {

TEST(PageLanguage, CookieThenAcceptLanguageThenPolish) {
    struct Case {
        const char *cookie, *accept;
        Language expected;
    };
    const Language en = Language::english, pl = Language::polish;
    const Case cases[] = {
        {"", "", pl},
        {"", "en", en},
        {"", "en-GB,en;q=0.9", en},
        {"", "de-DE,de;q=0.9,en;q=0.8,pl;q=0.7", en},  // German has no texts: the next one
        {"", "pl;q=0.4, en;q=0.6", en},                // the heavier one, not the first
        {"", "en;q=0, pl", pl},                        // q=0: never
        {"", "fr, es", pl},
        {"", "EN-us", en},
        {"zuva_jezyk=en", "pl", en},  // the page's switch before the browser
        {"zuva_sesja=abc; zuva_jezyk=pl", "en-US", pl},
        {"zuva_jezyk=xx", "en", en},  // an unknown choice counts as none
    };
    for (const auto& c : cases)
        EXPECT_EQ(page_language(c.cookie, c.accept), c.expected) << c.cookie << " | " << c.accept;
}

TEST_F(WebTest, EnglishPagesAndTheirConsultation) {
    start();
    Browser polish(port);
    auto list = polish.get("/");
    ASSERT_TRUE(list && list->status == 200);
    EXPECT_NE(list->body.find("<html lang=\"pl\">"), std::string::npos);
    EXPECT_NE(list->body.find("Wybierz bazę wiedzy"), std::string::npos);
    EXPECT_NE(list->body.find("href=\"/jezyk/en\""), std::string::npos);

    Browser english(port);
    english.client.set_default_headers({{"Accept-Language", "en-GB,en;q=0.9"}});
    list = english.get("/");
    ASSERT_TRUE(list && list->status == 200);
    EXPECT_NE(list->body.find("<html lang=\"en\">"), std::string::npos);
    EXPECT_NE(list->body.find("Choose a knowledge base"), std::string::npos);
    EXPECT_NE(list->body.find("href=\"/jezyk/pl\""), std::string::npos);
    // Hypotheses offered with the texts base's English labels.
    EXPECT_NE(list->body.find(">Charge or replace the battery (naladuj_lub_wymien_akumulator)<"),
              std::string::npos);

    // The first question of an English consultation, in the base's English words.
    ASSERT_TRUE(english.post("/start", "baza=BAZY%2FREAUTO.BEN"));
    auto question = english.get("/konsultacja");
    ASSERT_TRUE(question && question->status == 200);
    for (const char* text : {"Does the fuel gauge show empty?", ">Yes</button>", "Why do I ask?"})
        EXPECT_NE(question->body.find(text), std::string::npos) << text;
    english.post("/koniec", "");

    // The same answers in both languages: English results, the same summary bytes.
    const std::string en_result = consult(english, "baza=BAZY%2FREAUTO.BEN");
    for (const char* text : {"Results of the consultation", "How was the conclusion reached?", "Conclusions"})
        EXPECT_NE(en_result.find(text), std::string::npos) << text;
    auto en_summary = english.get("/podsumowanie");
    const std::string pl_result = consult(polish, "baza=BAZY%2FREAUTO.BEN");
    EXPECT_NE(pl_result.find("Wyniki konsultacji"), std::string::npos);
    auto pl_summary = polish.get("/podsumowanie");
    ASSERT_TRUE(en_summary && pl_summary);
    EXPECT_EQ(en_summary->body, pl_summary->body);

    // The switch: a cookie that outweighs the browser's language.
    Browser switching(port);
    switching.client.set_default_headers({{"Accept-Language", "en"}});
    auto to_polish = switching.client.Get("/jezyk/pl");
    ASSERT_TRUE(to_polish && to_polish->status == 303);
    const std::string cookie = to_polish->get_header_value("Set-Cookie");
    EXPECT_EQ(cookie.rfind("zuva_jezyk=pl;", 0), 0u) << cookie;
    auto page = switching.client.Get("/", {{"Cookie", "zuva_jezyk=pl"}});
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("Wybierz bazę wiedzy"), std::string::npos);
}

}  // namespace
}  // namespace zuva::web::testing
