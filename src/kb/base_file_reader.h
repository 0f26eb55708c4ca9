// The reader of base files and report files: one record per line in the term syntax,
// each line appended to the tables of the kind's group, with positioned errors.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/knowledge_base.h"

namespace zuva {

struct Session;

// Error codes of the reader. 1401-1409, 1031 and 1047 are positioned syntax errors.
enum : int {
    kErrInteger = 1401,
    kErrReal = 1402,
    kErrText = 1403,
    kErrListStart = 1405,
    kErrListElement = 1406,
    kErrTableName = 1407,
    kErrOpenParen = 1408,
    kErrFieldEnd = 1409,
    kErrIntRange = 1031,
    kErrTrailing = 1047,
    kErrCannotOpen = 1,  // the file could not be opened or read
    kErrEncoding = 2,    // bytes that are not Windows-1250 text
};

struct ReadError {
    int code = 0;
    int line_number = 0;    // from 1
    std::string line_text;  // UTF-8
    int position = 0;       // column in characters, from 0
    std::string detail;     // for kErrCannotOpen and kErrEncoding
};

// Short Polish description of an error code.
std::string read_error_message(int code);

// The number of fields of a table of the kind, or nullopt when the kind has no such table.
std::optional<std::size_t> field_count(BaseKind kind, std::string_view table);
// A syntax error as a checking tool tells the author of the file: a record with too few or
// too many fields says how many its table has and how many were given, an unknown table name
// offers the nearest of `tables`; any other error is read_error_message's.
using FieldCount = std::function<std::optional<std::size_t>(std::string_view table)>;
std::string syntax_error_text(const ReadError& e, const FieldCount& fields_of,
                              const std::vector<std::string>& tables);

// Parses the text (UTF-8) of a base file of the kind into the store, appending records in
// file order. Records before a failing line stay appended.
std::optional<ReadError> parse_base_text(KnowledgeBase& kb, BaseKind kind, std::string_view text);
std::optional<ReadError> parse_report_text(ReportGroup& group, std::string_view text);

// Records of tables the caller names, in the same syntax: each record is handed over with
// its table name, its fields (typed as the table says) and its line number from 1, in file
// order. Used for files of the program's own that are not bases (test cases).
struct RecordTable {
    std::string name;
    std::vector<FieldType> types;
};
using RecordSink = std::function<void(std::string_view table, std::vector<Value>&& fields, int line)>;
std::optional<ReadError> parse_records(std::string_view text, const std::vector<RecordTable>& tables,
                                       const RecordSink& sink);

// The records of a base of the kind as the reader reads them, each handed to the sink with
// its table name (comments `rem_...` and switched-off `_...` records included) instead of
// being stored: for tools that need the records with their lines (an editor's index).
std::optional<ReadError> parse_base_records(BaseKind kind, std::string_view text, const RecordSink& sink);

// The names of the tables a base of the kind may hold, comments `rem_...` included, sorted.
std::vector<std::string> table_names(BaseKind kind);

// Reads the file (Windows-1250, or UTF-8 when it is valid UTF-8 with a multi-byte sequence).
std::optional<ReadError> read_base_file(Session& s, BaseKind kind, const std::string& full_path);
std::optional<ReadError> read_report_file(const std::string& full_path, ReportGroup& group);

}  // namespace zuva
