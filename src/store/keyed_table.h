// A table of (key, value) records in insertion order with an index by key, so that
// "the first record of this key" is found in O(1) while table order is kept. With a
// change journal, every change of the value `find` returns for a key is noted in order.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/flat_map.h"

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
        const Slots* sl = index_.find(key);
        return sl ? &rows_[sl->head].value : nullptr;
    }
    bool contains(std::string_view key) const { return index_.contains(key); }

    // Appends a record; when the key already has one, the new record stays hidden
    // behind it until the first is removed.
    void append(const std::string& key, V value) {
        if (add(key, std::move(value))) note({rows_.size() - 1, true, false});
    }
    // Removes the first record of the key; false when there is none.
    bool remove_first(std::string_view key) {
        Slots* sl = index_.find(key);
        if (!sl) return false;
        const std::size_t removed = sl->head;
        rows_[removed].alive = false;
        --alive_;
        if (single(*sl)) {
            index_.erase(key);
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
    void store(const std::string& key, V value) {
        const std::size_t at = rows_.size();
        rows_.push_back({key, std::move(value), true});
        ++alive_;
        auto [slp, fresh] = index_.try_emplace(std::string_view(rows_.back().key), Slots{row32(at), 0});
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
        more_.clear();
        journal_.clear();
        alive_ = 0;
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
    std::size_t journal_size() const requires WithJournal { return journal_.size(); }
    const Change& journal_at(std::size_t i) const requires WithJournal { return journal_[i]; }
    const std::string& key_of_row(std::size_t row) const requires WithJournal { return rows_[row].key; }
    const V& value_of_row(std::size_t row) const requires WithJournal { return rows_[row].value; }
    // Slots ever used since clear(): the record appended last is in slot slot_count() - 1.
    std::size_t slot_count() const requires WithJournal { return rows_.size(); }
    // Slot of the key's visible record; -1 when the key has none.
    std::int64_t slot_of(std::string_view key) const requires WithJournal {
        const Slots* sl = index_.find(key);
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
        auto [sl, fresh] = index_.try_emplace(std::string_view(rows_.back().key), Slots{row32(at), 0});
        if (!fresh) more_of(*sl).push_back(row32(at));
        return fresh;
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
        more_.clear();
        alive_ = 0;
        for (auto& r : old)
            if (r.alive) add(r.key, std::move(r.value));
    }

    std::deque<Slot> rows_;
    FlatMap<std::string_view, Slots, TextHash> index_;
    std::vector<std::vector<std::uint32_t>> more_;
    std::vector<Change> journal_;
    std::size_t alive_ = 0;
};

}  // namespace zuva
