// Each window keeps its own copy of the records it lists, so it shows the base as it was
// when opened, whatever is loaded while it stays open; a record is chosen by its position
// in the list, so records that share a number are all reachable.
#include "kb/record_windows.h"

#include <memory>

#include "session/session.h"
#include "text/i18n.h"

namespace zuva {
namespace {

RecordField value(std::string label, std::string v) {
    RecordField f;
    f.label = std::move(label);
    f.value = std::move(v);
    return f;
}

RecordField list(std::string label, std::vector<std::string> items) {
    RecordField f;
    f.label = std::move(label);
    f.items = std::move(items);
    f.is_list = true;
    return f;
}

std::vector<std::string> texts_of(const IntList& v) {
    std::vector<std::string> out;
    out.reserve(v.size());
    for (auto x : v)
        out.push_back(std::to_string(x));
    return out;
}

// The window's numbers and a field reader over a shared copy of the rows.
template <class Row, class Number, class Fields>
void fill(RecordWindow& w, const std::vector<Row>& rows, Number number, Fields fields) {
    auto copy = std::make_shared<const std::vector<Row>>(rows);
    w.numbers.reserve(copy->size());
    for (const Row& r : *copy)
        w.numbers.push_back(std::to_string(number(r)));
    w.fields = [copy, fields](std::size_t pos) -> std::vector<RecordField> {
        if (pos >= copy->size()) return {};
        return fields((*copy)[pos]);
    };
}

void model_counts(const Session& s, RecordWindow& w) {
    const auto& g = s.kb.models;
    w.counts = {{tr("Liczba modeli podstawowych"), g.model.count()},
                {tr("Liczba modeli rozszerzonych"), g.model_r.count()},
                {tr("Liczba modeli liniowych"), g.model_liniowy.count()},
                {tr("Liczba modeli wielomianowych"), g.model_wielomianowy.count()}};
}

}  // namespace

RecordWindow rule_record_window(const Session& s) {
    RecordWindow w;
    w.name = "win_przegląd_reguł";
    w.title = tr("Przegląd reguł");
    w.number_label = tr("Nr reguły");
    w.counts = {{tr("Sumaryczna liczba reguł"), s.kb.rules.regula.count()}};
    fill(
        w, s.kb.rules.regula.rows(), [](const Regula& r) { return r.rule_number; },
        [](const Regula& r) {
            RecordField cf = value(tr("Współczynnik pewności"), r.cf_text);
            cf.not_in_transcript = true;
            return std::vector<RecordField>{value(tr("Wniosek z reguły"), r.conclusion),
                                            list(tr(" Lista warunków "), r.conditions), cf};
        });
    return w;
}

RecordWindow model_record_window(const Session& s, ModelKind kind) {
    const auto& g = s.kb.models;
    RecordWindow w;
    w.number_label = tr("Nr modelu");
    model_counts(s, w);
    switch (kind) {
        case ModelKind::Basic:
            w.name = "win_przegląd_modeli_elementarnych";
            w.title = tr("Przegląd modeli podstawowych");
            w.headings = {tr("MODEL PODSTAWOWY")};
            fill(
                w, g.model.rows(), [](const Model& m) { return m.model_number; },
                [](const Model& m) {
                    return std::vector<RecordField>{
                        value(tr("Warunek stosowania"), m.application_condition),
                        value(tr("Wynik"), m.result),
                        value(tr("Argument 1"), m.argument1),
                        value(tr("Symbol operacji"), m.operation_symbol),
                        value(tr("Argument 2"), m.argument2),
                        value(tr("Semafor wyświetlania"), std::to_string(m.display_flag)),
                        value(tr("Współczynnik pewności"), m.cf_text)};
                });
            break;
        case ModelKind::Extended:
            w.name = "win_przegląd_modeli_rozwiniętych";
            w.title = tr("Przegląd modeli rozszerzonych");
            w.headings = {tr("MODEL ROZWINIĘTY")};
            fill(
                w, g.model_r.rows(), [](const ModelR& m) { return m.model_number; },
                [](const ModelR& m) {
                    return std::vector<RecordField>{
                        value(tr("Warunek stosowania"), m.application_condition),
                        value(tr("Wynik"), m.result),
                        value(tr("Symbol operacji"), m.operation_symbol),
                        value(tr("Semafor wyświetlania"), std::to_string(m.display_flag)),
                        value(tr("Współczynnik pewności"), m.cf_text),
                        list(tr(" Lista zmiennych "), m.variables)};
                });
            break;
        case ModelKind::Linear:
            w.name = "win_przegląd_modeli_liniowych";
            w.title = tr("Przegląd modeli liniowych");
            w.headings = {tr("MODEL LINIOWY"), "y=a1*x1+a2*x2+...+an*xn"};
            fill(
                w, g.model_liniowy.rows(), [](const ModelLiniowy& m) { return m.model_number; },
                [](const ModelLiniowy& m) {
                    return std::vector<RecordField>{
                        value(tr("Warunek stosowania"), m.application_condition),
                        value(tr("Wartość formy lin."), m.result),
                        value(tr("Semafor wyświetlania"), std::to_string(m.display_flag)),
                        value(tr("Współczynnik pewności"), m.cf_text),
                        list(tr(" Lista współczynników "), m.coefficients),
                        list(tr(" Lista wartości zmiennych "), m.variables)};
                });
            break;
        case ModelKind::Polynomial:
            w.name = "win_przegląd_modeli_wielomianowych";
            w.title = tr("Przegląd modeli wielomianowych");
            w.headings = {tr("MODEL WIELOMIANOWY"), "y=a0+a1*x+a2*x^2+...+an*x^n"};
            fill(
                w, g.model_wielomianowy.rows(), [](const ModelWielomianowy& m) { return m.model_number; },
                [](const ModelWielomianowy& m) {
                    return std::vector<RecordField>{
                        value(tr("Warunek stosowania"), m.application_condition),
                        value(tr("Wartość wielomianu"), m.result),
                        value(tr("Semafor wyświetlania"), std::to_string(m.display_flag)),
                        value(tr("Współczynnik pewności"), m.cf_text),
                        value(tr("Wartość zmiennej"), m.variable),
                        list(tr(" Lista współczynników "), m.coefficients),
                        list(tr(" Lista potęg "), texts_of(m.powers))};
                });
            break;
    }
    return w;
}

RecordWindow constraint_record_window(const Session& s, bool uncertain) {
    const auto& rows = uncertain ? s.kb.uncertain.ograniczenie_n.rows() : s.kb.exact.ograniczenie.rows();
    RecordWindow w;
    w.name = "win_przegląd_ograniczeń";
    w.title = uncertain ? tr("Przegląd ograniczeń niepewnych") : tr("Przegląd ograniczeń dokładnych");
    w.number_label = tr("Nr ograniczenia");
    w.counts = {{tr("Sumaryczna liczba ograniczeń"), rows.size()}};
    fill(
        w, rows, [](const Ograniczenie& o) { return o.constraint_number; },
        [](const Ograniczenie& o) {
            return std::vector<RecordField>{
                list(tr(" Warunki wzajemnie się wykluczające "), o.exclusive_conditions)};
        });
    return w;
}

}  // namespace zuva
