// The sample knowledge base consulted end to end, the description shown before an
// inference, the askable-conditions file, and the summary and description commands.
#include <gtest/gtest.h>

#include "consult/askable_file.h"
#include "consult/description.h"
#include "consult/forward.h"
#include "consult/summary.h"
#include "forward_test_support.h"
#include "kb/base_file_reader.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

using namespace zuva;
using namespace zuva::testing_support;

namespace {
// The first sample knowledge base, kept as it was for the tests written against it.
const std::string kExamples = std::string(ZUVA_TEST_DATA) + "/sample-1";

std::string example_base_text() {
    auto bytes = read_file_bytes(kExamples + "/BAZY/REAUTO.BEN");
    EXPECT_TRUE(bytes);
    auto text = bytes ? cp1250_to_utf8(*bytes) : std::nullopt;
    EXPECT_TRUE(text) << "REAUTO.BEN is not Windows-1250";
    return text ? *text : std::string();
}
}  // namespace

TEST(ForwardFiles, SampleBaseFromDescriptionToAdvice) {
    // Answers in the order the rules ask: the tank is not empty, the starter cranks
    // slowly, the lights dim, the battery is discharged, and so on.
    ScriptedUi ui({"2", "&NIE", "1",
                   // wskaznik_paliwa_na_zero, zapach_paliwa_przy_rozruchu, rozrusznik_kreci_wolno,
                   // kontrolki_gasna_przy_rozruchu, akumulator_rozladowany, akumulator_starszy_niz_piec_lat,
                   // silny_mroz, klemy_skorodowane_lub_luzne, rozrusznik_nie_kreci, slychac_klikanie,
                   // silnik_kreci_ale_nie_zapala, jest_iskra_na_swiecy, slychac_pompe_paliwa
                   "-1", "-0.5", "0.9", "0.8", "1", "0.5", "0.7", "-0.5", "-1", "-1", "0", "0", "0",
                   // summary, report
                   "&NIE", "&Nie"});
    Session s(ui);
    s.current_dir = kExamples + "/BAZY";
    use_rule_base(s, example_base_text(), "AUTO");
    s.kb.opis.insert_front("..\\OPISY\\AUTO.OPI");
    wnioskowanie_w_przod(s);
    const std::string& t = ui.transcript();
    EXPECT_NE(t.find("[read] Czytanie opisu bazy: auto\nBaza wiedzy AUTO: dlaczego samochód nie zapala"),
              std::string::npos);
    EXPECT_NE(t.find("Brak możliwości dalszego wnioskowania!"), std::string::npos) << t;
    EXPECT_NE(t.find("[question] Raport wnioskowania/diagnostyki"), std::string::npos);
    EXPECT_EQ(t.find("name: uszkodzony_akumulator\n"), std::string::npos);  // concluded, never asked
    EXPECT_NE(t.find("name: akumulator_rozladowany\n"), std::string::npos);
    // The unconditional rule applied with condition CF 1.0.
    ASSERT_TRUE(s.inference.wypadkowa_prbd.find("sprawdz_bezpieczniki"));
    EXPECT_DOUBLE_EQ(*s.inference.wypadkowa_prbd.find("sprawdz_bezpieczniki"), 0.2);
    ASSERT_TRUE(s.inference.wypadkowa_prbd.find("naladuj_lub_wymien_akumulator"));
    EXPECT_GT(*s.inference.wypadkowa_prbd.find("naladuj_lub_wymien_akumulator"), 0.5);
    ASSERT_TRUE(s.inference.wypadkowa_prbd.find("uszkodzony_rozrusznik"));
    EXPECT_LT(*s.inference.wypadkowa_prbd.find("uszkodzony_rozrusznik"), 0.0);
}

TEST(ForwardFiles, SampleBaseEndsAtAnEmptyTank) {
    // The tank is empty; every other symptom unknown. "koniec" closes the rules and the run
    // ends as usual, with the summary and report questions.
    ScriptedUi ui(
        {"1", "&NIE", "1", "1", "-1", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "&NIE", "&Nie"});
    Session s(ui);
    use_rule_base(s, example_base_text(), "AUTO");
    wnioskowanie_w_przod(s);
    EXPECT_FALSE(ui.has_answers());
    EXPECT_NE(ui.transcript().find("[note] Uwaga - koniec!"), std::string::npos) << ui.transcript();
    EXPECT_LT(ui.transcript().find("[note] Uwaga - koniec!"), ui.transcript().find("Plik podsumowania"));
}

TEST(ForwardFiles, DescriptionMissingIsSkippedSilently) {
    ScriptedUi ui;
    Session s(ui);
    s.current_dir = temp_dir("opis_none");
    s.kb.opis.insert_front("..\\OPISY\\BRAK.OPI");
    czytaj_opis(s);
    EXPECT_EQ(ui.transcript(), "");
}

TEST(ForwardFiles, DescriptionCommands) {
    const std::string dir = temp_dir("opis_cmd");
    const std::string file = dir + "/NOWY.OPI";
    std::filesystem::remove(file);
    {
        ScriptedUi ui({file, "&NIE"});
        Session s(ui);
        tworzenie_opisu(s);
        EXPECT_TRUE(file_exists(file));
        EXPECT_NE(
            ui.transcript().find("[note] Tworzenie pliku opisu\nNowy plik opisu NOWY.OPI został utworzony."),
            std::string::npos);
        EXPECT_NE(ui.transcript().find("Czy chcesz przejść od razu do edycji\nnowego pliku opisu NOWY.OPI ?"),
                  std::string::npos);
    }
    write_file_bytes(file, *utf8_to_cp1250("Opis źródła"));
    {
        ScriptedUi ui({file, "&Nie"});
        Session s(ui);
        przeglad_opisow(s);
        EXPECT_NE(ui.transcript().find("Przegląd pliku opisu: NOWY.OPI"), std::string::npos);
        EXPECT_NE(ui.transcript().find("Opis źródła"), std::string::npos);
    }
    {
        ScriptedUi ui({file, "Tak"});
        Session s(ui);
        kasowanie_opisu(s);
        EXPECT_FALSE(file_exists(file));
        EXPECT_NE(ui.transcript().find("Czy jesteś pewien, że chcesz usunąć plik opisu NOWY.OPI ?"),
                  std::string::npos);
        EXPECT_NE(ui.transcript().find("[note] Uwaga!\nPlik opisu NOWY.OPI został usunięty."),
                  std::string::npos);
    }
}

TEST(ForwardFiles, AskableFileLayout) {
    ScriptedUi ui;
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"x\",[\"b\",\"a\"],1,\"1\")\n"
                  "reguła(2,\"y\",[\"x\",\"c\",\"d\"],1,\"1\")\n",
                  "AUTO");
    s.kb.exact.ograniczenie.append({1, {"c", "d"}});
    EXPECT_EQ(tekst_pliku_dopytywalnych(s),
              "Warunki dopytywalne niewykluczające się bazy reguł REAUTO.BEN\n   a\n   b\n"
              "Warunki dopytywalne wzajemnie dokładnie wykluczające się bazy reguł REAUTO.BEN\n   c#   d#\n"
              "Warunki dopytywalne wzajemnie niepewnie wykluczające się bazy regul REAUTO.BEN\n");
}

TEST(ForwardFiles, AskableFileCommands) {
    const std::string dir = temp_dir("dopyt");
    const std::string file = dir + "/dopyt.txt";
    std::filesystem::remove(file);
    ScriptedUi ui({file, file, "&Nie", file, "Tak"});
    Session s(ui);
    use_rule_base(s, "reguła(1,\"x\",[\"żółw\"],1,\"1\")\n", "AUTO");
    tworzenie_pliku_dopytywalnych(s);
    auto bytes = read_file_bytes(file);
    ASSERT_TRUE(bytes);
    EXPECT_NE(bytes->find(*utf8_to_cp1250("   żółw\n")), std::string::npos);
    EXPECT_NE(
        ui.transcript().find("[note] Tworzenie pliku dopytywalnych\nNowy plik dopytywalnych dopyt.txt został "
                             "utworzony."),
        std::string::npos);
    czytanie_pliku_dopytywalnych(s);
    EXPECT_NE(ui.transcript().find("Przegląd pliku warunków i argumentów dopytywalnych: dopyt.txt"),
              std::string::npos);
    kasowanie_pliku_dopytywalnych(s);
    EXPECT_FALSE(file_exists(file));
    EXPECT_NE(
        ui.transcript().find("Czy jesteś pewien, że chcesz usunąć plik warunków i argumentów dopytywalnych "
                             "dopyt.txt ?"),
        std::string::npos);
}

TEST(ForwardFiles, SummaryCommands) {
    const std::string dir = temp_dir("podsum_cmd");
    const std::string file = dir + "/p.txt";
    write_file_bytes(file, *utf8_to_cp1250("Etykiety wnioskowania: \n    źle\n"));
    ScriptedUi ui({file, "&Nie", file, "Nie", file, "Tak"});
    Session s(ui);
    czytanie_podsumowania(s);
    EXPECT_NE(ui.transcript().find("Przegląd pliku podsumowania: p.txt"), std::string::npos);
    EXPECT_NE(ui.transcript().find("    źle"), std::string::npos);
    kasowanie_podsumowania(s);
    EXPECT_TRUE(file_exists(file));
    kasowanie_podsumowania(s);
    EXPECT_FALSE(file_exists(file));
    EXPECT_NE(ui.transcript().find("[note] Uwaga!\nPlik podsumowania p.txt został usunięty."),
              std::string::npos);
}
