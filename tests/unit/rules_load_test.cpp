// Loading a rule base: the clean load and what it derives, each way a load fails, and what
// every failure leaves behind.
#include <gtest/gtest.h>

#include "kb/numbering.h"
#include "kb/rule_base.h"
#include "report/report.h"
#include "rules_test_support.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "shell/handlers.h"

using namespace zuva;
using namespace zuva::testing;

namespace {

const std::string kData = ZUVA_TEST_DATA;

void run(Session& s, int id) {
    CommandRegistry r;
    install_handlers(r);
    const CommandHandler* h = r.find(id);
    ASSERT_NE(h, nullptr) << id;
    (*h)(s);
}

}  // namespace

TEST(RulesLoad, CleanLoadRecordsNamesTitleAndDerivedLists) {
    std::string path = kData + "/REAUTO.BEN";
    RulesUi ui({path});
    Session s(ui);
    std::string result = ladowanie_bazy_regul(s);

    EXPECT_EQ(result, path);
    EXPECT_EQ(s.kb.nazwa_re.name(), "REAUTO.BEN");
    ASSERT_EQ(s.kb.nazwa_re.full_path.count(), 1u);
    EXPECT_EQ(*s.kb.nazwa_re.full_path.first(), path);
    EXPECT_EQ(*s.kb.wyroznik.first(), "AUTO");
    EXPECT_EQ(*s.kb.rozszerzenie.first(), ".BEN");
    EXPECT_EQ(s.current_dir, kData);
    EXPECT_EQ(ui.title(), "zuva_EN wnioskuje dla bazy wiedzy auto");
    EXPECT_EQ(*s.kb.opis.first(), "..\\OPISY\\AUTO.OPI");
    EXPECT_TRUE(s.kb.jestem_tu.empty());
    EXPECT_TRUE(s.kb.blad.empty());

    const std::string& t = ui.transcript();
    EXPECT_NE(
        t.find(
            "[open-file] Wybierz nazwę bazy reguł: \nmask: RE*.BEN\nfilter: Bazy reguł (RE*.BEN) | RE*.BEN"),
        std::string::npos);
    EXPECT_EQ(ui.helper_text().rfind("\n\nBaza reguł REAUTO.BEN\n została załadowana!\n\n", 0), 0u)
        << ui.helper_text();
    EXPECT_NE(t.find("[note] Wynik ładowania bazy reguł\nBaza reguł elementarna niepewna\n   REAUTO.BEN\n"
                     "została załadowana.\n"),
              std::string::npos);

    // Askable: conditions no rule concludes, without "bez warunku", sorted by Windows-1250
    // bytes: upper case first, letters with diacritics after every unaccented letter.
    const TextList sorted{"Brak narzędzi",      "akumulator rozładowany", "zimno",
                          "światła nie świecą", "łatwy dostęp",           "żółta kontrolka"};
    ASSERT_EQ(s.kb.lista_warunkow_dopytywalnych.count(), 1u);
    EXPECT_EQ(*s.kb.lista_warunkow_dopytywalnych.first(), sorted);
    TextList dopytywalny(s.kb.dopytywalny.begin(), s.kb.dopytywalny.end());
    EXPECT_EQ(dopytywalny, sorted);

    // Each condition keeps the position of its last occurrence.
    EXPECT_EQ(*s.kb.lista_warunkow.first(),
              (TextList{"światła nie świecą", "silnik nie działa", "żółta kontrolka", "zimno",
                        "akumulator rozładowany", "bez warunku", "wymień akumulator", "Brak narzędzi",
                        "łatwy dostęp"}));
    ASSERT_EQ(s.kb.lista_wnioskow_regul.count(), 2u);
    EXPECT_EQ(s.kb.lista_wnioskow_regul[0],
              (TextList{"silnik nie działa", "wymień akumulator", "sprawdź instrukcję", "Zadzwoń po pomoc"}));
    EXPECT_EQ(s.kb.lista_wnioskow_regul[1], (TextList{"silnik nie działa", "wymień akumulator",
                                                      "sprawdź instrukcję", "koniec", "Zadzwoń po pomoc"}));

    // Per-conclusion lists: the disjunctive conclusion apart from the cumulative ones.
    const auto& cum = s.inference.lista_numerow_regul_kumulatywnych;
    ASSERT_EQ(cum.count(), 4u);
    EXPECT_EQ(cum[0].conclusion, "silnik nie działa");
    const auto& dis = s.inference.lista_numerow_regul_dysjunktywnych;
    ASSERT_EQ(dis.count(), 1u);
    EXPECT_EQ(dis[0].conclusion, "wymień akumulator");
    EXPECT_EQ(dis[0].pending_rules, (IntList{2, 3}));

    EXPECT_TRUE(s.kb.pojedynczy_warunek.empty());
    EXPECT_EQ(s.kb.rules.fakt.count(), 1u);
    EXPECT_FALSE(numbering_failed(s));
}

TEST(RulesLoad, CommandEnablesTheRulesLoadedSetOnlyAfterALoad) {
    RulesUi ui({kData + "/REAUTO.BEN", ""});
    Session s(ui);
    enable_commands(s, {10065});
    run(s, 10064);
    for (int id : {10065, 10067, 10068, 10069, 10145, 10146, 10077, 10093, 10103, 10113, 10124, 10134, 10164,
                   10165, 10160})
        EXPECT_TRUE(is_enabled(s, id)) << id;

    // Cancelling the dialog unloads everything but leaves the enabled commands, except the import.
    s.inference.wypadkowa_prbd.store("zimno", 0.5);
    s.report.szczegolowosc.append("duża");
    kasowanie_tekst_raportu(s);
    run(s, 10064);
    EXPECT_FALSE(s.kb.nazwa_re.loaded());
    EXPECT_TRUE(s.kb.rules.regula.empty());
    EXPECT_TRUE(s.kb.rules.fakt.empty());
    EXPECT_TRUE(s.kb.lista_warunkow_dopytywalnych.empty());
    EXPECT_TRUE(s.inference.wypadkowa_prbd.empty());
    EXPECT_TRUE(s.report.szczegolowosc.empty());
    EXPECT_FALSE(s.report.has_text);
    EXPECT_EQ(ui.title(), "zuva");
    EXPECT_FALSE(is_enabled(s, 10065));
    EXPECT_TRUE(is_enabled(s, 10164));
    // The directory of the last chosen file stays current.
    EXPECT_EQ(s.current_dir, kData);
}

TEST(RulesLoad, LowerCaseOfAPolishDistinguishingName) {
    std::string dir = temp_dir("polish");
    std::string path = write_base(dir, "REŻÓŁW.BEN", "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n");
    RulesUi ui({path});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), path);
    EXPECT_EQ(ui.title(), "zuva_EN wnioskuje dla bazy wiedzy żółw");
    EXPECT_EQ(*s.kb.opis.first(), "..\\OPISY\\ŻÓŁW.OPI");
}

TEST(RulesLoad, SyntaxErrorIsReportedWithLineAndColumnAndNothingIsLoaded) {
    std::string dir = temp_dir("syntax");
    std::string path = write_base(dir, "RESYN.BEN",
                                  "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n"
                                  "reguła(2 \"c\",[\"b\"],1,\"0.5\")\n");
    RulesUi ui({path});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), "");
    EXPECT_FALSE(s.kb.nazwa_re.loaded());
    EXPECT_EQ(s.kb.rules.regula.count(), 1u);  // records before the faulty line stay
    EXPECT_TRUE(s.kb.blad.empty());
    EXPECT_TRUE(s.kb.jestem_tu.empty());
    EXPECT_EQ(ui.title(), "zuva");

    const std::string& h = ui.helper_text();
    EXPECT_NE(h.find("\nBłąd syntaksu w pliku " + path + "\nreguła(2 \"c\",[\"b\"],1,\"0.5\")\n9^\n"),
              std::string::npos)
        << h;
    EXPECT_NE(h.find("Przejdź do 'Bazy reguł niepewnej', wybierz opcję 'Edycja bazy reguł', \n"
                     "wybierz błędną bazę i usuń błąd.\n"),
              std::string::npos);
    EXPECT_EQ(h.find("puste linie"), std::string::npos);
    const std::string& t = ui.transcript();
    EXPECT_NE(t.find("[note] Obsługa błędu\nBłąd syntaksu w pliku RESYN.BEN\n\nreguła(2 "
                     "\"c\",[\"b\"],1,\"0.5\")\n9\n"),
              std::string::npos);
    EXPECT_NE(t.find("[note] Błąd\nPrzejdź do 'Bazy reguł niepewnej' i wybierz opcję 'Edycja bazy reguł',\n"
                     "wybierz błędną bazę i usuń błąd.\n"),
              std::string::npos);
}

TEST(RulesLoad, EmptyLineAtTheEndIsReportedAsEmptyLines) {
    std::string dir = temp_dir("empty");
    std::string path = write_base(dir, "REPUSTE.BEN", "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n\n");
    RulesUi ui({path});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), "");
    EXPECT_FALSE(s.kb.nazwa_re.loaded());
    EXPECT_TRUE(s.kb.jestem_tu.empty());
    EXPECT_EQ(ui.title(), "zuva");
    EXPECT_NE(
        ui.helper_text().find("Błąd w trakcie wczytywania bazy reguł. Baza zawiera puste linie!\n\n"
                              "Przejdź do 'Bazy reguł, wybierz opcję 'Edycja bazy reguł',\n"
                              "wybierz błędną bazę i usuń puste linie, które najczęściej są na końcu bazy."),
        std::string::npos);
    EXPECT_NE(ui.transcript().find(
                  "[note] Błąd\nBłąd w trakcie wczytywania bazy reguł.\nBaza zawiera puste linie!\n"
                  "Przejdź do 'Bazy reguł,\nwybierz opcję 'Edycja bazy reguł'\n"
                  "wybierz błędną bazę i usuń puste linie,\nktóre najczęściej są na końcu bazy.\n"),
              std::string::npos);
}

TEST(RulesLoad, FileThatCannotBeReadGetsItsOwnMessage) {
    std::string dir = temp_dir("missing");
    RulesUi ui({dir + "/REBRAK.BEN"});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), "");
    EXPECT_NE(ui.transcript().find("Nie można odczytać pliku " + dir + "/REBRAK.BEN."), std::string::npos);
    EXPECT_EQ(ui.transcript().find("puste linie"), std::string::npos);
    EXPECT_TRUE(s.kb.jestem_tu.empty());
    EXPECT_EQ(ui.title(), "zuva");
}

TEST(RulesLoad, RuleCfOutOfRangeOrNotANumberUnloadsTheBase) {
    for (const std::string cf : {"1.5", "abc", "0,5"}) {
        std::string dir = temp_dir("cf");
        std::string path = write_base(dir, "RECF.BEN",
                                      "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n"
                                      "reguła(7,\"c\",[\"b\"],1,\"" +
                                          cf + "\")\nfakt(\"a\",\"1\")\n");
        RulesUi ui({path});
        Session s(ui);
        EXPECT_EQ(ladowanie_bazy_regul(s), "") << cf;
        EXPECT_FALSE(s.kb.nazwa_re.loaded());
        EXPECT_TRUE(s.kb.rules.regula.empty());
        EXPECT_TRUE(s.kb.rules.fakt.empty());
        EXPECT_TRUE(s.kb.lista_warunkow_dopytywalnych.empty());
        EXPECT_EQ(ui.title(), "zuva");
        const std::string lines =
            "Błędna wartość CF dla reguły 7.\n"
            "CF musi być ukonkretnioną niepewną zmienną  łańcuchową (inklud ma być liczbą rzeczywistą z "
            "przedziału "
            "[-1,1].\nPrzejdź do 'Bazy reguł niepewnej'\nwybierz opcję 'Edycja bazy reguł', \n"
            "wybierz błędną bazę i usuń błąd.\n";
        EXPECT_NE(ui.helper_text().find(lines), std::string::npos) << ui.helper_text();
        EXPECT_NE(ui.transcript().find("[note] Błędna wartość CF dla reguły!\n" + lines), std::string::npos);
        EXPECT_EQ(ui.helper_text().find("puste linie"), std::string::npos);
    }
}

TEST(RulesLoad, FactCfOutOfRangeUnloadsTheBase) {
    std::string dir = temp_dir("factcf");
    std::string path =
        write_base(dir, "REFCF.BEN", "reguła(1,\"b\",[\"a\"],1,\"0.5\")\nfakt(\"a\",\"-1.01\")\n");
    RulesUi ui({path});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), "");
    EXPECT_FALSE(s.kb.nazwa_re.loaded());
    EXPECT_TRUE(s.kb.rules.fakt.empty());
    EXPECT_NE(ui.transcript().find("[note] Błędna wartość CF dla faktu!\nBłędna wartość CF dla faktu 'a'.\n"
                                   "CF musi być liczbą rzeczywistą z przedziału [-1,1].\n"
                                   "Przejdź do 'Bazy reguł niepewnej,'\n"),
              std::string::npos);
    EXPECT_EQ(ui.title(), "zuva");
}

TEST(RulesLoad, FactThatIsARuleConclusionUnloadsTheBase) {
    std::string dir = temp_dir("facts");
    std::string path = write_base(dir, "REFAKT.BEN",
                                  "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n"
                                  "reguła(2,\"c\",[\"b\"],1,\"0.5\")\n"
                                  "reguła_dysjunktywna(\"c\")\n"
                                  "fakt(\"a\",\"1\")\nfakt(\"b\",\"0.5\")\nfakt(\"nieznany\",\"0.5\")\n");
    RulesUi ui({path});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), "");
    EXPECT_FALSE(s.kb.nazwa_re.loaded());
    EXPECT_TRUE(s.kb.rules.regula.empty());
    EXPECT_TRUE(s.kb.rules.fakt.empty());
    EXPECT_EQ(s.kb.rules.regula_dysjunktywna.count(), 1u);
    EXPECT_EQ(ui.title(), "zuva");
    EXPECT_NE(
        ui.helper_text().find("Błędne fakty bazy reguł.\nNastępujące fakty nie są warunkami dopytywalnymi: \n"
                              "b\nnieznany\nPrzejdź do 'Bazy reguł niepewnej',\n"
                              "wybierz opcję 'Edycja bazy reguł', wybierz błędną bazę \n"
                              "i usuń fakty nie będące warunkami dopytywalnymi!\n"),
        std::string::npos);
    EXPECT_NE(ui.transcript().find("[note] Błędne fakty bazy reguł!\nNastępujące fakty nie są warunkami "
                                   "dopytywalnymi: \nb\nnieznany\nPrzejdź do 'Bazy reguł niepewnej',\n"
                                   "wybierz opcję 'Edycja bazy reguł', wybierz błędną bazę \n"
                                   "i usuń fakty nie będące warunkami dopytywalnymi lub\n"
                                   "wprowadź odpowiednie warunki dopytywalne do reguł.\n"),
              std::string::npos);
    // No per-conclusion lists for a base that is gone.
    EXPECT_TRUE(s.inference.lista_numerow_regul_kumulatywnych.empty());
}

TEST(RulesLoad, RepeatedRuleNumbersAreReportedAndTheBaseStaysMarked) {
    std::string dir = temp_dir("numbers");
    std::string path = write_base(dir, "RENUM.BEN",
                                  "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n"
                                  "reguła(2,\"c\",[\"b\"],1,\"0.5\")\n"
                                  "reguła(1,\"d\",[\"c\"],1,\"0.5\")\n");
    RulesUi ui({path});
    Session s(ui);
    CommandRegistry r;
    install_handlers(r);
    (*r.find(10064))(s);
    EXPECT_TRUE(s.kb.nazwa_re.loaded());
    EXPECT_EQ(s.kb.rules.regula.count(), 3u);
    EXPECT_TRUE(numbering_failed(s));
    EXPECT_TRUE(s.kb.jestem_tu.empty());
    EXPECT_EQ(ui.title(), "zuva_EN wnioskuje dla bazy wiedzy num");
    EXPECT_FALSE(is_enabled(s, 10164));  // the load failed: nothing was enabled
    EXPECT_NE(ui.helper_text().find("W bazie reguł RENUM.BEN występuje \n"
                                    "conajmniej dwukrotnie reguła o numerze 1.\n"),
              std::string::npos);
    EXPECT_NE(
        ui.transcript().find("[note] Błąd bazy reguł\nW bazie reguł elementarnej niepewnej\n RENUM.BEN\n"),
        std::string::npos);
}

TEST(RulesLoad, SingleConditionRuleWithCfOneIsShownOnRequest) {
    std::string dir = temp_dir("single");
    std::string path = write_base(dir, "RESINGLE.BEN",
                                  "reguła(1,\"b\",[\"a\"],1,\"1\")\n"
                                  "reguła(2,\"c\",[\"a\"],1,\"0.99\")\n"
                                  "reguła(3,\"d\",[\"a\",\"x\"],1,\"1\")\n"
                                  "reguła(4,\"e\",[\"x\"],1,\"1.0\")\n"
                                  "reguła(5,\"f\",[],1,\"1\")\n"
                                  "reguła(6,\"g\",[\"y\"],1,\"1e0\")\n");
    RulesUi ui({path, "Tak", "&Tak", "Nie"});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), path);
    ASSERT_EQ(s.kb.pojedynczy_warunek.count(), 3u);
    EXPECT_EQ(s.kb.pojedynczy_warunek[0].rule_number, 1);
    EXPECT_EQ(s.kb.pojedynczy_warunek[1].rule_number, 4);
    EXPECT_EQ(s.kb.pojedynczy_warunek[2].rule_number, 6);
    EXPECT_FALSE(ui.has_answers());

    const std::string& t = ui.transcript();
    EXPECT_NE(
        t.find("[question] Wybierz:\nBaza reguł elementarna niepewna\n   RESINGLE.BEN\nma przynajmniej jedną "
               "regułę z CF=1 i z pojedynczym \nwarunkiem. \n\nReguła taka może być tautologią, zastępującą "
               "jedno \nokreślenie (warunek) innym określeniem (wniosek) \ni czyniąc tym samym bazę reguł "
               "mniej przejrzystą i \nczytelną.\n\nChcesz zobaczyć reguły z CF=1 i z pojedynczym warunkiem?\n"
               "buttons: &Tak | &Nie\n"),
        std::string::npos);
    EXPECT_NE(t.find("Reguła 1 z wnioskiem 'b'\nz CF=1 i z pojedynczym warunkiem 'a'\n"), std::string::npos);
    EXPECT_NE(
        t.find("[question] Reguła z pojedynczym warunkiem\nW bazie reguł elementarnej niepewnej\n"
               "   RESINGLE.BEN\njest reguła 4 z wnioskiem\n   e,\nz CF=1 i z pojedynczym warunkiem\n   x\n\n"
               "Chcesz zobaczyć następną regułę z pojedynczym warunkiem?\n"),
        std::string::npos);
    // "Nie" at rule 4 stops before rule 6.
    EXPECT_EQ(t.find("Reguła 6 z wnioskiem"), std::string::npos);
    EXPECT_EQ(count_of(t, "[question] Reguła z pojedynczym warunkiem"), 2);
    EXPECT_NE(
        t.find("[note] Zalecenie\nJeżeli zauważysz regułę tautologiczną, to przejdź do 'Baza reguł',\n"),
        std::string::npos);
    EXPECT_TRUE(s.kb.nazwa_re.loaded());  // only a warning
}

TEST(RulesLoad, NoSingleConditionWarningBelowCfOne) {
    std::string dir = temp_dir("single099");
    std::string path = write_base(dir, "RE099.BEN", "reguła(1,\"b\",[\"a\"],1,\"0.99\")\n");
    RulesUi ui({path});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), path);
    EXPECT_TRUE(s.kb.pojedynczy_warunek.empty());
    EXPECT_EQ(ui.transcript().find("pojedynczym"), std::string::npos);
}

TEST(RulesLoad, SpecialTextsAreNeverAskable) {
    std::string dir = temp_dir("special");
    std::string path = write_base(dir, "RESPEC.BEN",
                                  "reguła(1,\"b\",[\"a\"],1,\"0.5\")\n"
                                  "reguła(2,\"c\",[\"b\",\"a\"],1,\"0.5\")\n"
                                  "reguła(3,\"koniec\",[\"c\"],1,\"0.5\")\n"
                                  "reguła(4,\"d\",[\"bez warunku\"],1,\"0.5\")\n"
                                  "reguła(5,\"e\",[\"koniec\",\"bez warunku\"],1,\"0.5\")\n");
    RulesUi ui({path});
    Session s(ui);
    EXPECT_EQ(ladowanie_bazy_regul(s), path);
    EXPECT_EQ(*s.kb.lista_warunkow_dopytywalnych.first(), TextList{"a"});
}

TEST(RulesLoad, LoadingAgainKeepsOneNameRecordAndStartsANewKnowledgeBase) {
    std::string path = kData + "/REAUTO.BEN";
    RulesUi ui({path, path});
    Session s(ui);
    ladowanie_bazy_regul(s);
    s.kb.nazwa_mo.short_name.append("MOAUTO.BEN");
    s.kb.models.m_fakt.append({"x", "1"});
    ladowanie_bazy_regul(s);
    EXPECT_EQ(s.kb.nazwa_re.short_name.count(), 1u);
    EXPECT_EQ(s.kb.nazwa_re.full_path.count(), 1u);
    EXPECT_EQ(s.kb.wyroznik.count(), 1u);
    EXPECT_EQ(s.kb.lista_warunkow_dopytywalnych.count(), 1u);
    EXPECT_EQ(s.kb.dopytywalny.count(), 6u);
    EXPECT_EQ(s.kb.rules.regula.count(), 6u);
    EXPECT_FALSE(s.kb.nazwa_mo.loaded());
    EXPECT_TRUE(s.kb.models.m_fakt.empty());
}
