// A table of (key, value) records in insertion order with an index by key, so that
// "the first record of this key" is found in O(1) while table order is kept.
#pragma once
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace zuva {

template <class V>
class KeyedTable {
  public:
    struct Row {
        std::string key;
        V value;
    };

    // Value of the first record with this key.
    const V* find(const std::string& key) const {
        auto it = index_.find(key);
        if (it == index_.end() || it->second.empty()) return nullptr;
        return &rows_[it->second.front()].value;
    }
    bool contains(const std::string& key) const { return find(key) != nullptr; }

    void append(const std::string& key, V value) {
        index_[key].push_back(rows_.size());
        rows_.push_back({key, std::move(value), true});
        ++alive_;
    }
    // Removes the first record of the key; false when there is none.
    bool remove_first(const std::string& key) {
        auto it = index_.find(key);
        if (it == index_.end() || it->second.empty()) return false;
        rows_[it->second.front()].alive = false;
        it->second.pop_front();
        if (it->second.empty()) index_.erase(it);
        --alive_;
        if (rows_.size() > 64 && alive_ * 2 < rows_.size()) compact();
        return true;
    }
    // Replaces the first record of the key (the new one goes to the end) or appends one.
    void store(const std::string& key, V value) {
        remove_first(key);
        append(key, std::move(value));
    }
    void clear() {
        rows_.clear();
        index_.clear();
        alive_ = 0;
    }
    std::size_t count() const { return alive_; }
    bool empty() const { return alive_ == 0; }

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

  private:
    struct Slot {
        std::string key;
        V value;
        bool alive;
    };
    void compact() {
        std::vector<Slot> kept;
        kept.reserve(alive_);
        index_.clear();
        for (auto& r : rows_)
            if (r.alive) {
                index_[r.key].push_back(kept.size());
                kept.push_back(std::move(r));
            }
        rows_ = std::move(kept);
    }
    std::vector<Slot> rows_;
    std::unordered_map<std::string, std::deque<std::size_t>> index_;
    std::size_t alive_ = 0;
};

}  // namespace zuva
