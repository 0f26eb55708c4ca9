// The terminal program: wires the answer-script port or the terminal port to a Session
// and runs the loop.
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/diff_command.h"
#include "cli/graph_command.h"
#include "cli/line_editing.h"
#include "cli/media.h"
#include "cli/resume_log.h"
#include "cli/serve_launcher.h"
#include "cli/terminal_ui.h"
#include "lsp/server.h"
#include "session/session.h"
#include "shell/check.h"
#include "shell/commands.h"
#include "shell/handlers.h"
#include "shell/script_loop.h"
#include "testing/record_case.h"
#include "testing/suite.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace {

using zuva::tr;

const char* kUsage =
    N_("Użycie:\n"
       "  zuva                    praca interaktywna (standardowe wejście musi być terminalem)\n"
       "  zuva --answers PLIK     odpowiedzi ze skryptu PLIK (UTF-8, jedna odpowiedź w wierszu)\n"
       "  zuva --answers -        odpowiedzi ze standardowego wejścia\n"
       "  zuva check [--format text|json] [--no-diagnoses] [--no-anomalies] [--warnings-as-errors] PLIK...\n"
       "                          testy i diagnostyka baz wiedzy bez okien dialogowych\n"
       "  zuva graph PLIK [--focus NAZWA] [--depth N] [--up|--down] [--format svg|dot|png] [--out PLIK]\n"
       "                          rysunek sieci bazy wiedzy (Graphviz; zuva graph --help)\n"
       "  zuva diff STARA NOWA [--cases PLIK.TST]... [--format text|json] [--no-check]\n"
       "                          porównanie dwóch wersji bazy wiedzy według znaczenia (zuva diff --help)\n"
       "  zuva show PLIK          baza jako tekst UTF-8, rekord w wierszu (textconv gita)\n"
       "  zuva test [--filter TEKST] [--junit PLIK] [--coverage] PLIK...\n"
       "                          przypadki testowe baz wiedzy (zuva test --help)\n"
       "  zuva lsp                serwer języka dla edytorów (LSP na standardowym wejściu i wyjściu)\n"
       "  zuva serve KATALOG [--listen ADRES:PORT] [opcje]\n"
       "                          konsultacje w przeglądarce (zuva serve --help)\n"
       "  zuva --resume DZIENNIK [PLIK-BAZY]\n"
       "                          konsultacja z dziennika (API, zuva serve --log-dir/--state-dir)\n"
       "                          pokazana ponownie: odpowiedzi, raport, wnioski i ich wyjaśnienia\n"
       "  zuva --commands         tablica poleceń: numer, ścieżka menu, nazwa (dla skryptów odpowiedzi)\n"
       "  zuva --version          wersja programu\n"
       "Przebieg (transkrypt) trafia na standardowe wyjście.\n");

// The command table an answer script needs: one command a line, its id, the menus that lead
// to it and its name, separated by tabs, in menu order.
void print_commands(const std::vector<zuva::MenuNode>& nodes, const std::string& path) {
    for (const auto& n : nodes) {
        const std::string title = zuva::menu_label(zuva::tr(n.title));
        if (n.is_command()) {
            const zuva::CommandInfo* c = zuva::find_command(n.id);
            std::printf("%d\t%s\t%s\n", n.id, path.c_str(),
                        zuva::menu_label(zuva::tr(c != nullptr ? c->text : n.title)).c_str());
        } else {
            print_commands(n.children, path.empty() ? title : path + " / " + title);
        }
    }
}

// The owner named by the owner note. Answer scripts take only ZUVA_OWNER, so that a
// transcript does not depend on the account that runs them.
std::string owner_from_environment(bool account_too) {
    for (const char* var : {"ZUVA_OWNER", "USER", "LOGNAME"}) {
        if (!account_too && std::string(var) != "ZUVA_OWNER") break;
        if (const char* v = std::getenv(var); v != nullptr && *v != '\0') return v;
    }
    return "";
}

// The user guide beside the program: docs/ next to the executable (the build directory
// and an installation), or the source tree's docs/ one level up; the English guide when the
// program runs in English and it is there.
std::string user_guide_path() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    const std::filesystem::path dir = exe.parent_path();
    std::vector<const char*> guides = {"pomoc.html"};
    if (zuva::current_language() == zuva::Language::english) guides.insert(guides.begin(), "help-en.html");
    for (const char* guide : guides)
        for (const auto& candidate : {dir / "docs" / guide, dir / ".." / "share" / "doc" / "zuva" / guide,
                                      dir / ".." / "docs" / guide})
            if (std::filesystem::is_regular_file(candidate, ec)) return candidate.lexically_normal().string();
    return "";
}

int run_answers(const std::string& source) {
    std::string content;
    if (source == "-") {
        content.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        auto bytes = zuva::read_file_bytes(source);
        if (!bytes) {
            std::fprintf(stderr, tr("zuva: nie można odczytać pliku odpowiedzi %s\n"), source.c_str());
            return 1;
        }
        content = *bytes;
    }
    zuva::ScriptedUi ui;
    ui.set_answers(zuva::ScriptedUi::parse_script(content));
    // The transcript goes out as it is produced, through a large buffer, and is not kept.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    ui.set_keep_history(false);
    ui.on_output = [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); };
    zuva::attach_media(ui);
    zuva::Session s(ui);
    s.shell.owner = owner_from_environment(false);
    s.shell.user_guide = user_guide_path();
    s.shell.keep_case = zuva::testing::keep_case;
    s.shell.keep_log = zuva::testing::keep_log;
    zuva::prepare_session(s);
    zuva::CommandRegistry r;
    zuva::install_handlers(r);
    std::string error;
    int status = zuva::run_answer_script(s, ui, r, error);
    std::fflush(stdout);
    if (status != zuva::kExitOk)
        std::fprintf(stderr, "zuva: %s: %s\n", source == "-" ? tr("standardowe wejście") : source.c_str(),
                     error.c_str());
#ifndef __SANITIZE_ADDRESS__
    // The memory of the run goes back to the system with the process: freeing a large base
    // record by record would only cost time. (Sanitizer builds free it, so leaks still show.)
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
#endif
    return status;
}

int run_terminal() {
    bool color = isatty(STDOUT_FILENO) && std::getenv("NO_COLOR") == nullptr;
    if (const char* term = std::getenv("TERM"); term == nullptr || std::string(term) == "dumb") color = false;
    zuva::TerminalUi ui(std::cin, std::cout, color);
    ui.line_reader = zuva::read_edited_line;
    zuva::Session s(ui);
    s.shell.owner = owner_from_environment(true);
    s.shell.user_guide = user_guide_path();
    s.shell.keep_case = zuva::testing::keep_case;
    s.shell.keep_log = zuva::testing::keep_log;
    zuva::prepare_session(s);
    zuva::CommandRegistry r;
    zuva::install_handlers(r);
    return zuva::run_interactive(s, ui, r);
}

}  // namespace

int main(int argc, char** argv) {
    // Blocks from 128 KB up (the tables of a large base) are mapped on their own and go
    // back to the system when freed. Left to itself, glibc raises that size after the
    // first such block is freed, and the blocks the load frees stay in the process.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // The texts in the language of the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
    zuva::use_environment_language();
    if (argc >= 2 && std::string(argv[1]) == "check") {
        std::vector<std::string> args(argv + 2, argv + argc);
        return zuva::check_command(args, std::cout, std::cerr);
    }
    if (argc >= 2 && std::string(argv[1]) == "diff") {
        std::vector<std::string> args(argv + 2, argv + argc);
        return zuva::diff_command(args, std::cout, std::cerr);
    }
    if (argc >= 2 && std::string(argv[1]) == "show") {
        std::vector<std::string> args(argv + 2, argv + argc);
        return zuva::show_command(args, std::cout, std::cerr);
    }
    if (argc >= 2 && std::string(argv[1]) == "graph") {
        std::vector<std::string> args(argv + 2, argv + argc);
        return zuva::graph_command(args, std::cout, std::cerr);
    }
    if (argc >= 2 && std::string(argv[1]) == "serve")
        return zuva::exec_serve(zuva::own_program_dir(), argc - 2, argv + 2);
    if (argc >= 2 && std::string(argv[1]) == "test") {
        std::vector<std::string> args(argv + 2, argv + argc);
        return zuva::testing::test_command(args, std::cout, std::cerr);
    }
    if (argc >= 2 && std::string(argv[1]) == "lsp") {
        std::vector<std::string> args(argv + 2, argv + argc);
        return zuva::lsp::lsp_command(args, ZUVA_VERSION);
    }
    if (argc >= 3 && std::string(argv[1]) == "--resume")
        return zuva::resume_command(argv[2], argc >= 4 ? argv[3] : "", std::cout, std::cerr);
    std::string answers;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--answers" || a == "--answers=") {
            if (i + 1 >= argc || a == "--answers=") {
                std::fprintf(
                    stderr,
                    tr("zuva: brak pliku odpowiedzi po --answers (podaj PLIK albo - dla standardowego "
                       "wejścia)\n%s"),
                    tr(kUsage));
                return 1;
            }
            answers = argv[++i];
        } else if (a.rfind("--answers=", 0) == 0 && a.size() > 10) {
            answers = a.substr(10);
        } else if (a == "--version") {
            std::printf("zuva %s\n", ZUVA_VERSION);
            return 0;
        } else if (a == "--commands") {
            print_commands(zuva::main_menu(), "");
            return 0;
        } else if (a == "--help" || a == "-h") {
            std::fputs(tr(kUsage), stdout);
            return 0;
        } else {
            std::fprintf(stderr, tr("zuva: nieznany argument '%s'\n%s"), a.c_str(), tr(kUsage));
            return 1;
        }
    }
    if (!answers.empty()) return run_answers(answers);
    if (!isatty(STDIN_FILENO)) {
        std::fprintf(stderr,
                     tr("zuva: standardowe wejście nie jest terminalem; aby czytać z niego odpowiedzi, "
                        "użyj --answers -\n"));
        return 1;
    }
    return run_terminal();
}
