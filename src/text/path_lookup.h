// Finding files and directories whose names may differ in case from the names written in
// a knowledge base, since bases are copied from systems that ignore case.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zuva {

// `relative` (components separated by '/') under `dir`. A component that does not exist
// as written is matched against the directory's entries without regard to case (ASCII and
// Polish letters); ".." and "." are taken as they stand. Returns the normalised path of
// what was found, or the path as written where nothing matched.
std::string find_path_nocase(const std::string& dir, const std::string& relative);

// Case-insensitive match of a file name against a mask with '*' and '?'.
bool mask_matches_nocase(std::string_view mask, std::string_view name);

// Names of the regular files of `dir` that match `mask` without regard to case, sorted.
std::vector<std::string> files_matching_nocase(const std::string& dir, std::string_view mask);

bool is_directory(const std::string& path);

}  // namespace zuva
