// Running one test case through the session API: the consultation is driven question by
// question, each answered from the case (a question the case does not answer ends it), and
// its results are compared with what the case expects.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testing/case_file.h"
#include "testing/case_names.h"
#include "zuva/zuva.h"

namespace zuva::testing {

struct CaseOutcome {
    bool passed = false;
    std::vector<std::string> differences;  // the first one goes in the FAIL line
    double seconds = 0.0;
    bool completed = false;  // the run gave results; `trace` and `asked` hold them
    api::Trace trace;
    std::vector<api::Conclusion> conclusions;
    std::vector<std::string> asked;  // what the run asked: conditions, arguments, CFs
};

// The knowledge bases of a suite, each opened (and checked) once, and loaded once for all the
// cases that name it.
class OpenedBases {
  public:
    // The base of a rule-base path, or null with the reason the base cannot be opened.
    const api::KnowledgeBase* get(const std::string& rule_path, std::string& error);
    // The runner of a base `get` opened.
    api::Runner& runner(const std::string& rule_path);
    // The bases beside the rule base that did not load, each as "FILE:LINE:COLUMN: reason"
    // (FILE as the user reaches it from the current directory): a case of the base cannot run
    // as its author meant (a model's conclusion would be asked).
    const std::vector<std::string>& failed_loads(const std::string& rule_path);
    // The names of a base `get` opened, or null when its inventory cannot be made.
    const BaseNames* names(const std::string& rule_path, const std::string& shown_base);
    // Forgets each base whose files changed on disk since it was opened, or that could not be
    // opened: the next `get` opens it as it is now. The others stay loaded.
    void forget_changed();
    // The bases opened so far, by path, in the order they were first opened.
    const std::vector<std::string>& paths() const { return order_; }

  private:
    struct Entry {
        std::unique_ptr<api::KnowledgeBase> kb;
        std::unique_ptr<api::Runner> runner;
        std::string error;
        std::vector<std::string> failed_loads;
        std::optional<BaseNames> names;
        bool names_tried = false;
    };
    std::map<std::string, Entry> bases_;
    std::vector<std::string> order_;
};

// A path as the user can open it from the current directory.
std::string shown_path(const std::string& path);

CaseOutcome run_case(const TestCase& c, OpenedBases& bases);

}  // namespace zuva::testing
