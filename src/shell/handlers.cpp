// Each subsystem adds one line here for its register function.
#include "shell/handlers.h"

#include "consult/forward.h"
#include "kb/model_base.h"

namespace zuva {

void install_handlers(CommandRegistry& r) {
    register_forward_commands(r);
    register_model_commands(r);
}

}  // namespace zuva
