// What dropped consultations leave in the process: the memory their threads allocated and
// their stacks go back to the system, not only to the allocator's free lists, so a process
// that had many consultations open comes back to about what it held before them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "zuva/zuva.h"

namespace zuva {
namespace {

const std::string kRuleFile = std::string(ZUVA_TEST_DATA) + "/../../examples/BAZY/REAUTO.BEN";

#ifdef __GLIBC__

long resident_kb() {
    malloc_trim(0);
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// The memory each malloc arena holds from the system (glibc's own account); the main arena
// first.
std::vector<long> arena_sizes() {
    char* text = nullptr;
    std::size_t size = 0;
    FILE* f = open_memstream(&text, &size);
    malloc_info(0, f);
    std::fclose(f);
    const std::string xml(text, size);
    std::free(text);
    std::vector<long> sizes;
    const std::string heap = "<heap nr=", current = "<system type=\"current\" size=\"";
    for (std::size_t at = xml.find(heap); at != std::string::npos; at = xml.find(heap, at + 1)) {
        const std::size_t c = xml.find(current, at);
        if (c == std::string::npos) break;
        sizes.push_back(std::stol(xml.substr(c + current.size())));
    }
    return sizes;
}

// Opens `count` consultations, each waiting at its first question (so each has a thread
// parked in its dialog, its session and its run's tables), and returns the resident memory
// with them all open.
long open_and_drop(const api::KnowledgeBase& kb, int count) {
    std::vector<api::Consultation> live;
    for (int i = 0; i < count; ++i) {
        live.push_back(i % 2 ? kb.forward() : kb.backward("naladuj_lub_wymien_akumulator"));
        EXPECT_TRUE(live.back().next());
    }
    return resident_kb();
}

TEST(DroppedConsultationMemory, GoesBackToTheSystem) {
#if defined(ZUVA_SANITIZED_BUILD) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' allocator keeps freed memory in quarantine on purpose";
#endif
    const api::KnowledgeBase kb = api::KnowledgeBase::open(kRuleFile);
    open_and_drop(kb, 1);  // what every later consultation shares: the command table, code pages
    const long before = resident_kb();
    const long open = open_and_drop(kb, 1000);
    const long after = resident_kb();
    ASSERT_GT(open - before, 1000 * 40) << "1000 open consultations should take some memory";
    // Left behind: each thread arena's bookkeeping and the part of its top the C library keeps
    // (128 KB, mostly never touched), not a share of the consultations' memory.
    EXPECT_LT(after - before, (open - before) / 20)
        << "before " << before << " KB, open " << open << " KB, after " << after << " KB";
    // Every thread arena gave its free top back: none holds more than its bookkeeping and the
    // top it keeps (about 132 KB), whatever it held with the consultations open (about 1 MB
    // each here, with 1,000 consultations over 16 arenas).
    const std::vector<long> arenas = arena_sizes();
    ASSERT_GE(arenas.size(), 2u) << "the consultations' threads allocate in arenas of their own";
    for (std::size_t i = 1; i < arenas.size(); ++i)
        EXPECT_LE(arenas[i], 512 * 1024) << "arena " << i;
    // A second round ends where the first did.
    open_and_drop(kb, 1000);
    EXPECT_LT(resident_kb() - after, (open - before) / 50);
}

#endif

}  // namespace
}  // namespace zuva
