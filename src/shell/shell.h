// The task window's own behaviour: program start, closing the introductory window,
// dispatch of a main-menu command, the close request, and the commands the shell holds.
#pragma once
#include <string>

#include "session/command_registry.h"
#include "text/i18n.h"
#include "ui/ui.h"

namespace zuva {

struct Session;

inline constexpr const char* kProgramTitle =
    N_("zuva_EN - Regułowo-modelowy skorupowy system ekspertowy dla wnioskowania elementarnego niepewnego w "
       "przód i wstecz");
inline constexpr int kHelperCapacity = kHelperWindowLines;
inline constexpr const char* kHelpFile = "zuva_EN.chm";

// Start of the program: the long title; the introductory window is open, nothing enabled.
void start_program(Session& s);
// The introductory window closes: the starting commands are enabled and the helper window
// is created. A second call does nothing.
void close_intro(Session& s);

// A command can be chosen when it is a main-menu command, its group is enabled and an
// operation is registered for it.
bool command_available(const Session& s, const CommandRegistry& r, int id);

enum class DispatchResult {
    Done,      // the operation ran (it reports its own failures)
    Unknown,   // not a main-menu command
    Disabled,  // not enabled now, or no operation is attached
    Failed,    // the operation stopped on an internal error; the user was told
};

// Runs the command's operation if it is available. Exceptions that end the run on purpose
// (ProgramExit, and the answer-script ends) pass through; any other error of an operation
// is shown in a note and the program goes on.
DispatchResult dispatch_command(Session& s, const CommandRegistry& r, int id);

// The close request of the task window; returns when the user says no, throws
// ProgramExit when the user confirms.
void close_request(Session& s);

// A text browse window went away: the task window's title is set back to the program name.
void browse_window_closed(Session& s);
// A record window went away: the helper window is replaced by a new one.
void record_window_closed(Session& s);

// Registers the shell's own commands: reports (10151, 10152) and the window and help
// menus (10167-10171).
void register_shell_commands(CommandRegistry& r);

}  // namespace zuva
