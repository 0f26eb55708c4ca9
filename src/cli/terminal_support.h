// Small pieces the files of the terminal port share: answers trimmed and read as numbers,
// texts cut into lines, the terminal's size, and starting another program. Internal to cli/.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zuva {
namespace terminal {

std::string trim(std::string_view s);
// A number of at most nine digits, nothing else.
bool parse_number(const std::string& s, int& out);
std::vector<std::string> split_lines(std::string_view text);
// Rows and columns of the terminal (24 × 80 when they cannot be had).
int terminal_rows();
int terminal_cols();
// Cuts a line into pieces of at most `width` characters (code points).
std::vector<std::string> wrap_line(const std::string& line, int width);
// Runs a program with its arguments and waits for it; false when it could not be started.
bool run_program(const std::vector<std::string>& argv, bool wait);

}  // namespace terminal
}  // namespace zuva
