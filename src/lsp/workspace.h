// The documents an editor holds open, and the bases of one distinguishing name they belong
// to: the rule base and the model, constraint, advice, graphics and sound bases beside it,
// each from the editor's buffer when it is open, else from its file.
#pragma once
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "store/knowledge_base.h"

namespace zuva::lsp {

// "file:///home/x/B%C4%85/REAUTO.BEN" and back; nullopt for another scheme.
std::optional<std::string> path_of_uri(const std::string& uri);
std::string uri_of_path(const std::string& path);
// A test-case file of `zuva test` (*.TST, in any case).
bool is_case_file(const std::string& path);
// The kind of a base file by its name (prefix and ".BEN", in any case), or nullopt.
std::optional<BaseKind> kind_of_file(const std::string& path);
// The kinds of base file a group may hold, the rule base first.
inline constexpr BaseKind kBaseFileKinds[] = {
    BaseKind::Rules,  BaseKind::Models,   BaseKind::ExactConstraints, BaseKind::UncertainConstraints,
    BaseKind::Advice, BaseKind::Graphics, BaseKind::Sounds,           BaseKind::Texts};

// The text of a base file on disk (Windows-1250 or UTF-8), or nullopt for a file that is not
// a regular file (a device would never end), too large, or not text.
std::optional<std::string> read_base_text(const std::string& path);

struct Document {
    std::string uri;
    std::string path;  // absolute, normalised
    std::string text;  // UTF-8
    int version = 0;
};

struct GroupFile {
    BaseKind kind;
    std::string path;
    std::string text;
    bool open = false;  // from an editor's buffer
};

// The bases of one distinguishing name in one directory.
struct Group {
    std::string key;        // the rule base's path, or DIR/NAME when there is none
    std::string rule_path;  // empty when there is no rule base of the name
    std::string wyroznik;
    std::vector<GroupFile> files;  // the rule base first, then in menu order
};

class Documents {
  public:
    void open(Document d);
    // False when the document is not open.
    bool update(const std::string& path, const std::string& text, int version);
    void close(const std::string& path);
    std::optional<Document> get(const std::string& path) const;
    std::optional<Document> by_uri(const std::string& uri) const;
    // The texts of every open base file, by path.
    std::map<std::string, std::string> texts() const;
    // The group of the base file at `path`: each base from its buffer, else read from disk.
    Group group_of(const std::string& path) const;

  private:
    mutable std::mutex mutex_;
    std::map<std::string, Document> docs_;
};

}  // namespace zuva::lsp
