// The task window's behaviour that does not belong to any kind of base.
#include "shell/shell.h"

#include <exception>

#include "kb/report_files.h"
#include "report/report.h"
#include "session/enabling.h"
#include "session/session.h"
#include "shell/commands.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "ui/ui.h"

namespace zuva {

void start_program(Session& s) {
    s.shell.intro_open = true;
    s.set_title(tr(kProgramTitle));
}

void close_intro(Session& s) {
    if (!s.shell.intro_open) return;
    s.shell.intro_open = false;
    enable_intro_closed_set(s);
    s.ui.helper_recreate(kHelperCapacity);
}

bool command_available(const Session& s, const CommandRegistry& r, int id) {
    return !s.shell.intro_open && find_command(id) != nullptr && is_enabled(s, id) && r.has(id);
}

DispatchResult dispatch_command(Session& s, const CommandRegistry& r, int id) {
    if (find_command(id) == nullptr) return DispatchResult::Unknown;
    if (!command_available(s, r, id)) return DispatchResult::Disabled;
    const CommandHandler* h = r.find(id);
    try {
        (*h)(s);
    } catch (const std::exception& e) {
        s.ui.note(tr("Uwaga błąd!"),
                  std::string(tr("Operacja została przerwana z powodu błędu:\n")) + e.what());
        return DispatchResult::Failed;
    }
    return DispatchResult::Done;
}

void close_request(Session& s) {
    if (s.ui.end_question(false) == Ui::EndAnswer::Program) throw ProgramExit{};
}

void browse_window_closed(Session& s) {
    s.set_title("zuva_EN");
}

void record_window_closed(Session& s) {
    s.ui.helper_recreate(kHelperCapacity);
}

namespace {

void nowe_okno_pomocnicze(Session& s) {
    s.ui.helper_recreate(kHelperCapacity);
}

void ustaw_katalog(Session& s) {
    s.ui.note(tr("Uwaga"), tr("Ustawienie ścieżki dostępu do baz  następuje po załadowaniu bazy reguł"));
}

void pomoc(Session& s) {
    std::string path = s.resolve(kHelpFile);
    if (file_exists(path)) {
        s.ui.open_document(path);
        return;
    }
    // Without either file nothing happens, as without the help file before.
    if (!s.shell.user_guide.empty() && file_exists(s.shell.user_guide))
        s.ui.open_document(s.shell.user_guide);
}

void o_programie(Session& s) {
    s.ui.note("O programie", tr("zuva_EN\n"
                                "Regułowo-modelowy skorupowy system ekspertowy\n"
                                "dla wnioskowania elementarnego niepewnego w przód i wstecz\n\n"
                                "Wersja 1.0\n\n"
                                "Bazy reguł, modeli, ograniczeń dokładnych i niepewnych,\n"
                                "rad, grafiki i dźwięków; diagnostyka sprzeczności\n"
                                "i nadmiarowości; raporty wnioskowania i diagnostyki."));
}

void wlasciciel(Session& s) {
    if (s.shell.owner.empty())
        s.ui.note(tr("Właściciel"), tr("Ta instalacja programu zuva_EN nie ma zapisanego właściciela."));
    else
        s.ui.note(tr("Właściciel"), tr("Właściciel tej instalacji programu zuva_EN:\n   ") + s.shell.owner);
}

}  // namespace

void register_shell_commands(CommandRegistry& r) {
    r.set(cmd::czytanie_raportu, czytanie_raportu);
    r.set(cmd::kasowanie_raportu, kasowanie_raportu);
    r.set(cmd::nowe_okno_pomocnicze, nowe_okno_pomocnicze);
    r.set(cmd::ustaw_katalog, ustaw_katalog);
    r.set(cmd::pomoc, pomoc);
    r.set(cmd::o_programie, o_programie);
    r.set(cmd::wlasciciel, wlasciciel);
}

}  // namespace zuva
