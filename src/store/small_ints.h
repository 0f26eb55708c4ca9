// A list of integers that holds up to two in place and the rest on the heap. The pending
// rule list of almost every conclusion has one or two numbers, and a heap block for each
// of a hundred thousand conclusions would cost more than the numbers themselves.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace zuva {

class SmallInts {
  public:
    using value_type = std::int32_t;
    using iterator = std::int32_t*;
    using const_iterator = const std::int32_t*;

    SmallInts() = default;
    SmallInts(std::initializer_list<std::int32_t> l) { assign(l.begin(), l.size()); }
    SmallInts(const SmallInts& o) { assign(o.data(), o.size_); }
    SmallInts(SmallInts&& o) noexcept { take(o); }
    SmallInts& operator=(const SmallInts& o) {
        if (this != &o) {
            clear();
            assign(o.data(), o.size_);
        }
        return *this;
    }
    SmallInts& operator=(SmallInts&& o) noexcept {
        if (this != &o) {
            release();
            take(o);
        }
        return *this;
    }
    ~SmallInts() { release(); }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::int32_t* data() { return on_heap() ? heap_ : in_place_; }
    const std::int32_t* data() const { return on_heap() ? heap_ : in_place_; }
    iterator begin() { return data(); }
    iterator end() { return data() + size_; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size_; }
    std::int32_t& operator[](std::size_t i) { return data()[i]; }
    std::int32_t operator[](std::size_t i) const { return data()[i]; }
    std::int32_t front() const { return data()[0]; }
    std::int32_t back() const { return data()[size_ - 1]; }

    void reserve(std::size_t n) {
        if (n <= capacity_) return;
        auto* grown = new std::int32_t[n];
        std::memcpy(grown, data(), size_ * sizeof(std::int32_t));
        if (on_heap()) delete[] heap_;
        heap_ = grown;
        capacity_ = static_cast<std::uint32_t>(n);
    }
    void push_back(std::int32_t v) {
        if (size_ == capacity_) reserve(std::size_t{capacity_} * 2);
        data()[size_++] = v;
    }
    // Keeps the memory, as a vector does.
    void clear() { size_ = 0; }
    iterator erase(const_iterator at) {
        std::int32_t* p = begin() + (at - begin());
        std::copy(p + 1, end(), p);
        --size_;
        return p;
    }

    friend bool operator==(const SmallInts& a, const SmallInts& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const SmallInts& a, const std::vector<std::int32_t>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

  private:
    static constexpr std::uint32_t kInPlace = 2;
    bool on_heap() const { return capacity_ > kInPlace; }
    void assign(const std::int32_t* from, std::size_t n) {
        reserve(n);
        std::memcpy(data(), from, n * sizeof(std::int32_t));
        size_ = static_cast<std::uint32_t>(n);
    }
    void take(SmallInts& o) {
        size_ = o.size_;
        capacity_ = o.capacity_;
        if (o.on_heap())
            heap_ = o.heap_;
        else
            std::memcpy(in_place_, o.in_place_, sizeof in_place_);
        o.size_ = 0;
        o.capacity_ = kInPlace;
    }
    void release() {
        if (on_heap()) delete[] heap_;
        size_ = 0;
        capacity_ = kInPlace;
    }

    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = kInPlace;
    union {
        std::int32_t in_place_[kInPlace];
        std::int32_t* heap_;
    };
};

}  // namespace zuva
