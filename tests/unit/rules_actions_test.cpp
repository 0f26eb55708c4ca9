// Rule-base actions and commands: browsing the file, the askable list and the rules,
// creating and deleting rule-base files, and the load-time tests called on their own.
#include <gtest/gtest.h>

#include <filesystem>

#include "kb/askable_conditions.h"
#include "kb/load_tests.h"
#include "kb/rule_base.h"
#include "rules_test_support.h"
#include "session/command_registry.h"
#include "shell/handlers.h"

using namespace zuva;
using namespace zuva::testing;

namespace {

void run(Session& s, int id) {
    CommandRegistry r;
    install_handlers(r);
    const CommandHandler* h = r.find(id);
    ASSERT_NE(h, nullptr) << id;
    (*h)(s);
}

const std::string kBase =
    "reguła(1,\"b\",[\"a\",\"ćma\"],1,\"0.5\")\n"
    "reguła(2,\"c\",[\"b\"],0,\"-0.3\")\n";

}  // namespace

TEST(RulesActions, BrowsingTheFileShowsItsTextUnderTheBrowseTitle) {
    std::string dir = temp_dir("browse");
    std::string path = write_base(dir, "REPRZ.BEN", kBase);
    RulesUi ui({path, "Nie"});
    Session s(ui);
    ASSERT_EQ(ladowanie_bazy_regul(s), path);
    run(s, 10068);
    // The browse title while the window is open; closed at once here, the title goes back.
    EXPECT_NE(ui.transcript().find("[title] zuva_EN Przegląd pliku bazy: REPRZ.BEN\n"), std::string::npos);
    EXPECT_EQ(ui.title(), "zuva_EN");
    // The Windows-1250 file comes back as the program's UTF-8 text.
    EXPECT_NE(ui.transcript().find("[browse] Przegląd\n" + kBase), std::string::npos) << ui.transcript();
}

TEST(RulesActions, BrowsingWithoutRulesSaysSo) {
    RulesUi ui;
    Session s(ui);
    EXPECT_FALSE(dzialanie_w_bazie_regul(s, 1).ok);
    for (int id : {10067, 10068}) {
        run(s, id);
        EXPECT_EQ(count_of(ui.transcript(), "[note] Uwaga błąd!\nBrak bazy reguł!\n"), id == 10067 ? 1 : 2);
    }
}

TEST(RulesActions, RuleWindowListsEveryRuleInTableOrderAndShowsTheChosenOne) {
    std::string dir = temp_dir("list");
    std::string path = write_base(dir, "RELIST.BEN", kBase + "reguła(1,\"d\",[],1,\"1\")\n");
    RulesUi ui({path, "3", "1", ""});
    Session s(ui);
    ladowanie_bazy_regul(s);  // a repeated number: loaded but marked
    run(s, 10067);
    EXPECT_NE(
        ui.transcript().find("[records] Przegląd reguł\n"
                             "Sumaryczna liczba reguł: 3\n"
                             "Nr reguły:\n1. 1\n2. 2\n3. 1\n"
                             "answer: 3\n"
                             "[record] Nr reguły 1\nWniosek z reguły: d\nLista warunków:\n"
                             "answer: 1\n"
                             "[record] Nr reguły 1\nWniosek z reguły: b\nLista warunków:\n    a\n    ćma\n"
                             "answer: \n[new-helper] 100\n"),
        std::string::npos)
        << ui.transcript();
}

TEST(RulesActions, AskableListOfTheRuleBaseAloneAndWithAModelBase) {
    std::string dir = temp_dir("askable");
    std::string path = write_base(dir, "REDOP.BEN", kBase);
    RulesUi ui({path});
    Session s(ui);
    ladowanie_bazy_regul(s);
    run(s, 10069);
    EXPECT_NE(ui.transcript().find("Warunki dopytywalne  bazy reguł  REDOP.BEN\n"
                                   "[browse-list] Warunki dopytywalne bazy reguł REDOP.BEN\na\nćma\n"),
              std::string::npos)
        << ui.transcript();

    // With a model base the list of all askable items of both bases is shown.
    s.kb.nazwa_mo.short_name.append("MODOP.BEN");
    s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.append({"a", "ćma", "x1"});
    RuleAction a = dzialanie_w_bazie_regul(s, 2);
    EXPECT_EQ(a.title, "Warunki dopytywalne bazy reguł z uwzględnieniem bazy modeli.");
    EXPECT_EQ(a.items, (TextList{"a", "ćma", "x1"}));
    EXPECT_NE(ui.helper_text().find("     Warunki dopytywalne bazy reguł REDOP.BEN\n"
                                    "       z uwzględnieniem bazy modeli MODOP.BEN\n"),
              std::string::npos);
}

TEST(RulesActions, CreatingARuleBaseUnloadsTheLoadedOneAndCreatesAnEmptyFile) {
    std::string dir = temp_dir("create");
    std::string path = write_base(dir, "REOLD.BEN", kBase);
    std::string created = dir + "/RENOWA.BEN";
    write_file_bytes(created, "stara treść");
    RulesUi ui({path, created, "&NIE", created, "TAK", "Nie"});
    Session s(ui);
    ladowanie_bazy_regul(s);
    run(s, 10071);
    EXPECT_FALSE(s.kb.nazwa_re.loaded());
    EXPECT_TRUE(s.kb.rules.regula.empty());
    EXPECT_TRUE(s.kb.lista_warunkow_dopytywalnych.empty());
    EXPECT_TRUE(s.kb.dopytywalny.empty());
    EXPECT_EQ(ui.title(), "zuva");
    EXPECT_EQ(read_file_bytes(created), std::string());  // an existing file is truncated
    const std::string& t = ui.transcript();
    EXPECT_NE(t.find("[save-file] Podaj nazwę nowej bazy reguł\nmask: RE*.BEN\n"), std::string::npos);
    EXPECT_NE(t.find("[note] Tworzenie nowej bazy reguł\nNowa baza reguł RENOWA.BEN została utworzona.\n"),
              std::string::npos);
    EXPECT_NE(
        t.find("[question] Tworzenie bazy reguł\nCzy chcesz przejść od razu do edycji\nnowej bazy reguł "
               "RENOWA.BEN ?\nbuttons: &TAK | &NIE\n"),
        std::string::npos);
    EXPECT_EQ(t.find("[editor]"), std::string::npos);

    // "&TAK" opens the editor on the new file.
    run(s, 10071);
    EXPECT_NE(ui.transcript().find("[editor] " + created), std::string::npos);
}

TEST(RulesActions, DeletingARuleBaseFileUnloadsTheRuleBase) {
    std::string dir = temp_dir("delete");
    std::string loaded = write_base(dir, "REZAL.BEN", kBase);
    std::string other = write_base(dir, "REINNA.BEN", kBase);
    RulesUi ui({loaded, other, "Nie", other, "Tak"});
    Session s(ui);
    ladowanie_bazy_regul(s);

    run(s, 10072);  // "Nie": nothing happens
    EXPECT_TRUE(file_exists(other));
    EXPECT_TRUE(s.kb.nazwa_re.loaded());

    run(s, 10072);  // a different file than the loaded one: the rule base is unloaded all the same
    EXPECT_FALSE(file_exists(other));
    EXPECT_TRUE(file_exists(loaded));
    EXPECT_FALSE(s.kb.nazwa_re.loaded());
    EXPECT_TRUE(s.kb.rules.regula.empty());
    EXPECT_TRUE(s.kb.rules.fakt.empty());
    EXPECT_TRUE(s.kb.lista_warunkow_dopytywalnych.empty());
    EXPECT_EQ(ui.title(), "zuva");
    const std::string& t = ui.transcript();
    EXPECT_NE(t.find("[open-file] Wybierz bazę reguł przeznaczoną do usunięcia\nmask: RE*.BEN\n"),
              std::string::npos);
    EXPECT_NE(
        t.find("[question] Usunięcie bazy reguł\nCzy jesteś pewien, że chcesz usunąć bazę reguł REINNA.BEN "
               "?\nbuttons: Tak | Nie\n"),
        std::string::npos);
    EXPECT_NE(t.find("[note] Uwaga!\nBaza reguł REINNA.BEN została usunięta.\n"), std::string::npos);
}

TEST(RulesActions, EditingAskForTheFileThenOpensTheEditor) {
    std::string dir = temp_dir("edit");
    std::string path = write_base(dir, "REED.BEN", kBase);
    RulesUi ui({"", path, "Tak"});
    Session s(ui);
    run(s, 10070);  // cancelled
    EXPECT_EQ(ui.transcript().find("[editor]"), std::string::npos);
    run(s, 10070);
    EXPECT_NE(ui.transcript().find("[open-file] Wybierz nazwę edytowanej bazy reguł : \nmask: RE*.BEN\n"),
              std::string::npos);
    EXPECT_NE(ui.transcript().find("[editor] " + path), std::string::npos);
}

TEST(RulesLoadTests, ModelFactCfUnloadsTheModelBaseOnly) {
    RulesUi ui;
    Session s(ui);
    s.kb.nazwa_re.short_name.append("REX.BEN");
    s.kb.nazwa_mo.short_name.append("MOX.BEN");
    s.kb.models.m_fakt.append({"p", "0.5"});
    s.kb.models.m_fakt.append({"q", "1.2"});
    s.kb.models.model.append({});
    s.kb.models.argument_znany.append({"x", 2.0});
    EXPECT_FALSE(testuj_cf_m_faktow(s));
    EXPECT_FALSE(s.kb.nazwa_mo.loaded());
    EXPECT_TRUE(s.kb.models.m_fakt.empty());
    EXPECT_TRUE(s.kb.models.model.empty());
    EXPECT_TRUE(s.kb.models.argument_znany.empty());
    EXPECT_TRUE(s.kb.nazwa_re.loaded());
    EXPECT_NE(
        ui.transcript().find("[note] Błędna wartość CF dla m_faktu!\nBłędna wartość CF dla m_faktu 'q'.\n"
                             "CF musi być liczbą rzeczywistą z przedziału [-1,1].\n"
                             "Przejdź do 'Bazy modeli niepewnej,'\nwybierz opcję 'Edycja bazy modeli', \n"
                             "wybierz błędną bazę i usuń błąd.\n"),
        std::string::npos);
    // Valid texts at both ends of the range pass.
    s.kb.models.m_fakt.append({"p", "-1"});
    s.kb.models.m_fakt.append({"r", "1.0"});
    EXPECT_TRUE(testuj_cf_m_faktow(s));
}

TEST(RulesLoadTests, RuleCfThatIsNotANumberStopsTheRuleBase) {
    RulesUi ui;
    Session s(ui);
    s.kb.nazwa_re.short_name.append("REX.BEN");
    s.kb.nazwa_re.full_path.append("/x/REX.BEN");
    s.kb.rules.regula.append({1, "b", {"a"}, 1, "7"});  // a number, if out of range: accepted here
    EXPECT_TRUE(wykrywanie_niewlasciwego_cf_reguly(s));
    s.kb.rules.regula.append({3, "c", {"a"}, 1, "cf1"});
    EXPECT_FALSE(wykrywanie_niewlasciwego_cf_reguly(s));
    EXPECT_TRUE(s.kb.rules.regula.empty());
    EXPECT_FALSE(s.kb.nazwa_re.loaded());
    EXPECT_NE(ui.transcript().find("Reguła 3 ma niepoprawną wartość CF.\n[note] Błąd bazy reguł\n"
                                   "Reguła 3 ma niepoprawną wartość CF.\nWnioskowanie niemożliwe.\n"),
              std::string::npos);
}

TEST(RulesAskable, ChainOfRulesLeavesOnlyItsFirstCondition) {
    RulesUi ui;
    Session s(ui);
    s.kb.rules.regula.append({1, "b", {"a"}, 1, "0.5"});
    s.kb.rules.regula.append({2, "c", {"b"}, 1, "0.5"});
    s.kb.rules.regula.append({3, "d", {"a", "b"}, 1, "0.5"});
    EXPECT_EQ(wyznacz_warunki_dopytywalne(s), TextList{"a"});
    // Windows-1250 byte order: Ź is 0x8F, ź 0x9F, ą 0xB9, all above the ASCII letters.
    pamietaj_liste_dopytywalnych(s, {"ź", "z", "Ź", "a", "ą", "A"});
    EXPECT_EQ(*s.kb.lista_warunkow_dopytywalnych.first(), (TextList{"A", "a", "z", "Ź", "ź", "ą"}));
}
