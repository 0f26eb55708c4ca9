// Constraint members are written after their group heading, each as "   x#"; a
// constraint is listed under a base when one of its members is askable there.
#include "consult/askable_file.h"

#include <unordered_set>

#include "consult/pytaj.h"
#include "kb/base_files.h"
#include "report/report.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {
std::vector<FileFilter> txt_filters() {
    return {{tr("Pliki dopytywalnych (*.txt)"), "*.txt"}};
}

void constraints(std::string& out, const Table<Ograniczenie>& t,
                 const std::unordered_set<std::string>& base) {
    for (const auto& o : t) {
        std::string members;
        for (const auto& c : o.exclusive_conditions)
            if (base.count(c)) members += "   " + c + "#";
        if (!members.empty()) out += "\n" + members;
    }
    out += "\n";
}
}  // namespace

std::string tekst_pliku_dopytywalnych(const Session& s) {
    const std::string re = s.kb.nazwa_re.name();
    const TextList all = ogolna_lista_dopytywalnych(s);
    std::unordered_set<std::string> in_constraints;
    for (const auto& o : s.kb.exact.ograniczenie)
        in_constraints.insert(o.exclusive_conditions.begin(), o.exclusive_conditions.end());
    for (const auto& o : s.kb.uncertain.ograniczenie_n)
        in_constraints.insert(o.exclusive_conditions.begin(), o.exclusive_conditions.end());

    std::unordered_set<std::string> args;
    for (const auto& a : s.kb.models.arg_dopyt)
        args.insert(a.argument_name);
    std::unordered_set<std::string> rule_conditions, model_conditions;
    if (const TextList* l = s.kb.lista_warunkow_dopytywalnych.first())
        rule_conditions.insert(l->begin(), l->end());
    for (const auto& c : all)
        if (!rule_conditions.count(c) && !args.count(c)) model_conditions.insert(c);

    std::string out = tr("Warunki dopytywalne niewykluczające się bazy reguł ") + re + "\n";
    for (const auto& c : all)
        if (!in_constraints.count(c) && !args.count(c)) out += "   " + c + "\n";
    out += tr("Warunki dopytywalne wzajemnie dokładnie wykluczające się bazy reguł ") + re;
    constraints(out, s.kb.exact.ograniczenie, rule_conditions);
    out += tr("Warunki dopytywalne wzajemnie niepewnie wykluczające się bazy regul ") + re;
    constraints(out, s.kb.uncertain.ograniczenie_n, rule_conditions);
    if (s.kb.nazwa_mo.loaded()) {
        const std::string mo = s.kb.nazwa_mo.name();
        out += tr("Warunki dopytywalne wzajemnie dokładnie wykluczające się bazy modeli ") + mo;
        constraints(out, s.kb.exact.ograniczenie, model_conditions);
        out += tr("Warunki dopytywalne wzajemnie niepewnie wykluczające się bazy modeli ") + mo;
        constraints(out, s.kb.uncertain.ograniczenie_n, model_conditions);
        out += tr("Argumenty dopytywalne bazy modeli ") + mo + "\n";
        for (const auto& a : s.kb.models.arg_dopyt)
            out += "   " + a.argument_name + "\n";
    }
    return out;
}

void tworzenie_pliku_dopytywalnych(Session& s) {
    std::string name = s.ui.save_file("*.txt", txt_filters(), tr("Podaj nazwę nowego pliku dopytywalnych"));
    if (name.empty()) return;
    const std::string path = s.resolve(name);
    s.models.utworzony_plik_dopytywalnych.clear();
    s.models.utworzony_plik_dopytywalnych.append(path);
    if (!write_file_bytes(path, utf8_to_cp1250_lossy(tekst_pliku_dopytywalnych(s)))) {
        s.ui.note(tr("Uwaga błąd!"), tr("Nie można zapisać pliku\n   ") + path + ".");
        return;
    }
    s.ui.note(tr("Tworzenie pliku dopytywalnych"),
              tr("Nowy plik dopytywalnych ") + short_name_of(path) + tr(" został utworzony."));
}

void czytanie_pliku_dopytywalnych(Session& s) {
    std::string name =
        s.ui.open_file("*.txt", txt_filters(), tr("Wybierz nazwę pliku dopytywalnych dla czytania"));
    if (name.empty()) return;
    const std::string path = s.resolve(name);
    auto bytes = read_file_bytes(path);
    auto text = bytes ? decode_file_text(*bytes) : std::nullopt;
    if (!text) {
        s.ui.note(tr("Uwaga błąd!"), tr("Nie można odczytać pliku\n   ") + path + ".");
        return;
    }
    browse_text_window(s, tr("Przegląd pliku warunków i argumentów dopytywalnych: ") + short_name_of(path),
                       *text);
}

void kasowanie_pliku_dopytywalnych(Session& s) {
    DeleteTexts t;
    t.mask = "*.txt";
    t.filters = txt_filters();
    t.dialog_title = tr("Zaznacz plik warunków i argumentów dopytywalnych do usunięcia");
    t.question_title = tr("Usunięcie pliku warunków i argumentów dopytywalnych");
    t.question_text = [](const std::string& n) {
        return tr("Czy jesteś pewien, że chcesz usunąć plik warunków i argumentów dopytywalnych ") + n + " ?";
    };
    t.note_text = [](const std::string& n) {
        return tr("Plik warunków i argumentów dopytywalnych ") + n + tr(" został usunięty.");
    };
    delete_base_file(s, t);
}

}  // namespace zuva
