// Command ids as the main menu numbers them.
#include "verify/verify_commands.h"

#include "kb/model_base.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/i18n.h"
#include "verify/completeness.h"
#include "verify/contradictions.h"
#include "verify/flatten.h"
#include "verify/model_contradictions.h"
#include "verify/model_rule_contradictions.h"
#include "verify/redundancy.h"

namespace zuva {

void register_verify_commands(CommandRegistry& r) {
    r.set(10073, [](Session& s) { pisz_sprzecznosc_1z(s); });
    // The redundancy report runs only while redundant pairs are recorded; it uses them up, so
    // the command goes off with them.
    r.set(10075, [](Session& s) {
        if (!s.verify.reguly_nadmiarowe_n1.empty()) pisz_nadmiar_p(s);
        if (s.verify.reguly_nadmiarowe_n1.empty()) disable_commands(s, {10075});
    });
    // Model-base actions 7 and 8: the reports of the model diagnoses.
    r.set(10090, [](Session& s) {
        std::string title, text;
        TextList list;
        if (dzialanie_w_bazie_modeli(s, 7, title, text, list)) pisz_sprzecznosc_mz(s);
    });
    r.set(10091, [](Session& s) {
        std::string title, text;
        TextList list;
        if (dzialanie_w_bazie_modeli(s, 8, title, text, list)) pisz_sprzecznosc_mr(s);
    });
    r.set(10145, [](Session& s) { splaszczanie_wybranej_reguly(s); });
    r.set(10146, [](Session& s) { splaszczanie_wszystkich_regul(s); });
    r.set(kDiagnostykaKompletnosci, [](Session& s) { diagnostyka_kompletnosci(s); });
    // The picture is the front end's to draw (the core links no drawing library).
    r.set(cmd::graf_bazy_wiedzy, [](Session& s) {
        if (!s.kb.nazwa_re.loaded() || s.kb.nazwa_re.full_path.empty())
            return s.ui.note(tr("Uwaga błąd!"), tr("Brak bazy reguł!"));
        s.ui.show_knowledge_graph(*s.kb.nazwa_re.full_path.first());
    });
}

}  // namespace zuva
