// List helpers shared by many operations: duplicates removed keeping the last
// occurrence, reverse, remove all occurrences, subset, merge sort by Windows-1250
// bytes, set difference. All are linear or n log n (hash sets, not nested scans).
#pragma once
#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "store/flat_map.h"
#include "store/values.h"
#include "text/codec.h"

namespace zuva {

// Views of the texts of a list, for membership tests (valid while the list is unchanged).
using TextSet = FlatMap<std::string_view, char, TextHash>;
inline TextSet text_set(const TextList& l) {
    TextSet set;
    set.reserve(l.size());
    for (const auto& e : l)
        set.try_emplace(e, 0);
    return set;
}

// Drops an element when the same text occurs again later, so each keeps its last position.
inline TextList redukuj(const TextList& in) {
    // Views into `in`: no text is copied until the result is built.
    TextSet seen;
    seen.reserve(in.size());
    std::vector<const std::string*> kept;
    kept.reserve(in.size());
    for (auto it = in.rbegin(); it != in.rend(); ++it)
        if (seen.try_emplace(*it, 0).second) kept.push_back(&*it);
    TextList out;
    out.reserve(kept.size());
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        out.push_back(**it);
    return out;
}

template <class T>
std::vector<T> odwracanie(std::vector<T> v) {
    std::reverse(v.begin(), v.end());
    return v;
}

inline TextList usun_wszystkie(const TextList& in, const std::string& x) {
    TextList out;
    out.reserve(in.size());
    for (const auto& e : in)
        if (e != x) out.push_back(e);
    return out;
}

// Every element of `a` is in `b`.
inline bool podzbior_ogolny(const TextList& a, const TextList& b) {
    const TextSet sb = text_set(b);
    for (const auto& e : a)
        if (!sb.contains(e)) return false;
    return true;
}

// Elements of `a` that are not in `b`, in the order of `a`.
inline TextList roznica_zbiorow(const TextList& a, const TextList& b) {
    const TextSet sb = text_set(b);
    TextList out;
    for (const auto& e : a)
        if (!sb.contains(e)) out.push_back(e);
    return out;
}

// Merge sort ascending by the Windows-1250 bytes; on equal heads the element of the
// second half is taken first (so equal texts come out in reverse of their input order).
inline TextList sortuj(const TextList& in) {
    if (in.size() < 2) return in;
    std::vector<std::pair<std::string, const std::string*>> keyed;
    keyed.reserve(in.size());
    for (const auto& e : in)
        keyed.emplace_back(cp1250_sort_key(e), &e);
    std::vector<std::pair<std::string, const std::string*>> tmp(keyed.size());
    // Bottom-up merge with the tie rule above.
    for (size_t width = 1; width < keyed.size(); width *= 2) {
        for (size_t lo = 0; lo < keyed.size(); lo += 2 * width) {
            size_t mid = std::min(lo + width, keyed.size()), hi = std::min(lo + 2 * width, keyed.size());
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                const auto& a = keyed[i].first;
                const auto& b = keyed[j].first;
                bool take_first =
                    std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                    });
                tmp[k++] = take_first ? std::move(keyed[i++]) : std::move(keyed[j++]);
            }
            while (i < mid)
                tmp[k++] = std::move(keyed[i++]);
            while (j < hi)
                tmp[k++] = std::move(keyed[j++]);
        }
        keyed.swap(tmp);
    }
    TextList out;
    out.reserve(in.size());
    for (auto& [k, p] : keyed)
        out.push_back(*p);
    return out;
}

inline bool contains(const TextList& l, const std::string& x) {
    return std::find(l.begin(), l.end(), x) != l.end();
}

}  // namespace zuva
