// Report buffer, report files and the save dialogue.
#include <gtest/gtest.h>

#include <filesystem>

#include "kb/base_file_reader.h"
#include "kb/base_files.h"
#include "kb/report_files.h"
#include "report/report.h"
#include "session/session.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

using namespace zuva;

namespace {
std::string temp_dir() {
    return testing_support::scratch_dir("report");
}
}  // namespace

TEST(Report, WritersShowAtOnceAndAppend) {
    ScriptedUi ui;
    Session s(ui);
    pisz(s, "przed");  // no record yet: shown, not kept
    kasowanie_tekst_raportu(s);
    pisz(s, "a");
    piszcr(s);
    pisz(s, "b");
    pisz(s, "");
    piszint(s, -12);
    piszreal(s, 1.0);
    piszreal(s, 0.5);
    EXPECT_EQ(s.report.text, "a\nb-1210.5");
    EXPECT_EQ(ui.helper_text(), "przeda\nb-1210.5");
    EXPECT_TRUE(lista_dla_raportu(s, {"x", "y"}));
    EXPECT_EQ(s.report.text, "a\nb-1210.5xy");
}

TEST(Report, FileRoundTripIsByteExact) {
    std::string text = "Wniosek \"świeca\"\nC:\\BAZY\\a\\n\r\nkoniec\\";
    std::string path = temp_dir() + "/R.RPT";
    ASSERT_TRUE(write_report_file(path, text));
    auto bytes = read_file_bytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes,
              *utf8_to_cp1250(
                  "tekst_raportu(\"Wniosek \\\"świeca\\\"\\nC:\\\\BAZY\\\\a\\\\n\\r\\nkoniec\\\\\")\n"));
    ReportGroup g;
    ASSERT_FALSE(read_report_file(path, g));
    ASSERT_EQ(g.tekst_raportu.count(), 1u);
    EXPECT_EQ(*g.tekst_raportu.first(), text);
}

TEST(Report, SaveQuestionDeclinedAndAccepted) {
    std::string dir = temp_dir();
    {
        ScriptedUi ui({"&Nie"});
        Session s(ui);
        kasowanie_tekst_raportu(s);
        pisz(s, "x");
        EXPECT_TRUE(raport(s));
        EXPECT_TRUE(s.report.nazwa_raportu.empty());
        EXPECT_EQ(s.report.text, "x");
    }
    {
        ScriptedUi ui({"tak", ""});
        Session s(ui);
        EXPECT_FALSE(raport(s));  // cancelled file dialog
    }
    {
        ScriptedUi ui({"1", dir + "/WYNIK.RPT"});
        Session s(ui);
        kasowanie_tekst_raportu(s);
        pisz(s, "a");
        piszcr(s);
        pisz(s, "b");
        EXPECT_TRUE(raport(s));
        EXPECT_EQ(*read_file_bytes(dir + "/WYNIK.RPT"), "tekst_raportu(\"a\\nb\")\n");
        EXPECT_NE(ui.transcript().find("[note] Uwaga!\nRaport WYNIK.RPT został zapamiętany.\n"),
                  std::string::npos);
        EXPECT_NE(ui.helper_text().find(" Raport " + dir + "/WYNIK.RPT został zapamiętany."),
                  std::string::npos);
        EXPECT_TRUE(s.report.nazwa_raportu.empty());
    }
}

TEST(Report, ReadAndDeleteCommands) {
    std::string dir = temp_dir();
    write_report_file(dir + "/C.RPT", "linia 1\nlinia 2");
    ScriptedUi ui({dir + "/C.RPT", "&Nie", dir + "/C.RPT", "Nie", dir + "/C.RPT", "Tak", dir + "/BRAK.RPT"});
    Session s(ui);
    czytanie_raportu(s);
    EXPECT_EQ(s.report.text, "linia 1\nlinia 2");
    EXPECT_NE(ui.transcript().find("[browse] Przegląd\nlinia 1\nlinia 2\n"), std::string::npos);
    kasowanie_raportu(s);
    EXPECT_TRUE(file_exists(dir + "/C.RPT"));
    kasowanie_raportu(s);
    EXPECT_FALSE(file_exists(dir + "/C.RPT"));
    EXPECT_NE(ui.transcript().find("Raport C.RPT został usunięty."), std::string::npos);
    czytanie_raportu(s);  // a missing file is reported, not a crash
    EXPECT_NE(ui.transcript().find("Nie można odczytać pliku"), std::string::npos);
    EXPECT_FALSE(s.report.has_text);
}

TEST(Report, DetailLevel) {
    ScriptedUi ui({"2", "1"});
    Session s(ui);
    EXPECT_FALSE(duza_szczegolowosc(s));
    wybor_szczegolowosci(s);
    EXPECT_TRUE(duza_szczegolowosc(s));
    wybor_szczegolowosci(s);
    EXPECT_FALSE(duza_szczegolowosc(s));
    EXPECT_EQ(s.report.szczegolowosc.count(), 1u);
    EXPECT_TRUE(opcja_z_menu_szczegolowosci(s, 3));
    EXPECT_FALSE(opcja_z_menu_szczegolowosci(s, 4));
    EXPECT_EQ(*s.report.szczegolowosc.first(), "mała");
}

TEST(LoadSequence, CorrespondenceRefusesAnotherName) {
    ScriptedUi ui;
    Session s(ui);
    s.kb.nazwa_re.short_name.append("REAUTO.BEN");
    s.kb.wyroznik.append("AUTO");
    EXPECT_TRUE(korespondencja(s, "/b/MOAUTO.BEN"));
    EXPECT_FALSE(korespondencja(s, "/b/MOauto.BEN"));
    EXPECT_NE(
        ui.transcript().find("[note] Uwaga błąd!\nWybrana baza\n   MOauto.BEN\nnie odpowiada bazie reguł\n   "
                             "REAUTO.BEN\ni dlatego nie zostanie załadowana.\n"),
        std::string::npos);
}

TEST(LoadSequence, FailureBranchesAndCurrentDirectory) {
    std::string dir = temp_dir();
    write_file_bytes(dir + "/MOAUTO.BEN", "model(1,\"a\")\n");
    write_file_bytes(dir + "/MOAUTO2.BEN", "m_fakt(\"a\",\"1\")\n\n");
    int syntax = 0, empty = 0, closing = 0;
    LoadSteps st;
    st.kind = BaseKind::Models;
    st.clear = [&] {};
    st.syntax_error_branch = [&] { ++syntax; };
    st.empty_lines_branch = [&] { ++empty; };
    st.closing_branch = [&] {
        ++closing;
        return false;
    };
    ScriptedUi ui({dir + "/MOAUTO.BEN", dir + "/MOAUTO2.BEN", ""});
    Session s(ui);
    EXPECT_EQ(run_load_sequence(s, st), "");
    EXPECT_EQ(syntax, 1);
    EXPECT_EQ(s.current_dir, dir);
    EXPECT_EQ(run_load_sequence(s, st), "");
    EXPECT_EQ(empty, 1);
    EXPECT_EQ(s.kb.models.m_fakt.count(), 1u);  // records before the failing line stay
    EXPECT_FALSE(s.kb.nazwa_mo.loaded());
    EXPECT_EQ(run_load_sequence(s, st), "");  // cancelled
    EXPECT_EQ(closing, 1);
    EXPECT_TRUE(s.kb.jestem_tu.empty());
}
