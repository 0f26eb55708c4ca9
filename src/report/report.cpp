// The report buffer grows in place (a reserve is kept); the text and the moment each
// piece reaches the helper window are what matter.
#include "report/report.h"

#include <cstdint>

#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

void kasowanie_tekst_raportu(Session& s) {
    s.report.has_text = true;
    s.report.text.clear();
}

bool lista_dla_raportu(Session& s, const std::vector<std::string>& pieces) {
    if (pieces.empty()) return true;
    if (!s.report.has_text) return false;
    std::size_t total = s.report.text.size();
    for (const auto& p : pieces)
        total += p.size();
    if (total >= 4294967295ULL) return false;
    for (const auto& p : pieces)
        s.report.text += p;
    return true;
}

void pisz(Session& s, std::string_view text) {
    if (text.empty()) return;
    s.ui.helper_write(text);
    if (s.report.has_text && s.report.text.size() + text.size() < 4294967295ULL) s.report.text += text;
}

void piszint(Session& s, long long value) {
    pisz(s, std::to_string(value));
}

void piszreal(Session& s, double value) {
    // format_cf gives the "%lg" text, from a table for the rounded CFs.
    pisz(s, format_cf(value));
}

void piszcr(Session& s) {
    pisz(s, "\n");
}

void piszln(Session& s, std::string_view text) {
    pisz(s, text);
    piszcr(s);
}

std::string report_file_line(std::string_view text) {
    std::string out = "tekst_raportu(\"";
    out.reserve(text.size() + 24);
    for (char c : text) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    out += "\")\n";
    return out;
}

bool write_report_file(const std::string& path, std::string_view utf8_text) {
    return write_file_bytes(path, utf8_to_cp1250_lossy(report_file_line(utf8_text)));
}

bool write_report_file(const std::string& path, std::string_view utf8_text, std::string& why) {
    return write_file_bytes(path, utf8_to_cp1250_lossy(report_file_line(utf8_text)), why);
}

bool raport(Session& s) {
    s.helper(tr(" Czy zachować raport?  "));
    s.ui.asking(Asking::ReportQuestion);
    int b = s.ui.question(tr("Raport wnioskowania/diagnostyki"),
                          tr("Czy chcesz zachować przebieg\nwnioskowania/diagnostyki w raporcie?"),
                          {tr("&Tak"), tr("&Nie")});
    if (b == 1) return true;
    // A report that cannot be written is not lost: the reason is told and the save dialog
    // comes again, until the report is written or the dialog is cancelled.
    for (;;) {
        s.helper(tr(" Podaj nazwę raportu (*.RPT):\n"));
        std::string name = s.ui.save_file("*.RPT", {{tr("Pliki raportów (*.RPT)"), "*.RPT"}},
                                          tr("Podaj nazwę nowego pliku raportu"));
        if (name.empty()) return false;
        s.report.nazwa_raportu.insert_front(name);
        std::string why;
        if (!write_report_file(s.resolve(name), s.report.text, why)) {
            s.report.nazwa_raportu.clear();
            s.helper(tr("\n Nie można zapisać raportu ") + name + ": " + why + ".\n\n");
            s.ui.note(tr("Uwaga błąd!"), tr("Nie można zapisać pliku raportu\n   ") + name + "\n(" + why +
                                             tr(").\n\nPodaj inną nazwę pliku albo anuluj zapis."));
            continue;
        }
        s.helper(tr("\n Raport ") + name + tr(" został zapamiętany.\n"));
        s.helper("\n\n");
        s.report.nazwa_raportu.clear();
        s.ui.note(tr("Uwaga!"), tr("Raport ") + short_name_of(name) + tr(" został zapamiętany."));
        return true;
    }
}

void browse_text_window(Session& s, const std::string& title, const std::string& text) {
    int wrap = s.ui.question(tr("Zawiń/rozwiń"), tr("Czy zawijać tekst?"), {tr("&Tak"), tr("&Nie")});
    s.ui.browse_text(title, text, wrap == 0);
    // A window the front end keeps open does this when it is closed.
    if (s.ui.browse_windows_close_at_once()) s.set_title("zuva_EN");
}

void browse_list_window(Session& s, const std::string& title, const std::vector<std::string>& items) {
    s.ui.browse_list(title, items);
    if (s.ui.browse_windows_close_at_once()) s.ui.helper_recreate(kHelperWindowLines);
}

void kasowanie_szczegolowosc(Session& s) {
    s.report.szczegolowosc.clear();
}

bool opcja_z_menu_szczegolowosci(Session& s, int choice) {
    if (choice == 1 || choice == 2) {
        s.report.szczegolowosc.clear();
        s.report.szczegolowosc.append(choice == 1 ? "mała" : "duża");
        return true;
    }
    return choice == 3;
}

void wybor_szczegolowosci(Session& s) {
    kasowanie_szczegolowosc(s);
    s.ui.asking(Asking::DetailLevel);
    int choice =
        s.ui.radio(tr("Poziom szczegółowości"), tr("Wybierz poziom szczegółowości komunikatów i raportów "),
                   {tr("Mała szczegółowość"), tr("Duża szczegółowość")}, 1);
    opcja_z_menu_szczegolowosci(s, choice);
}

bool duza_szczegolowosc(const Session& s) {
    return s.report.szczegolowosc.find_first([](const std::string& v) { return v == "duża"; }) != nullptr;
}

}  // namespace zuva
