// Each subsystem adds one line here for its register function.
#include "shell/handlers.h"

#include "verify/verify_commands.h"

namespace zuva {

void install_handlers(CommandRegistry& r) {
    (void)r;
    register_verify_commands(r);
}

}  // namespace zuva
