// Line editing of the terminal program's prompts through GNU readline, used only when
// standard input is a terminal: history within the run, file names completed in file dialogs.
#pragma once
#include <optional>
#include <string>

namespace zuva {

// One line typed after `prompt` (which may hold terminal colour sequences), with the line
// editor; names of files and folders under `complete_in` are completed with Tab, and no
// completion is offered when it is "". A non-empty line goes to the history. nullopt at the
// end of input (Ctrl-D on an empty line).
std::optional<std::string> read_edited_line(const std::string& prompt, const std::string& complete_in);

}  // namespace zuva
