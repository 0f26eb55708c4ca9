// The inference summary file (*.txt): labels, resultants and fixed argument values of
// the run, offered at the end of an inference; and the two summary-file commands.
#pragma once
#include <string>

namespace zuva {

struct Session;

// The text of the summary file (UTF-8; written as Windows-1250).
std::string tekst_podsumowania(const Session& s);
// "Zachować podsumowanie wnioskowania?" and the writing of the file.
void podsumowanie(Session& s);

void czytanie_podsumowania(Session& s);   // 10157 "Czytanie raportu podsumowania"
void kasowanie_podsumowania(Session& s);  // 10158 "Kasowanie raportu podsumowania"

}  // namespace zuva
