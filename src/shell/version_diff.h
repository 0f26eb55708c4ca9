// Two versions of a knowledge base compared as `zuva diff` and the menu command that compares
// the loaded base with another version do it: the records by meaning, paired by kind of base,
// and the findings of the check that appeared or disappeared.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "verify/base_diff.h"

namespace zuva {

class CommandRegistry;

struct VersionDiff {
    std::vector<BaseChange> changes;
    std::vector<std::string> files;  // the file name of each change (the old file's for a removal)
    std::vector<std::string> appeared, disappeared;  // findings as "FILE: level [kind] message"
    std::string before_rule_base, after_rule_base;   // "" when a version has none
    bool equal() const { return changes.empty() && appeared.empty() && disappeared.empty(); }
};

// Reads both versions (a base file or a folder each) and compares them; the findings only
// when `check`. The place of the first file that cannot be read when one cannot.
std::optional<BaseReadFailure> compare_versions(const std::string& before, const std::string& after,
                                                bool check, VersionDiff& out);

// The text form: a line a change ("REAUTO.BEN:13: zmieniony rekord reguła 2: CF 0.4 → 0.5"),
// the two records under a changed one, the findings, and a line when they are equal.
std::string version_diff_text(const VersionDiff& d);

// 10186: the loaded knowledge base against another version the user chooses, in a browse
// window.
void register_version_diff_command(CommandRegistry& r);

}  // namespace zuva
