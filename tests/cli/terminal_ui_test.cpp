// The terminal port on string streams: prompts that ask again, defaults, file choice,
// the menu loop, the helper window and the editor's code-page round trip.
#include "cli/terminal_ui.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cli/media.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/handlers.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

struct Terminal {
    explicit Terminal(const std::string& input) : in(input), ui(in, out, false), s(ui) { ui.attach(&s); }
    bool shows(const std::string& text) const { return out.str().find(text) != std::string::npos; }
    std::istringstream in;
    std::ostringstream out;
    TerminalUi ui;
    Session s;
};

TEST(TerminalPrompts, AskAgainUntilTheAnswerFits) {
    Terminal t("x\nta\n3\n2\n\nabc\n2\n9\n2,2\n1, 3-4\n\n");
    std::vector<std::string> yes_no = {"&Tak", "&Nie"};
    EXPECT_EQ(t.ui.question("Uwaga!", "Czy?", yes_no), 0);  // "ta": a unique beginning of "Tak"
    EXPECT_TRUE(t.shows("Nie rozumiem odpowiedzi 'x'."));
    EXPECT_TRUE(t.shows("  1) Tak  2) Nie"));
    EXPECT_EQ(t.ui.question("Uwaga!", "Czy?", yes_no), 1);  // "3" refused, then "2"
    EXPECT_EQ(t.ui.radio("Poziom szczegółowości", "Wybierz", {"Mała", "Duża"}, 1), 1);  // Enter: default
    EXPECT_EQ(t.ui.radio("Poziom szczegółowości", "Wybierz", {"Mała", "Duża"}, 1), 2);  // "abc" refused
    EXPECT_EQ(t.ui.choose_many("Fakty", {"a", "b", "c", "d"}), (std::vector<int>{1}));  // "9" refused
    EXPECT_EQ(t.ui.choose_many("Fakty", {"a", "b", "c", "d"}), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(t.ui.choose_one("Fakty", {"a"}), std::nullopt);
    // The end of input ends the program rather than hanging on the prompt.
    EXPECT_THROW(t.ui.value_dialog("dlg_cf", "Podaj CF", "silnik"), ProgramExit);
    EXPECT_TRUE(t.shows("Dotyczy: silnik"));
}

class TerminalFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "zuva-term-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        fs::create_directory(dir + "/PODKAT");
        for (const char* f : {"REAUTO.BEN", "reinne.ben", "MOAUTO.BEN", "PODKAT/REX.BEN"})
            ASSERT_TRUE(write_file_bytes(dir + "/" + f, "x"));
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string dir;
};

TEST_F(TerminalFiles, FileDialogListsTheMaskChoosesByNumberAndMovesIntoDirectories) {
    Terminal t("2\nbrak.ben\nREAUTO.BEN\nPODKAT\n1\n\n");
    t.s.current_dir = dir;
    EXPECT_EQ(t.ui.open_file("RE*.BEN", {{"Bazy reguł (RE*.BEN)", "RE*.BEN"}}, "Wybierz"),
              dir + "/reinne.ben");
    EXPECT_TRUE(t.shows("  1) REAUTO.BEN\n  2) reinne.ben\n"));
    EXPECT_FALSE(t.shows("MOAUTO.BEN"));
    EXPECT_TRUE(t.shows("Podkatalogi: PODKAT/"));
    // A file that does not exist is refused by the open dialog.
    EXPECT_EQ(t.ui.open_file("RE*.BEN", {}, "Wybierz"), dir + "/REAUTO.BEN");
    EXPECT_TRUE(t.shows("Nie ma pliku " + dir + "/brak.ben."));
    EXPECT_EQ(t.ui.open_file("RE*.BEN", {}, "Wybierz"), dir + "/PODKAT/REX.BEN");
    EXPECT_EQ(t.ui.save_file("RE*.BEN", {}, "Podaj nazwę"), "");  // empty line cancels
    EXPECT_FALSE(t.shows("dopisz rozszerzenie"));
}

TEST(TerminalMasks, StarsAndQuestionMarksOverCharacters) {
    EXPECT_TRUE(mask_match("re*.ben", "reauto.ben"));
    EXPECT_TRUE(mask_match("re*.ben", "re.ben"));
    EXPECT_FALSE(mask_match("re*.ben", "moauto.ben"));
    EXPECT_FALSE(mask_match("re*.ben", "reauto.bena"));
    EXPECT_TRUE(mask_match("*", ""));
    EXPECT_FALSE(mask_match("?", ""));
    EXPECT_TRUE(mask_match("d?*.ben", "dźwięki.ben"));  // '?' takes the whole letter ź
    EXPECT_TRUE(mask_match("??.ben", "dź.ben"));
    EXPECT_FALSE(mask_match("???.ben", "dź.ben"));
    EXPECT_TRUE(mask_match("*ę*", "dźwięk"));
    EXPECT_TRUE(mask_match("**a**b", "xxaxxb"));
    EXPECT_FALSE(mask_match("*a*b", "xxbxxa"));
    // Many stars against a long name that almost matches: answered at once.
    const std::string name = "re" + std::string(400, 'a') + ".ben";
    EXPECT_FALSE(mask_match("*a*a*a*a*a*a*a*a*a*a*a*a*x", name));
    EXPECT_FALSE(mask_match("**********************x", name));
    EXPECT_TRUE(mask_match("*a*a*a*a*a*a*a*a*a*a*a*a*.ben", name));
}

TEST_F(TerminalFiles, MaskTypedInTheDialogIgnoresCaseAndLongNames) {
    const std::string long_name = "RE" + std::string(200, 'a') + ".BEN";
    ASSERT_TRUE(write_file_bytes(dir + "/" + long_name, "x"));
    Terminal t("*a*a*a*a*a*a*a*a*a*a*x\n*A*A*B?N\n1\n");
    t.s.current_dir = dir;
    EXPECT_EQ(t.ui.open_file("RE*.BEN", {}, "Wybierz"), dir + "/" + long_name);
    EXPECT_TRUE(t.shows("Brak plików pasujących do maski w tym katalogu."));
    EXPECT_TRUE(t.shows("  1) " + long_name + "\n"));
}

TEST_F(TerminalFiles, SaveDialogSaysTheNameIsTakenAsTypedAndValuesAreNumbers) {
    Terminal t("wynik\nabc\n");
    t.s.current_dir = dir;
    // No extension is added: the hint says so for a plain "*.EXT" mask.
    EXPECT_EQ(t.ui.save_file("*.RPT", {{"Pliki raportów (*.RPT)", "*.RPT"}}, "Podaj nazwę"), dir + "/wynik");
    EXPECT_TRUE(t.shows("dopisz rozszerzenie (np. WYNIK.RPT)"));
    EXPECT_EQ(t.ui.value_dialog("Określ wartość CF", "Zadeklaruj CF", "silnik"), "abc");
    EXPECT_TRUE(t.shows("Wartość (liczba, np. 0.8 lub -1):"));
}

TEST_F(TerminalFiles, EditorWorksOnUtf8AndWritesWindows1250Back) {
    std::string file = dir + "/REAUTO.BEN";
    ASSERT_TRUE(write_file_bytes(file, *utf8_to_cp1250("reguła(1,\"stary\",[\"bez warunku\"],1,\"1\")\n")));
    const char* old = std::getenv("VISUAL");
    std::string saved = old ? old : "";
    setenv("VISUAL", "sed -i s/stary/żółty/", 1);
    Terminal t("1\n\n");  // "Zapisz" at the question, Enter after the note that the file was saved
    t.ui.open_editor(file, false);
    if (old)
        setenv("VISUAL", saved.c_str(), 1);
    else
        unsetenv("VISUAL");
    EXPECT_EQ(read_file_bytes(file), utf8_to_cp1250("reguła(1,\"żółty\",[\"bez warunku\"],1,\"1\")\n"));
    EXPECT_TRUE(t.shows("zapisany"));
}

TEST(TerminalInteractive, MenuOffersOnlyAvailableCommandsAndEndsOnConfirmation) {
    const auto& menu = main_menu();
    size_t help = 0;
    while (help < menu.size() && menu[help].title != "Pomoc")
        ++help;
    ASSERT_LT(help, menu.size());
    std::string input = "\n" + std::to_string(help + 1) + "\n2\n\n" + "10164\n99\no\n\nk\nNie\nk\nTak\n";
    Terminal t(input);
    CommandRegistry r;
    install_handlers(r);
    EXPECT_EQ(run_interactive(t.s, t.ui, r), 0);
    EXPECT_TRUE(t.shows("Załadowane bazy: brak"));
    EXPECT_TRUE(t.shows("  1) Pomoc  [10169]\n  2) O programie  [10170]\n  3) Właściciel  [10171]\n"));
    EXPECT_TRUE(t.shows("── Komunikat: O programie"));
    EXPECT_TRUE(
        t.shows("Polecenie 10164 (Wnioskowanie elementarne niepewne w przód) jest teraz niedostępne."));
    EXPECT_TRUE(t.shows("Nie ma polecenia o numerze 99."));
    EXPECT_TRUE(t.shows("── Okno pomocnicze"));
    // "Nie" keeps the program running: the question is asked twice.
    std::string out = t.out.str();
    std::string q = "Czy na pewno chcesz zakończyć program ?";
    EXPECT_NE(out.find(q), out.rfind(q));
}

TEST(TerminalInteractive, HelperWindowKeepsItsLastLines) {
    Terminal t("\n");
    t.ui.helper_recreate(2);
    t.ui.helper_write("pierwszy\ndrugi\ntrzeci\nczwar");
    t.out.str("");
    t.ui.show_helper_window();
    std::string shown = t.out.str();
    EXPECT_EQ(shown.find("pierwszy"), std::string::npos);
    EXPECT_NE(shown.find("drugi\ntrzeci\nczwar\n"), std::string::npos);
}

}  // namespace
}  // namespace zuva

namespace zuva {

TEST(TerminalMedia, PictureArtIsDrawnByTheLibraryOpenedOnFirstUse) {
    DecodedPicture p;
    p.ok = true;
    p.width = 2;
    p.height = 2;
    p.rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    const std::string colored = picture_art(p, 20, 10, true);
    ASSERT_FALSE(colored.empty());
    EXPECT_NE(colored.find("\x1b["), std::string::npos);
    EXPECT_EQ(colored.substr(colored.size() - 4), "\x1b[0m");
    const std::string plain = picture_art(p, 20, 10, false);
    EXPECT_FALSE(plain.empty());
    EXPECT_TRUE(picture_art(DecodedPicture{}, 20, 10, true).empty());
    EXPECT_TRUE(picture_art(p, 0, 10, true).empty());
}

}  // namespace zuva
