// Mutually exclusive conditions during a consultation: which constraints list a condition,
// the checks of CFs typed for their members, and the completion of the other members of a
// constraint once one member got its resultant.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "store/knowledge_base.h"

namespace zuva {

struct Session;

// The constraints of the loaded bases by member: positions in table order, so that the
// first constraint of a member is found without scanning the table. A base that is not
// loaded (no short name) contributes nothing. Built on first use in a run.
struct ConstraintIndex {
    std::unordered_map<std::string, std::vector<std::int32_t>> exact, uncertain;
};
const ConstraintIndex& indeks_ograniczen(Session& s);
// Forgets the index (the constraint tables changed, or a new run starts).
void zapomnij_indeks_ograniczen(Session& s);

// The condition is a member of a loaded exact / uncertain constraint.
bool w_ograniczeniu_dokladnym(Session& s, const std::string& condition);
bool w_ograniczeniu_niepewnym(Session& s, const std::string& condition);

// testuj_cf_warunku_1: only exactly -1 or 1 is accepted; another number writes the report
// line and shows the untitled note; a text that is not a number says nothing.
std::optional<double> testuj_cf_warunku_1(Session& s, const std::string& typed);
// kontrola_cf: exactly 1.0 or -1.0; any other value writes the three report lines and fails.
bool kontrola_cf(Session& s, double cf);

// pamietaj for an answer to a question: the answer becomes the condition's resultant; the
// other member of a two-member uncertain constraint gets -CF; then the completion.
void pamietaj_odpowiedz(Session& s, const std::string& condition, double cf);

// uzupelnienie_wykluczajacych: completion of the other members after `statement` got the
// resultant `cf` (exact constraints: cases 1 to 4; uncertain: case 5). A member that would
// get a resultant contradicting the one it has is left as it is and the error of mutually
// exclusive conditions is recorded and reported.
void uzupelnienie_wykluczajacych(Session& s, const std::string& statement, double cf);

// ustal_cf for a two-member set (a, b): c = 1 gives a 1.0 and b -1.0 and succeeds; any
// other c fails without effect.
bool ustal_cf(Session& s, const std::string& a, const std::string& b, double c);

// testuj_wykluczajace: a declared fact with CF 1.0 and another member of one of its exact
// constraints declared with CF 1.0 too: reported, the error recorded, false.
// `true_facts` are the texts of the declared facts with CF 1.0 (fakty_prawdziwe).
std::unordered_set<std::string> fakty_prawdziwe(const Table<Fakt>& facts);
bool testuj_wykluczajace(Session& s, const Fakt& fact, const std::unordered_set<std::string>& true_facts);

// The error of mutually exclusive conditions is recorded: no inference may go on.
bool blad_wykluczajacych(const Session& s);
// The recorded error came from the user's answers (a record beside "TAK"): it ends the run
// it happened in, and the next inference start forgets it.
inline constexpr const char* kBladOdpowiedzi = "ODPOWIEDZI";
bool werdykt_odpowiedzi(const Session& s);

}  // namespace zuva
