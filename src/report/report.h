// Report writers: every piece of text is shown in the helper window at once and
// appended to the report buffer; the end-of-run save dialogue; report files; detail level.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zuva {

struct Session;

void kasowanie_tekst_raportu(Session& s);
void pisz(Session& s, std::string_view text);
void piszint(Session& s, long long value);
void piszreal(Session& s, double value);
void piszcr(Session& s);
// pisz for each piece followed by piszcr: one line of the report.
void piszln(Session& s, std::string_view text);
// Appends the pieces to the buffer (no helper-window output); false when there is no record.
bool lista_dla_raportu(Session& s, const std::vector<std::string>& pieces);

// The end-of-run question; false when the user cancelled the file dialog.
bool raport(Session& s);

// The report file form: one `tekst_raportu("...")` record with escapes.
std::string report_file_line(std::string_view text);
bool write_report_file(const std::string& path, std::string_view utf8_text);
bool write_report_file(const std::string& path, std::string_view utf8_text, std::string& why);

// Detail level.
void kasowanie_szczegolowosc(Session& s);
bool opcja_z_menu_szczegolowosci(Session& s, int choice);
void wybor_szczegolowosci(Session& s);  // the "Poziom szczegółowości" dialog
bool duza_szczegolowosc(const Session& s);

// Asks "Czy zawijać tekst?" and opens the text browse window; closing it sets the title back
// to the program name.
void browse_text_window(Session& s, const std::string& title, const std::string& text);
// Opens the askable-items list window; closing it replaces the helper window by a new one.
void browse_list_window(Session& s, const std::string& title, const std::vector<std::string>& items);

}  // namespace zuva
