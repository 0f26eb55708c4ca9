// Asking follows its alternatives in order: a known resultant, a member of an exact
// constraint, a member of an uncertain constraint, any other condition.
#include "consult/pytaj.h"

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/exclusive.h"
#include "consult/why_asked.h"
#include "report/report.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

std::optional<double> testuj_cf_warunku(Session& s, const std::string& typed) {
    auto v = parse_real(typed);
    if (!v) return std::nullopt;
    if (*v < -1.0 || *v > 1.0) {
        piszln(s, tr("     Źle! Musi być -1 <= CF <= 1 ! "));
        s.ui.note("", tr("Źle! Musi być -1 <= CF <= 1 !"));
        return std::nullopt;
    }
    return v;
}

void pamietaj(Session& s, const std::string& condition, double cf) {
    pamietaj_odpowiedz(s, condition, cf);
}

namespace {

// The report lines and the note that announce a member of a constraint before it is asked:
// the base it is in ("dokładnej." / "niepewnej."), what CF it takes, and the note's text
// after the condition.
void zapowiedz_ograniczenie(Session& s, const std::string& condition, const char* base, const char* cf_line,
                            const char* note_tail) {
    piszln(s, tr("Warunek: "));
    piszln(s, "   " + condition);
    piszln(s, std::string(tr("jest w bazie ograniczeń ")) + base);
    piszln(s, cf_line);
    s.ui.note(tr("Uwaga!"), tr("Warunek\n ") + condition + note_tail);
}

}  // namespace

double pytaj(Session& s, const std::string& condition) {
    // 1. A condition with a resultant is never asked again in the run.
    if (auto r = resultant(s, condition)) return *r;

    // 2. and 3. Members of exact constraints take -1 or 1 only, members of uncertain ones
    // any CF; 4. any other condition.
    const bool exact = w_ograniczeniu_dokladnym(s, condition);
    const bool uncertain = !exact && w_ograniczeniu_niepewnym(s, condition);
    std::string title;
    if (exact) {
        zapowiedz_ograniczenie(
            s, condition, tr("dokładnej."), tr("Określ CF warunku równe -1.0 lub 1.0."),
            tr("\njest w bazie ograniczeń dokładnej.\nOkreśl CF warunku równe -1.0 lub 1.0."));
        title = tr("Określ CF warunku ") + condition + tr(" równe -1.0 lub 1.0.");
    } else if (uncertain) {
        zapowiedz_ograniczenie(
            s, condition, tr("niepewnej."), tr("Określ CF warunku  z przedziału [-1,1]."),
            tr("\n jest w bazie ograniczeń niepewnej.\n Określ CF warunku z przedziału [-1,1]"));
        title = tr("Określ CF warunku ") + condition + tr(" z przedziału [-1,1].");
    } else {
        title = tr("Zadeklaruj CF warunku ") + condition + tr(" z przedziału [-1, 1]");
        piszln(s, tr("Zadeklaruj CF warunku "));
        piszln(s, "   " + condition);
        piszln(s, tr("z przedziału [-1, 1]"));
    }
    for (;;) {
        auto typed = ask_value(s, tr("Określ wartość CF"), title, condition, AskedKind::ConditionCf, exact);
        if (!typed) continue;
        auto v = exact ? testuj_cf_warunku_1(s, *typed) : testuj_cf_warunku(s, *typed);
        if (!v) continue;
        // 5. The accepted answer.
        piszln(s, "   CF(" + condition + ") = " + *typed);
        piszcr(s);
        if (exact && !kontrola_cf(s, *v)) continue;
        pamietaj(s, condition, *v);
        return *v;
    }
}

}  // namespace zuva
