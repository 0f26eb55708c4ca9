// The model steps of the forward loop and the presentation of fixed values. Each step
// takes the models of its kind in table order and performs the first that applies.
#include "consult/model_steps.h"

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/media_offers.h"
#include "consult/model_eval.h"
#include "consult/pytaj.h"
#include "kb/model_base.h"
#include "report/report.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {
namespace {

// What the forward run lends the models.
ModelLinks forward_links() {
    ModelLinks l;
    l.pytaj = [](Session& s, const std::string& c) { return pytaj(s, c); };
    l.przedstawienie_faktow = [](Session& s) { przedstawienie_faktow(s); };
    l.po_wniosku = [](Session& s, double cf, const std::string& c) {
        wyswietl_grafike(s, cf, c);
        przesluchaj_melodie(s, cf, c);
    };
    return l;
}

template <class Table, class F>
bool pierwszy(const Table& t, F apply) {
    for (std::size_t i = 0; i < t.count(); ++i)
        if (apply(t[i])) return true;
    return false;
}

void pokaz_wartosci(Session& s, const std::string& heading,
                    const std::vector<std::pair<std::string, double>>& rows) {
    std::vector<std::string> lines;
    pisz(s, heading);
    piszcr(s);
    for (const auto& [name, value] : rows) {
        std::string line = "    " + name + "=" + format_lg(value);
        pisz(s, "    " + name + "=");
        piszreal(s, value);
        piszcr(s);
        lines.push_back(line);
    }
    piszcr(s);
    pokaz_wyjasnienie(s, heading, lines);
}

}  // namespace

bool forward_model_step(Session& s, int step) {
    if (!s.kb.nazwa_mo.loaded()) return false;
    const ModelLinks links = forward_links();
    const ModelGroup& g = s.kb.models;
    auto skip = [&](std::int32_t n) { return s.inference.model_stosowany.count(n) != 0; };
    auto arithmetic = [&](const auto& table) {
        // A model whose result is fixed already cannot be applied: it is passed over before
        // its condition of application could ask anything.
        return pierwszy(table, [&](const auto& m) {
            return !skip(m.model_number) && !s.inference.zmienna_ustalona.contains(m.result) &&
                   stosuj_model(s, links, m);
        });
    };
    auto relational = [&](const auto& table, bool holds) {
        return pierwszy(table, [&](const auto& m) {
            if (skip(m.model_number) || resultant(s, m.result)) return false;
            auto cf = stosuj_model_relacyjny(s, links, m, holds);
            if (!cf) return false;
            if (links.po_wniosku) links.po_wniosku(s, *cf, m.result);
            return true;
        });
    };
    switch (step) {
        case 8:
            return arithmetic(g.model);
        case 9:
            return arithmetic(g.model_r);
        case 10:
            return arithmetic(g.model_liniowy);
        case 11:
            return arithmetic(g.model_wielomianowy);
        case 12:
            return relational(g.model, true);
        case 13:
            return relational(g.model, false);
        case 14:
            return relational(g.model_r, true);
        case 15:
            return relational(g.model_r, false);
        default:
            return false;
    }
}

void przedstawienie_zmiennych(Session& s) {
    if (!duza_szczegolowosc(s)) return;
    std::vector<std::pair<std::string, double>> rows;
    s.inference.zmienna_ustalona.for_each([&](const std::string& name, double value) {
        if (!jest_liczba(name)) rows.emplace_back(name, value);
    });
    pokaz_wartosci(s, tr("Dane są wartości następujących argumentów:"), rows);
}

void przedstawienie_zmiennych_pierwotnych(Session& s) {
    if (s.kb.models.argument_znany.empty()) return;
    std::vector<std::pair<std::string, double>> rows;
    for (const auto& a : s.kb.models.argument_znany)
        rows.emplace_back(a.argument_name, a.value);
    pokaz_wartosci(s, tr("W bazie modeli są wartości następujących argumentów:"), rows);
}

}  // namespace zuva
