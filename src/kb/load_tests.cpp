// The tests share one shape: find the first record whose CF text is not a CF, write the
// report lines, repeat them in a note, unload.
#include "kb/load_tests.h"

#include <string>
#include <vector>

#include "report/report.h"
#include "session/session.h"
#include "store/cf_values.h"
#include "text/i18n.h"

namespace zuva {

namespace {

void report_and_note(Session& s, const std::string& note_title, const std::vector<std::string>& lines) {
    std::string note;
    for (size_t i = 0; i < lines.size(); ++i) {
        piszln(s, lines[i]);
        if (i) note += "\n";
        note += lines[i];
    }
    s.ui.note(note_title, note);
}

}  // namespace

void usuniecie_bazy_regul(Session& s) {
    s.kb.rules.regula.clear();
    s.kb.rules.fakt.clear();
    s.kb.nazwa_re.clear();
}

void usuniecie_bazy_modeli(Session& s) {
    s.kb.models.model.clear();
    s.kb.models.model_r.clear();
    s.kb.models.model_liniowy.clear();
    s.kb.models.model_wielomianowy.clear();
    s.kb.models.argument_znany.clear();
    s.kb.models.m_fakt.clear();
    s.kb.nazwa_mo.clear();
}

bool testuj_cf_regul(Session& s) {
    const Regula* bad =
        s.kb.rules.regula.find_first([](const Regula& r) { return !cf_from_text(r.cf_text); });
    if (!bad) return true;
    report_and_note(s, tr("Błędna wartość CF dla reguły!"),
                    {tr("Błędna wartość CF dla reguły ") + std::to_string(bad->rule_number) + ".",
                     tr("CF musi być ukonkretnioną niepewną zmienną  łańcuchową (inklud ma być liczbą "
                        "rzeczywistą z przedziału [-1,1]."),
                     tr("Przejdź do 'Bazy reguł niepewnej'"), tr("wybierz opcję 'Edycja bazy reguł', "),
                     tr("wybierz błędną bazę i usuń błąd.")});
    usuniecie_bazy_regul(s);
    return false;
}

bool testuj_cf_faktow(Session& s) {
    const Fakt* bad = s.kb.rules.fakt.find_first([](const Fakt& f) { return !cf_from_text(f.cf_text); });
    if (!bad) return true;
    report_and_note(
        s, tr("Błędna wartość CF dla faktu!"),
        {tr("Błędna wartość CF dla faktu '") + bad->fact_text + "'.",
         tr("CF musi być liczbą rzeczywistą z przedziału [-1,1]."), tr("Przejdź do 'Bazy reguł niepewnej,'"),
         tr("wybierz opcję 'Edycja bazy reguł', "), tr("wybierz błędną bazę i usuń błąd.")});
    usuniecie_bazy_regul(s);
    return false;
}

bool testuj_cf_m_faktow(Session& s) {
    const Fakt* bad = s.kb.models.m_fakt.find_first([](const Fakt& f) { return !cf_from_text(f.cf_text); });
    if (!bad) return true;
    report_and_note(
        s, tr("Błędna wartość CF dla m_faktu!"),
        {tr("Błędna wartość CF dla m_faktu '") + bad->fact_text + "'.",
         tr("CF musi być liczbą rzeczywistą z przedziału [-1,1]."), tr("Przejdź do 'Bazy modeli niepewnej,'"),
         tr("wybierz opcję 'Edycja bazy modeli', "), tr("wybierz błędną bazę i usuń błąd.")});
    usuniecie_bazy_modeli(s);
    return false;
}

}  // namespace zuva
