// Whole forward consultations through the scripted port: CFs of the calculus seen in the
// summary file, order of questions, re-asking, "koniec", labels, the report file.
#include <gtest/gtest.h>

#include "consult/forward.h"
#include "consult/summary.h"
#include "forward_test_support.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "ui/scripted_ui.h"

using namespace zuva;
using namespace zuva::testing_support;

namespace {

// Detail level, no labels, fact mode, then the given answers.
std::vector<std::string> start(std::vector<std::string> rest, const std::string& detail = "1") {
    std::vector<std::string> a = {detail, "&NIE", "1"};
    a.insert(a.end(), rest.begin(), rest.end());
    return a;
}

std::string read_cp1250(const std::string& path) {
    auto bytes = read_file_bytes(path);
    if (!bytes) return "<missing>";
    auto text = cp1250_to_utf8(*bytes);
    return text ? *text : "<not cp1250>";
}

std::size_t pos_of(const std::string& hay, const std::string& needle) {
    auto p = hay.find(needle);
    return p == std::string::npos ? hay.size() + 1 : p;
}

}  // namespace

TEST(ForwardConsultation, CertaintyFactorCasesInTheSummary) {
    const std::string dir = temp_dir("fwd_cf");
    const std::string summary = dir + "/cf.txt";
    std::filesystem::remove(summary);
    ScriptedUi ui(start({"&TAK", summary, "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "fakt(\"p\",\"1.0\")\n"
                  "fakt(\"q\",\"0.5\")\n"
                  "fakt(\"r\",\"0.8\")\n"
                  "fakt(\"m\",\"-0.5\")\n"
                  "fakt(\"x\",\"0.9\")\n"
                  "fakt(\"y\",\"0.5\")\n"
                  "fakt(\"n\",\"-0.4\")\n"
                  "reguła(1,\"w1\",[\"p\"],1,\"0.6\")\n"
                  "reguła(2,\"w1\",[\"p\"],1,\"0.5\")\n"
                  "reguła(3,\"w2\",[\"p\"],1,\"0.6\")\n"
                  "reguła(4,\"w2\",[\"p\"],1,\"-0.5\")\n"
                  "reguła(5,\"w3\",[\"p\"],1,\"1\")\n"
                  "reguła(6,\"w3\",[\"p\"],1,\"-1\")\n"
                  "reguła(7,\"w4\",[\"p\"],1,\"-0.6\")\n"
                  "reguła(8,\"w4\",[\"p\"],1,\"-0.5\")\n"
                  "reguła_dysjunktywna(\"d1\")\n"
                  "reguła(9,\"d1\",[\"q\"],1,\"0.6\")\n"
                  "reguła(10,\"d1\",[\"r\"],1,\"0.75\")\n"
                  "reguła_dysjunktywna(\"d2\")\n"
                  "reguła(11,\"d2\",[\"q\"],1,\"0.6\")\n"
                  "reguła(12,\"d2\",[\"m\"],1,\"0.8\")\n"
                  "reguła(13,\"w5\",[\"x\",\"y\"],1,\"0.7\")\n"
                  "reguła_dysjunktywna(\"d3\")\n"
                  "reguła(14,\"d3\",[\"n\"],1,\"-0.9\")\n"
                  "reguła(15,\"u\",[\"bez warunku\"],1,\"0.4\")\n");
    wnioskowanie_w_przod(s);
    const std::string text = read_cp1250(summary);
    for (const char* line : {"    w1(0.8)\n", "    w2(0.2)\n", "    w3(0)\n", "    w4(-0.8)\n",
                             "    d1(0.6)\n", "    d2(0.3)\n", "    w5(0.35)\n", "    u(0.4)\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    // All rules of d3 were skipped: no resultant; "bez warunku" is never listed.
    EXPECT_EQ(text.find("d3("), std::string::npos);
    EXPECT_EQ(text.find("bez warunku"), std::string::npos);
    // The skipped rule is explained in the report and in a note.
    EXPECT_NE(s.report.text.find("Stosuję regułę dysjunktywną 14\nz ujemnym CF listy warunków, równym -0.4\n"
                                 "i z ujemnym CF reguły, równym -0.9\n"
                                 "Reguła ta zostanie pominięta przy dalszym wnioskowaniu.\n\n"),
              std::string::npos);
    // The contribution of rule 13 is explained with its conditions.
    EXPECT_NE(
        s.report.text.find("\nStosuję regułę 13 o postaci:\nJeżeli\n    x\n    y\n"
                           "to z współczynnikiem CF = 0.7\n    w5\nStąd wynika wniosek: \n    w5(0.35)\n\n"),
        std::string::npos);
    EXPECT_NE(s.report.text.find("\nZ wszystkich reguł kumulatywnych (z pojedynczej reguły) dla wniosku: \n"
                                 "    w1\nwynika:\n    w1(0.8)\n\n"),
              std::string::npos);
    EXPECT_NE(s.report.text.find(
                  "Z wszystkich reguł dysjunktywnych dla wniosku: \n    d1\nwynika:\n    d1(0.6)\n\n"),
              std::string::npos);
}

TEST(ForwardConsultation, ConditionsAskedLeftToRightAndConcludedOnesNever) {
    ScriptedUi ui(start({"0.9", "0.8", "0.7", "0.6", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "reguła(1,\"y\",[\"z\",\"e\"],1,\"1\")\n"
                  "reguła(2,\"x\",[\"a\",\"b\"],1,\"1\")\n"
                  "reguła(3,\"z\",[\"x\",\"c\"],1,\"1\")\n");
    wnioskowanie_w_przod(s);
    const std::string& t = ui.transcript();
    const std::size_t a = pos_of(t, "name: a\n"), b = pos_of(t, "name: b\n"), c = pos_of(t, "name: c\n"),
                      e = pos_of(t, "name: e\n");
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_LT(c, e);
    EXPECT_LT(e, t.size());
    EXPECT_EQ(t.find("name: x\n"), std::string::npos);
    EXPECT_EQ(t.find("name: z\n"), std::string::npos);
    EXPECT_EQ(count_of(t, "[value] Określ wartość CF"), 4);
    // y = min(z, e) with z = min(x, c) = 0.7 and e = 0.6.
    ASSERT_TRUE(s.inference.wypadkowa_prbd.find("y"));
    EXPECT_DOUBLE_EQ(*s.inference.wypadkowa_prbd.find("y"), 0.6);
    EXPECT_NE(s.report.text.find("Zadeklaruj CF warunku \n   a\nz przedziału [-1, 1]\n   CF(a) = 0.9\n\n"),
              std::string::npos);
    EXPECT_NE(t.find("title: Zadeklaruj CF warunku a z przedziału [-1, 1]\nname: a\n"), std::string::npos);
}

TEST(ForwardConsultation, ValueOutOfRangeOrNotANumberIsAskedAgain) {
    ScriptedUi ui(start({"1.5", "abc", "-0.4", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s, "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n");
    wnioskowanie_w_przod(s);
    const std::string& t = ui.transcript();
    EXPECT_EQ(count_of(t, "[value] Określ wartość CF"), 3);
    EXPECT_EQ(count_of(t, "[note]\nŹle! Musi być -1 <= CF <= 1 !\n"), 1);
    EXPECT_EQ(count_of(s.report.text, "     Źle! Musi być -1 <= CF <= 1 ! \n"), 1);
    EXPECT_NE(s.report.text.find("   CF(a) = -0.4\n\n"), std::string::npos);
    ASSERT_TRUE(s.inference.wypadkowa_prbd.find("b"));
    EXPECT_DOUBLE_EQ(*s.inference.wypadkowa_prbd.find("b"), -0.2);
}

TEST(ForwardConsultation, KoniecEndsTheRulesAndTheRunEndsAsUsual) {
    ScriptedUi ui(start({"&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "fakt(\"p\",\"1\")\n"
                  "reguła_dysjunktywna(\"koniec\")\n"
                  "reguła(1,\"koniec\",[\"p\"],1,\"1\")\n"
                  "reguła(2,\"b\",[\"p\"],1,\"0.5\")\n"
                  "reguła(3,\"c\",[\"b\"],1,\"0.5\")\n");
    wnioskowanie_w_przod(s);
    EXPECT_FALSE(ui.has_answers());
    const std::string& t = ui.transcript();
    const auto note = t.find("[note] Uwaga - koniec!\nReguła z wnioskiem 'koniec' kończy wnioskowanie.\n");
    ASSERT_NE(note, std::string::npos);
    EXPECT_NE(ui.helper_text().find("Reguła z wnioskiem 'koniec' kończy wnioskowanie."), std::string::npos);
    EXPECT_EQ(s.report.text.find("kończy wnioskowanie"), std::string::npos);
    // After the note: b's resultant from its applied rule 2, then the usual end.
    EXPECT_LT(note, t.find("Brak możliwości dalszego wnioskowania"));
    EXPECT_LT(t.find("Brak możliwości dalszego wnioskowania"), t.find("Plik podsumowania"));
    EXPECT_LT(t.find("Plik podsumowania"), t.find("Raport wnioskowania/diagnostyki"));
    ASSERT_TRUE(s.inference.wypadkowa_prbd.find("b"));
    EXPECT_DOUBLE_EQ(*s.inference.wypadkowa_prbd.find("b"), 0.5);
    // Rule 3 is applied no more: "koniec" closed the rules.
    EXPECT_TRUE(s.inference.prbd.find_rule(2));
    EXPECT_FALSE(s.inference.prbd.find_rule(3));
    EXPECT_TRUE(s.inference.jakiewnioskowanie.empty());
}

TEST(ForwardConsultation, LabelsAndSummaryFileFormat) {
    const std::string dir = temp_dir("fwd_sum");
    const std::string summary = dir + "/podsum.txt";
    write_file_bytes(summary, "stare");
    ScriptedUi ui({"1", "&TAK", "pierwsza", "&TAK", "druga ż", "&NIE", "1",
                   // summary: an existing file, refused once, then overwritten
                   "&TAK", summary, "&NIE", summary, "&TAK", "&Nie"});
    Session s(ui);
    use_rule_base(s, "fakt(\"a\",\"0.5\")\nreguła(1,\"b\",[\"a\"],1,\"0.8\")\n");
    s.inference.zmienna_ustalona.append("10", 10.0);  // a constant is never listed
    s.inference.zmienna_ustalona.append("v", 2.5);
    wnioskowanie_w_przod(s);
    auto bytes = read_file_bytes(summary);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, *utf8_to_cp1250("Etykiety wnioskowania: \n    pierwsza\n    druga ż\n"
                                      "Podsumowanie wnioskowania: fakty\n    a(0.5)\n    b(0.4)\n"
                                      "Podsumowanie wnioskowania: wartości argumentów\n"));
    const std::string& t = ui.transcript();
    EXPECT_EQ(
        count_of(t, "Podsumowanie o nazwie podsum.txtjuż istnieje.\nCzy chcesz zapisać go nową treścią?"), 2);
    EXPECT_NE(t.find("Istniejące podsumowanie podsum.txt\nzostało skasowane!"), std::string::npos);
    EXPECT_NE(ui.helper_text().find("\n Podsumowanie podsum.txt zostało zapamietane."), std::string::npos);
    EXPECT_NE(t.find("[note] Podsumowanie\n Podsumowanie podsum.txt zostało zapamiętane."),
              std::string::npos);
    EXPECT_TRUE(s.inference.nazwa_podsumowania.empty());
}

TEST(ForwardConsultation, SummaryListsFixedValuesByName) {
    ScriptedUi ui;
    Session s(ui);
    s.inference.etykieta.append("e");
    s.inference.wypadkowa_prbd.append("bez warunku", 1.0);
    s.inference.wypadkowa_prbd.append("f", -0.25);
    s.inference.zmienna_ustalona.append("3.5", 3.5);
    s.inference.zmienna_ustalona.append("moc", 120.0);
    EXPECT_EQ(tekst_podsumowania(s),
              "Etykiety wnioskowania: \n    e\nPodsumowanie wnioskowania: fakty\n    f(-0.25)\n"
              "Podsumowanie wnioskowania: wartości argumentów\n    moc = 120\n");
}

TEST(ForwardConsultation, ReportFileWrittenAtTheEnd) {
    const std::string dir = temp_dir("fwd_rpt");
    const std::string report = dir + "/W.RPT";
    std::filesystem::remove(report);
    ScriptedUi ui(start({"&NIE", "&Tak", report}, "2"));
    Session s(ui);
    use_rule_base(s, "fakt(\"a\",\"1\")\nreguła(1,\"b\",[\"a\"],0,\"0.5\")\n", "AUTO");
    wnioskowanie_w_przod(s);
    const std::string text = read_cp1250(report);
    EXPECT_EQ(
        text.rfind("tekst_raportu(\"Wnioskowanie elementarne niepewne w przód dla bazy reguł REAUTO.BEN\\n",
                   0),
        0u)
        << text;
    EXPECT_NE(
        text.find(
            "To już wszystko, co wynika z bazy wiedzy AUTO,\\nz zadeklarowanych faktów i wartości "
            "argumentów.\\n\\nKoniec wnioskowania ekspertowego.\\n\\nKoniec wnioskowania w przód\\n\\n"),
        std::string::npos);
    // display_flag 0: the rule is applied silently.
    EXPECT_EQ(text.find("Stosuję regułę 1"), std::string::npos);
    EXPECT_NE(
        ui.transcript().find("[note] Koniec wnioskowania w przód\nTo już wszystko, co wynika z bazy wiedzy "
                             "AUTO,\nz zadeklarowanych faktów i wartości argumentów.\n\nKoniec wnioskowania "
                             "ekspertowego.\n"),
        std::string::npos);
}

TEST(ForwardConsultation, HeaderListsTheBasesWithTheirBlanks) {
    // The advice question comes between the summary and the report question.
    ScriptedUi ui2(start({"&NIE", "Nie", "&Nie"}));
    Session s2(ui2);
    use_rule_base(s2, "fakt(\"a\",\"1\")\n", "AUTO");
    s2.kb.nazwa_ra.short_name.append("RAAUTO.BEN");
    wnioskowanie_w_przod(s2);
    // Only the loaded kinds are listed.
    EXPECT_EQ(s2.report.text.rfind("Wnioskowanie elementarne niepewne w przód dla bazy reguł REAUTO.BEN\n"
                                   "                                    bazy rad RAAUTO.BEN\n\n"
                                   "W bazie reguł są następujące fakty:\n    a(1)\n",
                                   0),
              0u)
        << s2.report.text;
    const std::string& t = ui2.transcript();
    EXPECT_NE(
        t.find("[note] Wnioskowanie elementarne niepewne w przód\nWnioskowanie w przód dla:\n\nBazy reguł "
               "elementarnej niepewnej\n    REAUTO.BEN\n\nBazy rad elementarnej niepewnej\n    RAAUTO.BEN\n"),
        std::string::npos);
    const std::size_t advice = pos_of(t, "[question] Możesz uzyskać radę\nChcesz uzyskać radę?");
    const std::size_t report = pos_of(t, "[question] Raport wnioskowania/diagnostyki");
    EXPECT_LT(advice, report);
    EXPECT_LT(report, t.size());
    EXPECT_NE(t.find("[radio] Wybierz tryb deklaracji faktów!\n1. Menu wyboru faktów\n2. Interfejs zadający "
                     "pytania\n"),
              std::string::npos);
}

TEST(ForwardConsultation, RefusalsAndMissingRuleBase) {
    {
        ScriptedUi ui;
        Session s(ui);
        wnioskowanie_w_przod(s);
        EXPECT_NE(ui.transcript().find("[note] Uwaga!\nProszę załadować bazę reguł!"), std::string::npos);
    }
    for (int verdict = 0; verdict < 3; ++verdict) {
        ScriptedUi ui;
        Session s(ui);
        use_rule_base(s, "fakt(\"a\",\"1\")\n");
        if (verdict == 0) s.kb.sprzecznosc_1z.append("TAK");
        if (verdict == 1) s.kb.rozne_numery.append("NIE");
        if (verdict == 2) s.inference.blad_wykluczajacych.append("TAK");
        wnioskowanie_w_przod(s);  // no answers: nothing may be asked
        // One note says which verdict refuses the run, and nothing else is shown.
        const std::string& t = ui.transcript();
        EXPECT_EQ(t.find("[note] Uwaga!\n"), t.find("[note]")) << t;
        EXPECT_EQ(t.find("[note]"), t.rfind("[note]")) << t;
        EXPECT_NE(t.find("Wnioskowanie nie może być rozpoczęte."), std::string::npos) << t;
        EXPECT_EQ(t.find("[radio]"), std::string::npos) << t;
    }
}

TEST(ForwardConsultation, SmallDetailShowsFactsOnlyAtTheEnd) {
    for (const char* level : {"1", "2"}) {
        ScriptedUi ui(start({"&NIE", "&Nie"}, level));
        Session s(ui);
        use_rule_base(s,
                      "fakt(\"a\",\"1\")\n"
                      "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n"
                      "reguła(2,\"c\",[\"b\"],1,\"0.5\")\n");
        wnioskowanie_w_przod(s);
        const int shown = count_of(s.report.text, "Dane są następujące fakty:\n");
        if (std::string(level) == "1")
            EXPECT_EQ(shown, 1);
        else
            EXPECT_GT(shown, 2);
        // At the end the list holds every resultant but "bez warunku", then the fixed values
        // (none here: the heading alone).
        EXPECT_NE(s.report.text.find("\nDane są następujące fakty:\n    a(1)\n    b(0.5)\n    c(0.25)\n\n"
                                     "Dane są wartości następujących argumentów:\n\n\nTo już"),
                  std::string::npos)
            << s.report.text;
    }
}

TEST(ForwardConsultation, CircularRulesEnd) {
    ScriptedUi ui(start({"0.3", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "fakt(\"a\",\"0.5\")\n"
                  "reguła(1,\"b\",[\"a\"],1,\"0.9\")\n"
                  "reguła(2,\"a\",[\"b\"],1,\"0.9\")\n"
                  "reguła(3,\"b\",[\"c\"],1,\"0.33\")\n"
                  "reguła(4,\"d\",[\"b\",\"a\"],1,\"0.7\")\n"
                  "reguła(5,\"a\",[\"d\"],1,\"0.3\")\n");
    wnioskowanie_w_przod(s);
    EXPECT_NE(ui.transcript().find("Brak możliwości dalszego wnioskowania!"), std::string::npos);
    // b = combine(0.45, 0.1) ; a stays the declared fact.
    ASSERT_TRUE(s.inference.wypadkowa_prbd.find("b"));
    EXPECT_DOUBLE_EQ(*s.inference.wypadkowa_prbd.find("b"), 0.51);
    EXPECT_DOUBLE_EQ(*s.inference.wypadkowa_prbd.find("a"), 0.5);
}

TEST(ForwardConsultation, RuleThatLostItsMarkIsReappliedOnceNotOnEveryPass) {
    // Rule 1 uses the declared fact y, which rule 2 also concludes: when rule 2 applies,
    // rule 1 loses its applied mark. Its conclusion z still has a pending rule (3, which
    // never fires), so rule 1 may be re-applied; its CF text is no number and is asked.
    // It is re-applied once, not on each of the passes that the chain k1..k3 still takes.
    ScriptedUi ui(start({"0.5", "0.8", "0.5", "0.9", "&NIE", "&Nie"}));
    Session s(ui);
    use_rule_base(s,
                  "fakt(\"y\",\"0.5\")\n"
                  "reguła(1,\"z\",[\"y\"],1,\"zly\")\n"
                  "reguła(2,\"y\",[\"a\"],1,\"0.6\")\n"
                  "reguła(3,\"z\",[\"q\"],1,\"0.5\")\n"
                  "reguła(4,\"q\",[\"n\"],1,\"0.5\")\n"
                  "reguła(5,\"n\",[\"q\"],1,\"0.5\")\n"
                  "reguła(6,\"k1\",[\"a2\"],1,\"0.9\")\n"
                  "reguła(7,\"k2\",[\"k1\"],1,\"0.9\")\n"
                  "reguła(8,\"k3\",[\"k2\"],1,\"0.9\")\n");
    wnioskowanie_w_przod(s);
    const std::string& t = ui.transcript();
    EXPECT_EQ(count_of(t, "title: Zadeklaruj wartość CF z przedziału [-1,1]\nname: z\n"), 2);
    EXPECT_NE(t.find("Brak możliwości dalszego wnioskowania!"), std::string::npos);
    ASSERT_TRUE(s.inference.wypadkowa_prbd.find("k3"));
    EXPECT_FALSE(s.inference.wypadkowa_prbd.find("z"));  // rule 3 never applies
    EXPECT_FALSE(ui.has_answers());
}
