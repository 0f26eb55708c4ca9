// Enabling and disabling of main-menu commands, the ids that operations refer to, and the
// groups of commands that the stages of a run enable; the front end asks which are enabled.
#pragma once
#include <initializer_list>
#include <vector>

namespace zuva {

struct Session;

void enable_commands(Session& s, std::initializer_list<int> ids);
void enable_commands(Session& s, const std::vector<int>& ids);
void enable_range(Session& s, int first, int last);
void disable_commands(Session& s, std::initializer_list<int> ids);
bool is_enabled(const Session& s, int id);

// Commands referred to by the operations of other modules.
namespace cmd {
inline constexpr int ladowanie_bazy_regul = 10064;
inline constexpr int import_dopytywalnych = 10065;
inline constexpr int selektywny_wybor_regul = 10067;
inline constexpr int przeglad_wszystkich_regul = 10068;
inline constexpr int przeglad_dopytywalnych_regul = 10069;
inline constexpr int diagnostyka_sprzecznosci_zewnetrznych = 10073;
inline constexpr int diagnostyka_nadmiarowosci_regul = 10075;
inline constexpr int ladowanie_bazy_modeli = 10077;
inline constexpr int diagnostyka_sprzecznosci_modeli = 10090;
inline constexpr int diagnostyka_sprzecznosci_modeli_i_regul = 10091;
inline constexpr int ladowanie_bazy_ograniczen = 10093;
inline constexpr int diagnostyka_sprzecznosci_ograniczen = 10100;
inline constexpr int diagnostyka_nadmiarowosci_ograniczen = 10101;
inline constexpr int ladowanie_bazy_ograniczen_n = 10103;
inline constexpr int diagnostyka_sprzecznosci_ograniczen_n = 10110;
inline constexpr int diagnostyka_nadmiarowosci_ograniczen_n = 10111;
inline constexpr int ladowanie_bazy_rad = 10113;
inline constexpr int ladowanie_bazy_grafiki = 10124;
inline constexpr int ladowanie_bazy_dzwiekow = 10134;
inline constexpr int czytanie_raportu = 10151;
inline constexpr int kasowanie_raportu = 10152;
inline constexpr int wnioskowanie_w_przod = 10164;
inline constexpr int wnioskowanie_wstecz = 10165;
inline constexpr int nowe_okno_pomocnicze = 10167;
inline constexpr int ustaw_katalog = 10168;
inline constexpr int pomoc = 10169;
inline constexpr int o_programie = 10170;
inline constexpr int wlasciciel = 10171;
// Enabled when a consultation ends normally, disabled when the next one starts.
inline constexpr int jak_uzyskano_wniosek = 10180;
// Enabled when a summary has been saved.
inline constexpr int przypadek_testowy = 10181;
inline constexpr int dziennik_konsultacji = 10182;
// The picture of the network of the loaded bases.
inline constexpr int graf_bazy_wiedzy = 10185;
}  // namespace cmd

// Enabling groups, in the order the run reaches them.
const std::vector<int>& intro_closed_set();      // the introductory window was closed
const std::vector<int>& rules_loaded_set();      // a rule base was loaded
const std::vector<int>& models_loaded_set();     // a model base was loaded
const std::vector<int>& exact_loaded_set();      // an exact-constraint base was loaded
const std::vector<int>& uncertain_loaded_set();  // an uncertain-constraint base was loaded
const std::vector<int>& advice_loaded_set();     // an advice base was loaded
const std::vector<int>& graphics_loaded_set();   // a graphics base was loaded
const std::vector<int>& sounds_loaded_set();     // a sound base was loaded
const std::vector<int>& texts_loaded_set();      // a texts base was loaded

void enable_intro_closed_set(Session& s);
void enable_rules_loaded_set(Session& s);
void enable_models_loaded_set(Session& s);
void enable_exact_loaded_set(Session& s);
void enable_uncertain_loaded_set(Session& s);
void enable_advice_loaded_set(Session& s);
void enable_graphics_loaded_set(Session& s);
void enable_sounds_loaded_set(Session& s);
void enable_texts_loaded_set(Session& s);

}  // namespace zuva
