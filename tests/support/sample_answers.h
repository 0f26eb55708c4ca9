// Answers to every question the bundled sample base (examples/BAZY) asks, by the name of what
// is asked: the answers of tests/data/api/forward.txt and backward.txt. Tests of the session
// API, of the web server and the load benchmark of the web server consult with them.
#pragma once
#include <map>
#include <string>

namespace zuva::testing_support {

inline const std::map<std::string, std::string> kSampleAnswers = {
    {"wskaznik_paliwa_na_zero", "-1"},
    {"silnik_kreci_ale_nie_zapala", "-1"},
    {"rozrusznik_nie_kreci", "-1"},
    {"brak_zapachu_paliwa_przy_rozruchu", "-1"},
    {"rozrusznik_kreci_wolno", "1"},
    {"kontrolki_gasna_przy_rozruchu", "1"},
    {"akumulator_starszy_niz_piec_lat", "0.5"},
    {"silny_mroz", "0.8"},
    {"duzy_spadek_napiecia_przy_rozruchu", "0.5"},
    {"klemy_skorodowane_lub_luzne", "-0.5"},
    {"slychac_klikanie", "-1"},
    {"kontrolki_swieca_jasno_przy_rozruchu", "-1"},
    {"brak_iskry_na_swiecy", "-1"},
    {"wilgoc_na_przewodach_zaplonowych", "-1"},
    {"pompa_paliwa_milczy", "-1"},
    {"napiecie_spoczynkowe", "11.9"},
    {"napiecie_podczas_rozruchu", "9.1"},
    {"akumulator_rozladowany", "0.8"},
};

}  // namespace zuva::testing_support
