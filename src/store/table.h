// An ordered table of typed records: the order of insertion decides which record is "the first".
// Readers get copies or const references that do not outlive the next mutation.
#pragma once
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace zuva {

template <class Record>
class Table {
  public:
    using value_type = Record;

    void append(Record r) { rows_.push_back(std::move(r)); }
    void insert_front(Record r) { rows_.insert(rows_.begin(), std::move(r)); }

    // Removes the first record for which pred holds; false when none does.
    template <class Pred>
    bool remove_first(Pred pred) {
        auto it = std::find_if(rows_.begin(), rows_.end(), pred);
        if (it == rows_.end()) return false;
        rows_.erase(it);
        return true;
    }
    // Removes every record for which pred holds; returns how many went.
    template <class Pred>
    std::size_t remove_all(Pred pred) {
        auto it = std::remove_if(rows_.begin(), rows_.end(), pred);
        std::size_t n = static_cast<std::size_t>(rows_.end() - it);
        rows_.erase(it, rows_.end());
        return n;
    }
    void clear() { rows_.clear(); }

    template <class Pred>
    const Record* find_first(Pred pred) const {
        auto it = std::find_if(rows_.begin(), rows_.end(), pred);
        return it == rows_.end() ? nullptr : &*it;
    }
    const Record* first() const { return rows_.empty() ? nullptr : &rows_.front(); }

    std::size_t count() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const std::vector<Record>& rows() const { return rows_; }
    std::vector<Record>& mutable_rows() { return rows_; }
    auto begin() const { return rows_.begin(); }
    auto end() const { return rows_.end(); }
    const Record& operator[](std::size_t i) const { return rows_[i]; }
    void reserve(std::size_t n) { rows_.reserve(n); }

  private:
    std::vector<Record> rows_;
};

}  // namespace zuva
