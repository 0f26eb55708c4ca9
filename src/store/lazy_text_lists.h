// A table of text lists whose records may be made when first read. The load keeps its
// derived lists of the rule base this way: few sessions ever read them, and a base of
// 100,000 rules would otherwise copy 300,000 texts into them at every load.
#pragma once
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "store/table.h"
#include "store/values.h"

namespace zuva {

class LazyTextLists {
  public:
    // Makes the records, in table order; called at most once, on the first read.
    using Maker = std::function<std::vector<TextList>()>;

    // The records `make` gives follow the records so far.
    void append_later(Maker make) {
        made();
        maker_ = std::move(make);
    }
    void append(TextList list) {
        made();
        rows_.append(std::move(list));
    }
    void clear() {
        maker_ = nullptr;
        rows_.clear();
    }
    const TextList* first() const { return rows().first(); }
    const TextList& operator[](std::size_t i) const { return rows()[i]; }
    std::size_t count() const { return rows().count(); }
    bool empty() const { return rows().empty(); }
    const Table<TextList>& rows() const {
        made();
        return rows_;
    }

  private:
    void made() const {
        if (!maker_) return;
        Maker make = std::move(maker_);
        maker_ = nullptr;
        for (auto& list : make())
            rows_.append(std::move(list));
    }
    mutable Maker maker_;
    mutable Table<TextList> rows_;
};

}  // namespace zuva
