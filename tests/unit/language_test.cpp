// The language of the texts: how the environment chooses it, the English catalog looked up
// through libintl on a machine with no English locale, and button answers taken in either
// language by the scripted and the terminal port.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/terminal_ui.h"
#include "text/i18n.h"
#include "ui/scripted_ui.h"

namespace zuva {
namespace {

TEST(Language, ChosenFromTheEnvironmentAsLibintlDoes) {
    struct Case {
        const char *language, *lc_all, *lc_messages, *lang;
        Language expected;
    };
    const Language en = Language::english, pl = Language::polish;
    const Case cases[] = {
        {nullptr, nullptr, nullptr, nullptr, pl},              // nothing set: C
        {nullptr, nullptr, nullptr, "en_US.UTF-8", en},        // LANG alone
        {nullptr, nullptr, nullptr, "en", en},                 // a bare language
        {nullptr, nullptr, nullptr, "pl_PL.UTF-8", pl},        // Polish
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", pl},        // a language without a catalog
        {nullptr, nullptr, nullptr, "C.UTF-8", pl},            // C in any code set
        {nullptr, nullptr, nullptr, "eo", pl},                 // "e" and "o": not English
        {nullptr, "C", nullptr, "en_US.UTF-8", pl},            // LC_ALL overrides LANG
        {nullptr, "", "en_GB.UTF-8", "pl_PL.UTF-8", en},       // an empty LC_ALL counts as unset
        {nullptr, nullptr, "pl_PL", "en_US.UTF-8", pl},        // LC_MESSAGES before LANG
        {"en", nullptr, nullptr, nullptr, pl},                 // LANGUAGE is ignored under C
        {"en", nullptr, nullptr, "POSIX", pl},                 // ... and under POSIX
        {"en", nullptr, nullptr, "C.UTF-8", en},               // ... but not under C.UTF-8
        {"en", nullptr, nullptr, "pl_PL.UTF-8", en},           // LANGUAGE before the locale
        {"fr:de:en_GB", nullptr, nullptr, "pl_PL.UTF-8", en},  // its first known language decides
        {"fr:pl:en", nullptr, nullptr, "en_US.UTF-8", pl},
        {"fr", nullptr, nullptr, "en_US.UTF-8", en},  // no known language: the locale's
        {"", nullptr, nullptr, "en_US.UTF-8", en},
    };
    for (const auto& c : cases)
        EXPECT_EQ(language_from_variables(c.language, c.lc_all, c.lc_messages, c.lang), c.expected)
            << (c.language ? c.language : "-") << " " << (c.lc_all ? c.lc_all : "-") << " "
            << (c.lc_messages ? c.lc_messages : "-") << " " << (c.lang ? c.lang : "-");
}

// Switches the process to English for one test and back to Polish after it.
class English : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(use_language(Language::english)) << "no compiled catalog found"; }
    void TearDown() override { use_language(Language::polish); }
};

TEST_F(English, CatalogTextsComeThroughAndBack) {
    EXPECT_STREQ(tr("&Tak"), "&Yes");
    EXPECT_EQ(tr(std::string_view("Baza reguł")), "Rule base");
    EXPECT_EQ(untranslated("&Yes"), "&Tak");
    // A text without a translation, and the empty text (libintl's header), stay as they are.
    EXPECT_STREQ(tr("nie ma takiego tekstu"), "nie ma takiego tekstu");
    EXPECT_STREQ(tr(""), "");
    EXPECT_EQ(untranslated("nie ma takiego tekstu"), "nie ma takiego tekstu");
    {
        ThreadLanguage polish(Language::polish);
        EXPECT_STREQ(tr("&Tak"), "&Tak");
    }
    EXPECT_STREQ(tr("&Tak"), "&Yes");
    use_language(Language::polish);
    EXPECT_STREQ(tr("&Tak"), "&Tak");
    ThreadLanguage english(Language::english);
    EXPECT_STREQ(tr("&Tak"), "&Yes");
}

TEST_F(English, ButtonsAnsweredInEitherLanguage) {
    const std::vector<std::string> buttons = {tr("&Tak"), tr("&Nie")};
    // The scripted port: a label, Polish or English, in any case, or a position.
    const std::vector<std::pair<std::string, int>> answers = {{"Tak", 0}, {"&NIE", 1}, {"yes", 0},
                                                              {"&No", 1}, {"2", 1},    {"TAK", 0}};
    for (const auto& [answer, expected] : answers) {
        ScriptedUi ui({answer});
        EXPECT_EQ(ui.question("Uwaga!", "?", buttons), expected) << answer;
        EXPECT_NE(ui.transcript().find("answer: " + buttons[static_cast<size_t>(expected)]),
                  std::string::npos);
    }
    ScriptedUi wrong({"Jawohl"});
    EXPECT_THROW(wrong.question("Uwaga!", "?", buttons), ScriptError);
    // The terminal port also takes a unique beginning of either name.
    std::istringstream in("n\nye\nta\nx\nno\n");
    std::ostringstream out;
    TerminalUi term(in, out, false);
    EXPECT_EQ(term.question("Uwaga!", "?", buttons), 1);  // "n": No and Nie are the same button
    EXPECT_EQ(term.question("Uwaga!", "?", buttons), 0);
    EXPECT_EQ(term.question("Uwaga!", "?", buttons), 0);
    EXPECT_EQ(term.question("Uwaga!", "?", buttons), 1);  // "x" refused, then "no"
    EXPECT_NE(out.str().find("1) Yes  2) No"), std::string::npos);
    EXPECT_NE(out.str().find("I do not understand the answer 'x'"), std::string::npos);
}

}  // namespace
}  // namespace zuva
