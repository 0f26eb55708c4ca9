// The name nearest to a misspelt one, for the "did you mean" of messages: letters compared as
// code points, so a Polish letter typed without its mark is one edit.
#pragma once
#include <string>
#include <vector>

namespace zuva {

// The name of `among` fewest edits away from `name`, or "" when none is near enough (more
// edits than a third of the name, and at least two, allowed).
std::string nearest_name(const std::string& name, const std::vector<std::string>& among);

}  // namespace zuva
