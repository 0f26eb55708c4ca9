// The sample through the terminal program with and without its texts base: loaded by its
// command, the texts base changes only what a person reads (the questions' titles, the lists
// of names); the questions asked, every other line and the conclusions with their CFs stay.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/script_run.h"
#include "kb/base_file_reader.h"
#include "kb/texts_base.h"
#include "text/codec.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kSample = ZUVA_TEST_DATA "/../../examples/BAZY";

class DisplayTextsScript : public testing_support::AnswerScriptTest {
  protected:
    DisplayTextsScript() : AnswerScriptTest("zuva-texts") {}
};

// The transcript as it reads without the texts: the texts base's load left out, each
// "TEXT (name)" back to "name", the value dialogs' titles left out.
std::string without_texts(const std::string& out, const KnowledgeBase& kb) {
    std::istringstream in(out);
    std::string norm, line;
    bool in_load = false;
    while (std::getline(in, line)) {
        if (line.rfind("[command] ", 0) == 0) in_load = line.rfind("[command] 10190", 0) == 0;
        if (in_load || line.rfind("title: ", 0) == 0) continue;
        for (const auto& r : kb.texts.tekst) {
            const std::string shown = r.text + " (" + r.name + ")";
            for (std::size_t at; (at = line.find(shown)) != std::string::npos;)
                line.replace(at, shown.size(), r.name);
        }
        norm += line + "\n";
    }
    return norm;
}

TEST_F(DisplayTextsScript, SampleAsksInItsWordsAndConcludesTheSame) {
    for (const auto& e : fs::directory_iterator(kSample))
        if (e.path().extension() == ".BEN") fs::copy_file(e.path(), fs::path(dir) / e.path().filename());
    KnowledgeBase kb;
    ASSERT_FALSE(
        parse_base_text(kb, BaseKind::Texts, *decode_file_text(*read_file_bytes(kSample + "/TEAUTO.BEN"))));
    index_display_texts(kb.texts);

    std::vector<std::string> answers = {"10064",      "REAUTO.BEN", "Nie", "Nie", "Nie", "10077",
                                        "MOAUTO.BEN", "10164",      "1",   "NIE", "1"};
    answers.insert(answers.end(), 14, "0.5");
    answers.insert(answers.end(), {"NIE", "Nie", "10180", "2"});
    ASSERT_EQ(run(answers), 0) << err;
    const std::string plain = out;
    answers.insert(answers.begin() + 7, {"10190", "TEAUTO.BEN"});
    ASSERT_EQ(run(answers), 0) << err;
    EXPECT_TRUE(has("Baza tekstów TEAUTO.BEN została załadowana!"));
    EXPECT_EQ(without_texts(out, kb), without_texts(plain, kb));

    // Every value dialog of a name with a text asks in it, the identifier under it.
    std::istringstream in(out);
    std::string line, title;
    int asked_in_words = 0;
    while (std::getline(in, line)) {
        if (line.rfind("title: ", 0) == 0) title = line.substr(7);
        if (line.rfind("name: ", 0) != 0) continue;
        if (const std::string* t = display_text(kb, line.substr(6))) {
            EXPECT_EQ(title.rfind(*t, 0), 0u) << line;
            ++asked_in_words;
        }
    }
    EXPECT_EQ(asked_in_words, 14);
    EXPECT_TRUE(has("2. Akumulator jest uszkodzony lub rozładowany (uszkodzony_akumulator) (CF = 0.58)\n"));
}

}  // namespace
}  // namespace zuva
