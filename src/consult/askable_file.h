// The askable-conditions file (menu "Dopytywalne"): writing the askable conditions and
// arguments of the loaded bases to a text file, reading it, deleting it.
#pragma once
#include <string>

namespace zuva {

struct Session;

// The text of the file (UTF-8; written as Windows-1250).
std::string tekst_pliku_dopytywalnych(const Session& s);

void tworzenie_pliku_dopytywalnych(Session& s);  // 10160
void czytanie_pliku_dopytywalnych(Session& s);   // 10161
void kasowanie_pliku_dopytywalnych(Session& s);  // 10162

}  // namespace zuva
