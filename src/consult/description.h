// Descriptions of knowledge bases (*.opi): the description shown before an inference
// and the four description commands of the main menu.
#pragma once

namespace zuva {

struct Session;

// Shows the description of the loaded rule base ("..\OPISY\" + W + ".OPI" relative to the
// current directory) when the file exists; goes on silently otherwise.
void czytaj_opis(Session& s);

void przeglad_opisow(Session& s);  // 10153 "Przegląd opisów"
void edycja_opisu(Session& s);     // 10154 "Edycja opisu"
void tworzenie_opisu(Session& s);  // 10155 "Tworzenie opisu"
void kasowanie_opisu(Session& s);  // 10156 "Kasowanie opisu"

}  // namespace zuva
