// The interactive program on a terminal: the introductory window, then the main menu as a
// numbered tree of the commands available now, until the user ends the program.
#include "cli/terminal_support.h"
#include "cli/terminal_ui.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/shell.h"
#include "text/codec.h"
#include "text/i18n.h"

namespace zuva {

using namespace terminal;

namespace {

int available_count(const Session& s, const CommandRegistry& r, const MenuNode& n) {
    if (n.is_command()) return command_available(s, r, n.id) ? 1 : 0;
    int c = 0;
    for (const auto& ch : n.children)
        c += available_count(s, r, ch);
    return c;
}

std::string loaded_bases(const Session& s) {
    struct Kind {
        BaseKind kind;
        const char* label;
    };
    static const Kind kinds[] = {{BaseKind::Rules, N_("reguł")},
                                 {BaseKind::Models, N_("modeli")},
                                 {BaseKind::ExactConstraints, N_("ograniczeń dokładnych")},
                                 {BaseKind::UncertainConstraints, N_("ograniczeń niepewnych")},
                                 {BaseKind::Advice, N_("rad")},
                                 {BaseKind::Graphics, N_("grafiki")},
                                 {BaseKind::Sounds, N_("dźwięku")}};
    std::string out;
    for (const auto& k : kinds) {
        const BaseName& b = s.kb.name_of(k.kind);
        if (!b.loaded()) continue;
        if (!out.empty()) out += ", ";
        out += std::string(tr(k.label)) + " " + b.name();
    }
    return out;
}

void usage_help(TerminalUi& ui) {
    ui.heading(tr("Jak korzystać z programu"), "");
    ui.print(
        tr("Menu główne grupuje polecenia według rodzaju bazy. Wpisz numer menu, aby je otworzyć,\n"
           "a potem numer polecenia. Numerowane są tylko polecenia dostępne w tej chwili;\n"
           "pozostałe stają się dostępne po załadowaniu odpowiednich baz (zacznij od\n"
           "'Baza reguł' -> 'Ładowanie bazy reguł').\n\n"
           "Polecenie można też wybrać od razu jego pięciocyfrowym numerem (np. 10064).\n"
           "W każdym pytaniu program podaje, czego oczekuje: numeru przycisku lub jego nazwy,\n"
           "numeru pozycji listy, ścieżki pliku; pusty wiersz w wyborze pliku anuluje.\n\n"
           "  o  pokazuje ponownie okno pomocnicze (ostatnie wiersze tego, co wypisały operacje)\n"
           "  k  kończy program"));
    ui.wait_enter(tr("Enter: powrót do menu"));
}

// Shows one menu level; returns the command chosen, 0 to go back, -1 to redraw the top.
int menu_level(Session& s, TerminalUi& ui, const CommandRegistry& r, const MenuNode& menu,
               const std::string& path) {
    for (;;) {
        ui.heading(tr("Menu"), path);
        std::vector<const MenuNode*> numbered;
        for (const auto& ch : menu.children) {
            int avail = available_count(s, r, ch);
            std::string label = menu_label(tr(ch.title));
            if (avail == 0) {
                ui.print("      " + ui.dim(label + (ch.is_command() ? "" : " ›") + tr("  (niedostępne)")));
                continue;
            }
            numbered.push_back(&ch);
            std::string line = "  " + std::to_string(numbered.size()) + ") " + label;
            if (!ch.is_command()) line += " ›";
            if (ch.is_command()) line += ui.dim("  [" + std::to_string(ch.id) + "]");
            ui.print(line);
        }
        if (numbered.empty())
            ui.hint(tr(
                "Nic w tym menu nie jest teraz dostępne; polecenia stają się dostępne po załadowaniu baz."));
        ui.print(tr("  0) Powrót"));
        std::string a = trim(ui.ask(tr("Wybierz numer:")));
        if (a.empty() || a == "0") return 0;
        int pos = 0;
        if (!parse_number(a, pos) || pos < 1 || pos > static_cast<int>(numbered.size())) {
            ui.hint(tr("Wpisz numer z listy albo 0, aby wrócić."));
            continue;
        }
        const MenuNode* n = numbered[pos - 1];
        if (n->is_command()) return n->id;
        int chosen = menu_level(s, ui, r, *n, path + " › " + menu_label(tr(n->title)));
        if (chosen != 0) return chosen;
    }
}

void run_command(Session& s, TerminalUi& ui, const CommandRegistry& r, int id) {
    const CommandInfo* c = find_command(id);
    if (c == nullptr) {
        ui.hint(tr("Nie ma polecenia o numerze ") + std::to_string(id) + ".");
        return;
    }
    if (!command_available(s, r, id)) {
        ui.hint(tr("Polecenie ") + std::to_string(id) + " (" + menu_label(tr(c->text)) +
                tr(") jest teraz niedostępne."));
        return;
    }
    ui.print(ui.bold("» " + menu_label(tr(c->text))));
    dispatch_command(s, r, id);
}

}  // namespace

int run_interactive(Session& s, TerminalUi& ui, const CommandRegistry& r) {
    ui.attach(&s);
    try {
        start_program(s);
        ui.heading("zuva_EN", "");
        ui.print(ui.bold(s.shell.title));
        ui.print(
            tr("\nSystem ekspertowy regułowo-modelowy: ładuje bazy wiedzy (reguły, modele, ograniczenia,\n"
               "rady, grafikę, dźwięki), diagnozuje je i prowadzi wnioskowanie niepewne w przód i wstecz."));
        ui.wait_enter(tr("Enter: zamknij okno wstępne i przejdź do menu"));
        close_intro(s);
        const auto& menu = main_menu();
        for (;;) {
            std::string bases = loaded_bases(s);
            ui.heading(tr("Menu główne"), "");
            ui.print(ui.bold(s.shell.title));
            ui.print(tr("Katalog: ") + s.current_dir);
            ui.print(bases.empty()
                         ? tr("Załadowane bazy: brak (zacznij od 'Baza reguł' -> 'Ładowanie bazy reguł')")
                         : tr("Załadowane bazy: ") + bases);
            for (size_t i = 0; i < menu.size(); ++i) {
                int avail = available_count(s, r, menu[i]);
                std::string line = "  " + std::to_string(i + 1) + ") " + menu_label(tr(menu[i].title));
                line += ui.dim(avail == 0 ? tr("  (nic dostępnego)") : "  (" + std::to_string(avail) + ")");
                ui.print(line);
            }
            ui.print(tr("  o) okno pomocnicze   ?) jak korzystać   k) koniec programu"));
            std::string a = trim(ui.ask(tr("Wybierz menu, numer polecenia lub literę:")));
            if (a.empty()) continue;
            std::string la = to_lower_pl(a);
            if (la == "k" || la == "q") {
                close_request(s);
                continue;
            }
            if (la == "o") {
                ui.show_helper_window();
                continue;
            }
            if (la == "?" || la == "h") {
                usage_help(ui);
                continue;
            }
            int n = 0;
            if (!parse_number(a, n)) {
                ui.hint(tr("Nie rozumiem '") + a +
                        tr("'. Wpisz numer menu, numer polecenia albo ? po pomoc."));
                continue;
            }
            if (n >= 1 && n <= static_cast<int>(menu.size())) {
                int id = menu_level(s, ui, r, menu[n - 1], menu_label(tr(menu[n - 1].title)));
                if (id != 0) run_command(s, ui, r, id);
                continue;
            }
            run_command(s, ui, r, n);
        }
    } catch (const ProgramExit&) {
        return 0;
    }
}

}  // namespace zuva
