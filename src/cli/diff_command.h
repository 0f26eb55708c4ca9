// `zuva diff OLD NEW`: two versions of a knowledge base compared by meaning, with the findings
// of `zuva check` that appear or disappear; `zuva show FILE`: a base as UTF-8 text for git.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace zuva {

// Exit status 0 (equal in meaning), 1 (they differ), 2 (bad arguments, an unreadable base).
int diff_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Exit status 0, or 2 when the file cannot be read as a base.
int show_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zuva
