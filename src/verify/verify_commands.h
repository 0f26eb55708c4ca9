// Main-menu commands of the verification: the reports of the rule-base and model-base
// diagnoses and the two flattening commands.
#pragma once
#include "session/command_registry.h"

namespace zuva {

void register_verify_commands(CommandRegistry& r);

}  // namespace zuva
