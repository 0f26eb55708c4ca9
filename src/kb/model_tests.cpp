// Every test walks its records in table order and stops at the first one it refuses:
// after the unload no records of the kind remain.
#include "kb/model_tests.h"

#include <string>
#include <vector>

#include "kb/model_base.h"
#include "report/report.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {
namespace {

const char* const kPathModels = N_("Przejdź do 'Bazy modeli niepewnej,'");
const char* const kPathActions = N_("Przejdź do 'Działania w bazie modeli,'");
const char* const kEditModels = N_("wybierz opcję 'Edycja bazy modeli', ");
const char* const kRemoveError = N_("wybierz błędną bazę i usuń błąd.");

// Writes the lines to the report (each followed by a line end), shows them as one note,
// unloads the model base and fails.
bool odrzuc(Session& s, const std::string& note_title, const std::vector<std::string>& lines) {
    std::string note;
    for (const auto& l : lines) {
        piszln(s, l);
        if (!note.empty()) note += "\n";
        note += l;
    }
    s.ui.note(note_title, note);
    usun_baze_modeli(s);
    return false;
}

bool cf_jeden(const std::string& cf_text) {
    auto v = parse_real(cf_text);
    return v && *v == 1.0;
}

// A relational model names its CF: a text that is not a number and has no comma.
bool cf_relacyjny(const std::string& cf_text) {
    return !parse_real(cf_text) && cf_text.find(',') == std::string::npos;
}

bool odrzuc_cf_arytmetyczny(Session& s, const std::string& cf_text, std::int32_t n, const char* kind_line,
                            const char* path) {
    return odrzuc(s, tr("Błędna wartość CF dla modelu!"),
                  {tr("Błędna wartość CF = ") + cf_text + tr(" dla modelu ") + std::to_string(n) + ".",
                   kind_line, path, tr(kEditModels), tr(kRemoveError)});
}

bool odrzuc_cf_relacyjny(Session& s, std::int32_t n) {
    return odrzuc(s, tr("Błąd deklaracji współczynnika pewności dla modelu relacyjnego!"),
                  {tr("Błąd deklaracji współczynnika pewności dla modelu relacyjnego!"),
                   tr("Współczynnik pewności modelu relacyjnego musi być zmienną"),
                   tr("niepewną swobodną, która zostanie ukonkretniona dopiero"),
                   tr("w trakcie wnioskowania."), tr(kPathModels), tr(kEditModels),
                   tr("wybierz błędną bazę i usuń błąd z modelu ") + std::to_string(n)});
}

bool odrzuc_operacje(Session& s, const std::string& op, std::int32_t n) {
    return odrzuc(s, tr("Błędna operacja/relacja dla modelu"),
                  {tr("Błędna operacja/relacja ") + op + tr(" dla modelu ") + std::to_string(n) + ".",
                   tr(kPathActions), tr(kEditModels), tr(kRemoveError)});
}

bool testuj_cf_m_faktow_modeli(Session& s) {
    for (const auto& f : s.kb.models.m_fakt) {
        auto v = parse_real(f.cf_text);
        if (v && *v >= -1.0 && *v <= 1.0) continue;
        return odrzuc(s, tr("Błędna wartość CF dla m_faktu!"),
                      {tr("Błędna wartość CF dla m_faktu '") + f.fact_text + "': " + f.cf_text + ".",
                       tr("CF musi być liczbą rzeczywistą z przedziału [-1,1]."),
                       tr("Przejdź do 'Bazy modeli niepewnej,'"), tr(kEditModels), tr(kRemoveError)});
    }
    return true;
}

}  // namespace

bool testuj_cf_modeli_arytmetycznych_rozwinietych(Session& s) {
    for (const auto& m : s.kb.models.model_r)
        if (!model_relacyjny(m) && !cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          tr("Dla modeli arytmetycznych CF musi być równe 1."),
                                          tr(kPathModels));
    return true;
}

bool testuj_cf_modeli_arytmetycznych_elementarnych_1(Session& s) {
    for (const auto& m : s.kb.models.model)
        if (jest_operacja_dwuargumentowa(m.operation_symbol) && !cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          tr("Dla modeli arytmetycznych CF musi być równe 1."),
                                          tr(kPathModels));
    return true;
}

bool testuj_cf_modeli_arytmetycznych_elementarnych_2(Session& s) {
    for (const auto& m : s.kb.models.model)
        if (jest_operacja_jednoargumentowa(m.operation_symbol) && !cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          tr("Dla modeli arytmetycznych CF musi być równe 1."),
                                          tr(kPathModels));
    return true;
}

bool testuj_cf_modeli_liniowych(Session& s) {
    for (const auto& m : s.kb.models.model_liniowy)
        if (!cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          tr("Dla modeli liniowych CF musi być równe 1."), tr(kPathActions));
    return true;
}

bool testuj_cf_modeli_relacyjnych_elementarnych(Session& s) {
    for (const auto& m : s.kb.models.model)
        if (model_relacyjny(m) && !cf_relacyjny(m.cf_text)) return odrzuc_cf_relacyjny(s, m.model_number);
    return true;
}

bool testuj_cf_modeli_relacyjnych_rozwinietych(Session& s) {
    for (const auto& m : s.kb.models.model_r)
        if (model_relacyjny(m) && !cf_relacyjny(m.cf_text)) return odrzuc_cf_relacyjny(s, m.model_number);
    return true;
}

bool testuj_cf_modeli_wielomianowych(Session& s) {
    for (const auto& m : s.kb.models.model_wielomianowy)
        if (!cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          tr("Dla modeli wielomianowych CF musi być równe 1."),
                                          tr(kPathModels));
    return true;
}

bool testuj_operacje_relacje_modeli_elementarnych(Session& s) {
    for (const auto& m : s.kb.models.model)
        if (!jest_relacja(m.operation_symbol) && !jest_operacja_dwuargumentowa(m.operation_symbol) &&
            !jest_operacja_jednoargumentowa(m.operation_symbol))
            return odrzuc_operacje(s, m.operation_symbol, m.model_number);
    return true;
}

bool testuj_operacje_relacje_modeli_rozwinietych(Session& s) {
    for (const auto& m : s.kb.models.model_r)
        if (!jest_operacja_r(m.operation_symbol) && !jest_relacja_r(m.operation_symbol))
            return odrzuc_operacje(s, m.operation_symbol, m.model_number);
    return true;
}

bool testuj_listy_modeli_liniowych(Session& s) {
    for (const auto& m : s.kb.models.model_liniowy)
        if (m.coefficients.size() != m.variables.size())
            return odrzuc(s, tr("Listy różnej długości"),
                          {tr("W modelu liniowym ") + std::to_string(m.model_number) +
                               tr(" lista współczynników i lista zmiennych"),
                           tr("są różnej długości."), tr(kPathModels), tr(kEditModels), tr(kRemoveError)});
    return true;
}

bool testuj_listy_modeli_wielomianowych(Session& s) {
    for (const auto& m : s.kb.models.model_wielomianowy)
        if (m.coefficients.size() != m.powers.size())
            return odrzuc(s, tr("Listy różnej długości"),
                          {tr("W modelu wielomianowym ") + std::to_string(m.model_number) +
                               tr(" lista współczynników i lista potęg"),
                           tr("są różnej długości."), tr(kPathModels), tr(kEditModels), tr(kRemoveError)});
    return true;
}

bool testy_modeli_przy_ladowaniu(Session& s) {
    using Test = bool (*)(Session&);
    static const Test tests[] = {
        testuj_cf_modeli_arytmetycznych_rozwinietych, testuj_cf_modeli_arytmetycznych_elementarnych_1,
        testuj_cf_modeli_arytmetycznych_elementarnych_2, testuj_cf_modeli_liniowych,
        testuj_cf_modeli_relacyjnych_elementarnych, testuj_cf_modeli_relacyjnych_rozwinietych,
        testuj_cf_modeli_wielomianowych, testuj_operacje_relacje_modeli_elementarnych,
        testuj_operacje_relacje_modeli_rozwinietych, testuj_listy_modeli_liniowych,
        testuj_listy_modeli_wielomianowych,
        // The model facts are read as CFs when an inference seeds them; the rule-base load
        // tests them while they are still empty, so they are tested here as well.
        testuj_cf_m_faktow_modeli};
    for (Test t : tests)
        if (!t(s)) return false;
    return true;
}

}  // namespace zuva
