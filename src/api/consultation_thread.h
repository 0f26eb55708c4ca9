// The thread a live consultation runs on, with a stack of its own that goes back to the
// system whole when the thread is joined, and the hand-back of its malloc arena's free top.
#pragma once
#include <pthread.h>

#include <cstddef>

namespace zuva::api {

// A joinable thread on a stack mapped here. The C library keeps the stacks it allocates
// itself in a cache (tens of megabytes, with their control blocks and thread-local storage
// resident) after the threads end; a stack given by the caller is never cached, so after
// `join` nothing of the thread is left.
class ConsultationThread {
  public:
    ConsultationThread() = default;
    ConsultationThread(const ConsultationThread&) = delete;
    ConsultationThread& operator=(const ConsultationThread&) = delete;
    ~ConsultationThread() { join(); }

    // Starts `main(arg)` on a stack of `stack_size` bytes (below it one inaccessible page that
    // stops an overflow); throws Error when the stack or the thread cannot be had.
    void start(void* (*main)(void*), void* arg, std::size_t stack_size);
    // Waits for the thread to end and unmaps its stack; nothing when it never started.
    void join();
    bool started() const { return started_; }

  private:
    pthread_t thread_{};
    bool started_ = false;
    void* mapping_ = nullptr;
    std::size_t mapped_ = 0;
};

// Makes the C library give back the free top of the malloc arena a consultation's thread
// allocated in. A thread's arena gives back its free top only when a large chunk is freed
// into it; the last frees of a consultation are small ones (its strings, the thread's cache
// of small chunks at its end), and `malloc_trim` gives back only the main arena's top. So the
// consultation's thread takes one large block before anything else, and the block is freed
// into that arena after everything else of the consultation, wherever that happens: the arena
// is then consolidated and its free top returned to the system, all but the 128 KB the C
// library keeps above the lowest chunk in use. The block's pages are never touched, so where
// it lies lowest in an arena that kept part is mostly pages that were never resident. (Taken
// at the end of the run instead, the block lies above the data, and every arena keeps 128 KB
// of the consultations' touched pages.)
class ArenaRelease {
  public:
    ArenaRelease() = default;
    ArenaRelease(const ArenaRelease&) = delete;
    ArenaRelease& operator=(const ArenaRelease&) = delete;
    ~ArenaRelease();

    // On the consultation's thread, before it allocates anything else.
    void take();

  private:
    void* block_ = nullptr;
};

}  // namespace zuva::api
