// The editor window of an answer script: the lines after its block give the new text (or a
// file whose content replaces it) and say how the window ends ("Zapisz", "Zapisz jako", or
// closing with the question); a script that gives no such line leaves the file as it was.
#pragma once
#include <string>

#include "ui/scripted_ui.h"

namespace zuva {

struct Session;

// Runs the editor window opened on `path` over the lines that follow its block.
void script_editor(Session& s, ScriptedUi& ui, const std::string& path);

}  // namespace zuva
