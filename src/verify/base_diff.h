// Two versions of a knowledge base compared by meaning, not by line: rules, models and
// constraints by their numbers (a rule's conditions and a constraint's members as sets, CFs
// as numbers), a record renumbered but otherwise equal as moved, the other records as a set;
// comments are left out. Also a base file as UTF-8 text, one record a line.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "store/knowledge_base.h"
#include "store/values.h"

namespace zuva {

struct BaseRecord {
    std::string table;
    std::vector<Value> fields;
    int line = 0;
};

// One base file as read: its kind (from its name's prefix), its path and its records.
struct BaseFileRecords {
    BaseKind kind = BaseKind::Rules;
    std::string path;
    std::vector<BaseRecord> records;
};

// Where a file could not be read: the file, its line and column (from 1) and why.
struct BaseReadFailure {
    std::string file;
    int line = 0;
    int column = 0;
    std::string message;
};

// The kind of a base file by the prefix of its name (RE, MO, OG, ON, RA, GR, DŹ; any case).
std::optional<BaseKind> base_kind_of(const std::string& path);
// Reads the records of a base file (Windows-1250 or UTF-8), comments left out.
std::optional<BaseReadFailure> read_base_records(const std::string& path, BaseKind kind,
                                                 BaseFileRecords& out);
// The base files of a knowledge base named by `path`: a rule base and the bases of its
// distinguishing name beside it, a base of another kind alone, or for a folder the bases of
// its (first) rule base. Kinds in their order; empty when nothing is found.
std::vector<std::pair<BaseKind, std::string>> knowledge_base_files(const std::string& path);

// A record as a line of a base file (UTF-8): reguła(1,"a",["b","c"],1,"0.8").
std::string record_text(const BaseRecord& r);

struct BaseChange {
    enum class Type { Added, Removed, Changed, Moved };
    Type type = Type::Changed;
    BaseKind kind = BaseKind::Rules;
    std::string table;                 // the table of the record (reguła, model, ograniczenie, fakt, ...)
    std::string key;                   // the record's number ("12"), or its text for records without one
    std::string new_key;               // a moved record's new number
    std::vector<std::string> details;  // what changed, one item each (Polish)
    std::string old_text, new_text;    // the records as lines
    int old_line = 0, new_line = 0;
};

// The changes from `before` to `after` (files of one kind), in the order of the records.
std::vector<BaseChange> diff_base_files(const BaseFileRecords& before, const BaseFileRecords& after);

}  // namespace zuva
