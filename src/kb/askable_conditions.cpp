// Every step is one pass with hash sets (redukuj, roznica_zbiorow), so a base of any size
// is handled in linear time; only the final sort is n log n.
#include "kb/askable_conditions.h"

#include "session/session.h"
#include "store/list_helpers.h"

namespace zuva {

namespace {
const std::string kKoniec = "koniec";
const std::string kBezWarunku = "bez warunku";

// redukuj over the texts of the rules themselves, which are copied only into the result.
TextList reduced(const std::vector<const std::string*>& in) {
    TextSet seen;
    seen.reserve(in.size());
    std::vector<const std::string*> kept;
    kept.reserve(in.size());
    for (auto it = in.rbegin(); it != in.rend(); ++it)
        if (seen.try_emplace(**it, 0).second) kept.push_back(*it);
    TextList out;
    out.reserve(kept.size());
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        out.push_back(**it);
    return out;
}
}  // namespace

TextList wyznacz_warunki_dopytywalne(Session& s) {
    const auto& rules = s.kb.rules.regula;
    std::size_t total = 0;
    for (const auto& r : rules)
        total += r.conditions.size();
    std::vector<const std::string*> all_conditions;
    all_conditions.reserve(total);
    std::vector<const std::string*> all_conclusions;
    all_conclusions.reserve(rules.count());
    for (const auto& r : rules) {
        for (const auto& c : r.conditions)
            all_conditions.push_back(&c);
        all_conclusions.push_back(&r.conclusion);
    }
    TextList conditions = reduced(all_conditions);
    TextList conclusions_all = reduced(all_conclusions);
    TextList conclusions = usun_wszystkie(conclusions_all, kKoniec);

    TextList askable = roznica_zbiorow(conditions, conclusions);
    // Neither special text of the rule language is ever asked: "bez warunku" always holds,
    // and "koniec" only stops forward inference.
    askable = usun_wszystkie(askable, kBezWarunku);
    askable = usun_wszystkie(askable, kKoniec);

    s.kb.lista_warunkow.append(std::move(conditions));
    s.kb.lista_wnioskow_regul.append(std::move(conclusions));
    s.kb.lista_wnioskow_regul.append(std::move(conclusions_all));
    return askable;
}

void pamietaj_liste_dopytywalnych(Session& s, const TextList& askable) {
    s.kb.lista_warunkow_dopytywalnych.insert_front(sortuj(askable));
}

void pamietaj_warunki_dopytywalne(Session& s, const TextList& askable) {
    s.kb.dopytywalny.reserve(s.kb.dopytywalny.count() + askable.size());
    for (const auto& c : askable)
        s.kb.dopytywalny.append(c);
}

TextList ogolna_lista_dopytywalnych(const Session& s) {
    if (s.kb.nazwa_mo.loaded()) {
        const TextList* all = s.kb.lista_wszystkich_dopytywalnych_dla_wyswietlania.first();
        return all ? *all : TextList{};
    }
    const TextList* rules = s.kb.lista_warunkow_dopytywalnych.first();
    return rules ? *rules : TextList{};
}

}  // namespace zuva
