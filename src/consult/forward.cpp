// Forward inference: the menu command, its start dialogs, and the run: pending lists,
// the declared data (forward_facts.cpp), the loop (forward_loop.cpp) and its end.
#include "consult/forward.h"

#include "consult/askable_file.h"
#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/description.h"
#include "consult/early_end.h"
#include "consult/exclusive.h"
#include "consult/forward_facts.h"
#include "consult/forward_loop.h"
#include "consult/how_concluded.h"
#include "consult/inference_start.h"
#include "consult/model_steps.h"
#include "consult/summary.h"
#include "consult/why_asked.h"
#include "session/command_registry.h"
#include "session/session.h"
#include "text/i18n.h"

namespace zuva {

namespace {

struct RunMarker {
    Session& s;
    ~RunMarker() { s.inference.jakiewnioskowanie.clear(); }
};

}  // namespace

void wnioskowanie(Session& s) {
    tworz_listy_oczekujacych(s);
    // Stopped while the declared data are shown or taken in: they are still taken in, then
    // the run ends.
    bool stopped = false;
    auto stoppable = [&](const auto& step) {
        try {
            step();
        } catch (const ConsultationStop&) {
            stopped = true;
            s.inference.konczenie = true;
        }
    };
    stoppable([&] {
        przedstaw_fakty_pierwotne(s, s.kb.rules.fakt, tr("W bazie reguł są następujące fakty:"), true);
        przedstaw_fakty_pierwotne(s, s.kb.models.m_fakt, tr("W bazie modeli są następujące fakty:"));
        if (!s.kb.models.argument_znany.empty()) przedstawienie_zmiennych_pierwotnych(s);
    });
    // Facts that contradict the exact constraints stop the run with the error's message.
    if (!blad_wykluczajacych(s)) stoppable([&] { wnioskowanie_cd_0(s); });
    if (!blad_wykluczajacych(s)) {
        forward_loop(s, stopped);
    }
    // The tables now hold the pending state; the index views the rule texts and must not
    // outlive a change of the rule table, so the next use builds it anew.
    sync_pending_lists(s);
    s.inference.rule_index.reset();
}

void opcja_wnioskowania_w_przod(Session& s) {
    if (!start_wnioskowania(s, InferenceDirection::Forward)) return;
    append_resultant(s, "bez warunku", 1.0, {OriginKind::Always});
    s.ui.asking(Asking::FactMode);
    s.inference.tryb_deklaracji_faktow =
        s.ui.radio(tr("Wybierz tryb deklaracji faktów!"), "",
                   {tr("Menu wyboru faktów"), tr("Interfejs zadający pytania")}, 1);
    wnioskowanie(s);
    run_finished(s, RunDirection::Forward);
}

void wnioskowanie_w_przod(Session& s) {
    s.inference.jakiewnioskowanie.clear();
    s.inference.jakiewnioskowanie.append("W_PRZOD");
    RunMarker marker{s};
    run_started(s);
    s.ui.helper_clear();
    try {
        opcja_wnioskowania_w_przod(s);
    } catch (const ConsultationStop&) {
        // Stopped among the start dialogs: nothing was concluded yet.
    }
}

void register_forward_commands(CommandRegistry& r) {
    r.set(10164, wnioskowanie_w_przod);
    r.set(10153, przeglad_opisow);
    r.set(10154, edycja_opisu);
    r.set(10155, tworzenie_opisu);
    r.set(10156, kasowanie_opisu);
    r.set(10157, czytanie_podsumowania);
    r.set(10158, kasowanie_podsumowania);
    r.set(10160, tworzenie_pliku_dopytywalnych);
    r.set(10161, czytanie_pliku_dopytywalnych);
    r.set(10162, kasowanie_pliku_dopytywalnych);
}

}  // namespace zuva
