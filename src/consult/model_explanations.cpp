// The explanations of the arithmetic models, written to the report and shown in the
// explanation dialog when a model is applied.
#include "consult/model_eval.h"
#include "consult/model_eval_support.h"
#include "kb/model_base.h"
#include "session/session.h"

namespace zuva {
using namespace model_eval;

void wyjasnienie_model_matematyczny(Session& s, const Model& m, double value) {
    const std::string& op = m.operation_symbol;
    bool round_op = op == "zaokrąglenie_do_N";
    Lines L(s);
    L.cr();
    L.line("Stosuję model arytmetyczny podstawowy " + num(m.model_number) + " o postaci:");
    L.line(round_op ? "dla spełnionego warunku stosowania modelu "
                    : "dla spełnionego warunku startowego modelu: ");
    L.line("    " + m.application_condition);
    L.line(round_op ? "zachodzi z współczynnikiem CF = 1" : "zachodzi z współczynnikiem CF = 1 ");
    if (jest_operacja_jednoargumentowa(op))
        L.line("        " + m.result + " = " + (op == "=" ? std::string() : op + " ") + " " + m.argument1);
    else
        L.line("    " + m.result + " = " + m.argument1 + " " + op + " " + m.argument2);
    L.line("Stąd wynika: ");
    L.line("    " + m.result + " = " + lg(value));
    L.cr();
    L.show("Wyjaśnienie modelu arytmetycznego podstawowego");
}

void wyjasnienie_model_matematyczny_2(Session& s, const ModelR& m, double value) {
    const std::string& op = m.operation_symbol;
    Lines L(s);
    L.cr();
    L.line("Stosuję model arytmetyczny rozwinięty " + num(m.model_number) + " o postaci:");
    L.line("dla spełnionego warunku startowego modelu: ");
    L.line("        " + m.application_condition);
    L.line("zachodzi z współczynnikiem CF = 1 ");
    L.line("        " + m.result + " = ");
    if (op == "+" || op == "*") {
        for (std::size_t i = 0; i < m.variables.size(); ++i)
            L.line("      " + m.variables[i] + (i + 1 < m.variables.size() ? "  " + op : std::string()));
    } else {
        L.line("      " + op + "  ");
        for (const auto& v : m.variables)
            L.line("   " + v);
    }
    L.line("Stąd wynika: ");
    L.line("  " + m.result + " = " + lg(value));
    L.cr();
    L.show("Wyjaśnienie modelu arytmetycznego rozwiniętego ");
}

void wyjasnienie_model_matematyczny_liniowy(Session& s, const ModelLiniowy& m, double value) {
    Lines L(s);
    L.cr();
    L.line("Stosuję model arytmetyczny liniowy " + num(m.model_number) + " o postaci:");
    L.line("dla spełnionego warunku stosowania modelu: ");
    L.line("    " + m.application_condition);
    L.line("zachodzi z współczynnikiem CF = 1");
    L.line("    " + m.result + " = ");
    for (std::size_t i = 0; i < m.variables.size(); ++i)
        L.line("      " + m.coefficients[i] + " * " + m.variables[i] +
               (i + 1 < m.variables.size() ? " + " : std::string()));
    L.line("Stąd wynika: ");
    L.line("    " + m.result + " = " + lg(value));
    L.cr();
    L.show("Wyjaśnienie modelu arytmetycznego liniowego");
}

void wyjasnienie_model_matematyczny_wielomianowy(Session& s, const ModelWielomianowy& m, double value) {
    Lines L(s);
    L.cr();
    L.line("Stosuję model arytmetyczny wielomianowy " + num(m.model_number) + " o postaci:");
    L.line("dla spełnionego warunku stosowania modelu: ");
    L.line("    " + m.application_condition);
    L.line("zachodzi ", "zachodzi ze współczynnikiem CF = 1");
    L.line("    " + m.result + " = ");
    for (std::size_t i = 0; i < m.powers.size(); ++i)
        L.line("      " + m.coefficients[i] + " * " + m.variable + "^" + num(m.powers[i]) +
               (i + 1 < m.powers.size() ? " + " : std::string()));
    L.line("Stąd wynika: ");
    L.line("    " + m.result + " = " + lg(value));
    L.cr();
    L.show("Wyjaśnienie modelu arytmetycznego wielomianowego");
}

}  // namespace zuva
