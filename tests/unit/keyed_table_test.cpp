// The keyed table against a plain vector of records under random appends, removals and
// replacements: the first record of each key, table order, compaction, and (with a
// journal) the visible values rebuilt from the journal alone. The paged array of its index by
// statement id against a plain vector likewise.
#include "store/keyed_table.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/paged_array.h"
#include "store/small_ints.h"
#include "store/statement_ids.h"

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

// With `with_ids`, half of the keys get statement ids a third of the way through (records
// of them exist by then), and stores give their id now from the table's ids, now from
// other ids with other numbers, which must not be taken.
template <bool Journal>
void run_random(unsigned seed, bool with_ids = false) {
    std::mt19937 rng(seed);
    KeyedTable<int, Journal> t;
    Ref ref;
    std::map<std::string, int> visible;  // rebuilt from the journal
    std::size_t read = 0;
    auto ids = std::make_shared<StatementIds>();
    StatementIds other;
    for (int k = 11; k >= 0; --k) {
        ids->intern("k" + std::to_string(k));
        other.intern("k" + std::to_string(11 - k));
    }
    for (int step = 0; step < 3000; ++step) {
        if (with_ids && step == 1000) t.use_ids(ids);
        const std::string key = "k" + std::to_string(rng() % 23);
        const int value = static_cast<int>(rng() % 1000);
        switch (rng() % 4) {
            case 0:
                t.append(key, value);
                ref.rows.push_back({key, value});
                break;
            case 1:
                ASSERT_EQ(t.remove_first(key), ref.remove_first(key));
                break;
            case 2:
                t.store(key, value);
                ref.remove_first(key);
                ref.rows.push_back({key, value});
                break;
            default:
                if (rng() % 2)
                    t.store(key, value, {ids.get(), ids->id_of(key)});
                else
                    t.store(key, value, {&other, other.id_of(key) >= 0 ? other.id_of(key) : 3});
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
                    ASSERT_EQ(t.value_of_row(static_cast<std::size_t>(t.slot_of(name))), *w);
                } else {
                    ASSERT_EQ(t.slot_of(name), -1);
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

TEST(KeyedTable, KeysIndexedByStatementIdsBehaveAsKeysIndexedByText) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        run_random<false>(seed, true);
        run_random<true>(seed, true);
    }
}

TEST(KeyedTable, StatementIdsKeepTheirTextsAndIgnoreForeignIds) {
    auto ids = std::make_shared<StatementIds>();
    {
        std::string a = "alfa", b(40, 'b');
        EXPECT_EQ(ids->intern(a), 0);
        EXPECT_EQ(ids->intern(b), 1);
        EXPECT_EQ(ids->intern(a), 0);
    }  // the texts interned outlive the strings they came from
    EXPECT_EQ(ids->text(1), std::string(40, 'b'));
    EXPECT_EQ(ids->id_of(std::string(40, 'b')), 1);
    EXPECT_EQ(ids->id_of("gamma"), -1);
    KeyedTable<double, true> t;
    t.store("gamma", 0.5);  // a key without an id before and after the ids are in use
    t.store("alfa", 0.1);
    t.use_ids(ids);
    StatementIds foreign;
    foreign.intern("x");
    t.store("gamma", 0.7, {&foreign, 0});
    t.store(std::string(40, 'b'), 0.9, {ids.get(), 1});
    t.store("alfa", 0.2, {&foreign, 0});
    EXPECT_EQ(*t.find("gamma"), 0.7);
    EXPECT_EQ(*t.find("alfa"), 0.2);
    EXPECT_EQ(*t.find(std::string(40, 'b')), 0.9);
    EXPECT_EQ(t.count(), 3u);
    EXPECT_TRUE(t.remove_first("alfa"));
    EXPECT_FALSE(t.contains("alfa"));
    t.clear();
    t.store("alfa", 1.0);
    EXPECT_EQ(*t.find("alfa"), 1.0);
}

TEST(KeyedTable, StatementIdsKeepManyTextsOfEverySizeAcrossTheirBlocks) {
    // Texts fill blocks of characters; an empty one, one larger than a block and many
    // small ones after it must all read back as they were given.
    StatementIds ids;
    std::vector<std::string> given = {"", std::string(70000, 'x'), "a"};
    for (int i = 0; i < 30000; ++i)
        given.push_back("w" + std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), 'q'));
    given.push_back(std::string(65536, 'y'));
    for (std::size_t i = 0; i < given.size(); ++i)
        ASSERT_EQ(ids.intern(given[i]), static_cast<std::int32_t>(i));
    for (std::size_t i = 0; i < given.size(); ++i) {
        ASSERT_EQ(ids.text(static_cast<std::int32_t>(i)), given[i]);
        ASSERT_EQ(ids.id_of(given[i]), static_cast<std::int32_t>(i));
    }
    EXPECT_EQ(ids.intern(std::string(70000, 'x')), 1);
    EXPECT_EQ(ids.size(), given.size());
}

TEST(KeyedTable, ForgottenJournalKeepsItsNumberingUntilClear) {
    KeyedTable<double, true> t;
    t.store("a", 0.1);
    t.store("b", 0.2);
    ASSERT_EQ(t.journal_size(), 2u);
    t.forget_journal();
    // The count goes on (it tells a reader that something changed); new entries read
    // from where the forgotten ones ended.
    EXPECT_EQ(t.journal_first(), 2u);
    EXPECT_EQ(t.journal_size(), 2u);
    t.store("a", 0.3);
    ASSERT_EQ(t.journal_size(), 3u);
    EXPECT_EQ(t.key_of_row(t.journal_at(2).row), "a");
    EXPECT_EQ(*t.find("a"), 0.3);
    t.clear();
    EXPECT_EQ(t.journal_first(), 0u);
    EXPECT_EQ(t.journal_size(), 0u);
}

TEST(SmallInts, BehavesAsAVectorInPlaceAndOnTheHeap) {
    std::mt19937 rng(7);
    SmallInts s;
    std::vector<std::int32_t> v;
    for (int step = 0; step < 5000; ++step) {
        const int op = static_cast<int>(rng() % 10);
        if (op < 6) {
            const auto x = static_cast<std::int32_t>(rng() % 1000);
            s.push_back(x);
            v.push_back(x);
        } else if (op == 6 && !v.empty()) {
            const auto at = rng() % v.size();
            s.erase(s.begin() + at);
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(at));
        } else if (op == 7 && rng() % 20 == 0) {
            s.clear();
            v.clear();
        } else if (op == 8) {
            SmallInts copy = s;  // a copy is independent of its source
            SmallInts moved = std::move(copy);
            ASSERT_TRUE(moved == v);
            moved.push_back(-1);
            ASSERT_TRUE(s == v);
            s = moved;
            s.erase(s.end() - 1);
        } else {
            s.reserve(v.size() + rng() % 4);
        }
        ASSERT_EQ(s.size(), v.size());
        ASSERT_TRUE(s == v);
        if (!v.empty()) {
            ASSERT_EQ(s.front(), v.front());
            ASSERT_EQ(s.back(), v.back());
        }
    }
    SmallInts two{4, 5}, three{4, 5, 6};
    SmallInts swapped = std::move(three);
    three = std::move(two);  // a moved-from list can be given new contents
    EXPECT_TRUE(three == (std::vector<std::int32_t>{4, 5}));
    EXPECT_TRUE(swapped == (std::vector<std::int32_t>{4, 5, 6}));
    EXPECT_TRUE(two.empty());
}

namespace zuva {
namespace {

// The paged array against a plain vector under the same random writes, growth, resets and
// copies: every entry reads the same, and entries never written hold no page.
TEST(PagedArray, ReadsAsAVectorOfTheSameWrites) {
    std::mt19937 random(7);
    for (const std::size_t n :
         {std::size_t{0}, std::size_t{5}, std::size_t{64}, std::size_t{5000}, std::size_t{200000}}) {
        PagedArray<int> paged(n, -1);
        std::vector<int> plain(n, -1);
        for (int step = 0; step < 3000; ++step) {
            const std::size_t at = random() % (n + 1500);
            const int value = static_cast<int>(random() % 100);
            switch (random() % 20) {
                case 0:
                    paged.reset();
                    std::fill(plain.begin(), plain.end(), -1);
                    break;
                case 1: {
                    const PagedArray<int> copy = paged;  // a copy is independent of its source
                    paged.mut(0) = 99;
                    paged = copy;
                    break;
                }
                default:
                    paged.mut(at) = value;
                    if (at >= plain.size()) plain.resize(at + 1, -1);
                    plain[at] = value;
            }
            ASSERT_EQ(paged.size(), plain.size());
        }
        for (std::size_t i = 0; i < plain.size(); ++i) {
            ASSERT_EQ(paged[i], plain[i]) << n << " at " << i;
            const int* stored = paged.find(i);
            if (stored) EXPECT_EQ(*stored, plain[i]);
        }
        EXPECT_EQ(paged.find(plain.size()), nullptr);
    }
    // Untouched pages are not made: a write far in touches one page.
    PagedArray<int> sparse(1 << 20, 0);
    sparse.mut(900000) = 1;
    EXPECT_EQ(sparse.find(5), nullptr);
    EXPECT_EQ(sparse[5], 0);
    EXPECT_NE(sparse.find(900001), nullptr);
}

}  // namespace
}  // namespace zuva
