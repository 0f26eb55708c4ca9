// The pieces of the certainty-factor calculus that every kind of inference uses:
// rounding, the minimum rule, the rule CF (asked when its text is not a CF), resultants,
// and the explanation dialog with its "Zakończ" question.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "session/explain_state.h"
#include "store/cf_values.h"
#include "store/statement_ids.h"

namespace zuva {

struct Session;

// CF of a rule or model: its text when it is a CF, else asked until a valid value is typed.
double wyznacz_cf(Session& s, const std::string& conclusion, const std::string& cf_text);

// Resultant CF of a statement in this run.
std::optional<double> resultant(const Session& s, const std::string& statement);
// Replaces the statement's resultant or appends one.
void pamietaj_wniosek_wypadkowy(Session& s, const std::string& statement, double cf);
// The same, noting where the resultant came from; `ref` may give the statement's id.
void pamietaj_wniosek_wypadkowy(Session& s, const std::string& statement, double cf, ResultantOrigin origin,
                                StatementRef ref = {});

// dlg_start_wnioskowania: lines under a title; "Zakończ" asks whether to end the program
// and throws ProgramExit on yes (on no the dialog is shown again).
void pokaz_wyjasnienie(Session& s, const std::string& title, const std::vector<std::string>& lines);
// Asks "Czy na pewno chcesz zakończyć program ?"; throws ProgramExit on yes, and
// ConsultationStop when the user stops only the running consultation.
void potwierdz_zakonczenie(Session& s);

// The user stopped the running consultation: the inference loop that catches it ends the
// run through its usual end (resultants, final listing, summary, advice, report).
struct ConsultationStop {};

}  // namespace zuva
