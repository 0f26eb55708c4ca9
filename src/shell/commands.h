// The main-menu command table as data: every command id with its menu text, the menu
// tree that groups them, and the groups of commands that the stages of a run enable.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "session/enabling.h"

namespace zuva {

struct Session;

struct CommandInfo {
    int id;
    std::string_view text;  // exactly as in the menu, '&' marks the shortcut letter
};

// Every main-menu command in menu order.
const std::vector<CommandInfo>& all_commands();
// nullptr for an id that is not a main-menu command.
const CommandInfo* find_command(int id);
// The menu text without the '&' shortcut marks, for front ends that show no shortcuts.
std::string menu_label(std::string_view text);

// A node of the menu tree: a command (id != 0) or a submenu (id == 0, with children).
struct MenuNode {
    std::string_view title;
    int id = 0;
    std::vector<MenuNode> children;
    bool is_command() const { return id != 0; }
};

// The top-level menus of the main menu, each with its commands and submenus.
const std::vector<MenuNode>& main_menu();

}  // namespace zuva
