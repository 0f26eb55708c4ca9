// State of the task window: its title and the set of enabled commands.
#pragma once
#include <set>
#include <string>

namespace zuva {

struct ShellState {
    std::string title;
    std::set<int> enabled;
    bool intro_open = true;
};

}  // namespace zuva
