// Main-menu commands of the rule-base verification: the two reports of the diagnoses and
// the two flattening commands.
#pragma once
#include "session/command_registry.h"

namespace zuva {

void register_verify_commands(CommandRegistry& r);

}  // namespace zuva
