// Description files are Windows-1250 text like every file the user writes.
#include "consult/description.h"

#include <string>

#include "kb/base_files.h"
#include "report/report.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {
std::vector<FileFilter> opi_filters() {
    return {{tr("Pliki opisów (*.opi)"), "*.opi"}};
}

std::optional<std::string> read_text_file(const std::string& path) {
    auto bytes = read_file_bytes(path);
    if (!bytes) return std::nullopt;
    return decode_file_text(*bytes);
}
}  // namespace

void czytaj_opis(Session& s) {
    const std::string* opis = s.kb.opis.first();
    if (!opis) return;
    const std::string path = s.resolve(native_separators(*opis));
    if (!file_exists(path)) return;
    auto text = read_text_file(path);
    if (!text) return;
    s.ui.read_text(tr("Czytanie opisu bazy: ") + to_lower_pl(stem_of(path)), *text);
}

void przeglad_opisow(Session& s) {
    std::string name = s.ui.open_file("*.opi", opi_filters(), tr("Wybierz nazwę pliku opisu dla czytania"));
    if (name.empty()) return;
    const std::string path = s.resolve(name);
    auto text = read_text_file(path);
    if (!text) {
        s.ui.note(tr("Uwaga błąd!"), tr("Nie można odczytać pliku\n   ") + path + ".");
        return;
    }
    browse_text_window(s, tr("Przegląd pliku opisu: ") + short_name_of(path), *text);
}

void edycja_opisu(Session& s) {
    std::string name = s.ui.open_file("*.opi", opi_filters(), tr("Wybierz nazwę edytowanego opisu"));
    if (name.empty()) return;
    open_editor_window(s, s.resolve(name));
}

void tworzenie_opisu(Session& s) {
    CreateTexts t;
    t.mask = "*.opi";
    t.dialog_title = tr("Podaj nazwę nowego pliku opisu");
    t.note_title = tr("Tworzenie pliku opisu");
    t.note_text = [](const std::string& n) { return tr("Nowy plik opisu ") + n + tr(" został utworzony."); };
    t.question_title = tr("Tworzenie pliku opisu");
    t.question_text = [](const std::string& n) {
        return tr("Czy chcesz przejść od razu do edycji\nnowego pliku opisu ") + n + " ?";
    };
    create_base_file(s, t);
}

void kasowanie_opisu(Session& s) {
    DeleteTexts t;
    t.mask = "*.opi";
    t.dialog_title = tr("Zaznacz plik opisu do usunięcia");
    t.question_title = tr("Usunięcie pliku opisu");
    t.question_text = [](const std::string& n) {
        return tr("Czy jesteś pewien, że chcesz usunąć plik opisu ") + n + " ?";
    };
    t.note_text = [](const std::string& n) { return tr("Plik opisu ") + n + tr(" został usunięty."); };
    delete_base_file(s, t);
}

}  // namespace zuva
