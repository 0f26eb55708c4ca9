// Integer ids of the statement texts of one inference run. The texts are kept here, so the
// ids stay valid for as long as a table of the run holds on to them, also after the rule
// table they came from was changed or unloaded.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "store/flat_map.h"

namespace zuva {

class StatementIds {
  public:
    // Id of a text, or -1.
    std::int32_t id_of(std::string_view text) const {
        const std::int32_t* id = id_.find(text);
        return id ? *id : -1;
    }
    // Id of a text, given the next free one when it is new.
    std::int32_t intern(std::string_view text) {
        const auto next = static_cast<std::int32_t>(texts_.size());
        return *id_.try_emplace_as(text, next, [&] { return std::string_view(texts_.emplace_back(text)); })
                    .first;
    }
    const std::string& text(std::int32_t id) const { return texts_[static_cast<std::size_t>(id)]; }
    std::size_t size() const { return texts_.size(); }
    void reserve(std::size_t n) { id_.reserve(n); }

  private:
    std::deque<std::string> texts_;  // by id; a deque keeps them in place for the keys below
    FlatMap<std::string_view, std::int32_t, TextHash> id_;
};

// A statement's id as the caller already knows it, with the ids it belongs to: a table
// uses it only when it works with the same ids, and looks the text up otherwise.
struct StatementRef {
    const StatementIds* ids = nullptr;
    std::int32_t id = -1;
    // The id in `table_ids`, or -1 when it must be looked up.
    std::int32_t in(const StatementIds* table_ids) const { return ids && ids == table_ids ? id : -1; }
};

}  // namespace zuva
