// The summary is written straight to its file, not through the report buffer.
#include "consult/summary.h"

#include "consult/cf_calculus.h"
#include "kb/base_files.h"
#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/number_format.h"

namespace zuva {

namespace {
const std::vector<FileFilter> kSummaryFilters = {{"Pliki podsumowania (*.txt)", "*.txt"}};
}

std::string tekst_podsumowania(const Session& s) {
    std::string out = "Etykiety wnioskowania: \n";
    for (const auto& label : s.inference.etykieta)
        out += "    " + label + "\n";
    out += "Podsumowanie wnioskowania: fakty\n";
    s.inference.wypadkowa_prbd.for_each([&](const std::string& fact, double cf) {
        if (fact == "bez warunku") return;
        out += "    " + fact + "(" + format_cf(cf) + ")\n";
    });
    out += "Podsumowanie wnioskowania: wartości argumentów\n";
    s.inference.zmienna_ustalona.for_each([&](const std::string& name, double value) {
        if (parse_real(name)) return;
        out += "    " + name + " = " + format_lg(value) + "\n";
    });
    return out;
}

void podsumowanie(Session& s) {
    s.ui.asking(Asking::SummaryQuestion);
    int b = s.ui.question("Plik podsumowania", "Zachować podsumowanie wnioskowania?", {"&TAK", "&NIE"});
    if (b != 0) return;
    // A summary that cannot be written is not lost: the reason is told and the name asked
    // again, until it is written or the dialog is cancelled.
    for (;;) {
        // The existing-file question is this operation's own, so the dialog does not ask it.
        std::string name =
            s.ui.save_file_unchecked("*.txt", kSummaryFilters, "Podaj nazwę pliku podsumowania");
        if (name.empty()) return;
        const std::string path = s.resolve(name);
        if (file_exists(path)) {
            int over = s.ui.question("Plik podsumowania",
                                     "Podsumowanie o nazwie " + short_name_of(path) + "już istnieje." +
                                         "\nCzy chcesz zapisać go nową treścią?",
                                     {"&TAK", "&NIE"});
            if (over != 0) continue;
            // The old summary is replaced only when the new one has been written whole.
            s.ui.note("", "Istniejące podsumowanie " + short_name_of(path) + "\nzostało skasowane!");
        }
        s.inference.nazwa_podsumowania.clear();
        s.inference.nazwa_podsumowania.append(path);
        std::string why;
        const bool ok = write_file_bytes(path, utf8_to_cp1250_lossy(tekst_podsumowania(s)), why);
        s.inference.nazwa_podsumowania.clear();
        const std::string shortn = short_name_of(path);
        if (!ok) {
            s.helper("\n Nie można zapisać podsumowania " + shortn + ": " + why + ".");
            s.ui.note("Uwaga błąd!", "Nie można zapisać pliku podsumowania\n   " + path + "\n(" + why +
                                         ").\n\nPodaj inną nazwę pliku albo anuluj zapis.");
            continue;
        }
        const std::string* base = s.kb.nazwa_re.full_path.first();
        const std::string* h = s.inference.hipoteza.first();
        s.inference.zapisane_podsumowanie =
            InferenceState::SavedSummary{path, base ? *base : std::string(), h ? *h : std::string()};
        enable_commands(s, {cmd::przypadek_testowy, cmd::dziennik_konsultacji});
        s.helper("\n Podsumowanie " + shortn + " zostało zapamietane.");
        s.ui.note("Podsumowanie", " Podsumowanie " + shortn + " zostało zapamiętane.");
        return;
    }
}

void czytanie_podsumowania(Session& s) {
    std::string name =
        s.ui.open_file("*.txt", kSummaryFilters, "Wybierz nazwę pliku podsumowanian dla czytania");
    if (name.empty()) return;
    const std::string path = s.resolve(name);
    auto bytes = read_file_bytes(path);
    auto text = bytes ? decode_file_text(*bytes) : std::nullopt;
    if (!text) {
        s.ui.note("Uwaga błąd!", "Nie można odczytać pliku\n   " + path + ".");
        return;
    }
    browse_text_window(s, "Przegląd pliku podsumowania: " + short_name_of(path), *text);
}

void kasowanie_podsumowania(Session& s) {
    DeleteTexts t;
    t.mask = "*.txt";
    t.filters = kSummaryFilters;
    t.dialog_title = "Zaznacz plik podsumowania do usunięcia";
    t.question_title = "Usunięcie pliku podsumowania";
    t.question_text = [](const std::string& n) {
        return "Czy jesteś pewien, że chcesz usunąć plik podsumowania " + n + " ?";
    };
    t.note_text = [](const std::string& n) { return "Plik podsumowania " + n + " został usunięty."; };
    delete_base_file(s, t);
}

}  // namespace zuva
