// The terminal program: wires the answer-script port or the terminal port to a Session
// and runs the loop.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>

#include "cli/media.h"
#include "cli/terminal_ui.h"
#include "session/session.h"
#include "shell/handlers.h"
#include "shell/script_loop.h"
#include "text/file_io.h"

namespace {

const char* kUsage =
    "Użycie:\n"
    "  zuva                    praca interaktywna (standardowe wejście musi być terminalem)\n"
    "  zuva --answers PLIK     odpowiedzi ze skryptu PLIK (UTF-8, jedna odpowiedź w wierszu)\n"
    "  zuva --answers -        odpowiedzi ze standardowego wejścia\n"
    "Przebieg (transkrypt) trafia na standardowe wyjście.\n";

// The owner named by the owner note. Answer scripts take only ZUVA_OWNER, so that a
// transcript does not depend on the account that runs them.
std::string owner_from_environment(bool account_too) {
    for (const char* var : {"ZUVA_OWNER", "USER", "LOGNAME"}) {
        if (!account_too && std::string(var) != "ZUVA_OWNER") break;
        if (const char* v = std::getenv(var); v != nullptr && *v != '\0') return v;
    }
    return "";
}

int run_answers(const std::string& source) {
    std::string content;
    if (source == "-") {
        content.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        auto bytes = zuva::read_file_bytes(source);
        if (!bytes) {
            std::fprintf(stderr, "zuva: nie można odczytać pliku odpowiedzi %s\n", source.c_str());
            return 1;
        }
        content = *bytes;
    }
    zuva::ScriptedUi ui;
    ui.set_answers(zuva::ScriptedUi::parse_script(content));
    ui.on_output = [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); };
    zuva::attach_media(ui);
    zuva::Session s(ui);
    s.shell.owner = owner_from_environment(false);
    zuva::prepare_session(s);
    zuva::CommandRegistry r;
    zuva::install_handlers(r);
    std::string error;
    int status = zuva::run_answer_script(s, ui, r, error);
    std::fflush(stdout);
    if (status != zuva::kExitOk)
        std::fprintf(stderr, "zuva: %s: %s\n", source == "-" ? "standardowe wejście" : source.c_str(),
                     error.c_str());
    return status;
}

int run_terminal() {
    bool color = isatty(STDOUT_FILENO) && std::getenv("NO_COLOR") == nullptr;
    if (const char* term = std::getenv("TERM"); term == nullptr || std::string(term) == "dumb") color = false;
    zuva::TerminalUi ui(std::cin, std::cout, color);
    zuva::Session s(ui);
    s.shell.owner = owner_from_environment(true);
    zuva::prepare_session(s);
    zuva::CommandRegistry r;
    zuva::install_handlers(r);
    return zuva::run_interactive(s, ui, r);
}

}  // namespace

int main(int argc, char** argv) {
    std::string answers;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--answers" && i + 1 < argc) {
            answers = argv[++i];
        } else if (a.rfind("--answers=", 0) == 0 && a.size() > 10) {
            answers = a.substr(10);
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "zuva: nieznany argument '%s'\n%s", a.c_str(), kUsage);
            return 1;
        }
    }
    if (!answers.empty()) return run_answers(answers);
    if (!isatty(STDIN_FILENO)) {
        std::fprintf(stderr,
                     "zuva: standardowe wejście nie jest terminalem; aby czytać z niego odpowiedzi, "
                     "użyj --answers -\n");
        return 1;
    }
    return run_terminal();
}
