// The one list of subsystems that register main-menu command handlers.
#pragma once
#include "session/command_registry.h"

namespace zuva {

struct Session;

void install_handlers(CommandRegistry& r);
// Fills in what the subsystems hand to a new session: the diagnoses its loads run.
void prepare_session(Session& s);

}  // namespace zuva
