// The verdicts of the diagnoses that gate later commands: a base with such a verdict can be
// browsed and edited but not consulted, and it keeps other bases from being loaded on it.
#pragma once
#include <string>

#include "store/table.h"

namespace zuva {

struct Session;

// True when the table holds the value (verdict tables hold "TAK" or "NIE").
bool werdykt(const Table<std::string>& t, const char* value);

// The rule base was found externally contradictory.
bool sprzeczna_baza_regul(const Session& s);
// An arithmetic (direct or nested) or a relational contradiction of the model base was found.
bool sprzeczna_baza_modeli(const Session& s);
// A joint contradiction of the model base with the rule base was found.
bool sprzecznosc_modeli_i_regul(const Session& s);

// The loads of exact and uncertain constraints and of advice go on only on a rule base that
// is not contradictory, alone or together with its model base.
bool ladowanie_ograniczen_i_rad_dozwolone(const Session& s);

}  // namespace zuva
