// What a new user meets first in answer scripts and in the terminal: the question before a
// save dialog replaces a file, the reason when a report or summary cannot be written, the
// byte-order mark, the help command, the transcript not kept by the terminal program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "cli/terminal_ui.h"
#include "report/report.h"
#include "session/session.h"
#include "shell/handlers.h"
#include "shell/script_loop.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

class NewUser : public testing_support::TempDirTest {
  protected:
    NewUser() : TempDirTest("zuva-user") {}
    void SetUp() override {
        TempDirTest::SetUp();
        write_cp1250("REX.BEN", "fakt(\"a\",\"1.0\")\nreguła(1,\"c\",[\"a\"],1,\"0.8\")\n");
    }
    static bool has(const std::string& hay, const std::string& needle) {
        return hay.find(needle) != std::string::npos;
    }
    // Load, then a forward run that asks nothing and ends with the summary question.
    static std::vector<std::string> run_to_summary() {
        return {"10064", "REX.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", "TAK"};
    }
};

TEST_F(NewUser, SaveDialogAsksBeforeReplacingAFileAndNieAsksForAnotherName) {
    write_file_bytes(path("WYNIK.RPT"), "stary");
    ScriptRun run = run_script({"10064", "REX.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", "NIE", "Tak",
                                "WYNIK.RPT", "Nie", "NOWY.RPT"},
                               dir);
    ASSERT_EQ(run.status, 0) << run.error;
    EXPECT_TRUE(has(run.transcript,
                    "answer: WYNIK.RPT\n[question] Zapisz jako\nPlik WYNIK.RPT już istnieje.\nCzy zastąpić?\n"
                    "buttons: &Tak | &Nie\nanswer: &Nie\n[save-file] Podaj nazwę nowego pliku raportu\n"))
        << run.transcript;
    EXPECT_EQ(read_file_bytes(path("WYNIK.RPT")), std::optional<std::string>("stary"));
    EXPECT_TRUE(file_exists(path("NOWY.RPT")));

    run = run_script(
        {"10064", "REX.BEN", "Nie", "Nie", "10164", "1", "NIE", "1", "NIE", "Tak", "WYNIK.RPT", "Tak"}, dir);
    ASSERT_EQ(run.status, 0) << run.error;
    EXPECT_NE(read_file_bytes(path("WYNIK.RPT")), std::optional<std::string>("stary"));
    EXPECT_TRUE(has(run.transcript, "Raport WYNIK.RPT został zapamiętany."));
}

TEST_F(NewUser, SummaryKeepsItsOwnQuestionAboutAnExistingFile) {
    write_file_bytes(path("P.txt"), "stare");
    auto answers = run_to_summary();
    answers.insert(answers.end(), {"P.txt", "&TAK", "Nie"});
    ScriptRun run = run_script(answers, dir);
    ASSERT_EQ(run.status, 0) << run.error;
    EXPECT_FALSE(has(run.transcript, "[question] Zapisz jako")) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "Podsumowanie o nazwie P.txtjuż istnieje."));
    EXPECT_TRUE(has(*read_file_bytes(path("P.txt")), "Podsumowanie wnioskowania: fakty"));
}

TEST_F(NewUser, UnwritableSummaryAndReportSayWhyAndOfferTheDialogAgain) {
    fs::create_directories(path("ro"));
    fs::permissions(path("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    if (access(path("ro").c_str(), W_OK) == 0) GTEST_SKIP() << "running as a user who may write anywhere";
    auto answers = run_to_summary();
    answers.insert(answers.end(), {"ro/P.txt", "P.txt", "Tak", "ro/R.RPT", "brak/R.RPT", "R.RPT"});
    ScriptRun run = run_script(answers, dir);
    ASSERT_EQ(run.status, 0) << run.error;
    EXPECT_TRUE(has(run.transcript, "Nie można zapisać pliku podsumowania\n   " + path("ro/P.txt") +
                                        "\n(brak uprawnień do zapisu).\n"))
        << run.transcript;
    EXPECT_TRUE(has(*read_file_bytes(path("P.txt")), "Podsumowanie wnioskowania: fakty"));
    EXPECT_TRUE(
        has(run.transcript, "Nie można zapisać pliku raportu\n   ro/R.RPT\n(brak uprawnień do zapisu)."));
    EXPECT_TRUE(
        has(run.transcript, "Nie można zapisać pliku raportu\n   brak/R.RPT\n(katalog nie istnieje)."));
    EXPECT_TRUE(file_exists(path("R.RPT")));
    EXPECT_TRUE(has(run.transcript, "Raport R.RPT został zapamiętany."));
    // A cancelled dialog still ends the saving: nothing more is asked.
    answers = run_to_summary();
    answers.insert(answers.end(), {"ro/P.txt", ""});
    run = run_script(answers, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(has(run.transcript, "[question] Raport wnioskowania/diagnostyki")) << run.transcript;
}

TEST_F(NewUser, ByteOrderMarkIsSkippedAndCountsForNoLine) {
    auto answers = ScriptedUi::parse_script(
        "\xEF\xBB\xBF"
        "10170\n# komentarz\r\n10171\n");
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].text, "10170");
    EXPECT_EQ(answers[0].line, 1);
    EXPECT_EQ(answers[1].line, 3);
    ScriptRun run = run_script_lines(answers, dir);
    EXPECT_EQ(run.status, 0) << run.error;
    EXPECT_TRUE(has(run.transcript, "[command] 10171 &Właściciel"));
}

TEST_F(NewUser, WithoutHistoryOnlyTheHelperWindowsLastLinesAreKept) {
    ScriptedUi ui;
    ui.set_keep_history(false);
    std::string streamed;
    ui.on_output = [&](std::string_view t) { streamed += t; };
    ui.helper_recreate(100);
    for (int i = 0; i < 250; ++i)
        ui.helper_write("wiersz " + std::to_string(i) + "\n");
    ui.helper_write("bez końca");
    ui.note("Uwaga!", "tekst");
    EXPECT_TRUE(ui.transcript().empty());
    EXPECT_TRUE(has(streamed, "wiersz 0\n") && has(streamed, "[note] Uwaga!\ntekst\n"));
    const std::string& h = ui.helper_text();
    EXPECT_EQ(std::count(h.begin(), h.end(), '\n'), 100);
    EXPECT_EQ(h.rfind("wiersz 150\n", 0), 0u) << h.substr(0, 40);
    const std::string tail = "bez końca";
    EXPECT_TRUE(h.size() >= tail.size() && h.compare(h.size() - tail.size(), tail.size(), tail) == 0);
}

TEST_F(NewUser, TerminalSaveDialogAsksBeforeReplacingAndValuePromptSaysWhy) {
    write_file_bytes(path("A.RPT"), "x");
    std::istringstream in("A.RPT\nnie\nA.RPT\ntak\nabc\n0,5\n\n-0.5\n");
    std::ostringstream out;
    TerminalUi ui(in, out, false);
    Session s(ui);
    s.current_dir = dir;
    ui.attach(&s);
    EXPECT_EQ(ui.save_file("*.RPT", {}, "Podaj nazwę"), path("A.RPT"));
    EXPECT_TRUE(has(out.str(), "Plik " + path("A.RPT") + " już istnieje.\nCzy zastąpić?"));
    // The text goes back as typed (the program refuses it and asks again); the next prompt
    // for the same thing says why.
    for (const char* typed : {"abc", "0,5", "", "-0.5"})
        EXPECT_EQ(ui.value_dialog("Określ wartość CF", "Zadeklaruj CF", "a"),
                  std::optional<std::string>(typed));
    EXPECT_TRUE(has(out.str(), "'abc' nie jest liczbą. Wpisz liczbę"));
    EXPECT_TRUE(has(out.str(), "'0,5' nie jest liczbą: część dziesiętną oddziela się kropką"));
    EXPECT_TRUE(has(out.str(), "Nie wpisano wartości."));

    // The prompt that also offers "?" (backward inference) says why as well; a "?" is no
    // refusal, so the prompt after it says nothing.
    std::istringstream in_why("abc\n?\n1\n");
    std::ostringstream out_why;
    TerminalUi why_ui(in_why, out_why, false);
    Session why_session(why_ui);
    why_ui.attach(&why_session);
    auto ask = [&] { return why_ui.value_dialog_why("Określ wartość CF", "Zadeklaruj CF", "b"); };
    EXPECT_EQ(ask().text, "abc");
    std::size_t from = out_why.str().size();
    EXPECT_EQ(ask().kind, Ui::ValueReply::Kind::Why);
    EXPECT_TRUE(has(out_why.str().substr(from), "'abc' nie jest liczbą. Wpisz liczbę"));
    from = out_why.str().size();
    const Ui::ValueReply typed = ask();
    EXPECT_EQ(typed.kind, Ui::ValueReply::Kind::Text);
    EXPECT_EQ(typed.text, "1");
    EXPECT_FALSE(has(out_why.str().substr(from), "nie jest liczbą"));
}

TEST_F(NewUser, HelpOpensTheGuideAndATerminalWithoutDisplayShowsItAsText) {
    write_file_bytes(path("pomoc.html"),
                     "<html><head><title>T</title><style>p{}</style></head><body><h1>Przewodnik</h1>"
                     "<p>Pierwszy &amp; drugi</p><ul><li>jeden</li><li>dwa</li></ul><pre>10064\nREX.BEN</pre>"
                     "</body></html>");
    // Without the help file in the current directory the guide beside the program opens.
    ScriptedUi sui;
    Session ss(sui);
    ss.current_dir = dir;
    ss.shell.user_guide = path("pomoc.html");
    CommandRegistry r;
    install_handlers(r);
    (*r.find(10169))(ss);
    EXPECT_EQ(sui.transcript(), "[document] " + path("pomoc.html") + "\n");
    // Neither file: nothing happens.
    ScriptRun run = run_script({"10169"}, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.transcript.find("[document]"), std::string::npos) << run.transcript;
    // The help file of the current directory comes first.
    write_file_bytes(path("zuva_EN.chm"), "chm");
    (*r.find(10169))(ss);
    EXPECT_TRUE(has(sui.transcript(), "[document] " + path("zuva_EN.chm") + "\n")) << sui.transcript();

    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::istringstream in("\n");
    std::ostringstream out;
    TerminalUi ui(in, out, false);
    ui.open_document(path("pomoc.html"));
    EXPECT_TRUE(has(out.str(), "Przewodnik\n\nPierwszy & drugi\n  • jeden\n  • dwa\n")) << out.str();
    EXPECT_TRUE(has(out.str(), "10064\nREX.BEN")) << out.str();
    EXPECT_FALSE(has(out.str(), "<p>") || has(out.str(), "p{}"));
}

}  // namespace
}  // namespace zuva
