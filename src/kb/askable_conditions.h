// The askable conditions of the rule base: conditions that no rule concludes, without the
// special texts of the rule language; the derived lists they come from, and their records.
#pragma once
#include <string>

#include "store/values.h"

namespace zuva {

struct Session;

// Fills `lista_warunkow` and the two `lista_wnioskow_regul` records (without and with
// "koniec"), made from the load's statement ids when first read, and returns the askable
// conditions in the order of `lista_warunkow`.
TextList wyznacz_warunki_dopytywalne(Session& s);
// Sorts the list by the Windows-1250 bytes and inserts it at the front of
// `lista_warunkow_dopytywalnych`.
void pamietaj_liste_dopytywalnych(Session& s, const TextList& askable);
// Appends one `dopytywalny` record per element, in list order.
void pamietaj_warunki_dopytywalne(Session& s, const TextList& askable);
// The askable items for display: those of the rule and model bases when a model base is
// loaded, else the rule base's askable conditions.
TextList ogolna_lista_dopytywalnych(const Session& s);

}  // namespace zuva
