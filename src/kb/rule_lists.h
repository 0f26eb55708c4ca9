// Per-conclusion lists of the numbers of rules not yet applied, cumulative and disjunctive.
#pragma once
#include <cstdint>
#include <string>

namespace zuva {

struct Session;

bool is_disjunctive(const Session& s, const std::string& conclusion);
void tworz_listy_numerow_regul_kumulatywnych(Session& s);
void tworz_listy_numerow_regul_dysjunktywnych(Session& s);

}  // namespace zuva
