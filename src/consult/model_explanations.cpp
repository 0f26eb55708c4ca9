// The explanations of the arithmetic models, written to the report and shown in the
// explanation dialog when a model is applied.
#include "consult/model_eval.h"
#include "consult/model_eval_support.h"
#include "kb/model_base.h"
#include "session/session.h"
#include "text/i18n.h"

namespace zuva {
using namespace model_eval;

void wyjasnienie_model_matematyczny(Session& s, const Model& m, double value) {
    const std::string& op = m.operation_symbol;
    bool round_op = op == "zaokrąglenie_do_N";
    Lines L(s);
    L.cr();
    L.line(tr("Stosuję model arytmetyczny podstawowy ") + num(m.model_number) + tr(" o postaci:"));
    L.line(round_op ? tr("dla spełnionego warunku stosowania modelu ")
                    : tr("dla spełnionego warunku startowego modelu: "));
    L.line("    " + m.application_condition);
    L.line(round_op ? tr("zachodzi z współczynnikiem CF = 1") : tr("zachodzi z współczynnikiem CF = 1 "));
    if (jest_operacja_jednoargumentowa(op))
        L.line("        " + m.result + " = " + (op == "=" ? std::string() : op + " ") + " " + m.argument1);
    else
        L.line("    " + m.result + " = " + m.argument1 + " " + op + " " + m.argument2);
    L.line(tr("Stąd wynika: "));
    L.line("    " + m.result + " = " + lg(value));
    L.cr();
    L.show(tr("Wyjaśnienie modelu arytmetycznego podstawowego"));
}

void wyjasnienie_model_matematyczny_2(Session& s, const ModelR& m, double value) {
    const std::string& op = m.operation_symbol;
    Lines L(s);
    L.cr();
    L.line(tr("Stosuję model arytmetyczny rozwinięty ") + num(m.model_number) + tr(" o postaci:"));
    L.line(tr("dla spełnionego warunku startowego modelu: "));
    L.line("        " + m.application_condition);
    L.line(tr("zachodzi z współczynnikiem CF = 1 "));
    L.line("        " + m.result + " = ");
    if (op == "+" || op == "*") {
        for (std::size_t i = 0; i < m.variables.size(); ++i)
            L.line("      " + m.variables[i] + (i + 1 < m.variables.size() ? "  " + op : std::string()));
    } else {
        L.line("      " + op + "  ");
        for (const auto& v : m.variables)
            L.line("   " + v);
    }
    L.line(tr("Stąd wynika: "));
    L.line("  " + m.result + " = " + lg(value));
    L.cr();
    L.show(tr("Wyjaśnienie modelu arytmetycznego rozwiniętego "));
}

void wyjasnienie_model_matematyczny_liniowy(Session& s, const ModelLiniowy& m, double value) {
    Lines L(s);
    L.cr();
    L.line(tr("Stosuję model arytmetyczny liniowy ") + num(m.model_number) + tr(" o postaci:"));
    L.line(tr("dla spełnionego warunku stosowania modelu: "));
    L.line("    " + m.application_condition);
    L.line(tr("zachodzi z współczynnikiem CF = 1"));
    L.line("    " + m.result + " = ");
    for (std::size_t i = 0; i < m.variables.size(); ++i)
        L.line("      " + m.coefficients[i] + " * " + m.variables[i] +
               (i + 1 < m.variables.size() ? " + " : std::string()));
    L.line(tr("Stąd wynika: "));
    L.line("    " + m.result + " = " + lg(value));
    L.cr();
    L.show(tr("Wyjaśnienie modelu arytmetycznego liniowego"));
}

void wyjasnienie_model_matematyczny_wielomianowy(Session& s, const ModelWielomianowy& m, double value) {
    Lines L(s);
    L.cr();
    L.line(tr("Stosuję model arytmetyczny wielomianowy ") + num(m.model_number) + tr(" o postaci:"));
    L.line(tr("dla spełnionego warunku stosowania modelu: "));
    L.line("    " + m.application_condition);
    L.line(tr("zachodzi "), tr("zachodzi ze współczynnikiem CF = 1"));
    L.line("    " + m.result + " = ");
    for (std::size_t i = 0; i < m.powers.size(); ++i)
        L.line("      " + m.coefficients[i] + " * " + m.variable + "^" + num(m.powers[i]) +
               (i + 1 < m.powers.size() ? " + " : std::string()));
    L.line(tr("Stąd wynika: "));
    L.line("    " + m.result + " = " + lg(value));
    L.cr();
    L.show(tr("Wyjaśnienie modelu arytmetycznego wielomianowego"));
}

}  // namespace zuva
