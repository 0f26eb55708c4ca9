// Confinement of every file access of the process to one folder, for a process that serves
// other people's requests: after confine_files(ROOT) a read of a file whose real path
// (symbolic links followed) is not under ROOT fails as if the file were missing, and every
// write and removal fails (EACCES), except in the process's own folders (its state and
// logs), where it may read, write and remove. Set once at start, before other threads run;
// release_files() ends it. read_file_bytes, replace_file and remove_file (file_io.h) obey it.
#pragma once
#include <string>
#include <vector>

namespace zuva {

void confine_files(const std::string& root, const std::vector<std::string>& own_folders = {});
// Whether a file may be written or removed here: nothing is confined, or its folder lies in
// one of the own folders.
bool file_write_allowed(const std::string& path);
void release_files();
bool files_confined();
// Whether the real path of `path` lies under the confinement root (always true when
// nothing is confined); an existing file only.
bool file_access_allowed(const std::string& path);

}  // namespace zuva
