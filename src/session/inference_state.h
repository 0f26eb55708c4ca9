// Working tables of an inference run (forward and backward), cleared at its start.
// Resultants, contributions and disjunctive records are indexed so that every lookup
// of a statement, rule or conclusion is O(1) while table order is kept.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "session/explain_state.h"
#include "store/flat_map.h"
#include "store/keyed_table.h"
#include "store/paged_array.h"
#include "store/small_ints.h"
#include "store/statement_ids.h"
#include "store/table.h"
#include "store/values.h"

namespace zuva {

struct Prbd {
    std::int32_t rule_number = 0;
    std::string conclusion;
    double contribution = 0.0;
};
struct Dysjunkt {
    std::string conclusion;
    double conditions_cf = 0.0;
    double contribution = 0.0;
};
struct PendingRules {
    std::string conclusion;
    SmallInts pending_rules;
};

// wypadkowa_prbd: statement -> resultant CF, in table order. Every change of the value
// that `find` returns for a statement (a first record, a replacement, a removal) is noted
// in the journal, which the forward loop reads to learn which statements became available.
using ResultantTable = KeyedTable<double, true>;

// prbd: the latest contribution of each rule, in the order of the latest contributions,
// indexed by rule number and by conclusion (records of one conclusion are chained).
class PrbdTable {
  public:
    // aktualizacja_prbd: removes the rule's record and appends the new one. Returns the
    // record it replaced (kept readable until clear()), or nullptr. `ref` may give the
    // statement id of the conclusion, which spares looking its text up.
    const Prbd* update(std::int32_t rule_number, const std::string& conclusion, double contribution,
                       StatementRef ref = {}) {
        const std::size_t at = slots_.size();
        const Prbd* old = nullptr;
        auto [slot, fresh] = rule_slot(rule_number, at);
        if (!fresh) {
            slots_[*slot].alive = false;
            old = &slots_[*slot].rec;
            --alive_;
            if (ends_run(*old)) --positive_koniec_;
            *slot = at;
        }
        slots_.push_back({{rule_number, conclusion, contribution}, kEnd, true});
        ++alive_;
        if (ends_run(slots_.back().rec)) ++positive_koniec_;
        link(at, ref.in(ids_.get()));
        return old;
    }
    // From now on the conclusions that have an id in `ids` chain their records in a vector
    // by id instead of the index by text; the records so far are indexed anew. clear()
    // goes back to the index by text.
    void use_ids(std::shared_ptr<const StatementIds> ids) {
        ids_ = std::move(ids);
        by_id_.assign(ids_ ? ids_->size() : 0, Chain{kEnd, kEnd});
        by_conclusion_.clear();
        last_ = LastChain{};
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            slots_[i].next = kEnd;
            link(i, -1);
        }
    }
    // Number of updates since clear(): unchanged means the table is unchanged.
    std::size_t updates() const { return slots_.size(); }
    const Prbd* find_rule(std::int32_t rule_number) const {
        if (is_dense(rule_number)) {
            const auto u = static_cast<std::size_t>(rule_number);
            return u < dense_.size() && dense_[u] != kNone ? &slots_[dense_[u]].rec : nullptr;
        }
        const std::size_t* slot = by_rule_.find(rule_number);
        return slot ? &slots_[*slot].rec : nullptr;
    }
    // The conclusion's records in table order.
    template <class F>
    void for_conclusion(const std::string& conclusion, F f, StatementRef ref = {}) const {
        const Chain* c = chain_of(conclusion, ref.in(ids_.get()));
        if (!c) return;
        for (std::uint32_t i = c->first; i != kEnd; i = slots_[i].next)
            if (slots_[i].alive) f(slots_[i].rec);
    }
    bool has_conclusion(const std::string& conclusion) const {
        bool any = false;
        for_conclusion(conclusion, [&](const Prbd&) { any = true; });
        return any;
    }
    template <class F>
    void for_each(F f) const {
        for (const auto& sl : slots_)
            if (sl.alive) f(sl.rec);
    }
    std::vector<Prbd> rows() const {
        std::vector<Prbd> out;
        for_each([&](const Prbd& p) { out.push_back(p); });
        return out;
    }
    std::size_t count() const { return alive_; }
    bool empty() const { return alive_ == 0; }
    // A record of "koniec" with a contribution > 0 is alive (the run is to end). Kept as a
    // count because every step of an inference asks it.
    bool has_positive_koniec() const { return positive_koniec_ != 0; }
    void clear() {
        slots_.clear();
        dense_.clear();
        by_rule_.clear();
        by_conclusion_.clear();
        ids_.reset();
        by_id_.clear();
        last_ = LastChain{};
        alive_ = 0;
        positive_koniec_ = 0;
    }
    void reserve(std::size_t n) {
        by_conclusion_.reserve(n);
        last_ = LastChain{};  // a rehash moves the entries
    }

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // Chains the record in slot `at` behind the earlier records of its conclusion; `id` is
    // the conclusion's id in ids_ when the caller knows it, else -1.
    void link(std::size_t at, std::int32_t id) {
        const std::string& conclusion = slots_[at].rec.conclusion;
        if (id < 0 && ids_) id = ids_->id_of(conclusion);
        const auto at32 = static_cast<std::uint32_t>(at);
        if (id >= 0) {
            Chain& c = by_id_.mut(static_cast<std::size_t>(id));
            if (c.first == kEnd)
                c.first = at32;
            else
                slots_[c.last].next = at32;
            c.last = at32;
            return;
        }
        // Rules of one conclusion are often applied one after another: the chain of the
        // previous update is kept (valid until the next insertion, which replaces it).
        if (last_.chain && last_.key == conclusion) {
            slots_[last_.chain->last].next = at32;
            last_.chain->last = at32;
            return;
        }
        const std::string_view key(conclusion);
        auto [c, new_conclusion] = by_conclusion_.try_emplace(key, Chain{at32, at32});
        if (!new_conclusion) {
            slots_[c->last].next = at32;
            c->last = at32;
        }
        last_.chain = c;
        last_.key = key;
    }
    struct Slot {
        Prbd rec;
        std::uint32_t next;  // next record of the same conclusion
        bool alive;
    };
    // Record slots as 32-bit numbers keep the entries of the large conclusion index small.
    static constexpr std::uint32_t kEnd = static_cast<std::uint32_t>(-1);
    struct Chain {
        std::uint32_t first, last;
    };
    // `known` is the conclusion's id in ids_ when the caller knows it, else -1.
    const Chain* chain_of(const std::string& conclusion, std::int32_t known = -1) const {
        if (ids_) {
            const std::int32_t id = known >= 0 ? known : ids_->id_of(conclusion);
            if (id >= 0) {
                const Chain* c = by_id_.find(static_cast<std::size_t>(id));
                return c && c->first != kEnd ? c : nullptr;
            }
        }
        return by_conclusion_.find(std::string_view(conclusion));
    }
    static bool ends_run(const Prbd& p) { return p.contribution > 0.0 && p.conclusion == "koniec"; }
    // Rule numbers are mostly small and dense: those below kDense index a vector (each
    // number always in the same place), any other number goes to the hash map.
    static constexpr std::int32_t kDense = 1 << 17;
    static bool is_dense(std::int32_t n) { return n >= 0 && n < kDense; }
    std::pair<std::size_t*, bool> rule_slot(std::int32_t n, std::size_t at) {
        if (!is_dense(n)) return by_rule_.try_emplace(n, at);
        const auto u = static_cast<std::size_t>(n);
        if (u >= dense_.size())
            dense_.resize(std::min<std::size_t>(kDense, std::max<std::size_t>(u + 1, 2 * dense_.size())),
                          kNone);
        std::size_t& slot = dense_[u];
        if (slot != kNone) return {&slot, false};
        slot = at;
        return {&slot, true};
    }
    std::vector<std::size_t> dense_;
    std::deque<Slot> slots_;  // records never move, so the keys below can view them
    FlatMap<std::int32_t, std::size_t, IntKeyHash> by_rule_;
    FlatMap<std::string_view, Chain, TextHash> by_conclusion_;
    std::shared_ptr<const StatementIds> ids_;  // see use_ids
    PagedArray<Chain> by_id_;
    // The entry of by_conclusion_ for the conclusion of the previous update. A copy of
    // the table starts without it (it would point into the other table's index); a move
    // keeps it, as the index's storage moves along.
    struct LastChain {
        Chain* chain = nullptr;
        std::string_view key;
        LastChain() = default;
        LastChain(const LastChain&) {}
        LastChain& operator=(const LastChain&) {
            chain = nullptr;
            key = {};
            return *this;
        }
        LastChain(LastChain&&) = default;
        LastChain& operator=(LastChain&&) = default;
    };
    LastChain last_;
    std::size_t alive_ = 0;
    std::size_t positive_koniec_ = 0;
};

// dysjunkt: one record per applied disjunctive rule, in order, indexed by conclusion.
class DysjunktTable {
  public:
    void append(Dysjunkt d) {
        const std::size_t at = rows_.size();
        auto [c, fresh] = by_conclusion_.try_emplace(d.conclusion, Chain{at, at});
        if (!fresh) {
            next_[c->second.last] = at;
            c->second.last = at;
        }
        rows_.push_back(std::move(d));
        next_.push_back(kNone);
    }
    template <class F>
    void for_conclusion(const std::string& conclusion, F f) const {
        auto it = by_conclusion_.find(conclusion);
        if (it == by_conclusion_.end()) return;
        for (std::size_t i = it->second.first; i != kNone; i = next_[i])
            f(rows_[i]);
    }
    const std::vector<Dysjunkt>& rows() const { return rows_; }
    std::size_t count() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    void clear() {
        rows_.clear();
        next_.clear();
        by_conclusion_.clear();
    }

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    struct Chain {
        std::size_t first, last;
    };
    std::vector<Dysjunkt> rows_;
    std::vector<std::size_t> next_;
    std::unordered_map<std::string, Chain> by_conclusion_;
};

// A set of rule (or model) numbers with the interface of std::unordered_set.
// Numbers below kDense are flags in a vector (rule numbers are mostly small and dense),
// any other number is kept in a hash set.
class NumberSet {
  public:
    bool insert(std::int32_t n) {
        if (!is_dense(n)) return set_.try_emplace(n, 1).second;
        const auto u = static_cast<std::size_t>(n);
        if (u >= dense_.size())
            dense_.resize(std::min<std::size_t>(kDense, std::max<std::size_t>(u + 1, 2 * dense_.size())), 0);
        if (dense_[u]) return false;
        dense_[u] = 1;
        ++dense_count_;
        return true;
    }
    std::size_t erase(std::int32_t n) {
        if (!is_dense(n)) return set_.erase(n) ? 1 : 0;
        const auto u = static_cast<std::size_t>(n);
        if (u >= dense_.size() || !dense_[u]) return 0;
        dense_[u] = 0;
        --dense_count_;
        return 1;
    }
    std::size_t count(std::int32_t n) const { return contains(n) ? 1 : 0; }
    bool contains(std::int32_t n) const {
        if (!is_dense(n)) return set_.contains(n);
        const auto u = static_cast<std::size_t>(n);
        return u < dense_.size() && dense_[u] != 0;
    }
    void clear() {
        set_.clear();
        dense_.clear();
        dense_count_ = 0;
    }
    bool empty() const { return size() == 0; }
    std::size_t size() const { return set_.size() + dense_count_; }
    void reserve(std::size_t n) { dense_.reserve(std::min<std::size_t>(n + 1, kDense)); }

  private:
    static constexpr std::int32_t kDense = 1 << 17;
    static bool is_dense(std::int32_t n) { return n >= 0 && n < kDense; }
    std::vector<char> dense_;
    std::size_t dense_count_ = 0;
    FlatMap<std::int32_t, char, IntKeyHash> set_;
};

// Index of the rule table for one run (built by cf_calculus on first use): conclusions,
// the pending-rule state, the users of every statement as a condition, and the
// askable set. Defined in consult/cf_calculus.h.
struct RuleIndex;
struct RuleTables;
// Conclusions with their advice, pictures and sounds, built for one run by consult/media_offers.
struct MediaLookup;
struct ConstraintIndex;

struct InferenceState {
    PrbdTable prbd;
    ResultantTable wypadkowa_prbd;  // statement -> resultant CF
    DysjunktTable dysjunkt;
    // Pending-rule lists as built (rule_lists.h). During a run their state is kept in
    // the rule index and read through the functions of cf_calculus.h; the rows are
    // brought up to date by `sync_pending_lists`.
    Table<PendingRules> lista_numerow_regul_kumulatywnych;
    Table<PendingRules> lista_numerow_regul_dysjunktywnych;
    NumberSet regula_zastosowana;
    Table<std::string> etykieta;
    KeyedTable<double> zmienna_ustalona;  // variable -> fixed value
    std::unordered_set<std::int32_t> model_stosowany;
    Table<std::string> jakiewnioskowanie;   // "W_PRZOD" or "WSTECZ" while a run goes on
    Table<std::string> hipoteza;            // the main hypothesis while backward inference tests it
    Table<std::string> nazwa_podsumowania;  // the summary file while it is written
    // The summary saved last, with the rule base and the hypothesis (none: forward) of its
    // run: a test case can be kept from it.
    struct SavedSummary {
        std::string path, rule_base, hypothesis;
    };
    std::optional<SavedSummary> zapisane_podsumowanie;
    int tryb_deklaracji_faktow = 1;  // 1 "Menu wyboru faktów", 2 "Interfejs zadający pytania"
    // Arguments the user left without a value in this run: each is asked once a run.
    std::vector<std::string> argumenty_nieznane;
    // The run has reached its end: "Zakończ" no longer offers to stop only the consultation.
    bool konczenie = false;

    std::shared_ptr<RuleIndex> rule_index;
    // The shared part of the rule index, made once for a loaded base that consultations
    // share; the index of a run takes it while it still describes the rule table.
    std::shared_ptr<const RuleTables> loaded_rule_tables;
    // "TAK" after an exclusive-condition error, with kBladOdpowiedzi when the answers of a
    // run caused it (the next inference start forgets such an error).
    Table<std::string> blad_wykluczajacych;
    std::shared_ptr<MediaLookup> media_lookup;
    // Origins of resultants and values, why-sources, the end of the last run.
    ExplainState explain;
    // Constraints by member for the run (consult/exclusive.h), built on first use.
    std::shared_ptr<ConstraintIndex> constraint_index;
};

}  // namespace zuva
