// An array over every statement (or rule) of a base that costs a run only what it touches:
// it reads as one fill value until written, and keeps its entries in pages made on the first
// write into each. A consultation of a large base that waits at its first question holds a
// few pages, not an entry for every statement. Pages are about a 128th of the array (64 to
// 4,096 entries): a small base pays for small pages, a large one for a short page table.
#pragma once
#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace zuva {

template <class T>
class PagedArray {
  public:
    static constexpr unsigned kMinShift = 6, kMaxShift = 12;

    PagedArray() = default;
    PagedArray(std::size_t n, T fill) { assign(n, fill); }
    PagedArray(PagedArray&&) noexcept = default;
    PagedArray& operator=(PagedArray&&) noexcept = default;
    // A copy has pages of its own.
    PagedArray(const PagedArray& o) : n_(o.n_), fill_(o.fill_), shift_(o.shift_), pages_(o.pages_.size()) {
        for (std::size_t i = 0; i < pages_.size(); ++i)
            if (o.pages_[i]) {
                pages_[i] = std::make_unique_for_overwrite<T[]>(page());
                std::copy_n(o.pages_[i].get(), page(), pages_[i].get());
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
        shift_ = kMinShift;
        while (shift_ < kMaxShift && (std::size_t{1} << (shift_ + 7)) < n)
            ++shift_;
        pages_.clear();
        pages_.resize((n + page() - 1) >> shift_);
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
        const T* p = pages_[i >> shift_].get();
        return p ? p[i & (page() - 1)] : fill_;
    }
    // The entry as stored, or null when it is out of range or was never written (it reads
    // as the fill value).
    const T* find(std::size_t i) const {
        if (i >= n_) return nullptr;
        const T* p = pages_[i >> shift_].get();
        return p ? p + (i & (page() - 1)) : nullptr;
    }
    // The entry to write; the array grows to hold it.
    T& mut(std::size_t i) {
        if (i >= n_) {
            n_ = i + 1;
            pages_.resize((n_ + page() - 1) >> shift_);
        }
        auto& p = pages_[i >> shift_];
        if (!p) {
            p = std::make_unique_for_overwrite<T[]>(page());
            std::fill_n(p.get(), page(), fill_);
        }
        return p[i & (page() - 1)];
    }

  private:
    std::size_t page() const { return std::size_t{1} << shift_; }
    std::size_t n_ = 0;
    T fill_{};
    unsigned shift_ = kMinShift;
    std::vector<std::unique_ptr<T[]>> pages_;
};

}  // namespace zuva
