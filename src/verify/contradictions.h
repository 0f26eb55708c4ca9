// External contradictions of the rule base: circular chains of rules, the question that
// offers the test, the verdict it records and the report command on the chains found.
#pragma once
#include <optional>
#include <string>

namespace zuva {

struct Session;

// "SEN1" for a rule-base file of the ".BEN" form; none for any other.
std::optional<std::string> nazwa_sprzecznosci_1(const Session& s);

// The test: records every circular chain in order of discovery and the verdict.
void badaj_sprzecznosc_1z(Session& s);
// The test followed by the requirement that the verdict is "NIE".
bool wyznacz_sprzecznosc_1z(Session& s);
// Offers the test; false tells the caller that the base is contradictory.
bool testuj_sprzecznosc_1z(Session& s);
// Runs the test and tells its result; false when the base is contradictory.
bool informuj_sprzecznosc_1z(Session& s);
// Menu "Diagnostyka sprzeczności zewnętrznych bazy reguł": the report of the recorded chains.
void pisz_sprzecznosc_1z(Session& s);

}  // namespace zuva
