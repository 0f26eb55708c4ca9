// The data file of a conclusion comes from the first rule with display flag 1 that
// concludes it and has a record in the table, else from the first relational model (basic,
// then extended) that concludes it and has one. The lookup is built once a run from the
// rule and model tables (and dropped with the working tables when the next run starts), so
// a run with many conclusions stays linear in the base.
#include "consult/media_offers.h"

#include <memory>
#include <unordered_map>

#include "kb/media_bases.h"
#include "kb/model_base.h"
#include "report/report.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

// Conclusion -> data-file name with the rule or model whose record it is, per table of the
// media bases.
struct MediaSource {
    std::string file;
    std::int32_t number = 0;
    bool model = false;
};
struct MediaLookup {
    using Map = std::unordered_map<std::string, MediaSource>;
    Map rada, grafika, ngrafika, dzwiek, ndzwiek;
};

namespace {

using NumberMap = std::unordered_map<std::int32_t, std::string>;

template <class Rec, class Num>
NumberMap first_by_number(const Table<Rec>& t, Num num) {
    NumberMap m;
    for (const auto& r : t)
        m.emplace(num(r), r.file_name);
    return m;
}

void fill(MediaLookup::Map& out, const NumberMap& by_number, std::int32_t number, bool model,
          const std::string& conclusion) {
    if (by_number.empty() || out.count(conclusion)) return;
    auto it = by_number.find(number);
    if (it != by_number.end()) out.emplace(conclusion, MediaSource{it->second, number, model});
}

std::shared_ptr<MediaLookup> build(const Session& s) {
    auto l = std::make_shared<MediaLookup>();
    auto src = [](const Zrodlo& z) { return z.source_number; };
    const bool ra = s.kb.nazwa_ra.loaded(), gr = s.kb.nazwa_gr.loaded(), me = s.kb.nazwa_me.loaded();
    const NumberMap rada =
        ra ? first_by_number(s.kb.advice.rada, [](const Rada& r) { return r.rule_number; }) : NumberMap{};
    const NumberMap grafika = gr ? first_by_number(s.kb.graphics.grafika, src) : NumberMap{};
    const NumberMap ngrafika = gr ? first_by_number(s.kb.graphics.ngrafika, src) : NumberMap{};
    const NumberMap dzwiek = me ? first_by_number(s.kb.sounds.dzwiek, src) : NumberMap{};
    const NumberMap ndzwiek = me ? first_by_number(s.kb.sounds.ndzwiek, src) : NumberMap{};
    auto add = [&](std::int32_t n, const std::string& c, bool model = false) {
        fill(l->rada, rada, n, model, c);
        fill(l->grafika, grafika, n, model, c);
        fill(l->ngrafika, ngrafika, n, model, c);
        fill(l->dzwiek, dzwiek, n, model, c);
        fill(l->ndzwiek, ndzwiek, n, model, c);
    };
    if (rada.empty() && grafika.empty() && ngrafika.empty() && dzwiek.empty() && ndzwiek.empty()) return l;
    for (const auto& r : s.kb.rules.regula)
        if (r.display_flag == 1) add(r.rule_number, r.conclusion);
    if (s.kb.nazwa_mo.loaded()) {
        for (const auto& m : s.kb.models.model)
            if (model_relacyjny(m)) add(m.model_number, m.result, true);
        for (const auto& m : s.kb.models.model_r)
            if (model_relacyjny(m) && m.variables.size() == 3) add(m.model_number, m.result, true);
    }
    return l;
}

const MediaLookup& lookup(Session& s) {
    if (!s.inference.media_lookup) s.inference.media_lookup = build(s);
    return *s.inference.media_lookup;
}

const std::string* find(const MediaLookup::Map& m, const std::string& c) {
    auto it = m.find(c);
    return it == m.end() ? nullptr : &it->second.file;
}

// The offer names the conclusion it is about, for a port that keeps offers as data.
bool tak(Session& s, Asking what, const std::string& question, const std::string& conclusion) {
    s.ui.asking(what, conclusion);
    return s.ui.question(tr("Wybierz:"), question, {tr("&Tak"), tr("&Nie")}) == 0;
}

}  // namespace

void udziel_rady(Session& s) {
    if (!s.kb.nazwa_ra.loaded()) return;
    std::unordered_map<std::int32_t, std::vector<std::string>> by_rule;
    for (const auto& r : s.kb.advice.rada)
        by_rule[r.rule_number].push_back(r.file_name);
    TextList names;
    for (const auto& r : s.kb.rules.regula) {
        if (r.display_flag != 1 || !s.inference.regula_zastosowana.contains(r.rule_number)) continue;
        auto it = by_rule.find(r.rule_number);
        if (it == by_rule.end()) continue;
        names.insert(names.end(), it->second.begin(), it->second.end());
    }
    names = redukuj(names);
    if (names.empty()) {
        s.ui.note(tr("Uwaga!"),
                  tr("Dla zastosowanych reguł baza rad ") + s.kb.nazwa_ra.name() + tr(" nie zawiera rad."));
        return;
    }
    dlg_przeglad_rad(s, names);
}

void udziel_rady_wstecz(Session& s, const std::string& h) {
    if (!s.kb.nazwa_ra.loaded() || s.kb.advice.rada.empty()) return;
    const std::string* file = find(lookup(s).rada, h);
    if (!file) return;
    s.helper(tr(" Czy chcesz uzyskać radę?  "));
    if (tak(s, Asking::AdviceOffer, tr("Czy chcesz uzyskać radę?"), h) && dlg_czytanie_rady(s, *file)) return;
    s.helper(tr("    NIE\n\n"));
}

void wyswietl_grafike(Session& s, double cf, const std::string& conclusion) {
    if (!s.kb.nazwa_gr.loaded()) return;
    const MediaLookup& l = lookup(s);
    const std::string* name = find(cf < 0 ? l.ngrafika : l.grafika, conclusion);
    if (!name) return;
    if (!tak(s, Asking::PictureOffer, tr("Czy chcesz przejrzeć dołączoną grafikę?"), conclusion)) return;
    pokaz_plik_grafiki(s, nazwa_pelna_grafiki(s, *name));
}

void przesluchaj_melodie(Session& s, double cf, const std::string& conclusion) {
    if (!s.kb.nazwa_me.loaded()) return;
    const MediaLookup& l = lookup(s);
    const std::string* name = find(cf < 0 ? l.ndzwiek : l.dzwiek, conclusion);
    if (!name) return;
    const std::string path = nazwa_pelna_dzwieku(s, *name);
    if (!file_exists(path)) return;
    if (!tak(s, Asking::SoundOffer, tr("Czy chcesz przesłuchać dołączony dźwięk?"), conclusion)) return;
    odtworz_plik_dzwieku(s, path);
}

std::optional<MediaOrigin> offer_origin(Session& s, OfferedKind kind, double cf,
                                        const std::string& conclusion) {
    const MediaLookup& l = lookup(s);
    const MediaLookup::Map& m = kind == OfferedKind::Advice    ? l.rada
                                : kind == OfferedKind::Picture ? (cf < 0 ? l.ngrafika : l.grafika)
                                                               : (cf < 0 ? l.ndzwiek : l.dzwiek);
    auto it = m.find(conclusion);
    if (it == m.end()) return std::nullopt;
    return MediaOrigin{it->second.number, it->second.model, conclusion};
}

std::unordered_map<std::string, MediaOrigin> advice_origins(const Session& s) {
    std::unordered_map<std::int32_t, std::vector<std::string>> by_rule;
    for (const auto& r : s.kb.advice.rada)
        by_rule[r.rule_number].push_back(r.file_name);
    std::unordered_map<std::string, MediaOrigin> out;
    if (by_rule.empty()) return out;
    for (const auto& r : s.kb.rules.regula) {
        if (r.display_flag != 1 || !s.inference.regula_zastosowana.contains(r.rule_number)) continue;
        auto it = by_rule.find(r.rule_number);
        if (it == by_rule.end()) continue;
        for (const auto& f : it->second)
            out.emplace(f, MediaOrigin{r.rule_number, false, r.conclusion});
    }
    return out;
}

}  // namespace zuva
