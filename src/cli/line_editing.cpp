// readline keeps its state (the history, the completion hooks) in globals of its own; the
// terminal program has one terminal, so that is all the state there is.
#include "cli/line_editing.h"

#include <readline/history.h>
#include <readline/readline.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zuva {

namespace {

std::string completion_dir;

// Colour sequences in the prompt are marked as taking no columns, so readline places the
// cursor right.
std::string mark_invisible(const std::string& prompt) {
    std::string out;
    for (size_t i = 0; i < prompt.size(); ++i) {
        if (prompt[i] == '\x1b') {
            size_t end = prompt.find('m', i);
            if (end != std::string::npos) {
                out += '\001';
                out.append(prompt, i, end + 1 - i);
                out += '\002';
                i = end;
                continue;
            }
        }
        out += prompt[i];
    }
    return out;
}

// Names are completed relative to the dialog's folder, which need not be the process's
// current directory: the folder is put before a relative word and taken off the matches,
// and put back when readline looks whether a match is a folder.
std::string completion_prefix;

char* file_names(const char* text, int state) {
    static std::string full;
    if (state == 0) {
        std::string word(text);
        completion_prefix.clear();
        if (!completion_dir.empty() && (word.empty() || (word[0] != '/' && word[0] != '~'))) {
            completion_prefix = completion_dir;
            if (completion_prefix.back() != '/') completion_prefix += '/';
        }
        full = completion_prefix + word;
    }
    char* m = rl_filename_completion_function(full.c_str(), state);
    if (m != nullptr && !completion_prefix.empty() &&
        std::strncmp(m, completion_prefix.c_str(), completion_prefix.size()) == 0)
        std::memmove(m, m + completion_prefix.size(), std::strlen(m) - completion_prefix.size() + 1);
    return m;
}

int stat_in_dialog_folder(char** name) {
    if (completion_prefix.empty() || *name == nullptr || (*name)[0] == '/') return 0;
    std::string full = completion_prefix + *name;
    char* replaced = static_cast<char*>(std::malloc(full.size() + 1));
    if (replaced == nullptr) return 0;
    std::memcpy(replaced, full.c_str(), full.size() + 1);
    std::free(*name);
    *name = replaced;
    return 1;
}

// Only the file dialogs complete; elsewhere Tab offers nothing.
char** complete(const char* text, int, int) {
    rl_attempted_completion_over = 1;
    if (completion_dir.empty()) return nullptr;
    rl_filename_completion_desired = 1;
    return rl_completion_matches(text, file_names);
}

void prepare() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    // The prompts and the typed text are UTF-8 whatever the environment names.
    const char* ctype = std::setlocale(LC_CTYPE, "");
    if (ctype == nullptr || (std::strstr(ctype, "UTF-8") == nullptr && std::strstr(ctype, "utf8") == nullptr))
        std::setlocale(LC_CTYPE, "C.UTF-8");
    rl_readline_name = "zuva";
    rl_attempted_completion_function = complete;
    rl_filename_stat_hook = stat_in_dialog_folder;
    using_history();
}

}  // namespace

std::optional<std::string> read_edited_line(const std::string& prompt, const std::string& complete_in) {
    prepare();
    completion_dir = complete_in;
    char* typed = readline(mark_invisible(prompt).c_str());
    completion_dir.clear();
    if (typed == nullptr) return std::nullopt;
    std::string line(typed);
    std::free(typed);
    if (!line.empty()) {
        HIST_ENTRY* last = history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
        if (last == nullptr || line != last->line) add_history(line.c_str());
    }
    return line;
}

}  // namespace zuva
