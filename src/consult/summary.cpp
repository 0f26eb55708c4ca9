// The summary is written straight to its file, not through the report buffer.
#include "consult/summary.h"

#include "consult/cf_calculus.h"
#include "kb/base_files.h"
#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

namespace {
const char* const kSummaryFilter = N_("Pliki podsumowania (*.txt)");
}

std::string tekst_podsumowania(const Session& s) {
    // The file's headings stay Polish in every language: zuva test --record reads them back.
    std::string out = "Etykiety wnioskowania: \n";  // not translated: read back
    for (const auto& label : s.inference.etykieta)
        out += "    " + label + "\n";
    out += "Podsumowanie wnioskowania: fakty\n";  // not translated: read back
    s.inference.wypadkowa_prbd.for_each([&](const std::string& fact, double cf) {
        if (fact == "bez warunku") return;
        out += "    " + fact + "(" + format_cf(cf) + ")\n";
    });
    out += "Podsumowanie wnioskowania: wartości argumentów\n";  // not translated: read back
    s.inference.zmienna_ustalona.for_each([&](const std::string& name, double value) {
        if (parse_real(name)) return;
        out += "    " + name + " = " + format_lg(value) + "\n";
    });
    return out;
}

void podsumowanie(Session& s) {
    s.ui.asking(Asking::SummaryQuestion);
    int b = s.ui.question(tr("Plik podsumowania"), tr("Zachować podsumowanie wnioskowania?"),
                          {tr("&TAK"), tr("&NIE")});
    if (b != 0) return;
    // A summary that cannot be written is not lost: the reason is told and the name asked
    // again, until it is written or the dialog is cancelled.
    for (;;) {
        // The existing-file question is this operation's own, so the dialog does not ask it.
        std::string name = s.ui.save_file_unchecked("*.txt", {{tr(kSummaryFilter), "*.txt"}},
                                                    tr("Podaj nazwę pliku podsumowania"));
        if (name.empty()) return;
        const std::string path = s.resolve(name);
        if (file_exists(path)) {
            int over = s.ui.question(tr("Plik podsumowania"),
                                     tr("Podsumowanie o nazwie ") + short_name_of(path) +
                                         tr("już istnieje.") + tr("\nCzy chcesz zapisać go nową treścią?"),
                                     {tr("&TAK"), tr("&NIE")});
            if (over != 0) continue;
            // The old summary is replaced only when the new one has been written whole.
            s.ui.note("", tr("Istniejące podsumowanie ") + short_name_of(path) + tr("\nzostało skasowane!"));
        }
        s.inference.nazwa_podsumowania.clear();
        s.inference.nazwa_podsumowania.append(path);
        std::string why;
        const bool ok = write_file_bytes(path, utf8_to_cp1250_lossy(tekst_podsumowania(s)), why);
        s.inference.nazwa_podsumowania.clear();
        const std::string shortn = short_name_of(path);
        if (!ok) {
            s.helper(tr("\n Nie można zapisać podsumowania ") + shortn + ": " + why + ".");
            s.ui.note(tr("Uwaga błąd!"), tr("Nie można zapisać pliku podsumowania\n   ") + path + "\n(" +
                                             why + tr(").\n\nPodaj inną nazwę pliku albo anuluj zapis."));
            continue;
        }
        const std::string* base = s.kb.nazwa_re.full_path.first();
        const std::string* h = s.inference.hipoteza.first();
        s.inference.zapisane_podsumowanie =
            InferenceState::SavedSummary{path, base ? *base : std::string(), h ? *h : std::string()};
        enable_commands(s, {cmd::przypadek_testowy, cmd::dziennik_konsultacji});
        s.helper(tr("\n Podsumowanie ") + shortn + tr(" zostało zapamietane."));
        s.ui.note(tr("Podsumowanie"), tr(" Podsumowanie ") + shortn + tr(" zostało zapamiętane."));
        return;
    }
}

void czytanie_podsumowania(Session& s) {
    std::string name = s.ui.open_file("*.txt", {{tr(kSummaryFilter), "*.txt"}},
                                      tr("Wybierz nazwę pliku podsumowanian dla czytania"));
    if (name.empty()) return;
    const std::string path = s.resolve(name);
    auto bytes = read_file_bytes(path);
    auto text = bytes ? decode_file_text(*bytes) : std::nullopt;
    if (!text) {
        s.ui.note(tr("Uwaga błąd!"), tr("Nie można odczytać pliku\n   ") + path + ".");
        return;
    }
    browse_text_window(s, tr("Przegląd pliku podsumowania: ") + short_name_of(path), *text);
}

void kasowanie_podsumowania(Session& s) {
    DeleteTexts t;
    t.mask = "*.txt";
    t.filters = {{tr(kSummaryFilter), "*.txt"}};
    t.dialog_title = tr("Zaznacz plik podsumowania do usunięcia");
    t.question_title = tr("Usunięcie pliku podsumowania");
    t.question_text = [](const std::string& n) {
        return tr("Czy jesteś pewien, że chcesz usunąć plik podsumowania ") + n + " ?";
    };
    t.note_text = [](const std::string& n) { return tr("Plik podsumowania ") + n + tr(" został usunięty."); };
    delete_base_file(s, t);
}

}  // namespace zuva
