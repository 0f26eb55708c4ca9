#include "cli/terminal_support.h"

#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace zuva {
namespace terminal {

std::string trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

bool parse_number(const std::string& s, int& out) {
    if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::atoi(s.c_str());
    return true;
}

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) {
            if (pos < text.size()) lines.emplace_back(text.substr(pos));
            break;
        }
        lines.emplace_back(text.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return lines;
}

int terminal_rows() {
    winsize w{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_row > 4) return w.ws_row;
    return 24;
}

int terminal_cols() {
    winsize w{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_col > 20) return w.ws_col;
    return 80;
}

// Cuts a line into pieces of at most `width` characters (code points).
std::vector<std::string> wrap_line(const std::string& line, int width) {
    std::vector<std::string> out;
    std::string cur;
    int n = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        bool starts_char = (c & 0xC0) != 0x80;
        if (starts_char && n == width) {
            out.push_back(cur);
            cur.clear();
            n = 0;
        }
        cur += line[i];
        if (starts_char) ++n;
    }
    out.push_back(cur);
    return out;
}

// Runs a program with its arguments and waits for it; false when it could not be started.
bool run_program(const std::vector<std::string>& argv, bool wait) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
    if (!wait) return true;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

}  // namespace terminal
}  // namespace zuva
