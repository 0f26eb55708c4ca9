// A set of rule positions for the forward loop's agenda.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zuva {

// Ordered set of rule positions with "next position >= p" in a few word operations.
class PositionSet {
  public:
    explicit PositionSet(std::size_t n) : words_((n + 63) / 64, 0), summary_((words_.size() + 63) / 64, 0) {}
    void insert(std::int32_t p) {
        auto up = static_cast<std::size_t>(p);
        std::uint64_t& w = words_[up >> 6];
        const std::uint64_t bit = 1ULL << (up & 63);
        if (w & bit) return;
        w |= bit;
        ++count_;
        summary_[up >> 12] |= 1ULL << ((up >> 6) & 63);
    }
    void erase(std::int32_t p) {
        auto up = static_cast<std::size_t>(p);
        std::uint64_t& w = words_[up >> 6];
        const std::uint64_t bit = 1ULL << (up & 63);
        if (!(w & bit)) return;
        w &= ~bit;
        --count_;
        if (!w) summary_[up >> 12] &= ~(1ULL << ((up >> 6) & 63));
    }
    bool contains(std::int32_t p) const {
        auto up = static_cast<std::size_t>(p);
        return (words_[up >> 6] >> (up & 63)) & 1ULL;
    }
    // Smallest position >= p, or -1.
    std::int32_t next(std::int32_t p) const {
        // An empty set (a base without disjunctive rules, a run without negative ones)
        // is asked at every step: it answers without reading its summary words.
        if (count_ == 0) return -1;
        auto up = static_cast<std::size_t>(p);
        std::size_t wi = up >> 6;
        if (wi >= words_.size()) return -1;
        std::uint64_t w = words_[wi] & (~0ULL << (up & 63));
        if (w) return static_cast<std::int32_t>((wi << 6) + static_cast<std::size_t>(__builtin_ctzll(w)));
        std::size_t k = wi + 1;  // next non-empty word from k
        while (k < words_.size()) {
            std::size_t si = k >> 6;
            std::uint64_t sw = summary_[si] & (~0ULL << (k & 63));
            if (sw) {
                std::size_t word = (si << 6) + static_cast<std::size_t>(__builtin_ctzll(sw));
                return static_cast<std::int32_t>((word << 6) +
                                                 static_cast<std::size_t>(__builtin_ctzll(words_[word])));
            }
            k = (si + 1) << 6;
        }
        return -1;
    }

  private:
    std::vector<std::uint64_t> words_;
    std::vector<std::uint64_t> summary_;
    std::size_t count_ = 0;
};

}  // namespace zuva
