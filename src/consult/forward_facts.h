// The declared data at the start of a forward run (forward_facts.cpp): their presentation
// and the resultants they give. Internal to consult/.
#pragma once
#include <string>

#include "session/explain_state.h"
#include "store/knowledge_base.h"

namespace zuva {

struct Session;

// The declared facts under a heading (report lines and explanation dialog); with `check`
// each is first checked against the exact constraints.
void przedstaw_fakty_pierwotne(Session& s, const Table<Fakt>& facts, const std::string& heading,
                               bool check = false);
// wnioskowanie_cd_0: resultants of the declared data.
void wnioskowanie_cd_0(Session& s);

}  // namespace zuva
