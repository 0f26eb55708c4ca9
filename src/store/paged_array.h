// An array over every statement (or rule) of a base that costs a run only what it touches:
// it reads as one fill value until written, and keeps its entries in pages made on the first
// write into each. A consultation of a large base that waits at its first question holds a
// few pages, not an entry for every statement.
#pragma once
#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace zuva {

template <class T>
class PagedArray {
  public:
    static constexpr std::size_t kPage = 1024;

    PagedArray() = default;
    PagedArray(std::size_t n, T fill) { assign(n, fill); }
    PagedArray(PagedArray&&) noexcept = default;
    PagedArray& operator=(PagedArray&&) noexcept = default;
    // A copy has pages of its own.
    PagedArray(const PagedArray& o) : n_(o.n_), fill_(o.fill_), pages_(o.pages_.size()) {
        for (std::size_t i = 0; i < pages_.size(); ++i)
            if (o.pages_[i]) {
                pages_[i] = std::make_unique_for_overwrite<T[]>(kPage);
                std::copy_n(o.pages_[i].get(), kPage, pages_[i].get());
            }
    }
    PagedArray& operator=(const PagedArray& o) {
        if (this != &o) *this = PagedArray(o);
        return *this;
    }

    // `n` entries, each reading as `fill`.
    void assign(std::size_t n, T fill) {
        n_ = n;
        fill_ = fill;
        pages_.clear();
        pages_.resize((n + kPage - 1) / kPage);
    }
    // Every entry back to the fill value.
    void reset() {
        for (auto& p : pages_)
            p.reset();
    }
    void clear() {
        n_ = 0;
        pages_.clear();
        pages_.shrink_to_fit();
    }
    std::size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }

    T operator[](std::size_t i) const {
        const T* p = pages_[i / kPage].get();
        return p ? p[i % kPage] : fill_;
    }
    // The entry as stored, or null when it is out of range or was never written (it reads
    // as the fill value).
    const T* find(std::size_t i) const {
        if (i >= n_) return nullptr;
        const T* p = pages_[i / kPage].get();
        return p ? p + i % kPage : nullptr;
    }
    // The entry to write; the array grows to hold it.
    T& mut(std::size_t i) {
        if (i >= n_) {
            n_ = i + 1;
            pages_.resize((n_ + kPage - 1) / kPage);
        }
        auto& p = pages_[i / kPage];
        if (!p) {
            p = std::make_unique_for_overwrite<T[]>(kPage);
            std::fill_n(p.get(), kPage, fill_);
        }
        return p[i % kPage];
    }

  private:
    std::size_t n_ = 0;
    T fill_{};
    std::vector<std::unique_ptr<T[]>> pages_;
};

}  // namespace zuva
