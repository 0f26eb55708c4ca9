// Shared calculus pieces; see the header.
#include "consult/calculus_basics.h"

#include "consult/why_asked.h"
#include "report/report.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

double wyznacz_cf(Session& s, const std::string& conclusion, const std::string& cf_text) {
    if (auto v = cf_from_text(cf_text)) return *v;
    const std::string title = tr("Zadeklaruj wartość CF z przedziału [-1,1]");
    piszln(s, title);
    for (;;) {
        auto typed = ask_value(s, tr("Określ wartość CF"), title, conclusion, AskedKind::ConclusionCf);
        if (!typed) continue;
        auto v = parse_real(*typed);
        if (!v) continue;
        if (*v < -1.0 || *v > 1.0) {
            piszln(s, tr("     Źle! Musi być -1 <= CF <= 1 ! "));
            s.ui.note("", tr("Źle! Musi być -1 <= CF <= 1 !"));
            continue;
        }
        piszln(s, "   CF(" + conclusion + ") = " + cf_text + " = " + *typed);
        return *v;
    }
}

std::optional<double> resultant(const Session& s, const std::string& statement) {
    if (const double* v = s.inference.wypadkowa_prbd.find(statement)) return *v;
    return std::nullopt;
}

void pamietaj_wniosek_wypadkowy(Session& s, const std::string& statement, double cf) {
    s.inference.wypadkowa_prbd.store(statement, cf);
}

void pamietaj_wniosek_wypadkowy(Session& s, const std::string& statement, double cf, ResultantOrigin origin,
                                StatementRef ref) {
    s.inference.wypadkowa_prbd.store(statement, cf, ref);
    record_origin_of_last(s, origin);
}

void potwierdz_zakonczenie(Session& s) {
    const bool consultation = !s.inference.jakiewnioskowanie.empty() && !s.inference.konczenie;
    switch (s.ui.end_question(consultation)) {
        case Ui::EndAnswer::Program:
            throw ProgramExit{};
        case Ui::EndAnswer::Consultation:
            if (consultation) throw ConsultationStop{};
            return;
        case Ui::EndAnswer::Nothing:
            return;
    }
}

void pokaz_wyjasnienie(Session& s, const std::string& title, const std::vector<std::string>& lines) {
    while (!s.ui.explanation(title, lines))
        potwierdz_zakonczenie(s);
}

}  // namespace zuva
