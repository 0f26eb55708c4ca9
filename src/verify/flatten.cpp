// The flattening search keeps one frame per round (the conditions of the round and the
// alternative chosen at each position), so a rejected form resumes at the most recent choice.
#include "verify/flatten.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "report/report.h"
#include "session/session.h"
#include "store/list_helpers.h"
#include "text/i18n.h"

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

FlattenIndex::FlattenIndex(const KnowledgeBase& kb) : rules_(&kb.rules.regula), kb_(&kb) {
    const std::size_t nrules = kb.rules.regula.count();
    text_ids_.reserve(nrules);
    entries_.reserve(nrules);
    rule_conclusion_ids_.reserve(nrules);
    // Conclusions first, so that a conclusion's text id is its conclusion id.
    for (const auto& r : kb.rules.regula) {
        auto [it, fresh] = text_ids_.try_emplace(r.conclusion, static_cast<std::int32_t>(entries_.size()));
        if (fresh) entries_.emplace_back();
        entries_[static_cast<std::size_t>(it->second)].rules.push_back(&r);
        rule_conclusion_ids_.push_back(it->second);
    }
    askable_.reserve(kb.dopytywalny.count());
    for (const auto& d : kb.dopytywalny)
        askable_.insert(d);
}

void FlattenIndex::number_texts() const {
    text_ids_ready_ = true;
    auto intern = [&](std::string_view t) {
        return text_ids_.try_emplace(t, static_cast<std::int32_t>(text_ids_.size())).first->second;
    };
    condition_start_.reserve(rules_->count() + 1);
    for (const auto& r : *rules_) {
        condition_start_.push_back(static_cast<std::uint32_t>(condition_ids_.size()));
        for (const auto& c : r.conditions)
            condition_ids_.push_back(intern(c));
    }
    condition_start_.push_back(static_cast<std::uint32_t>(condition_ids_.size()));
    number_askable_texts();
}

void FlattenIndex::number_askable_texts() const {
    std::vector<std::int32_t> askable_ids;
    askable_ids.reserve(kb_->dopytywalny.count());
    for (const auto& d : kb_->dopytywalny)
        askable_ids.push_back(
            text_ids_.try_emplace(d, static_cast<std::int32_t>(text_ids_.size())).first->second);
    askable_by_id_.assign(text_ids_.size(), 0);
    for (std::int32_t id : askable_ids)
        askable_by_id_[static_cast<std::size_t>(id)] = 1;
}

void FlattenIndex::take_askable_set() {
    askable_.clear();
    askable_.reserve(kb_->dopytywalny.count());
    for (const auto& d : kb_->dopytywalny)
        askable_.insert(d);
    // The conditions keep their ids; the askable texts that are no condition come after them,
    // as number_texts gives them.
    if (text_ids_ready_) number_askable_texts();
    flattenability_settled_ = false;
    for (Entry& e : entries_) {
        e.flattenable = false;
        e.flattenable_rules.clear();
    }
}

std::int32_t FlattenIndex::text_id(std::string_view text) const {
    ensure_text_ids();
    auto it = text_ids_.find(text);
    return it == text_ids_.end() ? -1 : it->second;
}

const std::vector<const Regula*>& FlattenIndex::rules_concluding(std::string_view conclusion) const {
    std::int32_t id = conclusion_id(conclusion);
    return id < 0 ? kNoRules : entries_[static_cast<std::size_t>(id)].rules;
}

std::int32_t FlattenIndex::conclusion_id(std::string_view text) const {
    // Conclusions are numbered from the start.
    auto it = text_ids_.find(text);
    return it == text_ids_.end() ? -1 : conclusion_of(it->second);
}

void FlattenIndex::settle_flattenability() const {
    if (flattenability_settled_) return;
    flattenability_settled_ = true;
    ensure_text_ids();
    // A least fixed point, as for Horn clauses: a conclusion becomes flattenable when the
    // last not yet flattenable condition of one of its rules does.
    const std::size_t nrules = rules_->count();
    constexpr std::uint32_t kNever = 0xFFFFFFFFu;  // a condition neither askable nor concluded
    std::vector<std::uint32_t> waiting(nrules, 0);
    std::vector<std::uint32_t> rule_conclusion(nrules, 0);
    std::vector<std::vector<std::uint32_t>> watchers(entries_.size());
    std::vector<std::int32_t> queue;
    auto settle = [&](std::uint32_t id) {
        Entry& e = entries_[id];
        if (e.flattenable) return;
        e.flattenable = true;
        queue.push_back(static_cast<std::int32_t>(id));
    };
    for (std::size_t id = 0; id < entries_.size(); ++id)
        if (askable_by_id_[id]) settle(static_cast<std::uint32_t>(id));
    for (std::size_t i = 0; i < nrules; ++i) {
        rule_conclusion[i] = static_cast<std::uint32_t>(rule_conclusion_ids_[i]);
        for (std::uint32_t k = condition_start_[i]; k < condition_start_[i + 1]; ++k) {
            std::int32_t c = condition_ids_[k];
            if (askable_id(c)) continue;
            std::int32_t id = conclusion_of(c);
            if (id < 0) {
                waiting[i] = kNever;
                break;
            }
            ++waiting[i];
            watchers[static_cast<std::size_t>(id)].push_back(static_cast<std::uint32_t>(i));
        }
        if (waiting[i] == 0) settle(rule_conclusion[i]);
    }
    while (!queue.empty()) {
        std::int32_t id = queue.back();
        queue.pop_back();
        for (std::uint32_t i : watchers[static_cast<std::size_t>(id)]) {
            if (waiting[i] == kNever || --waiting[i] != 0) continue;
            settle(rule_conclusion[i]);
        }
    }
    const Regula* first = rules_->rows().data();
    for (Entry& e : entries_)
        for (const Regula* r : e.rules)
            if (waiting[static_cast<std::size_t>(r - first)] == 0) e.flattenable_rules.push_back(r);
}

std::int32_t FlattenIndex::component(std::int32_t conclusion_id) const {
    if (component_by_id_.empty() && !entries_.empty()) {
        ensure_text_ids();
        std::vector<std::pair<std::int32_t, std::int32_t>> edges;
        edges.reserve(condition_ids_.size());
        for (std::size_t i = 0; i + 1 < condition_start_.size(); ++i) {
            std::int32_t from = rule_conclusion_ids_[i];
            for (std::uint32_t k = condition_start_[i]; k < condition_start_[i + 1]; ++k)
                edges.push_back({from, condition_ids_[k]});
        }
        ConditionGraph graph(text_count(), std::move(edges));
        component_by_id_.resize(entries_.size());
        for (std::size_t id = 0; id < entries_.size(); ++id)
            component_by_id_[id] = graph.component(static_cast<std::int32_t>(id));
    }
    return component_by_id_[static_cast<std::size_t>(conclusion_id)];
}

bool FlattenIndex::flattenable(std::string_view condition) const {
    std::int32_t id = text_id(condition);
    if (id < 0) return false;
    if (askable_id(id)) return true;
    settle_flattenability();
    std::int32_t cid = conclusion_of(id);
    return cid >= 0 && entries_[static_cast<std::size_t>(cid)].flattenable;
}

const std::vector<const Regula*>& FlattenIndex::flattenable_rules_concluding(
    std::string_view conclusion) const {
    std::int32_t id = conclusion_id(conclusion);
    return id < 0 ? kNoRules : flattenable_rules_of(id);
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
    : index_(index), own_conditions_(conditions) {}

Splaszczanie::Splaszczanie(const FlattenIndex& index, const Regula& rule) : index_(index) {
    const auto& rows = index.rules().rows();
    std::less<const Regula*> before;
    if (!rows.empty() && !before(&rule, rows.data()) && before(&rule, rows.data() + rows.size()))
        rule_ = &rule;
    else
        own_conditions_ = rule.conditions;
}

bool Splaszczanie::expands_through_rules(const Item& it) const {
    std::int32_t id = index_.conclusion_of(it.id);
    return id >= 0 && !std::binary_search(it.anc.begin(), it.anc.end(), id);
}

std::size_t Splaszczanie::alternative_count(const Item& it) const {
    std::size_t n = expands_through_rules(it) ? index_.flattenable_rules_of(it.id).size() : 0;
    return n + (index_.askable_id(it.id) ? 1 : 0);
}

std::int32_t Splaszczanie::alternative_number(const Item& it, std::uint32_t k) const {
    if (!expands_through_rules(it)) return 0;
    const auto& rules = index_.flattenable_rules_of(it.id);
    return k < rules.size() ? rules[k]->rule_number : 0;
}

Splaszczanie::Anc Splaszczanie::descent_of(std::int32_t condition, const Anc& above) const {
    // Only conclusions on a cycle through the condition can come up again below it; the others
    // can block nothing, and leaving them out lets equal rounds be recognised as such.
    std::int32_t id = index_.conclusion_of(condition);
    if (id < 0 || above.empty()) return {};
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
    auto put = [&key](std::int32_t v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); };
    for (const auto& it : items) {
        put(it.id);
        put(static_cast<std::int32_t>(it.anc.size()));
        for (std::int32_t id : it.anc)
            put(id);
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
        const auto& rules = expands_through_rules(it) ? index_.flattenable_rules_of(it.id) : kNoRules;
        if (k < rules.size()) {
            Anc anc = it.anc;
            std::int32_t id = it.id;  // a conclusion: its text id is its conclusion id
            anc.insert(std::upper_bound(anc.begin(), anc.end(), id), id);
            const Regula& rule = *rules[k];
            for (std::size_t j = 0; j < rule.conditions.size(); ++j) {
                std::int32_t c = index_.condition_text_id(rule, j);
                cat.push_back({&rule.conditions[j], c, descent_of(c, anc)});
            }
        } else {
            cat.push_back(it);
        }
    }
    // Duplicates keep their last occurrence; the kept one inherits the descent of all.
    FlattenIndex::Marks& marks = index_.marks();
    std::vector<Item> kept;
    kept.reserve(cat.size());
    for (auto it = cat.rbegin(); it != cat.rend(); ++it) {
        const std::size_t id = static_cast<std::size_t>(it->id);
        if (marks.met_in[id] != marks.stamp) {
            marks.met_in[id] = marks.stamp;
            marks.met_at[id] = static_cast<std::uint32_t>(kept.size());
            kept.push_back(std::move(*it));
        } else if (!it->anc.empty()) {
            Anc& dst = kept[marks.met_at[id]].anc;
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
        const TextList& initial = this->initial();
        for (std::size_t j = 0; j < initial.size(); ++j) {
            const std::string& c = initial[j];
            // A text the base does not hold has no alternative: there is no form.
            std::int32_t id = rule_ ? index_.condition_text_id(*rule_, j) : index_.text_id(c);
            if (id < 0) return std::nullopt;
            first.items.push_back({&c, id, {}});
        }
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
                                       [&](const Item& it) { return index_.askable_id(it.id); });
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
    Splaszczanie gen = splaszcz(index, r);
    while (auto f = gen.next()) {
        std::string lista = lista_tekstow_w_nawiasach(f->flattened_conditions);
        std::string numery = lista_liczb_w_nawiasach(numery_regul_splaszczajacych(f->used_rule_numbers));
        std::string nr = std::to_string(r.rule_number);
        s.helper(nr + " " + r.conclusion + " " + lista + " " + numery + "\n");
        int b = s.ui.question(kQuestionTitle,
                              nr + ". " + r.conclusion + " " + lista + " " + numery +
                                  "\n\nCzy chcesz zobaczyć następną regułę spłaszczoną?",
                              {tr("&Tak"), tr("&Nie")});
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
