#include "api/consultation_thread.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/i18n.h"
#include "zuva/zuva.h"

namespace zuva::api {

namespace {

// Large enough that freeing it makes the arena consolidate and trim (the C library does that
// for a freed chunk of 64 KB or more), small enough to come from the arena rather than from a
// mapping of its own (128 KB and over by default). Only its header is ever written.
constexpr std::size_t kReleaseBlock = 120u << 10;

}  // namespace

void ConsultationThread::start(void* (*main)(void*), void* arg, std::size_t stack_size) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    stack_size = (stack_size + page - 1) / page * page;
    const std::size_t total = stack_size + page;
    void* m = mmap(nullptr, total, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
    if (m == MAP_FAILED)
        throw Error(std::string(tr("Nie można przydzielić stosu wątku konsultacji: ")) +
                    std::strerror(errno) + ".");
    // The lowest page is the guard: the stack grows down towards it.
    if (mprotect(m, page, PROT_NONE) != 0) {
        const int e = errno;
        munmap(m, total);
        throw Error(std::string(tr("Nie można przydzielić stosu wątku konsultacji: ")) + std::strerror(e) +
                    ".");
    }
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstack(&attr, static_cast<char*>(m) + page, stack_size);
    const int rc = pthread_create(&thread_, &attr, main, arg);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        munmap(m, total);
        throw Error(std::string(tr("Nie można uruchomić wątku konsultacji: ")) + std::strerror(rc) + ".");
    }
    mapping_ = m;
    mapped_ = total;
    started_ = true;
}

void ConsultationThread::join() {
    if (!started_) return;
    pthread_join(thread_, nullptr);
    started_ = false;
    munmap(mapping_, mapped_);
    mapping_ = nullptr;
    mapped_ = 0;
}

void ArenaRelease::take() {
    if (block_ == nullptr) block_ = std::malloc(kReleaseBlock);
}

ArenaRelease::~ArenaRelease() {
    std::free(block_);
}

}  // namespace zuva::api
