// The command loop of a scripted run. A command line must name a command that can be
// chosen now; the dialogs of the operation then take the following lines.
#include "shell/script_loop.h"

#include "session/session.h"
#include "shell/commands.h"
#include "shell/handlers.h"
#include "shell/script_editor.h"
#include "shell/shell.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {
namespace {

std::string trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// The command id of an answer line, or a ScriptError saying why the line is none.
int command_of(const Session& s, const CommandRegistry& r, const ScriptAnswer& a) {
    std::string t = trimmed(a.text);
    bool digits = !t.empty() && t.size() <= 9 && t.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) throw ScriptError{a.line, tr("oczekiwano numeru polecenia menu, a jest '") + a.text + "'"};
    int id = std::stoi(t);
    const CommandInfo* c = find_command(id);
    if (c == nullptr) throw ScriptError{a.line, tr("nieznane polecenie menu ") + t};
    if (!command_available(s, r, id))
        throw ScriptError{
            a.line, tr("polecenie ") + t + " (" + menu_label(tr(c->text)) + tr(") jest teraz niedostępne")};
    return id;
}

}  // namespace

int run_answer_script(Session& s, ScriptedUi& ui, const CommandRegistry& r, std::string& error) {
    error.clear();
    ui.file_exists = [&s](const std::string& name) { return file_exists(s.resolve(name)); };
    ui.editor = [&s, &ui](const std::string& path, bool) { script_editor(s, ui, path); };
    try {
        start_program(s);
        close_intro(s);
        for (;;) {
            ScriptAnswer a = ui.next_answer();
            int id = command_of(s, r, a);
            ui.block("command", std::to_string(id) + " " + tr(find_command(id)->text), "");
            dispatch_command(s, r, id);
        }
    } catch (const ScriptExhausted&) {
        return kExitOk;
    } catch (const ProgramExit&) {
        return kExitOk;
    } catch (const ScriptError& e) {
        error = tr("wiersz ") + std::to_string(e.line) + ": " + e.message;
        ui.block("error", tr("wiersz ") + std::to_string(e.line), e.message);
        return kExitScriptError;
    }
}

ScriptRun run_script_lines(const std::vector<ScriptAnswer>& answers, const std::string& cwd) {
    ScriptedUi ui;
    ui.set_answers(answers);
    Session s(ui);
    if (!cwd.empty()) s.current_dir = cwd;
    prepare_session(s);
    CommandRegistry r;
    install_handlers(r);
    ScriptRun run;
    run.status = run_answer_script(s, ui, r, run.error);
    run.transcript = ui.transcript();
    run.helper = ui.helper_text();
    return run;
}

ScriptRun run_script(const std::vector<std::string>& answers, const std::string& cwd) {
    std::string content;
    for (const auto& a : answers) {
        content += a;
        content += '\n';
    }
    return run_script_lines(ScriptedUi::parse_script(content), cwd);
}

}  // namespace zuva
