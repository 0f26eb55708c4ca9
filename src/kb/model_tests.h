// Load-time tests of the model base: the CF text of every kind of model, the operation
// symbols and the lengths of the lists. The first faulty record is reported in the
// report and a note, and the whole model base is unloaded.
#pragma once

namespace zuva {

struct Session;

// Each returns true when every record of its kind is accepted.
bool testuj_cf_modeli_arytmetycznych_rozwinietych(Session& s);
bool testuj_cf_modeli_arytmetycznych_elementarnych_1(Session& s);  // two-value operations
bool testuj_cf_modeli_arytmetycznych_elementarnych_2(Session& s);  // one-value operations
bool testuj_cf_modeli_liniowych(Session& s);
bool testuj_cf_modeli_relacyjnych_elementarnych(Session& s);
bool testuj_cf_modeli_relacyjnych_rozwinietych(Session& s);
bool testuj_cf_modeli_wielomianowych(Session& s);
bool testuj_operacje_relacje_modeli_elementarnych(Session& s);
bool testuj_operacje_relacje_modeli_rozwinietych(Session& s);
bool testuj_listy_modeli_liniowych(Session& s);
bool testuj_listy_modeli_wielomianowych(Session& s);

// All of the above in the load order, then the CF texts of the model facts; stops at
// the first failure.
bool testy_modeli_przy_ladowaniu(Session& s);

}  // namespace zuva
