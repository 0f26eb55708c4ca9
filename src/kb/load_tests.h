// Certainty-factor tests run when a base is loaded: the CF text of every rule, declared
// fact and model fact must read as a real in [-1, 1]. The first faulty record is reported
// in the report and a note, and the base it belongs to is unloaded.
#pragma once

namespace zuva {

struct Session;

// Removes all rules, all declared facts and the rule-base names.
void usuniecie_bazy_regul(Session& s);
// Removes the four model kinds, the known arguments, the model facts and the model-base name.
void usuniecie_bazy_modeli(Session& s);

// Each returns true when every record is accepted; otherwise reports the first faulty
// record, unloads its base and returns false.
bool testuj_cf_regul(Session& s);
bool testuj_cf_faktow(Session& s);
bool testuj_cf_m_faktow(Session& s);

}  // namespace zuva
