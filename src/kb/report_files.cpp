// Report files are read by the one reader of base files; deletion is the common
// confirm-and-delete operation with the report's texts.
#include "kb/report_files.h"

#include "kb/base_file_reader.h"
#include "kb/base_files.h"
#include "report/report.h"
#include "session/session.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

void czytanie_raportu(Session& s) {
    std::string name =
        s.ui.open_file("*.rpt", {{tr("Pliki raportów"), "*.rpt"}}, tr("Wybierz raport do przeczytania : "));
    if (name.empty()) return;
    std::string path = s.resolve(name);
    s.report.has_text = false;
    s.report.text.clear();
    ReportGroup group;
    auto err = read_report_file(path, group);
    if (err || group.tekst_raportu.empty()) {
        if (err && err->code == kErrCannotOpen)
            s.ui.note(tr("Uwaga błąd!"), tr("Nie można odczytać pliku\n   ") + path + ".");
        else
            s.ui.note(tr("Uwaga błąd!"), tr("Plik\n   ") + path + tr("\nnie jest plikiem raportu."));
        return;
    }
    s.report.has_text = true;
    s.report.text = *group.tekst_raportu.first();
    browse_text_window(s, tr("Przegląd"), s.report.text);
}

void kasowanie_raportu(Session& s) {
    DeleteTexts t;
    t.mask = "*.rpt";
    t.filters = {{tr("Pliki raportów (*.rpt)"), "*.rpt"}};
    t.dialog_title = tr("Wybierz raport przeznaczony do usunięcia");
    t.question_title = tr("Usunięcie raportu");
    t.question_text = [](const std::string& n) {
        return tr("Czy jesteś pewien, że chcesz usunąć raport ") + n + " ?";
    };
    t.note_text = [](const std::string& n) { return tr("Raport ") + n + tr(" został usunięty."); };
    t.error_names_chosen = true;
    delete_base_file(s, t);
}

}  // namespace zuva
