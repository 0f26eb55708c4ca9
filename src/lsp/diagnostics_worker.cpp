// One thread takes the group whose pause ended first; the check is the one `zuva check`
// runs, reading the editor's buffers in place of their files.
#include "lsp/diagnostics_worker.h"

#include "kb/base_files.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva::lsp {

std::string group_key(const std::string& path) {
    return directory_of(path) + "/" + to_lower_pl(split_distinguishing_name(short_name_of(path)).first);
}

DiagnosticsWorker::DiagnosticsWorker(const Documents& docs, std::chrono::milliseconds debounce,
                                     Publish publish)
    : docs_(docs), debounce_(debounce), publish_(std::move(publish)), thread_([this] { run(); }) {}

DiagnosticsWorker::~DiagnosticsWorker() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        // A check under way sees its generation move on and ends early.
        for (auto& [key, g] : generation_)
            ++g;
    }
    wake_.notify_all();
    thread_.join();
}

void DiagnosticsWorker::schedule(const std::string& path) {
    const std::string key = group_key(path);
    {
        std::lock_guard lock(mutex_);
        ++generation_[key];
        pending_[key] = {path, std::chrono::steady_clock::now() + debounce_};
    }
    wake_.notify_all();
}

std::uint64_t DiagnosticsWorker::finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

std::uint64_t DiagnosticsWorker::cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void DiagnosticsWorker::run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (pending_.empty()) {
            wake_.wait(lock);
            continue;
        }
        auto first = pending_.begin();
        for (auto it = pending_.begin(); it != pending_.end(); ++it)
            if (it->second.due < first->second.due) first = it;
        if (std::chrono::steady_clock::now() < first->second.due) {
            wake_.wait_until(lock, first->second.due);
            continue;
        }
        const std::string key = first->first;
        const std::string path = first->second.path;
        pending_.erase(first);
        const std::uint64_t generation = generation_[key];
        lock.unlock();
        check(key, path, generation);
        lock.lock();
    }
}

void DiagnosticsWorker::check(const std::string& key, const std::string& path, std::uint64_t generation) {
    auto stale = [&] {
        std::lock_guard lock(mutex_);
        return generation_[key] != generation;
    };
    Group g = docs_.group_of(path);
    CheckResult r;
    if (!g.rule_path.empty()) {
        CheckOptions o;
        o.texts = docs_.texts();
        o.cancelled = stale;
        r = check_knowledge_base(g.rule_path, o);
    } else {
        // Without a rule base of the name only the reader checks each base.
        for (const auto& f : g.files)
            if (auto e = syntax_finding(f.kind, f.text, f.path)) r.findings.push_back(std::move(*e));
    }
    // The generation is compared and the findings published under one lock: a change that
    // lands meanwhile waits in schedule() and so publishes its own diagnostics after these.
    std::lock_guard lock(mutex_);
    if (r.cancelled || generation_[key] != generation) {
        ++cancelled_;
        return;
    }
    publish_(g, r);
    ++finished_;
}

}  // namespace zuva::lsp
