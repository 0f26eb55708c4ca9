// `zuva check`: the load-time tests and the diagnoses of knowledge bases run without
// dialogs, every question answered as a user who wants all checks would; the findings in
// the form compilers use, or as JSON.
#pragma once
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "store/knowledge_base.h"

namespace zuva {

struct Finding {
    std::string file;  // the base file the finding belongs to
    int line = 1;      // from 1; the line of the record at fault when there is one
    int column = 1;    // from 1
    bool error = false;
    std::string kind;     // short ASCII name of the test or diagnosis that found it
    std::string message;  // the system's Polish text, on one line
};

struct CheckOptions {
    bool json = false;
    bool diagnoses = true;
    bool anomalies = true;
    bool warnings_as_errors = false;
    // Kinds of findings switched off, and switched down to warnings (which
    // `warnings_as_errors` then leaves as warnings).
    std::set<std::string> disabled, warned;
    // Kinds of findings that are off unless switched on (kOffByDefault).
    std::set<std::string> enabled;
    // Texts of base files as an editor holds them (UTF-8), by absolute, normalised path:
    // read in place of the files, and found as bases of the name even before they are saved.
    std::map<std::string, std::string> texts;
    // Asked between the steps of a check; true ends the check early (its result is then
    // incomplete and marked so).
    std::function<bool()> cancelled;
};

struct CheckResult {
    std::string rule_file;           // as given
    std::vector<std::string> files;  // every base checked, the rule base first
    std::vector<Finding> findings;
    bool unreadable = false;  // the rule base could not be read at all
    bool cancelled = false;   // ended early on request; the findings are incomplete
    int errors() const;
    int warnings() const;
};

// Checks the knowledge base of one rule-base file and the bases of the same
// distinguishing name beside it.
CheckResult check_knowledge_base(const std::string& rule_path, const CheckOptions& options);

// The finding of a syntax error of the reader in the base file named `shown_path` (as a
// check names it), or nullopt when the text reads without error. `records`, when given,
// receives the records read.
std::optional<Finding> syntax_finding(BaseKind kind, std::string_view text, const std::string& shown_path,
                                      KnowledgeBase* records = nullptr);

// One finding a line: FILE:LINE:COLUMN: error|warning: message.
std::string format_findings_text(const CheckResult& r);
// One JSON object for the knowledge base, on one line.
std::string format_findings_json(const CheckResult& r);

// The command line after "check": exit status 0 (no error), 1 (errors found), 2 (bad
// arguments or unreadable files).
int check_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zuva
