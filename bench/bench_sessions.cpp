// Memory of idle consultations: 10,000 consultations of the sample base (or of BASE), each
// waiting at its first question (a session over the one loaded base and a thread parked in
// the question), the time to open the base, the time from the start of a consultation to
// its first question, the resident memory per consultation, and the resident memory after
// all are dropped against the memory before. Run by hand: build/bench/bench_sessions [BASE] [COUNT]
// [OPTION...] Options: "parked" (logs kept instead of consultations, and the time to resume
// one), "backward=HYPOTHESIS" (backward consultations instead of forward ones), "one-arena"
// (every thread allocates in the main arena), "maps" (the mappings over 1 MB after each drop), "malloc-info"
// (glibc's account of every arena after each drop, as XML on standard error).
#include <malloc.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "zuva/zuva.h"

namespace {

long rss_kb() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

long settled_rss_kb() {
    malloc_trim(0);
    return rss_kb();
}

// The mappings that hold more than 1 MB resident (with "maps" as the fourth argument): where
// the memory that stays after a drop lies (the main heap, the threads' arenas, stacks).
void print_large_mappings() {
    std::ifstream in("/proc/self/smaps");
    std::string header;
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(':');
        const bool field = colon != std::string::npos && std::isupper(static_cast<unsigned char>(line[0])) &&
                           line.find(' ') > colon;
        if (!field) header = line;
        if (line.rfind("Rss:", 0) == 0) {
            const long kb = std::stol(line.substr(4));
            if (kb > 1024) std::printf("  %8.1f MB  %s\n", kb / 1024.0, header.c_str());
        }
    }
}

double seconds_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

namespace {

// Opens `count` consultations, each to its first question, and drops them; prints the
// resident memory before, with them open and after.
bool round(const zuva::api::KnowledgeBase& kb, int count, bool show_mappings, bool show_arenas,
           const std::string& hypothesis) {
    using zuva::api::Consultation;
    const long before = settled_rss_kb();
    std::printf("resident before:              %8.1f MB\n", before / 1024.0);
    auto t0 = std::chrono::steady_clock::now();
    {
        std::vector<Consultation> idle;
        idle.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            idle.push_back(hypothesis.empty() ? kb.forward() : kb.backward(hypothesis));
            if (!idle.back().next()) {
                std::printf("consultation %d ended without a question\n", i);
                return false;
            }
        }
        const double made = seconds_since(t0);
        const long during = settled_rss_kb();
        std::printf("resident with them open:      %8.1f MB (%.2f s to open, %.2f ms each)\n",
                    during / 1024.0, made, made * 1000.0 / count);
        std::printf("per idle consultation:        %8.1f KB\n", static_cast<double>(during - before) / count);
        t0 = std::chrono::steady_clock::now();
    }
    const double dropped = seconds_since(t0);
    const long after = settled_rss_kb();
    if (show_mappings) print_large_mappings();
    if (show_arenas) malloc_info(0, stderr);
    std::printf("resident after dropping them: %8.1f MB (%.2f s to drop), %+.1f %% of before\n",
                after / 1024.0, dropped,
                100.0 * static_cast<double>(after - before) / static_cast<double>(before));
    return true;
}

// Parked consultations, as zuva serve keeps those whose browser is away: each one's log
// only, taken at its first question. Then the time to resume a log: the whole sample
// consultation (or the longest one the answers allow) from its log.
void parked_round(const zuva::api::KnowledgeBase& kb, int count, const std::string& hypothesis) {
    const long before = settled_rss_kb();
    std::vector<std::string> logs;
    logs.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        zuva::api::Consultation c = hypothesis.empty() ? kb.forward() : kb.backward(hypothesis);
        c.next();
        logs.push_back(c.log().to_json());
    }
    const long during = settled_rss_kb();
    std::printf("%d parked consultations (logs only): %8.1f MB in all, %.2f KB each\n", count,
                (during - before) / 1024.0, static_cast<double>(during - before) / count);
}

void resume_timing(const zuva::api::KnowledgeBase& kb, const std::string& hypothesis) {
    zuva::api::Consultation c = hypothesis.empty() ? kb.forward() : kb.backward(hypothesis);
    // Answers: the first option of a choice, else 1 (every condition asserted).
    while (auto q = c.next()) {
        if (q->kind == zuva::api::QuestionKind::Choice || q->kind == zuva::api::QuestionKind::Radio ||
            q->kind == zuva::api::QuestionKind::List)
            c.choose(1);
        else
            c.answer("1");
    }
    const zuva::api::Log log = c.log();
    constexpr int kRuns = 50;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) {
        zuva::api::Consultation r = kb.resume(log);
        r.next();
    }
    std::printf("resume of a %zu-answer consultation: %.2f ms each (%d runs)\n", log.answers.size(),
                seconds_since(t0) * 1000.0 / kRuns, kRuns);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string base = argc > 1 ? argv[1] : ZUVA_EXAMPLES "/BAZY/REAUTO.BEN";
    const int count = argc > 2 ? std::stoi(argv[2]) : 10000;
    bool one_arena = false;
    bool show_mappings = false;
    bool show_arenas = false;
    std::string hypothesis;
    bool parked = false;
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        parked = parked || option == "parked";
        if (option.rfind("backward=", 0) == 0) hypothesis = option.substr(9);
        one_arena = one_arena || option == "one-arena";
        show_mappings = show_mappings || option == "maps";
        show_arenas = show_arenas || option == "malloc-info";
    }
    // With glibc's defaults the consultations' threads allocate in malloc arenas of their own
    // (up to eight a core), and the freed memory at the top of such an arena is kept for
    // reuse, not given back by malloc_trim: the second round shows that it is reused, not
    // lost. With "one-arena" every thread allocates in the main arena, which gives it back.
    if (one_arena) mallopt(M_ARENA_MAX, 1);
    const long unopened = settled_rss_kb();
    const auto opening = std::chrono::steady_clock::now();
    zuva::api::KnowledgeBase kb = zuva::api::KnowledgeBase::open(base);
    std::printf("open (check and load, once): %.2f s, %+.1f MB resident\n", seconds_since(opening),
                (settled_rss_kb() - unopened) / 1024.0);
    {
        // One consultation first, so that what every later one shares is there before the
        // baseline (the command table, the code pages).
        zuva::api::Consultation warm = kb.forward();
        warm.next();
    }
    std::printf("base %s, %d consultations waiting at their first question, %s\n", base.c_str(), count,
                one_arena ? "one malloc arena" : "glibc defaults");
    if (parked) {
        parked_round(kb, count, hypothesis);
        resume_timing(kb, hypothesis);
        return 0;
    }
    std::printf("-- first round\n");
    if (!round(kb, count, show_mappings, show_arenas, hypothesis)) return 1;
    std::printf("-- second round\n");
    if (!round(kb, count, show_mappings, show_arenas, hypothesis)) return 1;

    // Handles of an open knowledge base share its one loaded base.
    const long kb_before = settled_rss_kb();
    {
        std::vector<zuva::api::KnowledgeBase> copies(static_cast<std::size_t>(count), kb);
        std::printf("per open knowledge-base handle: %6.2f KB (shared)\n",
                    static_cast<double>(settled_rss_kb() - kb_before) / count);
    }
    return 0;
}
