// The terminal's lists whose items begin with numbers of their own, and its save dialog's
// extension and value prompts, on string streams.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "cli/numbered_items.h"
#include "cli/terminal_ui.h"
#include "session/session.h"
#include "text/file_io.h"
#include "ui/file_names.h"

namespace zuva {
namespace {

struct Terminal {
    explicit Terminal(const std::string& input) : in(input), ui(in, out, false), s(ui) { ui.attach(&s); }
    bool shows(const std::string& text) const { return out.str().find(text) != std::string::npos; }
    std::istringstream in;
    std::ostringstream out;
    TerminalUi ui;
    Session s;
};

const std::vector<std::string> kRules = {"1  brak_paliwa", "10  uszkodzony_zaplon", "11  uszkodzony_zaplon",
                                         "12  uszkodzona_pompa_paliwa", "18  wezwij_pomoc_drogowa"};

TEST(TerminalNumberedLists, PositionsCannotBeReadAsRuleNumbersAndRuleNumbersCanBeTyped) {
    Terminal t("#18\n2\n#7\n5\n1,#12\n");
    EXPECT_EQ(t.ui.choose_one("Wybór reguły", kRules), 4);  // rule 18 by its number
    EXPECT_TRUE(t.shows("  [2] 10  uszkodzony_zaplon\n")) << t.out.str();
    EXPECT_FALSE(t.shows("2) 10")) << t.out.str();
    EXPECT_TRUE(t.shows("albo numer z listy po znaku #, np. #1")) << t.out.str();
    EXPECT_EQ(t.ui.choose_one("Wybór reguły", kRules), 1);  // a plain number is the position
    EXPECT_EQ(t.ui.choose_one("Wybór reguły", kRules), 4);  // no rule 7: asked again, then 5
    EXPECT_TRUE(t.shows("Żadna pozycja listy nie ma numeru 7."));
    EXPECT_EQ(t.ui.choose_many("Wybór reguł", kRules), (std::vector<int>{0, 3}));
    // Items without numbers keep the plain positions.
    Terminal plain("1\n");
    EXPECT_EQ(plain.ui.choose_one("Fakty", {"a", "b"}), 0);
    EXPECT_TRUE(plain.shows("  1) a\n"));
    EXPECT_FALSE(items_begin_with_numbers({"12 a", "b"}));
    EXPECT_EQ(position_of_own_number(kRules, "# 11 "), std::optional<std::size_t>(2));
    EXPECT_EQ(position_of_own_number(kRules, "11"), std::nullopt);
}

TEST(TerminalValues, BlanksAreNoRefusalAndACommaSaysWhy) {
    Terminal t("0,5\n 0.5 \n");
    EXPECT_EQ(t.ui.value_dialog("Określ wartość CF", "Podaj CF", "a"), std::optional<std::string>("0,5"));
    EXPECT_EQ(t.ui.value_dialog("Określ wartość CF", "Podaj CF", "a"), std::optional<std::string>(" 0.5 "));
    EXPECT_TRUE(t.shows("'0,5' nie jest liczbą: część dziesiętną oddziela się kropką, np. 0.8."));
    EXPECT_FALSE(t.shows("'0.5' nie jest liczbą"));
}

TEST(SaveDialogs, NameWithoutExtensionGetsTheMasks) {
    EXPECT_EQ(with_mask_extension("wynik", "*.RPT"), "wynik.RPT");
    EXPECT_EQ(with_mask_extension("kat.d/wynik", "*.RPT"), "kat.d/wynik.RPT");
    EXPECT_EQ(with_mask_extension("wynik.txt", "*.RPT"), "wynik.txt");
    EXPECT_EQ(with_mask_extension("wynik", "*.*"), "wynik");
    EXPECT_EQ(with_mask_extension("wynik", "*"), "wynik");
    std::string tmpl = (std::filesystem::temp_directory_path() / "zuva-save-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    ASSERT_TRUE(write_file_bytes(tmpl + "/WYNIK.RPT", "stary"));
    // The terminal asks about the whole name, extension added.
    Terminal t("WYNIK\nTak\n");
    t.s.current_dir = tmpl;
    EXPECT_EQ(t.ui.save_file("*.RPT", {}, "Podaj nazwę nowego pliku raportu"), tmpl + "/WYNIK.RPT");
    EXPECT_TRUE(t.shows("Plik " + tmpl + "/WYNIK.RPT już istnieje.")) << t.out.str();
    std::filesystem::remove_all(tmpl);
}

}  // namespace
}  // namespace zuva
