// The enabled set lives in the session's shell state; every change is told to the Ui.
#include "shell/enabling.h"

#include "session.h"

namespace zuva {

void enable_commands(Session& s, std::initializer_list<int> ids) {
    for (int id : ids)
        s.shell.enabled.insert(id);
    s.ui.commands_changed();
}

void enable_commands(Session& s, const std::vector<int>& ids) {
    for (int id : ids)
        s.shell.enabled.insert(id);
    s.ui.commands_changed();
}

void enable_range(Session& s, int first, int last) {
    for (int id = first; id <= last; ++id)
        s.shell.enabled.insert(id);
    s.ui.commands_changed();
}

void disable_commands(Session& s, std::initializer_list<int> ids) {
    for (int id : ids)
        s.shell.enabled.erase(id);
    s.ui.commands_changed();
}

bool is_enabled(const Session& s, int id) {
    return s.shell.enabled.count(id) != 0;
}

}  // namespace zuva
