// State of the task window: its title and the set of enabled commands.
#pragma once
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zuva {

struct ShellState {
    std::string title;
    std::set<int> enabled;
    bool intro_open = true;
    // Owner of the installation, shown by the owner note; set by the front end.
    std::string owner;
    // `dla_zapisu`: the file of each open editor window (window id, path).
    std::vector<std::pair<int, std::string>> dla_zapisu;
    int last_editor = 0;
    // The user guide installed beside the program (docs/pomoc.html), opened by "Pomoc" when
    // there is no help file in the current directory; set by the front end.
    std::string user_guide;
};

}  // namespace zuva
