// An open-addressing hash map (linear probing, stored hashes) for the large per-run
// indexes of inference: one probe usually touches one slot, where a node-based map
// touches a bucket and a node. Pointers to values are valid until the next insertion.
// A table of 2^32 slots or more is not needed: hashes are kept as 32 bits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace zuva {

// Spreads the bits of an integer key (a rule number) over the table.
struct IntKeyHash {
    std::size_t operator()(std::int32_t k) const {
        std::uint64_t x = static_cast<std::uint32_t>(k);
        x ^= x >> 16;
        x *= 0x9E3779B97F4A7C15ULL;
        x ^= x >> 29;
        return static_cast<std::size_t>(x);
    }
};

// Hashes a statement text: eight bytes at a time, multiplied and folded, so that the
// low bits the table uses depend on every byte. Statement names are short, where the
// general-purpose string hash spends most of its time on setup.
struct TextHash {
    std::size_t operator()(std::string_view t) const {
        constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
        std::uint64_t h = 0x243F6A8885A308D3ULL ^ (static_cast<std::uint64_t>(t.size()) * kMul);
        const char* p = t.data();
        std::size_t n = t.size();
        while (n >= 8) {
            std::uint64_t w;
            std::memcpy(&w, p, 8);
            h = (h ^ w) * kMul;
            h ^= h >> 32;
            p += 8;
            n -= 8;
        }
        if (n > 0) {
            std::uint64_t w = 0;
            std::memcpy(&w, p, n);
            h = (h ^ w) * kMul;
            h ^= h >> 32;
        }
        h *= 0xBF58476D1CE4E5B9ULL;
        h ^= h >> 31;
        return static_cast<std::size_t>(h);
    }
};

// How a key and its 32-bit hash are held in a slot: the key as itself, or a text as a
// pointer and a 32-bit length beside the hash, so that a slot of a text key with a value
// of eight bytes takes 24 bytes instead of 32.
template <class K>
struct FlatKey {
    K key{};
    std::uint32_t hash = 0;  // 0: empty slot
    K get() const { return key; }
    void set(const K& k) { key = k; }
};
template <>
struct FlatKey<std::string_view> {
    const char* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t hash = 0;  // 0: empty slot
    std::string_view get() const { return {data, size}; }
    void set(std::string_view k) {
        if (k.size() > UINT32_MAX) throw std::length_error("tekst klucza jest za długi");
        data = k.data();
        size = static_cast<std::uint32_t>(k.size());
    }
};

template <class K, class V, class H = std::hash<K>>
class FlatMap {
  public:
    V* find(const K& key) {
        if (size_ == 0) return nullptr;
        const std::uint32_t h = hash_of(key);
        for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
            Slot& s = slots_[i];
            if (s.key.hash == 0) return nullptr;
            if (s.key.hash == h && s.key.get() == key) return &s.value;
        }
    }
    const V* find(const K& key) const { return const_cast<FlatMap*>(this)->find(key); }
    bool contains(const K& key) const { return find(key) != nullptr; }

    // The value of the key, inserting `value` when the key is new; true when inserted.
    std::pair<V*, bool> try_emplace(const K& key, V value) {
        return try_emplace_as(key, std::move(value), [&] { return key; });
    }
    // The same, but a new entry keeps `stored()` as its key (equal to `key`): a text key can
    // so be looked up by a caller's view and stored as a view of a text the caller keeps.
    template <class Stored>
    std::pair<V*, bool> try_emplace_as(const K& key, V value, Stored stored) {
        if (over_load(size_ + 1, slots_.size())) grow();
        const std::uint32_t h = hash_of(key);
        for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
            Slot& s = slots_[i];
            if (s.key.hash == 0) {
                s.key.hash = h;
                s.key.set(stored());
                s.value = std::move(value);
                ++size_;
                return {&s.value, true};
            }
            if (s.key.hash == h && s.key.get() == key) return {&s.value, false};
        }
    }

    bool erase(const K& key) {
        if (size_ == 0) return false;
        const std::uint32_t h = hash_of(key);
        std::size_t i = h & mask_;
        for (;; i = (i + 1) & mask_) {
            if (slots_[i].key.hash == 0) return false;
            if (slots_[i].key.hash == h && slots_[i].key.get() == key) break;
        }
        // Backward-shift deletion keeps every probe sequence without holes.
        for (std::size_t j = (i + 1) & mask_; slots_[j].key.hash != 0; j = (j + 1) & mask_) {
            const std::size_t home = slots_[j].key.hash & mask_;
            const bool movable = i <= j ? (home <= i || home > j) : (home <= i && home > j);
            if (movable) {
                slots_[i] = std::move(slots_[j]);
                i = j;
            }
        }
        slots_[i] = Slot{};
        --size_;
        return true;
    }

    void clear() {
        slots_.clear();
        slots_.shrink_to_fit();
        mask_ = 0;
        size_ = 0;
    }
    void reserve(std::size_t n) {
        std::size_t cap = 16;
        while (over_load(n, cap))
            cap *= 2;
        if (cap > slots_.size()) rehash(cap);
    }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

  private:
    struct Slot {
        FlatKey<K> key{};
        V value{};
    };
    // At most four entries in five slots: with the hash kept in the slot, a probe past a
    // foreign entry costs one comparison of integers, and the table stays small. (Qt, whose
    // headers come before this one in the desktop program, defines `slots` as a macro.)
    static bool over_load(std::size_t entries, std::size_t capacity) { return entries * 5 > capacity * 4; }
    static std::uint32_t hash_of(const K& key) {
        const std::size_t full = H{}(key);
        const auto h = static_cast<std::uint32_t>(full ^ (full >> 32));
        return h == 0 ? 1 : h;
    }
    void grow() { rehash(slots_.empty() ? 16 : 2 * slots_.size()); }
    void rehash(std::size_t cap) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(cap, Slot{});
        mask_ = cap - 1;
        for (Slot& s : old) {
            if (s.key.hash == 0) continue;
            std::size_t i = s.key.hash & mask_;
            while (slots_[i].key.hash != 0)
                i = (i + 1) & mask_;
            slots_[i] = std::move(s);
        }
    }
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t size_ = 0;
};

}  // namespace zuva
