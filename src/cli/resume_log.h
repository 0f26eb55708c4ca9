// `zuva --resume LOG [RULE-FILE]`: a consultation of the session API run again from its log
// (a log, a line of zuva serve's audit file, or a session file of its state folder), shown
// with its answers, its report, its conclusions and how each got its CF.
#pragma once
#include <ostream>
#include <string>

namespace zuva {

// Exit status 0 when shown, 2 when the log cannot be read or no longer fits its base.
int resume_command(const std::string& log_path, const std::string& rule_file, std::ostream& out,
                   std::ostream& err);

}  // namespace zuva
