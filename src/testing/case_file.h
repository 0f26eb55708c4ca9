// Test cases of a knowledge base: one file holds many, each a run (forward, or backward with
// its hypothesis) with its answers and imported rows and what it is expected to give. The
// records are read by the base-file reader, in the syntax of the base files.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "zuva/zuva.h"

namespace zuva::testing {

// A CF as a case compares and shows it: rounded to two decimals as the program rounds every
// CF it computes (halves upward), written with both decimals ("0.60", "-0.12").
std::string cf_text(double cf);

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

// A name a record of a case gives, where it stands, and what the base must know it as.
struct NameUse {
    enum class Kind { Answer, Fact, Argument, Conclusion, Value, Hypothesis } kind = Kind::Answer;
    std::string name;
    std::string value;  // of an answer
    int line = 0;
    int column = 1;
};

struct TestCase {
    std::string name;
    std::string file;       // the test-case file, as given
    int line = 0;           // of its `przypadek` record
    std::string rule_base;  // the rule-base file, relative to the test-case file's directory
    std::string rule_path;  // the same as a path to open
    int base_line = 0;      // of the `baza` record that names it
    int base_column = 1;
    std::string hypothesis;  // empty: forward
    std::vector<std::pair<std::string, std::string>> answers;
    std::vector<api::ImportedRow> imported;
    std::vector<std::string> labels;
    std::vector<ExpectedItem> conclusions, values;
    std::optional<Expected> verdict;
    std::optional<std::vector<std::string>> advice, pictures, sounds;
    std::optional<std::string> refused;  // a part of the message of the refusal
    // Every name the case's records give (its answers, shared ones included, its imported
    // rows, its expectations), for the check against the base before the case runs.
    std::vector<NameUse> names;
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
