// A test case made from the summary file of a consultation: the values the user gave become
// the answers, the CFs of the conclusions and the values the models fixed become expectations.
#pragma once
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "session/shell_state.h"

namespace zuva::testing {

// What a summary file holds.
struct Summary {
    std::vector<std::string> labels;
    std::vector<std::pair<std::string, double>> facts;      // statement, CF
    std::vector<std::pair<std::string, double>> arguments;  // name, value
};
std::optional<Summary> parse_summary(const std::string& text);

// The records of a case (UTF-8 text, one record a line) from a summary, over the base
// `rule_base` (written into the case as given); `hypothesis` empty for a forward run.
std::string case_from_summary(const Summary& s, const std::string& name, const std::string& rule_base,
                              const std::string& rule_path, const std::string& hypothesis);

// A case made from a summary and written to `out_path` (appended, the file kept in its code
// page), or only made when `out_path` is empty; then run once.
struct Recording {
    int status = 2;  // 0 written and it passes, 1 written but it does not pass, 2 nothing written
    std::string case_name;
    std::string records;  // the case, UTF-8, one record a line
    // Status 2: why nothing was written (FILE:LINE:COLUMN: when placed in a file); status 1:
    // the first difference of its run.
    std::string problem;
    bool not_written = false;  // status 2 because the file could not be written
    bool written = false;      // the case went into the file
    bool appended = false;     // the file existed before
};
// A case that does not pass as written goes into the file only with `keep_failing`; the file
// keeps its line ends (CR LF or LF; a new file gets CR LF).
Recording record_case(const std::string& summary_path, const std::string& rule_base,
                      const std::string& hypothesis, const std::string& name, const std::string& out_path,
                      bool keep_failing);

// The same for the menu command of the front ends (their CaseKeeper).
KeptCase keep_case(const std::string& summary, const std::string& rule_base, const std::string& hypothesis,
                   const std::string& name, const std::string& file);
// The log of the consultation of a saved summary (its answers run again on the base), as
// JSON in `file` (the atomic writer): status 0 written, 1 written but the run differs from
// the summary (`problem` says how), 2 nothing written.
KeptCase keep_log(const std::string& summary, const std::string& rule_base, const std::string& hypothesis,
                  const std::string& file);

// `zuva test --record`: writes the case to `out` or appends it to the file `out_path` (saying
// whether the file was made or appended to), running it first; exit status 0 (it passes), 1 (it
// does not pass as it stands: the difference is shown and the case goes into the file only
// with `keep_failing`), 2 (nothing written).
int record_command(const std::string& summary_path, const std::string& rule_base,
                   const std::string& hypothesis, const std::string& name, const std::string& out_path,
                   bool keep_failing, std::ostream& out, std::ostream& err);

}  // namespace zuva::testing
