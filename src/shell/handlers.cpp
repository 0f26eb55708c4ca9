// Each subsystem adds one line here for its register function.
#include "shell/handlers.h"

namespace zuva {

void install_handlers(CommandRegistry& r) {
    (void)r;
}

}  // namespace zuva
