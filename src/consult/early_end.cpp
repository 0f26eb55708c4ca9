// The end of a consultation that stops early, and the arguments left unknown; see the header.
#include "consult/early_end.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "consult/calculus_basics.h"
#include "consult/cf_calculus.h"
#include "consult/how_concluded.h"
#include "consult/media_offers.h"
#include "consult/model_steps.h"
#include "consult/summary.h"
#include "consult/why_asked.h"
#include "report/report.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/i18n.h"

namespace zuva {

void wypadkowe_zastosowanych_regul(Session& s) {
    std::unordered_set<std::string> disjunctive;
    for (const auto& d : s.kb.rules.regula_dysjunktywna)
        disjunctive.insert(d.conclusion);
    // The conclusions in the order of their first contribution, each once.
    std::vector<std::string> order;
    std::unordered_set<std::string> listed;
    s.inference.prbd.for_each([&](const Prbd& p) {
        if (p.conclusion != "koniec" && listed.insert(p.conclusion).second) order.push_back(p.conclusion);
    });
    for (const auto& c : order) {
        if (resultant(s, c)) continue;
        const bool disj = disjunctive.count(c) > 0;
        std::optional<double> cf;
        if (disj)
            cf = wypadkowa_dysjunktywna(s, c);
        else
            cf = calkowity_konflikt(s, c) ? 0.0 : wypadkowa_kumulatywna(s, c);
        if (!cf) continue;  // every disjunctive rule of it was skipped
        wyjasnienie_wypadkowej(s, c, *cf, disj);
        pamietaj_wniosek_wypadkowy(s, c, *cf,
                                   {disj ? OriginKind::DisjunctiveRules : OriginKind::CumulativeRules});
        przedstawienie_faktow(s);
        przedstawienie_zmiennych(s);
        wyswietl_grafike(s, *cf, c);
        przesluchaj_melodie(s, *cf, c);
    }
}

void pamietaj_nieznany_argument(Session& s, const std::string& name) {
    if (!argument_nieznany(s, name)) s.inference.argumenty_nieznane.push_back(name);
}

bool argument_nieznany(const Session& s, const std::string& name) {
    const auto& a = s.inference.argumenty_nieznane;
    return std::find(a.begin(), a.end(), name) != a.end();
}

void wnioski_bez_cf(Session& s) {
    const auto& unknown = s.inference.argumenty_nieznane;
    if (unknown.empty()) return;
    std::vector<std::string> trees;
    for (const auto& item : conclusions_of_last_run(s)) {
        if (item.has_cf) continue;
        std::string tree = how_tree(s, item.statement);
        const bool waits = std::any_of(unknown.begin(), unknown.end(), [&](const std::string& a) {
            return tree.find(tr("bo argument ") + a + tr(" nie ma wartości")) != std::string::npos;
        });
        if (waits) trees.push_back(std::move(tree));
    }
    std::string names;
    for (const auto& a : unknown)
        names += (names.empty() ? "" : ", ") + a;
    piszln(s, tr("Nie podano wartości argumentów: ") + names + ".");
    if (trees.empty()) {
        piszln(s, tr("Żaden wniosek nie pozostał z tego powodu bez CF."));
        piszcr(s);
        return;
    }
    piszln(s, tr("Z tego powodu bez CF pozostały wnioski:"));
    for (const auto& t : trees) {
        std::istringstream in(t);
        std::string line;
        while (std::getline(in, line))
            piszln(s, "    " + line);
    }
    piszcr(s);
}

void koniec_wnioskowania_w_przod(Session& s) {
    s.inference.konczenie = true;
    s.ui.note(tr("Uwaga!"), tr("Brak możliwości dalszego wnioskowania!\n\nTeraz czas na podsumowanie!"));
    piszcr(s);
    piszln(s, tr("Brak możliwości dalszego wnioskowania!"));
    piszcr(s);
    opcja_z_menu_szczegolowosci(s, 2);
    przedstawienie_faktow(s);
    piszcr(s);
    przedstawienie_zmiennych(s);
    piszcr(s);
    wnioski_bez_cf(s);
    const std::string w = s.kb.wyroznik.empty() ? std::string() : *s.kb.wyroznik.first();
    piszln(s, tr("To już wszystko, co wynika z bazy wiedzy ") + w + ",");
    piszln(s, tr("z zadeklarowanych faktów i wartości argumentów."));
    piszcr(s);
    piszln(s, tr("Koniec wnioskowania ekspertowego."));
    piszcr(s);
    s.ui.note(
        tr("Koniec wnioskowania w przód"),
        tr("To już wszystko, co wynika z bazy wiedzy ") + to_upper_pl(w) +
            tr(",\nz zadeklarowanych faktów i wartości argumentów.\n\nKoniec wnioskowania ekspertowego."));
    piszln(s, tr("Koniec wnioskowania w przód"));
    piszcr(s);
    podsumowanie(s);
    if (s.kb.nazwa_ra.loaded()) {
        s.ui.asking(Asking::AdviceQuestion);
        int b = s.ui.question(tr("Możesz uzyskać radę"), tr("Chcesz uzyskać radę?"), {tr("Tak"), tr("Nie")});
        if (b == 1) {
            raport(s);
            return;
        }
    }
    udziel_rady(s);
    raport(s);
}

}  // namespace zuva
