// Enabling and disabling of main-menu commands; the front end asks the session
// which commands are enabled.
#pragma once
#include <initializer_list>
#include <vector>

namespace zuva {

struct Session;

void enable_commands(Session& s, std::initializer_list<int> ids);
void enable_commands(Session& s, const std::vector<int>& ids);
void enable_range(Session& s, int first, int last);
void disable_commands(Session& s, std::initializer_list<int> ids);
bool is_enabled(const Session& s, int id);

}  // namespace zuva
