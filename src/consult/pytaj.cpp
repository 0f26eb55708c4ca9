// Asking follows its alternatives in order: a known resultant, a member of an exact
// constraint, a member of an uncertain constraint, any other condition.
#include "consult/pytaj.h"

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/why_asked.h"
#include "report/report.h"
#include "session/session.h"
#include "text/number_format.h"

namespace zuva {

std::optional<double> testuj_cf_warunku(Session& s, const std::string& typed) {
    auto v = parse_real(typed);
    if (!v) return std::nullopt;
    if (*v < -1.0 || *v > 1.0) {
        piszln(s, "     Źle! Musi być -1 <= CF <= 1 ! ");
        s.ui.note("", "Źle! Musi być -1 <= CF <= 1 !");
        return std::nullopt;
    }
    return v;
}

void pamietaj(Session& s, const std::string& condition, double cf) {
    append_resultant(s, condition, cf, {OriginKind::Answer});
    // The other members of a constraint that lists the condition are completed by the
    // constraint bases (uzupelnienie_wykluczajacych); without them the answer is simply kept.
    uzupelnienie_wykluczajacych(s, condition, cf);
}

double pytaj(Session& s, const std::string& condition) {
    // 1. A condition with a resultant is never asked again in the run.
    if (auto r = resultant(s, condition)) return *r;

    // 2. and 3. Members of exact (-1 or 1 only) and uncertain constraints are asked with
    // their own texts once the constraint bases are loaded; this is their place.

    // 4. Any other condition.
    const std::string title = "Zadeklaruj CF warunku " + condition + " z przedziału [-1, 1]";
    piszln(s, "Zadeklaruj CF warunku ");
    piszln(s, "   " + condition);
    piszln(s, "z przedziału [-1, 1]");
    for (;;) {
        auto typed = ask_value(s, "Określ wartość CF", title, condition, AskedKind::ConditionCf);
        if (!typed) continue;
        auto v = testuj_cf_warunku(s, *typed);
        if (!v) continue;
        // 5. The accepted answer.
        piszln(s, "   CF(" + condition + ") = " + *typed);
        piszcr(s);
        pamietaj(s, condition, *v);
        return *v;
    }
}

}  // namespace zuva
