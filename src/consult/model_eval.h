// Model evaluation in a consultation: the value of a quantity (oblicz), the operations
// of every kind of model, relations, the condition of application, the relational-model
// step, and the explanations written to the report and shown in the explanation dialog.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/knowledge_base.h"
#include "store/values.h"

namespace zuva {

struct Session;

// What the inference that runs the models lends them. Every member may be empty: the
// alternative that needs it then does not apply.
struct ModelLinks {
    // Asks an askable condition (pytaj); returns its CF.
    std::function<double(Session&, const std::string&)> pytaj;
    // Presents the facts with their resultants (przedstawienie_faktow).
    std::function<void(Session&)> przedstawienie_faktow;
    // Backward inference: evaluates a condition as a sub-hypothesis; nullopt without a CF.
    std::function<std::optional<double>(Session&, const std::string&)> ocena_hipotezy_cd;
    // Backward inference: the hypothesis message after a relational comparison.
    std::function<void(Session&, const std::string& conclusion)> komunikat;
    // After a relational conclusion got its CF: the offer of its picture and sound.
    std::function<void(Session&, double cf, const std::string& conclusion)> po_wniosku;
};

// Value of a quantity: a numeric literal, a fixed value, a value computed by a model, or
// a value asked of the user. Records it in `zmienna_ustalona`; nullopt when none is had.
std::optional<double> oblicz(Session& s, const ModelLinks& links, const std::string& name);
// Values of the names in list order, returned in REVERSE order (the last name's first).
std::optional<std::vector<double>> wyznacz_liste(Session& s, const ModelLinks& links, const TextList& names);

// Basic arithmetic operation. Division by 0 gives 1 and a negative root the root of -a,
// each with its note; undefined cases (see the .cpp) give a note and nullopt.
std::optional<double> wykonaj(Session& s, double a, double b, const std::string& op);
std::optional<double> wykonaj_r(const std::vector<double>& values, const std::string& op);
// Sum of coefficient × variable over the paired lists, added to acc.
std::optional<double> wykonaj_liniowy(const std::vector<double>& variables,
                                      const std::vector<double>& coefficients, double acc = 0.0);
// Sum of the terms coefficient × x^power (a zero coefficient gives 0 whatever its power).
std::optional<double> wykonaj_wielomianowy(const IntList& powers, const std::vector<double>& coefficients,
                                           double x, double acc = 0.0);
std::optional<bool> relacja(double a, double b, const std::string& op);
std::optional<bool> relacja_r(double low, double x, double high, const std::string& op);
// The relation symbols that make a basic model relational in a consultation.
bool relacja_modelu(const std::string& op);

// True when a model's condition of application holds (may ask the user).
bool sprawdz(Session& s, const ModelLinks& links, const std::string& condition);

// Applies one arithmetic model to its result when it can be applied now: the value is
// computed, presented, explained and fixed; with mark_applied the model is marked applied.
bool stosuj_model(Session& s, const ModelLinks& links, const Model& m, bool mark_applied = true);
bool stosuj_model(Session& s, const ModelLinks& links, const ModelR& m, bool mark_applied = true);
bool stosuj_model(Session& s, const ModelLinks& links, const ModelLiniowy& m, bool mark_applied = true);
bool stosuj_model(Session& s, const ModelLinks& links, const ModelWielomianowy& m, bool mark_applied = true);
// The arithmetic models of a result, basic, extended, linear, polynomial, each in table
// order: the value of the first that applies.
std::optional<double> oblicz_wynik_modelu(Session& s, const ModelLinks& links, const std::string& result,
                                          bool mark_applied = true);

// The relational-model step for one model when its relation holds (holds = true) or does
// not hold (holds = false): the CF its conclusion gets, stored as the resultant.
std::optional<double> stosuj_model_relacyjny(Session& s, const ModelLinks& links, const Model& m, bool holds);
std::optional<double> stosuj_model_relacyjny(Session& s, const ModelLinks& links, const ModelR& m,
                                             bool holds);
// Variant 1 basic holding, 2 basic not holding, 3 extended holding, 4 extended not holding:
// the first relational model of the conclusion (table order) for which the step succeeds.
std::optional<double> model_relacyjny_dla(Session& s, const ModelLinks& links, const std::string& conclusion,
                                          int variant);
// True when the name is the result of a model of any kind.
bool jest_wynikiem_modelu(Session& s, const std::string& name);

// Explanations (report and explanation dialog).
void wyjasnienie_model_matematyczny(Session& s, const Model& m, double value);
void wyjasnienie_model_matematyczny_2(Session& s, const ModelR& m, double value);
void wyjasnienie_model_matematyczny_liniowy(Session& s, const ModelLiniowy& m, double value);
void wyjasnienie_model_matematyczny_wielomianowy(Session& s, const ModelWielomianowy& m, double value);

// Working tables of the run and the seeding of the known arguments.
void kasowanie_model_stosowany(Session& s);
void kasowanie_zmienna_ustalona(Session& s);
void przypisz_argumenty_znane(Session& s);

}  // namespace zuva
