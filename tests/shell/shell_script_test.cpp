// Whole runs driven by answer scripts: in-process through run_script, and through the
// real terminal program on answer files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "../e2e/script_run.h"
#include "report/report.h"
#include "shell/script_loop.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

class ShellScript : public testing_support::AnswerScriptTest {
  protected:
    ShellScript() : AnswerScriptTest("zuva-shell") {}
    void make_report(const std::string& name, const std::string& text) {
        ASSERT_TRUE(write_report_file(path(name), text));
    }
    static bool has(const std::string& hay, const std::string& needle) {
        return hay.find(needle) != std::string::npos;
    }
};

TEST_F(ShellScript, CommandBeforeItIsEnabledEndsWithStatusTwoNamingTheLine) {
    // Forward inference is enabled only after a rule base is loaded.
    ScriptRun run = run_script({"# okno wstępne zamyka się samo", "10170", "", "10164"}, dir);
    EXPECT_EQ(run.status, kExitScriptError);
    EXPECT_TRUE(has(run.error, "wiersz 3")) << run.error;  // the empty line is no command id
    run = run_script({"# komentarz", "10170", "10164", "10170"}, dir);
    EXPECT_EQ(run.status, kExitScriptError);
    EXPECT_TRUE(has(run.error, "wiersz 3")) << run.error;
    EXPECT_TRUE(has(run.error, "10164")) << run.error;
    EXPECT_TRUE(has(run.transcript, "[command] 10170 &O programie\n[note] O programie\n"));
    EXPECT_TRUE(has(run.transcript, "[error] wiersz 3\n"));
    // Nothing after the refused line ran.
    EXPECT_EQ(run.transcript.find("[command] 10170"), run.transcript.rfind("[command] 10170"));

    for (const char* bad : {"99999", "10074", "abc", "10170x"}) {
        run = run_script({bad}, dir);
        EXPECT_EQ(run.status, kExitScriptError) << bad;
        EXPECT_TRUE(has(run.error, "wiersz 1")) << bad << ": " << run.error;
    }
}

TEST_F(ShellScript, RunningOutOfAnswersEndsWithStatusZero) {
    ScriptRun run = run_script({}, dir);
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_TRUE(has(run.transcript,
                    "[title] zuva_EN - Regułowo-modelowy skorupowy system ekspertowy dla "
                    "wnioskowania elementarnego niepewnego w przód i wstecz\n[new-helper] 100\n"));
    // Out of answers in the middle of an operation: it ends there, nothing is deleted.
    make_report("R.RPT", "tekst");
    run = run_script({"10152", "R.RPT"}, dir);
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_TRUE(has(run.transcript, "[question] Usunięcie raportu\n"));
    EXPECT_TRUE(file_exists(path("R.RPT")));
}

TEST_F(ShellScript, QuestionTakesLabelInAnyCaseWithOrWithoutAmpersandOrPosition) {
    struct Case {
        const char* answer;
        bool deleted;
    };
    for (Case c : {Case{"Tak", true}, Case{"tak", true}, Case{"&TAK", true}, Case{"1", true},
                   Case{"&Nie", false}, Case{"NIE", false}, Case{"2", false}}) {
        make_report("R.RPT", "tekst");
        ScriptRun run = run_script({"10152", "R.RPT", c.answer}, dir);
        EXPECT_EQ(run.status, kExitOk) << c.answer << ": " << run.error;
        EXPECT_EQ(file_exists(path("R.RPT")), !c.deleted) << c.answer;
        EXPECT_EQ(has(run.transcript, "[note] Uwaga!\nRaport R.RPT został usunięty.\n"), c.deleted)
            << c.answer;
    }
}

TEST_F(ShellScript, AnswerThatFitsNoButtonEndsWithStatusTwoAndKeepsTheFile) {
    make_report("R.RPT", "tekst");
    for (const char* bad : {"może", "3", "0", "Ta"}) {
        ScriptRun run = run_script({"# usuwanie", "10152", "R.RPT", bad, "10170"}, dir);
        EXPECT_EQ(run.status, kExitScriptError) << bad;
        EXPECT_TRUE(has(run.error, "wiersz 4")) << bad << ": " << run.error;
        EXPECT_TRUE(file_exists(path("R.RPT")));
        EXPECT_FALSE(has(run.transcript, "[command] 10170"));
    }
}

TEST_F(ShellScript, ShellCommandsOfTheWindowAndHelpMenus) {
    ScriptRun run = run_script({"10167", "10168", "10169", "10171"}, dir);
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_TRUE(has(run.transcript, "[command] 10167 Utwórz nowe Okno Pomocnicze\n[new-helper] 100\n"));
    EXPECT_TRUE(
        has(run.transcript,
            "[note] Uwaga\nUstawienie ścieżki dostępu do baz  następuje po załadowaniu bazy reguł\n"));
    // No help file in the current directory: nothing happens.
    EXPECT_TRUE(
        has(run.transcript, "[command] 10169 &Pomoc\n[command] 10171 &Właściciel\n[note] Właściciel\n"));

    ASSERT_TRUE(write_file_bytes(path("zuva_EN.chm"), "x"));
    run = run_script({"10169"}, dir);
    EXPECT_TRUE(has(run.transcript, "[document] " + path("zuva_EN.chm") + "\n"));
}

TEST_F(ShellScript, ReportIsReadFromTheCurrentDirectory) {
    make_report("R.RPT", "Wnioskowanie dla bazy AUTO\nWniosek \"silnik\" CF = 0.8\n");
    ScriptRun run = run_script({"10151", "R.RPT", "Nie", "10151", ""}, dir);
    EXPECT_EQ(run.status, kExitOk) << run.error;
    EXPECT_TRUE(
        has(run.transcript, "[browse] Przegląd\nWnioskowanie dla bazy AUTO\nWniosek \"silnik\" CF = 0.8\n"));
    // The empty line cancels the second file dialog; the script then runs out.
    EXPECT_TRUE(has(run.transcript, "[open-file] Wybierz raport do przeczytania : \nmask: *.rpt\n"));
}

TEST_F(ShellScript, TerminalProgramReadsAndDeletesAReport) {
    make_report("WYNIK.RPT", "Wniosek: żółć\n");
    ASSERT_TRUE(write_file_bytes(path("odp.txt"),
                                 "# przeczytaj raport\r\n10151\r\nWYNIK.RPT\r\n&nie\r\n"
                                 "# usuń go\r\n10152\r\nWYNIK.RPT\r\nTAK\r\n"));
    EXPECT_EQ(run_args("--answers odp.txt"), 0) << err;
    EXPECT_TRUE(err.empty()) << err;
    EXPECT_TRUE(has(out, "[command] 10151 Czytanie raportu wnioskowania/diagnostyki\n"));
    EXPECT_TRUE(
        has(out, "[question] Zawiń/rozwiń\nCzy zawijać tekst?\nbuttons: &Tak | &Nie\nanswer: &Nie\n"));
    EXPECT_TRUE(has(out, "[browse] Przegląd\nWniosek: żółć\n"));
    EXPECT_TRUE(has(out, "[note] Uwaga!\nRaport WYNIK.RPT został usunięty.\n"));
    EXPECT_FALSE(file_exists(path("WYNIK.RPT")));
}

TEST_F(ShellScript, TerminalProgramNamesTheBadLineOnStandardError) {
    ASSERT_TRUE(write_file_bytes(path("odp.txt"), "10170\n# dalej\n10165\n"));
    EXPECT_EQ(run_args("--answers odp.txt"), 2);
    EXPECT_TRUE(has(err, "wiersz 3")) << err;
    EXPECT_TRUE(has(out, "[note] O programie\n"));
    // Answers from standard input.
    EXPECT_EQ(run_args("--answers - <odp.txt"), 2);
    EXPECT_TRUE(has(err, "wiersz 3")) << err;
    EXPECT_EQ(run_args("--answers brak.txt"), 1);
    EXPECT_FALSE(err.empty());
}

}  // namespace
}  // namespace zuva
