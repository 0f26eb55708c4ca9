// Whole-file reading and writing, and the path helpers the loaders need.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace zuva {

std::optional<std::string> read_file_bytes(const std::string& path);
bool write_file_bytes(const std::string& path, std::string_view bytes);
// The same; on failure `why` gets the reason in Polish ("brak uprawnień do zapisu", ...).
bool write_file_bytes(const std::string& path, std::string_view bytes, std::string& why);
bool file_exists(const std::string& path);
bool remove_file(const std::string& path);

// Directory part (without the trailing separator) and the short name of a path.
std::string directory_of(const std::string& path);
std::string short_name_of(const std::string& path);
// Name without the directory and the last extension.
std::string stem_of(const std::string& path);
// `path` taken relative to `dir` unless it is absolute.
std::string resolve_path(const std::string& dir, const std::string& path);
// A path written with Windows separators ("..\\OPISY\\X.OPI") with this system's ones.
std::string native_separators(std::string path);

}  // namespace zuva
