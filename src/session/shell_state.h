// State of the task window: its title and the set of enabled commands.
#pragma once
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zuva {

// A test case kept from a saved summary: 0 written and it passes, 1 written but it does not
// pass as it stands, 2 nothing written; `problem` says why (status 1: its first difference).
struct KeptCase {
    int status = 2;
    std::string problem;
};
// Keeps a case: the summary file, the rule base of its run, the hypothesis (none: forward),
// the case's name, the test-case file it is appended to.
using CaseKeeper =
    std::function<KeptCase(const std::string& summary, const std::string& rule_base,
                           const std::string& hypothesis, const std::string& name, const std::string& file)>;

// Keeps the log of the consultation of a saved summary: the summary file, the rule base of its
// run, the hypothesis (none: forward), the log file.
using LogKeeper = std::function<KeptCase(const std::string& summary, const std::string& rule_base,
                                         const std::string& hypothesis, const std::string& file)>;

struct ShellState {
    std::string title;
    std::set<int> enabled;
    bool intro_open = true;
    // Owner of the installation, shown by the owner note; set by the front end.
    std::string owner;
    // `dla_zapisu`: the file of each open editor window (window id, path).
    std::vector<std::pair<int, std::string>> dla_zapisu;
    int last_editor = 0;
    // The user guide installed beside the program (docs/pomoc.html), opened by "Pomoc" when
    // there is no help file in the current directory; set by the front end.
    std::string user_guide;
    // What keeps a test case from a saved summary (the test-case module); set by the front end.
    CaseKeeper keep_case;
    // What keeps the log of a saved summary's consultation (the same module); set likewise.
    LogKeeper keep_log;
};

}  // namespace zuva
