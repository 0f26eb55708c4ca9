// Every text of the rules is hashed once and the lists are built from flags by id, so a
// base of any size is handled in linear time; only the final sort is n log n.
#include "kb/askable_conditions.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "session/session.h"
#include "store/list_helpers.h"

namespace zuva {

namespace {
const std::string kKoniec = "koniec";
const std::string kBezWarunku = "bez warunku";

// redukuj over texts given by id: each text keeps its last position. `kept` gets the ids
// kept, last first; the texts are copied only into the result.
TextList reduced(const std::vector<std::int32_t>& ids, const std::vector<const std::string*>& text_of,
                 std::vector<char>& seen, std::vector<std::int32_t>& kept) {
    kept.clear();
    kept.reserve(ids.size());
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        char& flag = seen[static_cast<std::size_t>(*it)];
        if (!flag) {
            flag = 1;
            kept.push_back(*it);
        }
    }
    TextList out;
    out.reserve(kept.size());
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        out.push_back(*text_of[static_cast<std::size_t>(*it)]);
    return out;
}
}  // namespace

TextList wyznacz_warunki_dopytywalne(Session& s) {
    const auto& rules = s.kb.rules.regula;
    std::size_t total = 0;
    for (const auto& r : rules)
        total += r.conditions.size();
    // Every text of the rules gets an id once; the lists below are then built from flags
    // by id, without hashing a text again.
    FlatMap<std::string_view, std::int32_t, TextHash> id;
    id.reserve(rules.count() + 16);
    std::vector<const std::string*> text_of;
    text_of.reserve(rules.count() + 16);
    auto intern = [&](const std::string& t) {
        auto [v, fresh] = id.try_emplace(t, static_cast<std::int32_t>(text_of.size()));
        if (fresh) text_of.push_back(&t);
        return *v;
    };
    std::vector<std::int32_t> condition_ids;
    condition_ids.reserve(total);
    std::vector<std::int32_t> conclusion_ids;
    conclusion_ids.reserve(rules.count());
    for (const auto& r : rules) {
        for (const auto& c : r.conditions)
            condition_ids.push_back(intern(c));
        conclusion_ids.push_back(intern(r.conclusion));
    }
    std::vector<char> is_condition(text_of.size(), 0), is_conclusion(text_of.size(), 0);
    std::vector<std::int32_t> kept_conditions, kept_conclusions;
    TextList conditions = reduced(condition_ids, text_of, is_condition, kept_conditions);
    TextList conclusions_all = reduced(conclusion_ids, text_of, is_conclusion, kept_conclusions);
    TextList conclusions = usun_wszystkie(conclusions_all, kKoniec);

    // The conditions that no rule concludes. Neither special text of the rule language is
    // ever asked: "bez warunku" always holds, and "koniec" only stops forward inference.
    TextList askable;
    for (auto it = kept_conditions.rbegin(); it != kept_conditions.rend(); ++it) {
        const auto u = static_cast<std::size_t>(*it);
        if (is_conclusion[u]) continue;
        const std::string& t = *text_of[u];
        if (t != kBezWarunku && t != kKoniec) askable.push_back(t);
    }

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
