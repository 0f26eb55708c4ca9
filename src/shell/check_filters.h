// What `zuva check` does with its findings after the checks: rule lists in number order, the
// verdicts of the exclusiveness analyses that say one thing said once, and the kinds a team
// switched off or down (options, or zuva-check.conf beside the rule base). Internal to shell/.
#pragma once
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "shell/check.h"

namespace zuva::check {

// Every kind of finding `zuva check` gives.
const std::set<std::string>& finding_kinds();

// The rule list at the end of a message ("...: reguły 10 (a), 2 (b)") in number order.
std::string rules_in_number_order(const std::string& message);

// Of the exclusiveness verdicts over the same rules, the one that says most: "nie wykluczają
// się wzajemnie" (more than one can hold) says also that they are exclusive neither to one
// nor to none.
void merge_exclusiveness(std::vector<Finding>& findings);

// Findings of disabled kinds dropped; of kinds switched down, warnings that
// --warnings-as-errors leaves as they are.
void apply_kind_settings(CheckResult& r, const CheckOptions& o);

// Reads zuva-check.conf ("disable KIND", "warn KIND", "#" comments) into the options; the
// error (FILE:LINE: message) when a line cannot be read.
std::optional<std::string> read_check_conf(const std::string& path, const std::string& text, CheckOptions& o);

}  // namespace zuva::check
