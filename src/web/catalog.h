// The knowledge bases a server offers: every rule base (RE*.BEN) found under the served
// folder, with the bases of its distinguishing name beside it, opened once at start.
#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zuva/zuva.h"

namespace zuva::web {

// A loaded base that follows its files: a new consultation gets the base as loaded last, and
// when its files changed since (their times of modification and sizes, a few stat calls a
// start) it is opened again first. A consultation keeps the base it started on. When the
// changed files do not load, starts fail with the reason, and the load is not tried again
// until the files change again (a flood of starts cannot make the server load in a loop).
// Safe on any threads.
class LiveBase {
  public:
    explicit LiveBase(api::KnowledgeBase kb) : kb_(std::move(kb)) {}
    // Throws api::Error when the changed files do not load.
    api::KnowledgeBase current();

  private:
    std::mutex mutex_;
    api::KnowledgeBase kb_;
    std::string failed_state_;  // the files' state that last failed to load, and why
    std::string failed_reason_;
};

struct BaseEntry {
    std::string id;                       // the rule base's path under the folder, '/' between names
    std::string name;                     // the distinguishing name, lower case ("auto")
    std::string description;              // the text of its description file, when there is one
    std::vector<std::string> hypotheses;  // candidates of backward inference, narrow first
    std::vector<std::string> files;       // every base of the group, the rule base first
    api::KnowledgeBase kb;                // as opened at start
    std::shared_ptr<LiveBase> live;       // the base for a new consultation
};

class Catalog {
  public:
    // Scans `root` (not following links out of it); a group that cannot be offered is left
    // out, with the reason in `skipped`.
    static Catalog scan(const std::string& root, std::vector<std::string>& skipped);

    const std::vector<BaseEntry>& bases() const { return bases_; }
    const BaseEntry* find(const std::string& id) const;
    const std::string& root() const { return root_; }
    // Whether `path` exists and its real path (links followed) lies under the folder.
    bool inside(const std::string& path) const;

  private:
    std::string root_;  // the real path of the folder, with a trailing '/'
    std::vector<BaseEntry> bases_;
};

}  // namespace zuva::web
