// The knowledge bases a server offers: every rule base (RE*.BEN) found under the served
// folder, with the bases of its distinguishing name beside it, opened once at start.
#pragma once
#include <string>
#include <vector>

#include "zuva/zuva.h"

namespace zuva::web {

struct BaseEntry {
    std::string id;                       // the rule base's path under the folder, '/' between names
    std::string name;                     // the distinguishing name, lower case ("auto")
    std::string description;              // the text of its description file, when there is one
    std::vector<std::string> hypotheses;  // candidates of backward inference, narrow first
    std::vector<std::string> files;       // every base of the group, the rule base first
    api::KnowledgeBase kb;
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
