// A table of (key, value) records in insertion order with an index by key, so that
// "the first record of this key" is found in O(1) while table order is kept. With a
// change journal, every change of the value `find` returns for a key is noted in order.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/flat_map.h"
#include "store/paged_array.h"
#include "store/statement_ids.h"

namespace zuva {

template <class V, bool WithJournal = false>
class KeyedTable {
  public:
    struct Row {
        std::string key;
        V value;
    };
    struct Change {
        std::size_t row;  // slot of the record that holds the key's new visible value
        bool first;       // the key had no record before
        bool gone;        // the key has no record any more (`row` names the removed one)
    };

    // Value of the first record with this key.
    const V* find(std::string_view key) const {
        const Slots* sl = slots_of(key);
        return sl ? &rows_[sl->head].value : nullptr;
    }
    bool contains(std::string_view key) const { return slots_of(key) != nullptr; }

    // Appends a record; when the key already has one, the new record stays hidden
    // behind it until the first is removed.
    void append(const std::string& key, V value) {
        if (add(key, std::move(value))) note({rows_.size() - 1, true, false});
    }
    // Removes the first record of the key; false when there is none.
    bool remove_first(std::string_view key) {
        Slots* sl = const_cast<Slots*>(slots_of(key));
        if (!sl) return false;
        const std::size_t removed = sl->head;
        rows_[removed].alive = false;
        --alive_;
        if (single(*sl)) {
            erase_slots(key, sl);
            note({removed, false, true});
        } else {
            auto& more = more_of(*sl);
            sl->head = more.front();
            more.erase(more.begin());
            note({sl->head, false, false});
        }
        if constexpr (!WithJournal)
            if (rows_.size() > 64 && alive_ * 2 < rows_.size()) compact();
        return true;
    }
    // Replaces the first record of the key (the new one goes to the end) or appends one.
    // `ref` may give the key's statement id (see use_ids).
    void store(const std::string& key, V value, StatementRef ref = {}) {
        const std::size_t at = rows_.size();
        rows_.push_back({key, std::move(value), true});
        ++alive_;
        auto [slp, fresh] = emplace_slots(rows_.back().key, row32(at), ref.in(ids_.get()));
        if (fresh) {
            note({at, true, false});
            return;
        }
        Slots& sl = *slp;
        rows_[sl.head].alive = false;
        --alive_;
        if (single(sl)) {
            sl.head = row32(at);
        } else {
            auto& more = more_of(sl);
            sl.head = more.front();
            more.erase(more.begin());
            more.push_back(row32(at));
        }
        note({sl.head, false, false});
        if constexpr (!WithJournal)
            if (rows_.size() > 64 && alive_ * 2 < rows_.size()) compact();
    }
    void clear() {
        rows_.clear();
        index_.clear();
        ids_.reset();
        by_id_.clear();
        more_.clear();
        journal_.clear();
        journal_base_ = 0;
        alive_ = 0;
    }
    // From now on the keys that have an id in `ids` are indexed in a vector by id instead
    // of the index by text; the records so far are indexed anew. clear() goes back.
    void use_ids(std::shared_ptr<const StatementIds> ids) {
        ids_ = std::move(ids);
        by_id_.assign(ids_ ? ids_->size() : 0, Slots{kAbsent, 0});
        reindex();
    }
    std::size_t count() const { return alive_; }
    bool empty() const { return alive_ == 0; }
    void reserve(std::size_t n) { index_.reserve(n); }

    // Records in table order.
    std::vector<Row> rows() const {
        std::vector<Row> out;
        out.reserve(alive_);
        for (const auto& r : rows_)
            if (r.alive) out.push_back({r.key, r.value});
        return out;
    }
    template <class F>
    void for_each(F f) const {
        for (const auto& r : rows_)
            if (r.alive) f(r.key, r.value);
    }

    // The journal of changes, in the order they happened; slots stay readable until clear().
    // Entries are numbered from clear(); forget_journal() lets the ones read go, so that
    // the journal of a long run holds only what its reader has not seen yet.
    std::size_t journal_size() const requires WithJournal { return journal_base_ + journal_.size(); }
    std::size_t journal_first() const requires WithJournal { return journal_base_; }
    const Change& journal_at(std::size_t i) const requires WithJournal { return journal_[i - journal_base_]; }
    void forget_journal() requires WithJournal {
        journal_base_ += journal_.size();
        journal_.clear();
    }
    const std::string& key_of_row(std::size_t row) const requires WithJournal { return rows_[row].key; }
    const V& value_of_row(std::size_t row) const requires WithJournal { return rows_[row].value; }
    // Slots ever used since clear(): the record appended last is in slot slot_count() - 1.
    std::size_t slot_count() const requires WithJournal { return rows_.size(); }
    // Slot of the key's visible record; -1 when the key has none.
    std::int64_t slot_of(std::string_view key) const requires WithJournal {
        const Slots* sl = slots_of(key);
        return sl ? static_cast<std::int64_t>(sl->head) : -1;
    }

  private:
    struct Slot {
        std::string key;
        V value;
        bool alive;
    };
    // Slots of the key's records in table order; almost always one. The further ones
    // live in `more_` (index + 1 in `extra`, 0 when none), so an index entry stays small
    // and a large index touches fewer cache lines.
    struct Slots {
        std::uint32_t head;
        std::uint32_t extra;
    };
    static constexpr std::uint32_t kAbsent = static_cast<std::uint32_t>(-1);
    static std::uint32_t row32(std::size_t at) { return static_cast<std::uint32_t>(at); }
    void note(const Change& c) {
        if constexpr (WithJournal) journal_.push_back(c);
    }
    // The index keys view the key of the record that created the entry; a deque does not
    // move its records, and records are destroyed only by clear() and compact().
    bool add(const std::string& key, V value) {
        const std::size_t at = rows_.size();
        rows_.push_back({key, std::move(value), true});
        ++alive_;
        return index_row(at, -1);
    }
    // Enters the record in slot `at` into the index; true when its key had no record.
    bool index_row(std::size_t at, std::int32_t id) {
        auto [sl, fresh] = emplace_slots(rows_[at].key, row32(at), id);
        if (!fresh) more_of(*sl).push_back(row32(at));
        return fresh;
    }
    void reindex() {
        index_.clear();
        more_.clear();
        by_id_.reset();
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].alive) index_row(i, -1);
    }
    // The key's id in ids_ (looked up when `id` is -1), or -1 when it has none.
    std::int32_t id_for(std::string_view key, std::int32_t id) const {
        if (id < 0 && ids_) id = ids_->id_of(key);
        return id;
    }
    const Slots* slots_of(std::string_view key) const {
        const std::int32_t id = id_for(key, -1);
        if (id < 0) return index_.find(key);
        const Slots* sl = by_id_.find(static_cast<std::size_t>(id));
        return sl && sl->head != kAbsent ? sl : nullptr;
    }
    // The key's index entry (the key views the text of a record), made for slot `at` when
    // the key has none; true when made.
    std::pair<Slots*, bool> emplace_slots(const std::string& key, std::uint32_t at, std::int32_t id) {
        id = id_for(key, id);
        if (id < 0) return index_.try_emplace(std::string_view(key), Slots{at, 0});
        Slots& sl = by_id_.mut(static_cast<std::size_t>(id));
        if (sl.head != kAbsent) return {&sl, false};
        sl = Slots{at, 0};
        return {&sl, true};
    }
    // A key with an id is always indexed by it (see emplace_slots).
    void erase_slots(std::string_view key, Slots* sl) {
        if (id_for(key, -1) >= 0)
            *sl = Slots{kAbsent, 0};
        else
            index_.erase(key);
    }
    bool single(const Slots& sl) const { return sl.extra == 0 || more_[sl.extra - 1].empty(); }
    std::vector<std::uint32_t>& more_of(Slots& sl) {
        if (sl.extra == 0) {
            more_.emplace_back();
            sl.extra = static_cast<std::uint32_t>(more_.size());
        }
        return more_[sl.extra - 1];
    }
    // Drops the removed records once they are the majority (never with a journal, whose
    // entries name slots).
    void compact() {
        std::deque<Slot> old = std::move(rows_);
        rows_ = {};
        index_.clear();
        by_id_.reset();
        more_.clear();
        alive_ = 0;
        for (auto& r : old)
            if (r.alive) add(r.key, std::move(r.value));
    }

    std::deque<Slot> rows_;
    FlatMap<std::string_view, Slots, TextHash> index_;
    std::shared_ptr<const StatementIds> ids_;  // see use_ids
    PagedArray<Slots> by_id_;                  // head kAbsent: the key has no record
    std::vector<std::vector<std::uint32_t>> more_;
    std::vector<Change> journal_;
    std::size_t journal_base_ = 0;  // number of the first entry in journal_
    std::size_t alive_ = 0;
};

}  // namespace zuva
