// Where each condition and argument of the bases of one name is written: concluded by a
// rule, computed by a model, declared (a fact, a known or askable argument) or used (a
// condition of a rule, an argument of a model, a member of a constraint). Built from the
// records the reader reads, placed on the quoted names of their lines; with the outline of
// each base (rules, models, constraints, facts).
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lsp/workspace.h"

namespace zuva::lsp {

// Labelled: the texts base gives the name the text a person reads.
enum class Role { Concluded, Computed, Declared, Used, Labelled };

struct Occurrence {
    std::string path;
    int line = 0;           // from 0
    std::size_t start = 0;  // byte offsets in the line, of the name inside its quotes
    std::size_t end = 0;
    Role role = Role::Used;
    std::string table;  // the record's table: "reguła", "model_r", "fakt", ...
    long number = 0;    // the record's number (rules, models, constraints), else 0
};

struct Outline {
    std::string path;
    int line = 0;
    std::string name;    // "Reguła 5: wniosek", "Model 3: wynik", "Ograniczenie 1"
    std::string detail;  // the table
    int kind = 0;        // the protocol's symbol kind
};

class KnowledgeIndex {
  public:
    explicit KnowledgeIndex(const Group& g);

    // The name whose quoted text holds the byte `column` of the line, or nullopt.
    std::optional<std::string> name_at(const std::string& path, int line, std::size_t column) const;
    const std::vector<Occurrence>* occurrences(const std::string& name) const;
    bool known(const std::string& name) const { return names_.count(name) > 0; }
    const std::map<std::string, std::vector<Occurrence>>& names() const { return names_; }
    std::vector<Outline> outline(const std::string& path) const;
    // The hover text of a name (Markdown, Polish): where its CF or value comes from, where it is used.
    std::string describe(const std::string& name) const;

  private:
    std::map<std::string, std::vector<Occurrence>> names_;
    std::vector<Outline> outline_;
    std::vector<std::string> short_names_;  // of the files, for the hover text
    std::map<std::string, std::string> file_names_;
    std::map<std::string, std::string> texts_;  // the Polish display text of each name
};

}  // namespace zuva::lsp
