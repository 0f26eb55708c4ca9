// The report-file commands of the main menu: reading a saved report into a browse
// window (through the base-file reader) and deleting a report file.
#pragma once

namespace zuva {

struct Session;

void czytanie_raportu(Session& s);
void kasowanie_raportu(Session& s);

}  // namespace zuva
