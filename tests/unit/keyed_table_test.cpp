// The keyed table against a plain vector of records under random appends, removals and
// replacements: the first record of each key, table order, compaction, and (with a
// journal) the visible values rebuilt from the journal alone.
#include "store/keyed_table.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

using namespace zuva;

namespace {

struct Ref {
    std::vector<std::pair<std::string, int>> rows;
    const int* find(const std::string& k) const {
        for (const auto& r : rows)
            if (r.first == k) return &r.second;
        return nullptr;
    }
    bool remove_first(const std::string& k) {
        for (auto it = rows.begin(); it != rows.end(); ++it)
            if (it->first == k) {
                rows.erase(it);
                return true;
            }
        return false;
    }
};

template <bool Journal>
void run_random(unsigned seed) {
    std::mt19937 rng(seed);
    KeyedTable<int, Journal> t;
    Ref ref;
    std::map<std::string, int> visible;  // rebuilt from the journal
    std::size_t read = 0;
    for (int step = 0; step < 3000; ++step) {
        const std::string key = "k" + std::to_string(rng() % 23);
        const int value = static_cast<int>(rng() % 1000);
        switch (rng() % 3) {
            case 0:
                t.append(key, value);
                ref.rows.push_back({key, value});
                break;
            case 1:
                ASSERT_EQ(t.remove_first(key), ref.remove_first(key));
                break;
            default:
                t.store(key, value);
                ref.remove_first(key);
                ref.rows.push_back({key, value});
        }
        const int* got = t.find(key);
        const int* want = ref.find(key);
        ASSERT_EQ(got == nullptr, want == nullptr) << "step " << step;
        if (got) {
            ASSERT_EQ(*got, *want) << "step " << step;
        }
        ASSERT_EQ(t.count(), ref.rows.size());
        if constexpr (Journal) {
            for (; read < t.journal_size(); ++read) {
                const auto& c = t.journal_at(read);
                if (c.gone)
                    visible.erase(t.key_of_row(c.row));
                else
                    visible[t.key_of_row(c.row)] = t.value_of_row(c.row);
            }
            for (int k = 0; k < 23; ++k) {
                const std::string name = "k" + std::to_string(k);
                const int* w = ref.find(name);
                auto it = visible.find(name);
                ASSERT_EQ(it == visible.end(), w == nullptr) << name << " at step " << step;
                if (w) {
                    ASSERT_EQ(it->second, *w);
                }
            }
        }
    }
    auto rows = t.rows();
    ASSERT_EQ(rows.size(), ref.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].key, ref.rows[i].first);
        EXPECT_EQ(rows[i].value, ref.rows[i].second);
    }
}

}  // namespace

TEST(KeyedTable, AgreesWithAPlainTableUnderRandomChanges) {
    for (unsigned seed = 1; seed <= 5; ++seed)
        run_random<false>(seed);
}

TEST(KeyedTable, JournalReplaysToTheVisibleValues) {
    for (unsigned seed = 1; seed <= 5; ++seed)
        run_random<true>(seed);
}
