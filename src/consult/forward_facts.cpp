// The declared facts and known arguments at the start of a run: presented, checked against
// the exact constraints, and made resultants (completed with their exclusive partners).
#include "consult/forward_facts.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "consult/calculus_basics.h"
#include "consult/exclusive.h"
#include "consult/forward.h"
#include "consult/why_asked.h"
#include "report/report.h"
#include "session/session.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

namespace {

void zasiej_fakty(Session& s, const Table<Fakt>& facts, OriginKind origin) {
    for (const auto& f : facts) {
        if (resultant(s, f.fact_text)) continue;
        if (auto cf = parse_real(f.cf_text)) {
            const auto& imported = s.inference.explain.imported_facts;
            const bool from_source =
                origin == OriginKind::Fact && !imported.empty() && imported.count(f.fact_text);
            append_resultant(s, f.fact_text, *cf, {from_source ? OriginKind::Imported : origin});
        }
    }
    for (const auto& f : facts)
        if (auto cf = resultant(s, f.fact_text)) uzupelnienie_wykluczajacych(s, f.fact_text, *cf);
}

}  // namespace

void przedstaw_fakty_pierwotne(Session& s, const Table<Fakt>& facts, const std::string& heading, bool check) {
    if (facts.empty()) return;
    piszln(s, heading);
    std::vector<std::string> lines;
    lines.reserve(facts.count());
    std::unordered_set<std::string> true_facts;
    if (check && s.kb.nazwa_og.loaded()) true_facts = fakty_prawdziwe(facts);
    for (const auto& f : facts) {
        // Each declared fact is first checked against the exact constraints.
        if (check && !true_facts.empty() && !blad_wykluczajacych(s)) testuj_wykluczajace(s, f, true_facts);
        lines.push_back("    " + f.fact_text + "(" + f.cf_text + ")");
        piszln(s, lines.back());
    }
    pokaz_wyjasnienie(s, heading, lines);
}

// wnioskowanie_cd_0: resultants of the declared data.
void wnioskowanie_cd_0(Session& s) {
    zasiej_fakty(s, s.kb.rules.fakt, OriginKind::Fact);
    for (const auto& a : s.kb.models.argument_znany)
        s.inference.zmienna_ustalona.append(a.argument_name, a.value);
    zasiej_fakty(s, s.kb.models.m_fakt, OriginKind::ModelFact);
}

void przedstawienie_faktow_pierwotnych(Session& s) {
    przedstaw_fakty_pierwotne(s, s.kb.rules.fakt, tr("W bazie reguł są następujące fakty:"), true);
}

void przedstawienie_m_faktow_pierwotnych(Session& s) {
    przedstaw_fakty_pierwotne(s, s.kb.models.m_fakt, tr("W bazie modeli są następujące fakty:"));
}

void inicjalizacja_faktow(Session& s, bool model_facts) {
    zasiej_fakty(s, model_facts ? s.kb.models.m_fakt : s.kb.rules.fakt,
                 model_facts ? OriginKind::ModelFact : OriginKind::Fact);
}

}  // namespace zuva
