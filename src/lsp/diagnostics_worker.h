// The full checks of the bases of a name, on a thread of their own: a change schedules its
// group after a pause in typing (debounce); a newer change of the same group cancels a check
// under way (each group has a generation counter), so only the findings of the latest text
// are published, and the requests of the editor are answered meanwhile.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "lsp/workspace.h"
#include "shell/check.h"

namespace zuva::lsp {

// The key of the group of a base file: its directory and distinguishing name.
std::string group_key(const std::string& path);

class DiagnosticsWorker {
  public:
    using Publish = std::function<void(const Group&, const CheckResult&)>;
    DiagnosticsWorker(const Documents& docs, std::chrono::milliseconds debounce, Publish publish);
    ~DiagnosticsWorker();
    DiagnosticsWorker(const DiagnosticsWorker&) = delete;
    DiagnosticsWorker& operator=(const DiagnosticsWorker&) = delete;

    // The base file at `path` changed: its group is checked after the pause. A check of the
    // older text that has not published yet never will; one publishing now ends first.
    void schedule(const std::string& path);
    // Checks begun and ended without cancellation, and checks cancelled (for the benchmark and tests).
    std::uint64_t finished() const;
    std::uint64_t cancelled() const;

  private:
    struct Pending {
        std::string path;
        std::chrono::steady_clock::time_point due;
    };
    void run();
    void check(const std::string& key, const std::string& path, std::uint64_t generation);

    const Documents& docs_;
    std::chrono::milliseconds debounce_;
    Publish publish_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::map<std::string, Pending> pending_;
    std::map<std::string, std::uint64_t> generation_;
    std::uint64_t finished_ = 0, cancelled_ = 0;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace zuva::lsp
