// Verdicts are read from the first matching record, as every reader of a verdict table does.
#include "session/verdicts.h"

#include "session/session.h"

namespace zuva {

bool werdykt(const Table<std::string>& t, const char* value) {
    return t.find_first([&](const std::string& v) { return v == value; }) != nullptr;
}

bool sprzeczna_baza_regul(const Session& s) {
    return werdykt(s.kb.sprzecznosc_1z, "TAK");
}

bool sprzeczna_baza_modeli(const Session& s) {
    const VerifyState& v = s.verify;
    return werdykt(v.model_aryt_sprzeczny, "TAK") || werdykt(v.model_sprzeczny_gleboko, "TAK") ||
           werdykt(v.model_rela_sprzeczny, "TAK");
}

bool sprzecznosc_modeli_i_regul(const Session& s) {
    return werdykt(s.verify.sprzecznosc_mr, "TAK");
}

bool ladowanie_ograniczen_i_rad_dozwolone(const Session& s) {
    return !sprzeczna_baza_regul(s) && !sprzecznosc_modeli_i_regul(s);
}

}  // namespace zuva
