// The bundled sample knowledge base (examples/BAZY, the car that does not start) as tests
// use it: where it lies and the askable symptoms in the order a forward run asks them
// (rule-table order).
#pragma once
#include <string>
#include <vector>

namespace zuva::testing_support {

inline const std::string kExamples = std::string(ZUVA_TEST_DATA) + "/../../examples";

inline const std::vector<std::string> kSampleSymptoms = {
    "wskaznik_paliwa_na_zero",
    "silnik_kreci_ale_nie_zapala",
    "brak_zapachu_paliwa_przy_rozruchu",
    "rozrusznik_kreci_wolno",
    "kontrolki_gasna_przy_rozruchu",
    "akumulator_rozladowany",
    "akumulator_starszy_niz_piec_lat",
    "silny_mroz",
    "duzy_spadek_napiecia_przy_rozruchu",
    "klemy_skorodowane_lub_luzne",
    "rozrusznik_nie_kreci",
    "slychac_klikanie",
    "kontrolki_swieca_jasno_przy_rozruchu",
    "brak_iskry_na_swiecy",
    "wilgoc_na_przewodach_zaplonowych",
    "pompa_paliwa_milczy",
};

}  // namespace zuva::testing_support
