// The relational-model step: a basic or extended relational model whose relation holds
// (or does not) gives its conclusion a CF, with the explanations of each case.
#include <cstdint>
#include <string>

#include "consult/calculus_basics.h"
#include "consult/model_eval.h"
#include "consult/model_eval_support.h"
#include "consult/why_asked.h"
#include "kb/model_base.h"
#include "report/report.h"
#include "session/session.h"
#include "text/i18n.h"

namespace zuva {
using namespace model_eval;
namespace {

// The two bounds of an interval relation: "<=,<" gives "<=" and "<".
std::pair<std::string, std::string> granice(const std::string& op) {
    auto c = op.find(',');
    if (c == std::string::npos) return {op, op};
    return {op.substr(0, c), op.substr(c + 1)};
}

struct Relacyjny {
    std::int32_t n;
    const std::string& cond;
    const std::string& res;
    const std::string& cf_text;
    int flag;
    bool extended;
    std::string form;    // the relation as written in the model
    std::string values;  // the relation with the computed values
    std::string op;
};

void pierwsze_linie(Lines& L, const Relacyjny& r, bool negative) {
    if (r.extended)
        L.line((negative ? tr("Stosuje model relacyjny rozwinięty ")
                         : tr("Stosuję model relacyjny rozwinięty ")) +
               num(r.n) + tr(" o postaci: "));
    else
        L.line(tr("Stosuję model relacyjny podstawowy ") + num(r.n) + tr(" o postaci: "));
    L.line(r.extended ? tr("dla spełnionego warunku startowego modelu ")
                      : tr("dla spełnionego warunku startowego modelu: "));
    L.line("    " + r.cond);
    L.line(tr("i spełnionej relacji: "));
    L.line("    " + r.form);
    L.line((r.extended && negative ? tr("twynika z CF = ") : tr("wynika z  CF = ")) + r.cf_text);
    L.line("  " + r.res);
}

std::string tytul_relacyjny(const Relacyjny& r) {
    return r.extended ? tr("Wyjaśnienie modelu relacyjnego rozwiniętego")
                      : tr("Wyjaśnienie modelu relacyjnego podstawowego");
}

void wyjasnienie_wstepne(Session& s, const Relacyjny& r) {
    Lines L(s);
    pierwsze_linie(L, r, false);
    L.line(tr("Dla modelu ") + num(r.n) + tr(" jest spełniona relacja: "));
    L.line("    " + r.values);
    L.line(tr("Stąd wynika wniosek: "));
    L.line("   " + r.res);
    L.line(tr("Określ współczynnik pewności  tego wniosku!"));
    L.show(tytul_relacyjny(r));
}

void wyjasnienie_negatywne(Session& s, const Relacyjny& r) {
    if (r.flag != 1) return;
    piszcr(s);
    Lines L(s);
    pierwsze_linie(L, r, true);
    L.line(tr("Ponieważ dla wyznaczonych danych nie jest spełniona relacja ") + r.op);
    L.line("    " + r.values);
    L.line(tr("to przyjmuje się CF(") + r.res + ") = -1.");
    L.cr();
    L.show(tytul_relacyjny(r));
}

void wyjasnienie_wniosku(Session& s, const Relacyjny& r, double cf) {
    if (r.flag != 1) return;
    pisz(s, tr("Stąd wynika wniosek: "));
    piszcr(s);
    pisz(s, "    " + r.res + "(");
    piszreal(s, cf);
    pisz(s, ")");
    piszcr(s);
    piszcr(s);
    pokaz_wyjasnienie(
        s, tytul_relacyjny(r),
        {(r.extended ? tr("Z modelu relacyjnego rozwiniętego ") : tr("Z modelu relacyjnego podstawowego ")) +
             num(r.n),
         tr("wynika wniosek: "), "  " + r.res + "(" + lg(cf) + ")"});
}

// Steps 3 to 5 of the relational model once the relation was decided.
double zakoncz_model_relacyjny(Session& s, const ModelLinks& links, const Relacyjny& r, bool holds) {
    if (links.komunikat) links.komunikat(s, r.res);
    double cf = -1.0;
    if (holds) {
        wyjasnienie_wstepne(s, r);
        cf = wyznacz_cf(s, r.res, r.cf_text);
    } else {
        wyjasnienie_negatywne(s, r);
    }
    if (links.przedstawienie_faktow) links.przedstawienie_faktow(s);
    wyjasnienie_wniosku(s, r, cf);
    pamietaj_wniosek_wypadkowy(s, r.res, cf, {OriginKind::RelationalModel, r.extended, r.n});
    s.inference.model_stosowany.insert(r.n);
    return cf;
}

bool mozna_stosowac_relacyjny(Session& s, const ModelLinks& links, std::int32_t n, const std::string& cond,
                              const std::string& res) {
    return sprawdz(s, links, cond) && !resultant(s, res) && !applied(s, n);
}

}  // namespace

std::optional<double> stosuj_model_relacyjny(Session& s, const ModelLinks& links, const Model& m,
                                             bool holds) {
    if (!relacja_modelu(m.operation_symbol)) return std::nullopt;
    const ModelWhy why(m);
    const WhyScope asking(s, why);
    if (!mozna_stosowac_relacyjny(s, links, m.model_number, m.application_condition, m.result))
        return std::nullopt;
    auto a = oblicz(s, links, m.argument1);
    if (!a) return std::nullopt;
    auto b = oblicz(s, links, m.argument2);
    if (!b) return std::nullopt;
    auto r = relacja(*a, *b, m.operation_symbol);
    if (!r || *r != holds) return std::nullopt;
    const std::string& op = m.operation_symbol;
    Relacyjny rel{m.model_number,
                  m.application_condition,
                  m.result,
                  m.cf_text,
                  m.display_flag,
                  false,
                  m.argument1 + " " + op + " " + m.argument2,
                  lg(*a) + " " + op + " " + lg(*b),
                  op};
    return zakoncz_model_relacyjny(s, links, rel, holds);
}

std::optional<double> stosuj_model_relacyjny(Session& s, const ModelLinks& links, const ModelR& m,
                                             bool holds) {
    if (!jest_relacja_r(m.operation_symbol) || m.variables.size() != 3) return std::nullopt;
    const ModelWhy why(m);
    const WhyScope asking(s, why);
    if (!mozna_stosowac_relacyjny(s, links, m.model_number, m.application_condition, m.result))
        return std::nullopt;
    double v[3];
    for (int i = 0; i < 3; ++i) {
        auto x = oblicz(s, links, m.variables[i]);
        if (!x) return std::nullopt;
        v[i] = *x;
    }
    auto r = relacja_r(v[0], v[1], v[2], m.operation_symbol);
    if (!r || *r != holds) return std::nullopt;
    auto [lo, hi] = granice(m.operation_symbol);
    const TextList& n = m.variables;
    Relacyjny rel{m.model_number,
                  m.application_condition,
                  m.result,
                  m.cf_text,
                  m.display_flag,
                  true,
                  n[0] + " " + lo + " " + n[1] + " " + hi + " " + n[2],
                  lg(v[0]) + " " + lo + " " + lg(v[1]) + " " + hi + " " + lg(v[2]),
                  m.operation_symbol};
    return zakoncz_model_relacyjny(s, links, rel, holds);
}

std::optional<double> model_relacyjny_dla(Session& s, const ModelLinks& links, const std::string& conclusion,
                                          int variant) {
    const ModelIndex::Positions* p = modele_wyniku(s, conclusion);
    if (!p) return std::nullopt;
    const ModelIndex::Positions pos = *p;
    bool holds = variant == 1 || variant == 3;
    if (variant <= 2) {
        for (std::size_t i : pos.basic)
            if (auto cf = stosuj_model_relacyjny(s, links, s.kb.models.model[i], holds)) return cf;
    } else {
        for (std::size_t i : pos.extended)
            if (auto cf = stosuj_model_relacyjny(s, links, s.kb.models.model_r[i], holds)) return cf;
    }
    return std::nullopt;
}

}  // namespace zuva
