// Test cases of a knowledge base: one file holds many, each a run (forward, or backward with
// its hypothesis) with its answers and imported rows and what it is expected to give. The
// records are read by the base-file reader, in the syntax of the base files.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "zuva/zuva.h"

namespace zuva::testing {

// An expected CF or value: exact to the printed two decimals, a closed range, or none at all.
struct Expected {
    enum class Kind { Exact, Range, None } kind = Kind::Exact;
    double low = 0.0, high = 0.0;
    bool matches(std::optional<double> got) const;
    std::string text() const;  // as a FAIL line shows it ("CF 0.72", "CF z przedziału [0.5, 0.8]")
};

struct ExpectedItem {
    std::string name;
    Expected expected;
    int line = 0;
};

struct TestCase {
    std::string name;
    std::string file;        // the test-case file, as given
    int line = 0;            // of its `przypadek` record
    std::string rule_base;   // the rule-base file, relative to the test-case file's directory
    std::string rule_path;   // the same as a path to open
    std::string hypothesis;  // empty: forward
    std::vector<std::pair<std::string, std::string>> answers;
    std::vector<api::ImportedRow> imported;
    std::vector<std::string> labels;
    std::vector<ExpectedItem> conclusions, values;
    std::optional<Expected> verdict;
    std::optional<std::vector<std::string>> advice, pictures, sounds;
    std::optional<std::string> refused;  // a part of the message of the refusal
};

// A file or case that cannot be read: FILE:LINE:COLUMN (from 1) and the reason.
struct CaseFileError {
    std::string file;
    int line = 1;
    int column = 1;
    std::string message;
    std::string text() const;
};

struct CaseFile {
    std::string path;
    std::vector<TestCase> cases;
};

// Reads a test-case file (Windows-1250, or UTF-8 as base files are). Fails with the place
// of the first record that cannot be read or makes no sense.
std::optional<CaseFile> read_case_file(const std::string& path, CaseFileError& error);
std::optional<CaseFile> parse_case_text(const std::string& path, const std::string& text,
                                        CaseFileError& error);

// A record of the test-case syntax: the table name with its fields as texts written in quotes
// (lists in brackets); for the writer of recorded cases.
std::string quoted(const std::string& text);

}  // namespace zuva::testing
