// The one list of subsystems that register main-menu command handlers.
#pragma once
#include "shell/command_registry.h"

namespace zuva {

void install_handlers(CommandRegistry& r);

}  // namespace zuva
