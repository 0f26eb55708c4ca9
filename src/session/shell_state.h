// State of the task window: its title and the set of enabled commands.
#pragma once
#include <set>
#include <string>

namespace zuva {

struct ShellState {
    std::string title;
    std::set<int> enabled;
    bool intro_open = true;
    // Owner of the installation, shown by the owner note; set by the front end.
    std::string owner;
};

}  // namespace zuva
