// Placeholder until model evaluation lands: no model step applies and there are no
// fixed values to present. Replaced by the model-evaluation module.
#include "consult/model_steps.h"

namespace zuva {

bool forward_model_step(Session&, int) {
    return false;
}
void przedstawienie_zmiennych(Session&) {}
void przedstawienie_zmiennych_pierwotnych(Session&) {}

}  // namespace zuva
