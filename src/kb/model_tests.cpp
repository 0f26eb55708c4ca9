// Every test walks its records in table order and stops at the first one it refuses:
// after the unload no records of the kind remain.
#include "kb/model_tests.h"

#include <string>
#include <vector>

#include "kb/model_base.h"
#include "report/report.h"
#include "session/session.h"
#include "text/number_format.h"

namespace zuva {
namespace {

const char* const kPathModels = "Przejdź do 'Bazy modeli niepewnej,'";
const char* const kPathActions = "Przejdź do 'Działania w bazie modeli,'";
const char* const kEditModels = "wybierz opcję 'Edycja bazy modeli', ";
const char* const kRemoveError = "wybierz błędną bazę i usuń błąd.";

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
    return odrzuc(s, "Błędna wartość CF dla modelu!",
                  {"Błędna wartość CF = " + cf_text + " dla modelu " + std::to_string(n) + ".", kind_line,
                   path, kEditModels, kRemoveError});
}

bool odrzuc_cf_relacyjny(Session& s, std::int32_t n) {
    return odrzuc(
        s, "Błąd deklaracji współczynnika pewności dla modelu relacyjnego!",
        {"Błąd deklaracji współczynnika pewności dla modelu relacyjnego!",
         "Współczynnik pewności modelu relacyjnego musi być zmienną",
         "niepewną swobodną, która zostanie ukonkretniona dopiero", "w trakcie wnioskowania.", kPathModels,
         kEditModels, "wybierz błędną bazę i usuń błąd z modelu " + std::to_string(n)});
}

bool odrzuc_operacje(Session& s, const std::string& op, std::int32_t n) {
    return odrzuc(s, "Błędna operacja/relacja dla modelu",
                  {"Błędna operacja/relacja " + op + " dla modelu " + std::to_string(n) + ".", kPathActions,
                   kEditModels, kRemoveError});
}

bool testuj_cf_m_faktow_modeli(Session& s) {
    for (const auto& f : s.kb.models.m_fakt) {
        auto v = parse_real(f.cf_text);
        if (v && *v >= -1.0 && *v <= 1.0) continue;
        return odrzuc(s, "Błędna wartość CF dla m_faktu!",
                      {"Błędna wartość CF dla m_faktu '" + f.fact_text + "': " + f.cf_text + ".",
                       "CF musi być liczbą rzeczywistą z przedziału [-1,1].",
                       "Przejdź do 'Bazy modeli niepewnej,'", kEditModels, kRemoveError});
    }
    return true;
}

}  // namespace

bool testuj_cf_modeli_arytmetycznych_rozwinietych(Session& s) {
    for (const auto& m : s.kb.models.model_r)
        if (!model_relacyjny(m) && !cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          "Dla modeli arytmetycznych CF musi być równe 1.", kPathModels);
    return true;
}

bool testuj_cf_modeli_arytmetycznych_elementarnych_1(Session& s) {
    for (const auto& m : s.kb.models.model)
        if (jest_operacja_dwuargumentowa(m.operation_symbol) && !cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          "Dla modeli arytmetycznych CF musi być równe 1.", kPathModels);
    return true;
}

bool testuj_cf_modeli_arytmetycznych_elementarnych_2(Session& s) {
    for (const auto& m : s.kb.models.model)
        if (jest_operacja_jednoargumentowa(m.operation_symbol) && !cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          "Dla modeli arytmetycznych CF musi być równe 1.", kPathModels);
    return true;
}

bool testuj_cf_modeli_liniowych(Session& s) {
    for (const auto& m : s.kb.models.model_liniowy)
        if (!cf_jeden(m.cf_text))
            return odrzuc_cf_arytmetyczny(s, m.cf_text, m.model_number,
                                          "Dla modeli liniowych CF musi być równe 1.", kPathActions);
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
                                          "Dla modeli wielomianowych CF musi być równe 1.", kPathModels);
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
            return odrzuc(s, "Listy różnej długości",
                          {"W modelu liniowym " + std::to_string(m.model_number) +
                               " lista współczynników i lista zmiennych",
                           "są różnej długości.", kPathModels, kEditModels, kRemoveError});
    return true;
}

bool testuj_listy_modeli_wielomianowych(Session& s) {
    for (const auto& m : s.kb.models.model_wielomianowy)
        if (m.coefficients.size() != m.powers.size())
            return odrzuc(s, "Listy różnej długości",
                          {"W modelu wielomianowym " + std::to_string(m.model_number) +
                               " lista współczynników i lista potęg",
                           "są różnej długości.", kPathModels, kEditModels, kRemoveError});
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
