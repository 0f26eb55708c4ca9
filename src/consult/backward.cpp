// The backward command: the choice of the hypothesis, the preparation of its test (pending
// lists, declared data, the "koniec" rules), the verdict and the end of the run. The
// evaluation itself is the Evaluator of hypothesis_evaluator.cpp.
#include "consult/backward.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <unordered_set>
#include <vector>

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/description.h"
#include "consult/early_end.h"
#include "consult/exclusive.h"
#include "consult/forward.h"
#include "consult/how_concluded.h"
#include "consult/hypothesis_evaluator.h"
#include "consult/inference_start.h"
#include "consult/media_offers.h"
#include "consult/model_eval.h"
#include "consult/model_steps.h"
#include "consult/pytaj.h"
#include "consult/summary.h"
#include "consult/why_asked.h"
#include "kb/askable_conditions.h"
#include "kb/model_base.h"
#include "kb/texts_base.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/session.h"
#include "store/flat_map.h"
#include "store/list_helpers.h"
#include "text/codec.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

using namespace backward;

namespace {

const char* const kKoniec = "koniec";

const TextList& pierwsza(const Table<TextList>& t) {
    static const TextList empty;
    const TextList* l = t.first();
    return l ? *l : empty;
}

// A "koniec" rule whose conditions are evaluated before the hypothesis is tested.
class KoniecWhy : public WhySource {
  public:
    KoniecWhy(const Regula& r, const std::size_t& at) : r_(r), at_(at) {}
    void why(const Session& s, bool innermost, std::vector<std::string>& lines) const override {
        lines.push_back(tr("Jest to potrzebne regule ") + std::to_string(r_.rule_number) + tr(" o postaci:"));
        rule_lines(s, r_, at_, innermost, lines);
        lines.push_back(tr("Reguły z wnioskiem 'koniec' są sprawdzane przed testowaniem hipotezy."));
    }

  private:
    const Regula& r_;
    const std::size_t& at_;
};

// Step 1 of the preparation: the first "koniec" rule with CF 1.0 whose conditions give a
// CF > 0 concludes "koniec".
void regula_koniec(Session& s, Evaluator& e) {
    if (!zrob_koniec(s)) return;
    const auto& rules = s.kb.rules.regula;
    for (std::size_t i = 0; i < rules.count(); ++i) {
        const Regula& r = rules[i];
        if (r.conclusion != kKoniec || r.cf_text != "1.0") continue;
        const KoniecWhy why(r, e.conditions_at());
        const WhyScope asking(s, why);
        auto cf = e.conditions(r.conditions);
        if (!cf || *cf <= 0.0) continue;
        aktualizacja_prbd(s, r.rule_number, kKoniec, *cf);
        komunikat_koniec(s);
        return;
    }
}

struct RunMarker {
    Session& s;
    ~RunMarker() {
        s.inference.jakiewnioskowanie.clear();
        s.inference.hipoteza.clear();
    }
};

std::string wyroznik_duzymi(const Session& s) {
    const std::string* w = s.kb.wyroznik.first();
    return w ? to_upper_pl(*w) : std::string();
}

}  // namespace

TextList wyznacz_liste_wnioskow_regul_i_modeli(Session& s) {
    s.models.lista_wnioskow_modeli.clear();
    s.models.lista_wnioskow_modeli.append(wyznacz_wnioski_modeli(s));
    TextList all = pierwsza(s.kb.lista_wnioskow_regul.rows());
    const TextList& models = pierwsza(s.models.lista_wnioskow_modeli);
    all.insert(all.end(), models.begin(), models.end());
    return redukuj(all);
}

TextList wyznacz_liste_warunkow(const Session& s) {
    TextList all;
    for (const auto& r : s.kb.rules.regula)
        all.insert(all.end(), r.conditions.begin(), r.conditions.end());
    return redukuj(all);
}

TextList kandydaci_hipotez(Session& s, int typ) {
    // Without a model base the stored lists are read in place.
    TextList own_conclusions, own_conditions;
    const TextList* conclusions = &pierwsza(s.kb.lista_wnioskow_regul.rows());
    const TextList* conditions = &pierwsza(s.kb.lista_warunkow.rows());
    if (s.kb.nazwa_mo.loaded()) {
        own_conclusions = wyznacz_liste_wnioskow_regul_i_modeli(s);
        own_conditions = wyznacz_liste_warunkow(s);
        conclusions = &own_conclusions;
        conditions = &own_conditions;
    }
    if (typ != kHipotezaWaska) return sortuj(*conclusions);
    // The conclusions that are no condition, in their order (roznica_zbiorow over views).
    FlatMap<std::string_view, char, TextHash> is_condition;
    is_condition.reserve(conditions->size());
    for (const auto& c : *conditions)
        is_condition.try_emplace(std::string_view(c), 1);
    TextList narrow;
    for (const auto& c : *conclusions)
        if (!is_condition.contains(std::string_view(c))) narrow.push_back(c);
    return sortuj(narrow);
}

double pytaj_0(Session& s, const std::string& condition) {
    s.ui.note(tr("Określenie CF dla warunku "), tr("Podaj CF dla warunku\n   ") + condition);
    return pytaj(s, condition);
}

void komunikat(Session& s, const std::string& h) {
    const bool main =
        s.inference.hipoteza.find_first([&](const std::string& x) { return x == h; }) != nullptr;
    // Both texts are built in a buffer kept between calls: a rule chain announces one
    // hypothesis per applied rule.
    std::string& text = scratch();
    text += main ? tr("Hipoteza główna  ") : tr("Hipoteza pomocnicza ");
    text += h;
    text += tr(" jest testowana.\n");
    pisz(s, text);
    text.clear();
    text += main ? tr("Hipoteza główna \n    ") : tr("Hipoteza pomocnicza \n     ");
    text += h;
    text += tr("\njest testowana.");
    s.ui.note(main ? tr("Hipoteza główna") : tr("Hipoteza pomocnicza"), text);
}

std::optional<double> ocena_hipotezy_cd(Session& s, const std::string& h) {
    Evaluator e(s);
    return e.evaluate(h);
}

std::optional<double> testowanie_listy_warunkow(Session& s, const TextList& conditions) {
    Evaluator e(s);
    return e.conditions(conditions);
}

std::optional<double> ocena_hipotezy(Session& s, const std::string& h) {
    try {
        // The pending lists and the declared data come first, so that the "koniec" rules see
        // the declared facts instead of asking for them.
        tworz_listy_oczekujacych(s);
        if (!s.kb.rules.fakt.empty()) przedstawienie_faktow_pierwotnych(s);
        if (!s.kb.models.m_fakt.empty()) przedstawienie_m_faktow_pierwotnych(s);
        if (!s.kb.models.argument_znany.empty()) przedstawienie_zmiennych_pierwotnych(s);
        // Facts that contradict the exact constraints stop the test with the error's message.
        if (blad_wykluczajacych(s)) return std::nullopt;
        inicjalizacja_faktow(s, false);
        inicjalizacja_faktow(s, true);
        if (blad_wykluczajacych(s)) return std::nullopt;
        for (const auto& a : s.kb.models.argument_znany)
            s.inference.zmienna_ustalona.append(a.argument_name, a.value);
        Evaluator e(s);
        regula_koniec(s, e);
        if (!zrob_koniec(s)) {
            s.inference.hipoteza.clear();
            komunikat_koniec(s);
            return 0.0;
        }
        return e.evaluate_main(h);
    } catch (const ConsultationStop&) {
        // Stopped by the user: as after a "koniec" rule, the hypothesis gets CF 0 and the run
        // goes on to its end.
        s.inference.hipoteza.clear();
        s.inference.konczenie = true;
        return 0.0;
    }
}

void opcja_z_menu_testowania(Session& s, int typ) {
    if (s.inference.blad_wykluczajacych.find_first([](const std::string& x) { return x == "TAK"; })) return;
    const bool waska = typ == kHipotezaWaska;
    const TextList candidates = kandydaci_hipotez(s, typ);
    if (candidates.empty()) {
        s.ui.note(tr("Uwaga!"), tr("Brak hipotez do testowania!"));
        return;
    }
    // The list reads in the words of the texts base when it gives any.
    TextList in_words;
    if (!s.kb.texts.text_by_key.empty() && s.ui.shows_display_texts()) {
        in_words.reserve(candidates.size());
        for (const auto& c : candidates)
            in_words.push_back(shown_name(s.kb, c));
    }
    const TextList& labels = in_words.empty() ? candidates : in_words;
    s.ui.asking(Asking::Hypothesis);
    auto chosen = s.ui.choose_one_prompted(
        waska ? tr("Hipoteza w sensie wąskim") : tr("Hipoteza w sensie szerokim"),
        waska ? tr("Wybierz hipotezę w sensie wąskim!") : tr("Wybierz hipotezę w sensie szerokim!"), labels);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= candidates.size()) return;
    const std::string h = candidates[static_cast<std::size_t>(*chosen)];

    pisz(s, waska ? tr("Testuję hipotezę w sensie wąskim:  ") : tr("Testuję hipotezę w sensie szerokim: "));
    piszcr(s);
    pisz(s, h);
    piszcr(s);
    piszcr(s);
    s.ui.note(tr("Uwaga!"), std::string(waska ? tr("Testuję hipotezę w sensie wąskim\n   ")
                                              : tr("Testuję hipotezę w sensie szerokim\n   ")) +
                                h);
    s.inference.hipoteza.append(h);

    const auto cf = ocena_hipotezy(s, h);
    s.inference.konczenie = true;
    sync_pending_lists(s);
    run_finished(s, RunDirection::Backward, h);
    if (!cf) return;

    const std::string w = wyroznik_duzymi(s);
    piszln(s, waska && s.kb.nazwa_mo.loaded() ? tr("Dla testowanej hipotezy w sensie wąskim jest:")
                                              : tr("Dla testowanej hipotezy jest:"));
    pisz(s, "CF(" + h + ") = ");
    piszreal(s, *cf);
    piszcr(s);
    piszcr(s);
    pokaz_wyjasnienie(
        s, tr("Wynik wnioskowania wstecz:"),
        {tr("Z bazy wiedzy ") + w, tr("z zadeklarowanych faktów i z wartości argumentów"),
         waska ? tr("wynika hipoteza w sensie wąskim:") : tr("wynika hipoteza w sensie szerokim:"),
         "  " + h + "(" + format_lg(*cf) + ")"});

    udziel_rady_wstecz(s, h);
    wyswietl_grafike(s, *cf, h);
    przesluchaj_melodie(s, *cf, h);

    s.ui.note(tr("Uwaga!"), tr("Teraz czas na podsumowanie!"));
    opcja_z_menu_szczegolowosci(s, 2);
    przedstawienie_faktow(s);
    piszcr(s);
    przedstawienie_zmiennych(s);
    piszcr(s);
    wnioski_bez_cf(s);
    piszln(s, tr("To już wszystko, co wynikło z bazy wiedzy ") + w);
    piszln(s, tr("z zadeklarowanych faktów i wartości argumentów"));
    piszln(s, tr("w trakcie testowania hipotezy:"));
    piszln(s, h);
    s.ui.note(
        tr("Koniec wnioskowania wstecz"),
        tr("To już wszystko, co wynikło z bazy wiedzy  \n     ") + w +
            tr("\nz zadeklarowanych faktów i wartości argumentów\nw trakcie testowania hipotezy:\n    ") + h);
    s.inference.hipoteza.remove_first([&](const std::string& x) { return x == h; });
    podsumowanie(s);
    raport(s);
}

void wnioskowanie_wstecz(Session& s) {
    s.inference.jakiewnioskowanie.clear();
    s.inference.jakiewnioskowanie.append("WSTECZ");
    s.inference.hipoteza.clear();
    RunMarker marker{s};
    run_started(s);
    s.ui.helper_clear();
    if (!start_wnioskowania(s, InferenceDirection::Backward)) return;
    // The condition "bez warunku" always holds, as in the forward run.
    append_resultant(s, kBezWarunku, 1.0, {OriginKind::Always});
    s.ui.asking(Asking::HypothesisType);
    const int typ =
        s.ui.radio(tr("Hipoteza wybór"), tr("Wybierz typ testowanej hipotezy!"),
                   {tr("Hipoteza w sensie wąskim"), tr("Hipoteza w sensie szerokim")}, kHipotezaWaska);
    try {
        opcja_z_menu_testowania(s, typ);
    } catch (const ConsultationStop&) {
        // Stopped before any hypothesis was tested.
    }
}

void register_backward_commands(CommandRegistry& r) {
    r.set(10165, wnioskowanie_wstecz);
}

}  // namespace zuva
