// Start of an inference run; the texts of the header differ by direction.
#include "consult/inference_start.h"

#include <string>

#include "consult/cf_calculus.h"
#include "consult/description.h"
#include "kb/numbering.h"
#include "report/report.h"
#include "session/session.h"

namespace zuva {

namespace {
bool has_value(const Table<std::string>& t, const char* v) {
    return t.find_first([&](const std::string& x) { return x == v; }) != nullptr;
}
}  // namespace

bool wnioskowanie_dozwolone(const Session& s) {
    if (numbering_failed(s) || has_value(s.kb.rozne_numery, "NIE")) return false;
    if (has_value(s.kb.blad_wykluczajacych, "TAK")) return false;
    if (has_value(s.kb.sprzecznosc_1z, "TAK")) return false;
    // The tests of model results and the verdicts of model contradictions (arithmetic,
    // deep, relational, models with rules) join these checks with the model diagnoses.
    return true;
}

void tworzenie_etykiet(Session& s) {
    s.inference.etykieta.clear();
    int b = s.ui.question("Tworzenie etykiet", "Zachować etykiety wnioskowania?", {"&TAK", "&NIE"});
    while (b == 0) {
        if (auto label = s.ui.input_text("Tworzenie etykiety", "Pisz etykietę:", ""))
            s.inference.etykieta.append(*label);
        b = s.ui.question("", "Następna etykieta?", {"&TAK", "&NIE"});
    }
}

void naglowek_wnioskowania(Session& s, InferenceDirection d) {
    const bool fwd = d == InferenceDirection::Forward;
    const std::string re = s.kb.nazwa_re.name(), mo = s.kb.nazwa_mo.name(), og = s.kb.nazwa_og.name(),
                      op = s.kb.nazwa_op.name(), ra = s.kb.nazwa_ra.name(), gr = s.kb.nazwa_gr.name(),
                      me = s.kb.nazwa_me.name();
    const std::string text =
        std::string(fwd ? "Wnioskowanie w przód dla:" : "Wnioskowanie wstecz dla:") +
        "\n\nBazy reguł elementarnej niepewnej\n    " + re + "\n\nBazy modeli elementarnej niepewnej\n    " +
        mo + "\n\nBazy ograniczeń elementarnej dokładnej\n    " + og +
        "\n\nBazy ograniczeń elementarnej niepewnej\n     " + op +
        "\n\nBazy rad elementarnej niepewnej\n    " + ra + "\n\nBazy grafiki elementarnej niepewnej\n    " +
        gr + "\n\nBazy dźwięku elementarnej niepewnej\n    " + me;
    s.ui.note(fwd ? "Wnioskowanie elementarne niepewne w przód" : "Wnioskowanie elementarne niepewne wstecz",
              text);
    piszln(s, std::string(fwd ? "Wnioskowanie elementarne niepewne w przód dla bazy reguł "
                              : "Wnioskowanie elementarne niepewne wstecz dla bazy reguł ") +
                  re);
    piszln(s, "                               bazy modeli " + mo);
    piszln(s, "          bazy ograniczeń dokładnej " + og);
    piszln(s, "         bazy ograniczeń niepewnej " + op);
    piszln(s, "                                    bazy rad " + ra);
    piszln(s, std::string(fwd ? "                               bazy grafiki "
                              : "                                bazy grafiki ") +
                  gr);
    piszln(s, std::string(fwd ? "                          bazy dźwięków "
                              : "                           bazy dźwięków ") +
                  me);
    piszcr(s);
}

bool start_wnioskowania(Session& s, InferenceDirection d) {
    if (!wnioskowanie_dozwolone(s)) return false;
    if (!s.kb.nazwa_re.loaded()) {
        s.ui.note("Uwaga!", "Proszę załadować bazę reguł!");
        return false;
    }
    czytaj_opis(s);
    wybor_szczegolowosci(s);
    tworzenie_etykiet(s);
    kasowanie_tekst_raportu(s);
    kasowanie_tablic_roboczych(s);
    naglowek_wnioskowania(s, d);
    return true;
}

}  // namespace zuva
