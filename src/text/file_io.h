// Whole-file reading and writing (one atomic writer), and the path helpers the loaders need.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace zuva {

std::optional<std::string> read_file_bytes(const std::string& path);

// Every file the program writes goes through replace_file: the bytes go to a temporary file
// ".zapis-XXXXXXXXXXXX" beside the target, which is flushed to disk and renamed over it, and
// then the directory is flushed. The temporary file is readable by its owner alone until it
// has the mode (and the owner, where the user may give it) of the file it replaces, before
// its first byte. A symbolic link keeps its place and the file it names is written, also
// one that does not exist yet. On failure the old file is as it was, the temporary file is
// removed and `err` holds the errno of the step that failed. A writer holds its temporary
// file locked; one that is over an hour old and that nobody holds was left by a killed
// writer and is removed when the program first writes into its directory.
bool replace_file(const std::string& path, std::string_view bytes, int& err);
// The reason of a failed write as the user is told it ("brak uprawnień do zapisu", ...).
std::string write_failure_reason(int err);
// replace_file with the reason in Polish in `why`, and without it.
bool write_file_bytes(const std::string& path, std::string_view bytes, std::string& why);
bool write_file_bytes(const std::string& path, std::string_view bytes);
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
