// The flattening search keeps one frame per round (the conditions of the round and the
// alternative chosen at each position), so a rejected form resumes at the most recent choice.
#include "verify/flatten.h"

#include <algorithm>
#include <cstdlib>

#include "report/report.h"
#include "session/session.h"
#include "store/list_helpers.h"

namespace zuva {

namespace {

const std::vector<const Regula*> kNoRules;

const char* const kQuestionTitle =
    "Reguła spłaszczona: Numer, Wniosek, Lista warunków dopytywalnych, Numery reguł spłaszczających";
const char* const kAllDone = "To już wszystkie reguły spłaszczone!";
const char* const kContradictory = "Zewnętrznie sprzecznej bazy reguł nie można spłaszczyć!";

std::string quoted(const std::string& t) {
    std::string r = "\"";
    for (char c : t) {
        if (c == '"' || c == '\\') r += '\\';
        r += c;
    }
    r += '"';
    return r;
}

}  // namespace

FlattenIndex::FlattenIndex(const KnowledgeBase& kb) : rules_(&kb.rules.regula) {
    by_conclusion_.reserve(kb.rules.regula.count());
    for (const auto& r : kb.rules.regula) {
        auto [it, fresh] = by_conclusion_.try_emplace(r.conclusion, Entry{0, {}, {}, false});
        if (fresh) it->second.id = static_cast<std::int32_t>(by_conclusion_.size() - 1);
        it->second.rules.push_back(&r);
    }
    askable_.reserve(kb.dopytywalny.count());
    for (const auto& d : kb.dopytywalny)
        askable_.insert(d);
}

const std::vector<const Regula*>& FlattenIndex::rules_concluding(std::string_view conclusion) const {
    auto it = by_conclusion_.find(conclusion);
    return it == by_conclusion_.end() ? kNoRules : it->second.rules;
}

std::int32_t FlattenIndex::conclusion_id(std::string_view text) const {
    auto it = by_conclusion_.find(text);
    return it == by_conclusion_.end() ? -1 : it->second.id;
}

void FlattenIndex::settle_flattenability() const {
    if (flattenability_settled_) return;
    flattenability_settled_ = true;
    // A least fixed point, as for Horn clauses: a conclusion becomes flattenable when the
    // last not yet flattenable condition of one of its rules does.
    std::vector<Entry*> by_id(by_conclusion_.size());
    for (auto& [text, e] : by_conclusion_)
        by_id[static_cast<std::size_t>(e.id)] = &e;
    const std::size_t nrules = rules_->count();
    constexpr std::uint32_t kNever = 0xFFFFFFFFu;  // a condition neither askable nor concluded
    std::vector<std::uint32_t> waiting(nrules, 0);
    std::vector<std::vector<std::uint32_t>> watchers(by_id.size());
    std::vector<std::int32_t> queue;
    auto settle = [&](Entry& e) {
        if (e.flattenable) return;
        e.flattenable = true;
        queue.push_back(e.id);
    };
    for (auto& [text, e] : by_conclusion_)
        if (askable(text)) settle(e);
    for (std::size_t i = 0; i < nrules; ++i) {
        const Regula& r = (*rules_)[i];
        for (const auto& c : r.conditions) {
            if (askable(c)) continue;
            std::int32_t id = conclusion_id(c);
            if (id < 0) {
                waiting[i] = kNever;
                break;
            }
            ++waiting[i];
            watchers[static_cast<std::size_t>(id)].push_back(static_cast<std::uint32_t>(i));
        }
        if (waiting[i] == 0) settle(*by_id[static_cast<std::size_t>(conclusion_id(r.conclusion))]);
    }
    while (!queue.empty()) {
        std::int32_t id = queue.back();
        queue.pop_back();
        for (std::uint32_t i : watchers[static_cast<std::size_t>(id)]) {
            if (waiting[i] == kNever || --waiting[i] != 0) continue;
            settle(*by_id[static_cast<std::size_t>(conclusion_id((*rules_)[i].conclusion))]);
        }
    }
    const Regula* first = rules_->rows().data();
    for (Entry* e : by_id)
        for (const Regula* r : e->rules)
            if (waiting[static_cast<std::size_t>(r - first)] == 0) e->flattenable_rules.push_back(r);
}

std::int32_t FlattenIndex::component(std::int32_t conclusion_id) const {
    if (component_by_id_.empty() && !by_conclusion_.empty()) {
        ConditionGraph graph(*rules_);
        component_by_id_.assign(by_conclusion_.size(), -1);
        for (const auto& [text, e] : by_conclusion_)
            component_by_id_[static_cast<std::size_t>(e.id)] = graph.component(graph.id(text));
    }
    return component_by_id_[static_cast<std::size_t>(conclusion_id)];
}

bool FlattenIndex::flattenable(std::string_view condition) const {
    if (askable(condition)) return true;
    settle_flattenability();
    auto it = by_conclusion_.find(condition);
    return it != by_conclusion_.end() && it->second.flattenable;
}

const std::vector<const Regula*>& FlattenIndex::flattenable_rules_concluding(
    std::string_view conclusion) const {
    settle_flattenability();
    auto it = by_conclusion_.find(conclusion);
    return it == by_conclusion_.end() ? kNoRules : it->second.flattenable_rules;
}

bool can_be_flattened(const FlattenIndex& index, std::string_view condition) {
    return index.flattenable(condition);
}

IntList numery_regul_splaszczajacych(const IntList& raw) {
    IntList out;
    out.reserve(raw.size());
    for (auto it = raw.rbegin(); it != raw.rend(); ++it)
        if (*it != 0) out.push_back(*it);
    return out;
}

Splaszczanie::Splaszczanie(const FlattenIndex& index, const TextList& conditions)
    : index_(index), initial_(conditions) {}

bool Splaszczanie::expands_through_rules(const Item& it) const {
    std::int32_t id = index_.conclusion_id(*it.text);
    return id >= 0 && !std::binary_search(it.anc.begin(), it.anc.end(), id);
}

std::size_t Splaszczanie::alternative_count(const Item& it) const {
    std::size_t n = expands_through_rules(it) ? index_.flattenable_rules_concluding(*it.text).size() : 0;
    return n + (index_.askable(*it.text) ? 1 : 0);
}

std::int32_t Splaszczanie::alternative_number(const Item& it, std::uint32_t k) const {
    if (!expands_through_rules(it)) return 0;
    const auto& rules = index_.flattenable_rules_concluding(*it.text);
    return k < rules.size() ? rules[k]->rule_number : 0;
}

Splaszczanie::Anc Splaszczanie::descent_of(const std::string& condition, const Anc& above) const {
    // Only conclusions on a cycle through the condition can come up again below it; the others
    // can block nothing, and leaving them out lets equal rounds be recognised as such.
    std::int32_t id = index_.conclusion_id(condition);
    if (id < 0) return {};
    std::int32_t comp = index_.component(id);
    Anc out;
    for (std::int32_t a : above)
        if (index_.component(a) == comp) out.push_back(a);
    return out;
}

bool Splaszczanie::viable(const std::vector<Item>& items) const {
    return std::all_of(items.begin(), items.end(),
                       [&](const Item& it) { return alternative_count(it) != 0; });
}

bool Splaszczanie::first_time(const std::vector<Item>& items) {
    if (!skip_repeated_) return true;
    // Bounded: beyond it rounds are entered again, which only costs time.
    constexpr std::size_t kKeptRounds = 200'000;
    std::string key;
    for (const auto& it : items) {
        key += *it.text;
        key += '\0';
        for (std::int32_t id : it.anc) {
            key += std::to_string(id);
            key += ',';
        }
        key += '\0';
    }
    if (rounds_seen_.count(key)) return false;
    if (rounds_seen_.size() < kKeptRounds) rounds_seen_.insert(std::move(key));
    return true;
}

std::vector<Splaszczanie::Item> Splaszczanie::finish_round(const Round& r) const {
    // Expansions concatenated with the last condition's first.
    std::vector<Item> cat;
    for (std::size_t pos = r.items.size(); pos-- > 0;) {
        const Item& it = r.items[pos];
        std::uint32_t k = r.choice[pos];
        const auto& rules =
            expands_through_rules(it) ? index_.flattenable_rules_concluding(*it.text) : kNoRules;
        if (k < rules.size()) {
            Anc anc = it.anc;
            std::int32_t id = index_.conclusion_id(*it.text);
            anc.insert(std::upper_bound(anc.begin(), anc.end(), id), id);
            for (const auto& c : rules[k]->conditions)
                cat.push_back({&c, descent_of(c, anc)});
        } else {
            cat.push_back(it);
        }
    }
    // Duplicates keep their last occurrence; the kept one inherits the descent of all.
    std::unordered_map<std::string_view, std::size_t> seen;
    std::vector<Item> kept;
    kept.reserve(cat.size());
    for (auto it = cat.rbegin(); it != cat.rend(); ++it) {
        auto [pos, fresh] = seen.try_emplace(*it->text, kept.size());
        if (fresh) {
            kept.push_back(std::move(*it));
        } else {
            Anc& dst = kept[pos->second].anc;
            Anc merged;
            std::set_union(dst.begin(), dst.end(), it->anc.begin(), it->anc.end(),
                           std::back_inserter(merged));
            dst.swap(merged);
        }
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
}

std::optional<RegulaSplaszczona> Splaszczanie::next() {
    bool descend = true;
    if (!started_) {
        started_ = true;
        Round first;
        for (const auto& c : initial_)
            first.items.push_back({&c, {}});
        if (!viable(first.items)) return std::nullopt;
        rounds_.push_back(std::move(first));
    } else {
        descend = false;
    }
    while (!rounds_.empty()) {
        Round& r = rounds_.back();
        if (!descend) {
            if (r.choice.empty()) {
                rounds_.pop_back();
                continue;
            }
            std::size_t pos = r.choice.size() - 1;
            std::uint32_t k = ++r.choice.back();
            substitutions_.pop_back();
            if (k < alternative_count(r.items[pos])) {
                substitutions_.push_back(alternative_number(r.items[pos], k));
                descend = true;
            } else {
                r.choice.pop_back();
            }
            continue;
        }
        std::size_t pos = r.choice.size();
        if (pos < r.items.size()) {
            if (alternative_count(r.items[pos]) == 0) {
                descend = false;
                continue;
            }
            r.choice.push_back(0);
            substitutions_.push_back(alternative_number(r.items[pos], 0));
            continue;
        }
        std::vector<Item> next_items = finish_round(r);
        bool all_askable = std::all_of(next_items.begin(), next_items.end(),
                                       [&](const Item& it) { return index_.askable(*it.text); });
        if (!all_askable) {
            // A round in which some condition has no alternative yields nothing, however
            // the conditions before it are chosen.
            if (viable(next_items) && first_time(next_items))
                rounds_.push_back(Round{std::move(next_items), {}});
            else
                descend = false;
            continue;
        }
        RegulaSplaszczona out;
        out.flattened_conditions.reserve(next_items.size());
        for (const auto& it : next_items)
            out.flattened_conditions.push_back(*it.text);
        out.used_rule_numbers.assign(substitutions_.rbegin(), substitutions_.rend());
        return out;
    }
    return std::nullopt;
}

std::vector<std::pair<TextList, std::int32_t>> szukaj_regule(const FlattenIndex& index,
                                                             const std::string& condition) {
    std::vector<std::pair<TextList, std::int32_t>> out;
    for (const Regula* r : index.rules_concluding(condition))
        out.emplace_back(r->conditions, r->rule_number);
    if (index.askable(condition)) out.emplace_back(TextList{condition}, 0);
    return out;
}

std::string ma_warunki_niedopyt(const FlattenIndex& index, const TextList& list) {
    for (const auto& c : list)
        if (!index.askable(c)) return "TAK";
    return "NIE";
}

std::string lista_tekstow_w_nawiasach(const TextList& list) {
    std::string r = "[";
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i) r += ',';
        r += quoted(list[i]);
    }
    return r + "]";
}

std::string lista_liczb_w_nawiasach(const IntList& list) {
    std::string r = "[";
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i) r += ',';
        r += std::to_string(list[i]);
    }
    return r + "]";
}

bool baza_sprzeczna(const Session& s) {
    return s.kb.sprzecznosc_1z.find_first([](const std::string& v) { return v == "TAK"; }) != nullptr;
}

namespace {

// Shows every form of one rule: a helper-window line and the question for the next one.
// False when the user asked to stop.
bool pokaz_formy(Session& s, const FlattenIndex& index, const Regula& r) {
    Splaszczanie gen = splaszcz(index, r.conclusion, r.conditions);
    while (auto f = gen.next()) {
        std::string lista = lista_tekstow_w_nawiasach(f->flattened_conditions);
        std::string numery = lista_liczb_w_nawiasach(numery_regul_splaszczajacych(f->used_rule_numbers));
        std::string nr = std::to_string(r.rule_number);
        s.helper(nr + " " + r.conclusion + " " + lista + " " + numery + "\n");
        int b = s.ui.question(kQuestionTitle,
                              nr + ". " + r.conclusion + " " + lista + " " + numery +
                                  "\n\nCzy chcesz zobaczyć następną regułę spłaszczoną?",
                              {"&Tak", "&Nie"});
        if (b != 0) return false;
    }
    return true;
}

}  // namespace

void splaszczanie_wybranej_reguly(Session& s) {
    if (baza_sprzeczna(s)) {
        s.ui.note("Uwaga!", kContradictory);
        return;
    }
    TextList items;
    items.reserve(s.kb.rules.regula.count());
    for (const auto& r : s.kb.rules.regula)
        items.push_back(std::to_string(r.rule_number) + "  " + r.conclusion);
    items = sortuj(redukuj(items));
    std::optional<int> chosen = s.ui.choose_one_prompted("Wybór reguły do spłaszczenia",
                                                         "Numer reguły           Wniosek reguły", items);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= items.size()) return;
    const std::string& item = items[static_cast<std::size_t>(*chosen)];
    std::string token = item.substr(0, item.find(' '));
    std::int32_t number = static_cast<std::int32_t>(std::strtol(token.c_str(), nullptr, 10));

    pisz(s, "Wyniki spłaszczenia reguły");
    pisz(s, " ");
    pisz(s, std::to_string(number));
    pisz(s, ":");
    pisz(s, "\n\n");
    for (const char* piece : {"Numer", "  ", "Wniosek", "     ", "Lista warunków dopytywalnych", "          ",
                              "Numery reguł spłaszczających", "\n\n"})
        pisz(s, piece);
    FlattenIndex index(s.kb);
    for (const auto& r : s.kb.rules.regula) {
        if (r.rule_number != number) continue;
        if (!pokaz_formy(s, index, r)) return;
    }
    s.ui.note("Uwaga!", kAllDone);
}

void splaszczanie_wszystkich_regul(Session& s) {
    if (baza_sprzeczna(s)) {
        s.ui.note("Uwaga!", kContradictory);
        return;
    }
    if (s.kb.nazwa_re.loaded()) {
        s.helper("Reguły spłaszczone bazy reguł " + s.kb.nazwa_re.name() + "\n\n");
        for (const char* piece :
             {"Numer", "  ", "Wniosek", "  ", "Lista warunków", "  ", "Numery reguł spłaszczających", "\n\n"})
            pisz(s, piece);
        FlattenIndex index(s.kb);
        for (const auto& r : s.kb.rules.regula)
            if (!pokaz_formy(s, index, r)) return;
    }
    s.ui.note("Uwaga!", kAllDone);
}

}  // namespace zuva
