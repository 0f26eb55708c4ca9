// Start of an inference run; the texts of the header differ by direction.
#include "consult/inference_start.h"

#include <new>
#include <string>

#include "consult/cf_calculus.h"
#include "consult/description.h"
#include "consult/exclusive.h"
#include "kb/numbering.h"
#include "report/report.h"
#include "session/load_hooks.h"
#include "session/session.h"
#include "session/verdicts.h"
#include "text/i18n.h"

namespace zuva {

namespace {

constexpr std::size_t kReportBytesPerRule = 512;

// The note that says why a verdict refuses the run, or the empty text when none does.
// The verdicts are tried in the order in which the start checks them.
std::string odmowa_numerow(const Session& s) {
    if (numbering_failed(s))
        return tr(
            "Numery reguł, modeli lub ograniczeń załadowanej bazy wiedzy powtarzają się.\n"
            "Wnioskowanie nie może być rozpoczęte.\n\n"
            "Przejdź do edycji błędnej bazy, nadaj różne numery\ni załaduj bazę ponownie.");
    return {};
}

std::string powod_odmowy(const Session& s) {
    const std::string re = s.kb.nazwa_re.name();
    if (std::string n = odmowa_numerow(s); !n.empty()) return n;
    // An error the answers of the last run caused is forgotten when the next run starts.
    if (werdykt(s.inference.blad_wykluczajacych, "TAK") && !werdykt_odpowiedzi(s))
        return tr(
            "W bazie wiedzy stwierdzono błąd warunków wykluczających się.\n"
            "Wnioskowanie nie może być rozpoczęte.\n\n"
            "Popraw bazę ograniczeń i załaduj bazy ponownie.");
    if (sprzeczna_baza_regul(s))
        return tr("Baza reguł elementarna niepewna\n   ") + re +
               tr("\nzawiera co najmniej jedną sprzeczność zewnętrzną.\nWnioskowanie nie może być rozpoczęte."
                  "\n\nSprzeczności pokazuje opcja:\n   'Baza reguł niepewna\n     Diagnostyka sprzeczności "
                  "zewnętrznych bazy reguł'.");
    if (sprzeczna_baza_modeli(s)) {
        const std::string* kept = s.models.duplikat_nazwy_mo.first();
        return tr("Baza modeli elementarna niepewna\n   ") + (kept ? *kept : s.kb.nazwa_mo.name()) +
               tr("\nma co najmniej jedną sprzeczność.\nWnioskowanie nie może być rozpoczęte."
                  "\n\nSprzeczności pokazuje opcja:\n   'Baza modeli niepewna\n     Diagnostyka sprzeczności "
                  "bazy modeli'.\nUsuń je w edycji bazy modeli i załaduj ją ponownie.");
    }
    if (sprzecznosc_modeli_i_regul(s))
        return tr("Baza modeli elementarna niepewna\n   ") + s.kb.nazwa_mo.name() +
               tr("\ni baza reguł elementarna niepewna\n   ") + re +
               tr("\nmają co najmniej jedną sprzeczność łączną.\nWnioskowanie nie może być rozpoczęte."
                  "\n\nSprzeczności łączne pokazuje opcja:\n   'Baza modeli niepewna\n     Diagnostyka "
                  "sprzeczności łącznych\n     bazy modeli i bazy reguł'.\nUsuń je w edycji baz i załaduj je "
                  "ponownie.");
    return {};
}

}  // namespace

std::string powod_odmowy_wnioskowania(const Session& s) {
    return powod_odmowy(s);
}

bool wnioskowanie_dozwolone(const Session& s) {
    return powod_odmowy(s).empty();
}

void tworzenie_etykiet(Session& s) {
    s.inference.etykieta.clear();
    s.ui.asking(Asking::LabelsQuestion);
    int b = s.ui.question(tr("Tworzenie etykiet"), tr("Zachować etykiety wnioskowania?"),
                          {tr("&TAK"), tr("&NIE")});
    while (b == 0) {
        s.ui.asking(Asking::LabelText);
        if (auto label = s.ui.input_text(tr("Tworzenie etykiety"), tr("Pisz etykietę:"), ""))
            s.inference.etykieta.append(*label);
        s.ui.asking(Asking::NextLabel);
        b = s.ui.question("", tr("Następna etykieta?"), {tr("&TAK"), tr("&NIE")});
    }
}

void naglowek_wnioskowania(Session& s, InferenceDirection d) {
    const bool fwd = d == InferenceDirection::Forward;
    const KnowledgeBase& kb = s.kb;
    // The rule base always, then each other kind only when a base of it is loaded.
    struct Kind {
        const BaseName& name;
        const char* note;
        const char* line;
    };
    const Kind kinds[] = {
        {kb.nazwa_mo, tr("\n\nBazy modeli elementarnej niepewnej\n    "),
         tr("                               bazy modeli ")},
        {kb.nazwa_og, tr("\n\nBazy ograniczeń elementarnej dokładnej\n    "),
         tr("          bazy ograniczeń dokładnej ")},
        {kb.nazwa_op, tr("\n\nBazy ograniczeń elementarnej niepewnej\n     "),
         tr("         bazy ograniczeń niepewnej ")},
        {kb.nazwa_ra, tr("\n\nBazy rad elementarnej niepewnej\n    "),
         tr("                                    bazy rad ")},
        {kb.nazwa_gr, tr("\n\nBazy grafiki elementarnej niepewnej\n    "),
         fwd ? tr("                               bazy grafiki ")
             : tr("                                bazy grafiki ")},
        {kb.nazwa_me, tr("\n\nBazy dźwięku elementarnej niepewnej\n    "),
         fwd ? tr("                          bazy dźwięków ")
             : tr("                           bazy dźwięków ")},
    };
    std::string text = std::string(fwd ? tr("Wnioskowanie w przód dla:") : tr("Wnioskowanie wstecz dla:")) +
                       tr("\n\nBazy reguł elementarnej niepewnej\n    ") + kb.nazwa_re.name();
    for (const Kind& k : kinds)
        if (k.name.loaded()) text += k.note + k.name.name();
    s.ui.note(fwd ? tr("Wnioskowanie elementarne niepewne w przód")
                  : tr("Wnioskowanie elementarne niepewne wstecz"),
              text);
    piszln(s, std::string(fwd ? tr("Wnioskowanie elementarne niepewne w przód dla bazy reguł ")
                              : tr("Wnioskowanie elementarne niepewne wstecz dla bazy reguł ")) +
                  kb.nazwa_re.name());
    for (const Kind& k : kinds)
        if (k.name.loaded()) piszln(s, k.line + k.name.name());
    piszcr(s);
}

bool start_wnioskowania(Session& s, InferenceDirection d) {
    if (werdykt_odpowiedzi(s)) s.inference.blad_wykluczajacych.clear();
    if (const std::string why = odmowa_numerow(s); !why.empty()) {
        s.ui.note(tr("Uwaga!"), why);
        return false;
    }
    // The tests of model results tell their own reasons.
    if (!run_load_check(s.diagnoses.model_results, s)) return false;
    if (const std::string why = powod_odmowy(s); !why.empty()) {
        s.ui.note(tr("Uwaga!"), why);
        return false;
    }
    if (!s.kb.nazwa_re.loaded()) {
        s.ui.note(tr("Uwaga!"), tr("Proszę załadować bazę reguł!"));
        return false;
    }
    czytaj_opis(s);
    wybor_szczegolowosci(s);
    tworzenie_etykiet(s);
    kasowanie_tekst_raportu(s);
    // A forward run writes about a hundred bytes of report a rule it applies, a backward one
    // up to about three hundred: room for them up front spares growing the buffer by
    // doubling, which holds the old and the new buffer at once (16 MB and 32 MB for a
    // 100,000-rule chain). What is reserved and not yet written takes address space only,
    // no memory; where even that is refused, the report grows as it is written.
    try {
        s.report.text.reserve(kReportBytesPerRule * s.kb.rules.regula.count());
    } catch (const std::bad_alloc&) {
    }
    kasowanie_tablic_roboczych(s);
    naglowek_wnioskowania(s, d);
    return true;
}

}  // namespace zuva
