// The case comes from the summary file as saved (the answers the user gave, the conclusions
// with their CFs) and names the rule base of that run; the file it goes to is chosen here,
// and a case is always appended, so no existing case is lost.
#include "shell/test_case_command.h"

#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/file_io.h"

namespace zuva {

namespace {

const std::vector<FileFilter> kCaseFilters = {{"Pliki przypadków testowych (*.tst)", "*.tst"}};

}  // namespace

void zapis_przypadku_testowego(Session& s) {
    const auto& saved = s.inference.zapisane_podsumowanie;
    if (!saved || saved->rule_base.empty()) {
        s.ui.note("Uwaga!",
                  "Przypadek testowy powstaje z zapisanego podsumowania wnioskowania.\n"
                  "Proszę najpierw zapisać podsumowanie!");
        return;
    }
    if (!s.shell.keep_case) {
        s.ui.note("Uwaga!", "Ta wersja programu nie zapisuje przypadków testowych.");
        return;
    }
    const std::string file = s.ui.save_file_appending(
        "*.tst", kCaseFilters, "Podaj nazwę pliku przypadków testowych (przypadek zostanie dopisany)");
    if (file.empty()) return;
    const std::string path = s.resolve(file);
    const std::string proposed = stem_of(saved->path);
    std::optional<std::string> name =
        s.ui.input_text("Przypadek testowy", "Podaj nazwę przypadku testowego:", proposed);
    if (!name) return;
    if (name->empty()) *name = proposed;
    const KeptCase kept = s.shell.keep_case(saved->path, saved->rule_base, saved->hypothesis, *name, path);
    const std::string where = short_name_of(path);
    switch (kept.status) {
        case 0:
            s.helper("\n Przypadek testowy " + *name + " został dopisany do pliku " + where + ".");
            s.ui.note("Przypadek testowy",
                      " Przypadek testowy " + *name + " został dopisany do pliku " + where + ".");
            return;
        case 1:
            s.helper("\n Przypadek testowy " + *name + " został dopisany do pliku " + where +
                     ", ale nie przechodzi: " + kept.problem);
            s.ui.note("Uwaga!", "Przypadek testowy " + *name + " został dopisany do pliku " + where +
                                    ",\nale w tej postaci nie przechodzi:\n" + kept.problem);
            return;
        default:
            s.helper("\n Nie zapisano przypadku testowego " + *name + ": " + kept.problem);
            s.ui.note("Uwaga błąd!", "Nie można zapisać przypadku testowego " + *name + ":\n" + kept.problem);
            return;
    }
}

void zapis_dziennika_konsultacji(Session& s) {
    const auto& saved = s.inference.zapisane_podsumowanie;
    if (!saved || saved->rule_base.empty()) {
        s.ui.note("Uwaga!",
                  "Dziennik konsultacji powstaje z zapisanego podsumowania wnioskowania.\n"
                  "Proszę najpierw zapisać podsumowanie!");
        return;
    }
    if (!s.shell.keep_log) {
        s.ui.note("Uwaga!", "Ta wersja programu nie zapisuje dzienników konsultacji.");
        return;
    }
    // Beside the summary, of its name: P.txt gives P.json.
    std::string path = saved->path;
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
    path += ".json";
    const KeptCase kept = s.shell.keep_log(saved->path, saved->rule_base, saved->hypothesis, path);
    const std::string where = short_name_of(path);
    switch (kept.status) {
        case 0:
            s.helper("\n Dziennik konsultacji został zapisany w pliku " + where + ".");
            s.ui.note("Dziennik konsultacji", " Dziennik konsultacji został zapisany w pliku " + where +
                                                  ".\n Odtwarza go polecenie: zuva --resume " + where);
            return;
        case 1:
            s.helper("\n Dziennik konsultacji został zapisany w pliku " + where +
                     ", ale jego odtworzenie różni się od podsumowania: " + kept.problem);
            s.ui.note("Uwaga!", "Dziennik konsultacji został zapisany w pliku " + where +
                                    ",\nale jego odtworzenie różni się od podsumowania:\n" + kept.problem);
            return;
        default:
            s.helper("\n Nie zapisano dziennika konsultacji: " + kept.problem);
            s.ui.note("Uwaga błąd!", "Nie można zapisać dziennika konsultacji:\n" + kept.problem);
            return;
    }
}

void register_test_case_command(CommandRegistry& r) {
    r.set(cmd::przypadek_testowy, zapis_przypadku_testowego);
    r.set(cmd::dziennik_konsultacji, zapis_dziennika_konsultacji);
}

}  // namespace zuva
