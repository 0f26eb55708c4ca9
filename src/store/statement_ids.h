// Integer ids of the statement texts of one inference run. The texts are kept here, so the
// ids stay valid for as long as a table of the run holds on to them, also after the rule
// table they came from was changed or unloaded.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
        return *id_.try_emplace_as(text, next, [&] { return texts_.emplace_back(keep(text)); }).first;
    }
    std::string_view text(std::int32_t id) const { return texts_[static_cast<std::size_t>(id)]; }
    std::size_t size() const { return texts_.size(); }
    void reserve(std::size_t n) {
        id_.reserve(n);
        texts_.reserve(n);
    }

  private:
    // A copy of the text in the current block of characters; blocks never move, so the
    // views into them stay valid. A statement is a few bytes, and a block of its own for
    // each would cost more than the text.
    std::string_view keep(std::string_view text) {
        if (text.size() > room_) {
            const std::size_t size = std::max(kBlock, text.size());
            blocks_.push_back(std::make_unique<char[]>(size));
            next_ = blocks_.back().get();
            room_ = size;
        }
        char* at = next_;
        if (!text.empty()) std::memcpy(at, text.data(), text.size());
        next_ += text.size();
        room_ -= text.size();
        return {at, text.size()};
    }

    static constexpr std::size_t kBlock = 1 << 16;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;                 // where the next text goes in the last block
    std::size_t room_ = 0;                 // characters left there
    std::vector<std::string_view> texts_;  // by id
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
