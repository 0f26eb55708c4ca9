// The answer-script driver: runs a whole program session from a list of answers, each
// command line naming a main-menu command id, and yields the exit status and transcript.
// The terminal program's answer mode and the in-process tests both use it.
#pragma once
#include <string>
#include <vector>

#include "session/command_registry.h"
#include "ui/scripted_ui.h"

namespace zuva {

struct Session;

// Exit statuses of a scripted run.
inline constexpr int kExitOk = 0;           // the answers ran out, or the user ended the program
inline constexpr int kExitScriptError = 2;  // an answer did not fit where it was read

// Runs the program on a session whose port is `ui`: start, closing of the introductory
// window, then one command per answer until the answers run out or the program ends.
// On a script error the message (naming the answer line) goes to `error` and into the
// transcript as an "[error]" block.
int run_answer_script(Session& s, ScriptedUi& ui, const CommandRegistry& r, std::string& error);

struct ScriptRun {
    int status = 0;
    std::string transcript;
    std::string helper;  // what went to the helper window
    std::string error;   // empty unless status is kExitScriptError
};

// A whole run in-process with every registered command: the answers are the lines of an
// answer file (line numbers from 1, '#' lines skipped); `cwd` is the program's current
// directory, against which relative paths resolve.
ScriptRun run_script(const std::vector<std::string>& answers, const std::string& cwd);
ScriptRun run_script_lines(const std::vector<ScriptAnswer>& answers, const std::string& cwd);

}  // namespace zuva
