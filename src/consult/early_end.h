// A consultation that stops before its rules are exhausted (a "koniec" rule fired, or the
// user stopped it) still ends as every consultation does; and the arguments the user did
// not know, asked once a run, with the conclusions left without a CF because of them.
#pragma once
#include <string>

namespace zuva {

struct Session;

// The resultants of the conclusions that applied rules contributed to and that have none
// yet ("koniec" excepted), in the order of their first contribution: each explained,
// stored and followed by the fact listing and the conclusion's picture and sound, as the
// inference loop does for every resultant.
void wypadkowe_zastosowanych_regul(Session& s);

// The end of a forward run (its steps 16 and 17): the end note, the final listing, the
// conclusions left without a CF for want of an argument, the summary, the advice and the
// report question.
void koniec_wnioskowania_w_przod(Session& s);

// The user gave no value for the argument: it is not asked again in this run.
void pamietaj_nieznany_argument(Session& s, const std::string& name);
bool argument_nieznany(const Session& s, const std::string& name);

// After the final listing: when the user left arguments without a value, the conclusions
// that got no CF because of them, each with the reason, in the report.
void wnioski_bez_cf(Session& s);

}  // namespace zuva
