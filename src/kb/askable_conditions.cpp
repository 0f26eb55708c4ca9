// Every text of the rules is hashed once and the lists are built from flags by id, so a
// base of any size is handled in linear time; only the final sort is n log n.
#include "kb/askable_conditions.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "session/session.h"
#include "store/list_helpers.h"
#include "store/rule_text_ids.h"

namespace zuva {

namespace {
const std::string kKoniec = "koniec";
const std::string kBezWarunku = "bez warunku";

// redukuj over texts given by id: each text keeps its last position. Gives the ids kept,
// last first.
std::vector<std::int32_t> reduced(const std::vector<std::int32_t>& ids, std::vector<char>& seen) {
    std::vector<std::int32_t> kept;
    kept.reserve(ids.size());
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        char& flag = seen[static_cast<std::size_t>(*it)];
        if (!flag) {
            flag = 1;
            kept.push_back(*it);
        }
    }
    return kept;
}

// The texts of ids kept last first, in list order, without the id `skip`.
TextList texts_of(const std::vector<std::int32_t>& kept, const StatementIds& texts, std::int32_t skip = -1) {
    TextList out;
    out.reserve(kept.size());
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        if (*it != skip) out.emplace_back(texts.text(*it));
    return out;
}
}  // namespace

TextList wyznacz_warunki_dopytywalne(Session& s) {
    // Every text of the rules gets an id once; the lists below are then built from flags
    // by id, without hashing a text again. The ids stay with the base for the next run.
    auto t = std::make_shared<RuleTextIds>(RuleTextIds::of(s.kb.rules.regula.rows()));
    const StatementIds& texts = *t->ids;
    std::vector<char> is_condition(texts.size(), 0), is_conclusion(texts.size(), 0);
    std::vector<std::int32_t> kept_conditions = reduced(t->condition_ids, is_condition);
    std::vector<std::int32_t> kept_conclusions = reduced(t->conclusion_of, is_conclusion);

    // The conditions that no rule concludes. Neither special text of the rule language is
    // ever asked: "bez warunku" always holds, and "koniec" only stops forward inference.
    TextList askable;
    for (auto it = kept_conditions.rbegin(); it != kept_conditions.rend(); ++it) {
        const auto u = static_cast<std::size_t>(*it);
        if (is_conclusion[u]) continue;
        const std::string_view text = texts.text(*it);
        if (text != kBezWarunku && text != kKoniec) askable.emplace_back(text);
    }

    // The lists keep the ids and the texts they name (which never change) until read.
    std::shared_ptr<const StatementIds> ids = t->ids;
    s.kb.lista_warunkow.append_later(
        [ids, kept = std::move(kept_conditions)] { return std::vector<TextList>{texts_of(kept, *ids)}; });
    s.kb.lista_wnioskow_regul.append_later([ids, kept = std::move(kept_conclusions)] {
        return std::vector<TextList>{texts_of(kept, *ids, ids->id_of(kKoniec)), texts_of(kept, *ids)};
    });
    s.kb.rule_text_ids = std::move(t);
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
