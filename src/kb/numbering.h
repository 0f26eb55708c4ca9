// Tests that the records of a base are numbered without repetition; a repetition is
// reported in the helper window and a note, and recorded so that inference refuses.
#pragma once
#include <optional>
#include <string>

#include "store/knowledge_base.h"
#include "store/values.h"

namespace zuva {

struct Session;

// The first number that occurs again later in the list.
std::optional<std::int32_t> wszystkie_rozne(const IntList& numbers);
void kasowanie_testowania_numerow(Session& s);

// Each returns true when all numbers differ; otherwise reports, records "NIE" and fails.
bool testuj_numery_regul(Session& s);
bool testuj_numery_modeli(Session& s);
bool testuj_numery_ograniczen_dokladnych(Session& s);
bool testuj_numery_ograniczen_niepewnych(Session& s);
bool testuj_numery_rad(Session& s);

// Forgets the verdict of one kind of base (its base was unloaded); the others stand.
void zapomnij_werdykt_numerow(Session& s, BaseKind kind);

// True while a numbering test's verdict "NIE" stands.
bool numbering_failed(const Session& s);

}  // namespace zuva
