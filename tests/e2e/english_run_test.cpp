// The terminal program under an English environment on a machine with no English locale:
// the sample base consulted forward by a script written with the Polish button labels shows
// English texts, asks the same questions and reaches the same conclusions and CFs as under
// Polish, and the summary it writes (Polish headings, read back by programs) gives
// `zuva test --record` the same test case in either language.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/sample_answers.h"
#include "support/sample_base.h"
#include "support/temp_dir.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPolish = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=pl_PL.UTF-8 ";
constexpr const char* kEnglish = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 ";

class EnglishRun : public testing_support::TempDirTest {
  protected:
    EnglishRun() : TempDirTest("zuva-english") {}

    struct Run {
        int status = -1;
        std::string out, err, summary;
        std::vector<std::string> asked;
    };

    // A forward consultation of a fresh copy of the sample with its texts base in `language`,
    // the symptoms answered as the session API's tests answer them, the summary kept as P.txt.
    Run consult(const std::string& language, const std::string& folder) {
        const fs::path bazy = fs::path(dir) / folder / "BAZY";
        fs::create_directories(bazy.parent_path());
        fs::copy(testing_support::kExamples, bazy.parent_path(), fs::copy_options::recursive);
        std::string script = "10064\nREAUTO.BEN\nNie\nNie\nNie\n10190\nTEAUTO.BEN\n10164\n1\nNIE\n1\n";
        for (const auto& name : testing_support::kSampleSymptoms)
            script += testing_support::kSampleAnswers.at(name) + "\n";
        script += "TAK\nP.txt\nNie\n";
        EXPECT_TRUE(write_file_bytes((bazy / "odp.txt").string(), script));
        Run r;
        r.status = shell(bazy, language + "'" ZUVA_BINARY "' --answers odp.txt");
        r.out = read_file_bytes((bazy / "out.txt").string()).value_or("");
        r.err = read_file_bytes((bazy / "err.txt").string()).value_or("");
        r.summary = read_file_bytes((bazy / "P.txt").string()).value_or("<none>");
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("name: ", 0) == 0) r.asked.push_back(line.substr(6));
        return r;
    }
    // Runs a command in `where` with its output in out.txt and err.txt; its exit status.
    static int shell(const fs::path& where, const std::string& command) {
        const std::string cmd = "cd '" + where.string() + "' && " + command + " >out.txt 2>err.txt";
        const int rc = std::system(cmd.c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    static bool has(const std::string& text, const std::string& needle) {
        return text.find(needle) != std::string::npos;
    }
};

TEST_F(EnglishRun, SampleConsultationInEnglishReachesThePolishResults) {
    const Run pl = consult(kPolish, "pl");
    const Run en = consult(kEnglish, "en");
    ASSERT_EQ(pl.status, 0) << pl.err;
    ASSERT_EQ(en.status, 0) << en.err << en.out.substr(en.out.size() > 2000 ? en.out.size() - 2000 : 0);
    EXPECT_EQ(en.asked, testing_support::kSampleSymptoms);
    EXPECT_EQ(en.asked, pl.asked);
    // Same conclusions with the same CFs: the summaries are the same bytes.
    EXPECT_EQ(en.summary, pl.summary);
    EXPECT_TRUE(has(en.summary, "uszkodzony_akumulator(0.9")) << en.summary;
    // English texts: menu, dialogs, explanations, the buttons the Polish answers chose.
    for (const char* text : {"[command] 10064 Load &rule base", "[command] 10164 Uncertain forward inference",
                             "answer: &YES", "answer: &No", "[explanation] Explanation of the rule",
                             "[radio] Level of detail", "[value] Enter the CF value",
                             // the texts base's English questions
                             "title: Is there a hard frost?\nname: silny_mroz"})
        EXPECT_TRUE(has(en.out, text)) << text;
    for (const char* text : {"Ładowanie bazy", "Wnioskowanie elementarne", "Wyjaśnienie reguły", "&TAK"})
        EXPECT_FALSE(has(en.out, text)) << text;
    EXPECT_TRUE(has(pl.out, "[command] 10164 Wnioskowanie elementarne niepewne w przód"));
    EXPECT_TRUE(has(pl.out, "title: Czy jest silny mróz?\nname: silny_mroz"));

    // The summary written under English is read back into the same case under either language.
    const fs::path en_dir = fs::path(dir) / "en" / "BAZY";
    // The consultation had the rule base alone: the case is replayed on that alone.
    for (const auto& f : fs::directory_iterator(en_dir))
        if (f.path().extension() == ".BEN" && f.path().filename() != "REAUTO.BEN") fs::remove(f.path());
    const std::string record = "'" ZUVA_BINARY "' test --record P.txt --base REAUTO.BEN --name c";
    ASSERT_EQ(shell(en_dir, kEnglish + record), 0)
        << read_file_bytes((en_dir / "err.txt").string()).value_or("");
    const std::string case_en = read_file_bytes((en_dir / "out.txt").string()).value_or("");
    ASSERT_EQ(shell(en_dir, kPolish + record), 0);
    const std::string case_pl = read_file_bytes((en_dir / "out.txt").string()).value_or("");
    EXPECT_EQ(case_en, case_pl);
    EXPECT_TRUE(has(case_en, "przypadek(\"c\")")) << case_en;
    EXPECT_TRUE(has(case_en, "odpowiedź(\"silny_mroz\",\"0.8\")")) << case_en;
    EXPECT_TRUE(has(case_en, "wniosek(\"uszkodzony_akumulator\"")) << case_en;
}

}  // namespace
}  // namespace zuva

namespace zuva {
namespace {

// "Pomoc" opens the user guide of the program's language.
TEST_F(EnglishRun, HelpOpensTheGuideOfTheLanguage) {
    const fs::path here = fs::path(dir);
    ASSERT_TRUE(write_file_bytes((here / "odp.txt").string(), "10169\n"));
    for (const auto& [language, guide] :
         {std::pair<const char*, const char*>{kEnglish, "/help-en.html\n"}, {kPolish, "/pomoc.html\n"}}) {
        ASSERT_EQ(shell(here, std::string(language) + "'" ZUVA_BINARY "' --answers odp.txt"), 0);
        const std::string out = read_file_bytes((here / "out.txt").string()).value_or("");
        const std::size_t at = out.find("[document] ");
        ASSERT_NE(at, std::string::npos) << out;
        EXPECT_TRUE(out.substr(at).ends_with(guide)) << out.substr(at);
    }
}

}  // namespace
}  // namespace zuva

namespace zuva {
namespace {

// zuva check finds the same things at the same places in either language: it reads the
// core's notes, which come in the language of the run.
TEST_F(EnglishRun, CheckFindsTheSameInEitherLanguage) {
    const std::string data = std::string(ZUVA_TEST_DATA) + "/e2e";
    const std::pair<std::string, std::string> bases[] = {{testing_support::kExamples + "/BAZY", "REAUTO.BEN"},
                                                         {data, "REBLAD.BEN"},
                                                         {data, "RECOMP.BEN"},
                                                         {data, "REKOLO.BEN"},
                                                         {data, "RENADM.BEN"},
                                                         {data, "RENUMER.BEN"},
                                                         {data, "REOGR.BEN"},
                                                         {data, "REZNAKI.BEN"},
                                                         {data, "REKONIEC.BEN"}};
    const std::regex message(R"(,"message":"(?:[^"\\]|\\.)*")");
    for (const auto& [folder, base] : bases) {
        std::string found[2];
        int status[2];
        for (int english = 0; english < 2; ++english) {
            const std::string cmd = std::string("cd '") + folder + "' && " + (english ? kEnglish : kPolish) +
                                    "'" + ZUVA_BINARY "' check --format json " + base + " >'" + dir +
                                    "/check.txt'";
            const int rc = std::system(cmd.c_str());
            status[english] = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
            found[english] =
                std::regex_replace(read_file_bytes(dir + "/check.txt").value_or(""), message, "");
        }
        EXPECT_EQ(status[1], status[0]) << base;
        EXPECT_EQ(found[1], found[0]) << base;
        EXPECT_NE(found[0].find("\"findings\""), std::string::npos) << base;
    }
}

}  // namespace
}  // namespace zuva
