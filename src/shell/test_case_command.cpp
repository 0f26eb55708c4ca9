// The case comes from the summary file as saved (the answers the user gave, the conclusions
// with their CFs) and names the rule base of that run; the file it goes to is chosen here,
// and a case is always appended, so no existing case is lost.
#include "shell/test_case_command.h"

#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {

const char* const kCaseFilter = N_("Pliki przypadków testowych (*.tst)");

}  // namespace

void zapis_przypadku_testowego(Session& s) {
    const auto& saved = s.inference.zapisane_podsumowanie;
    if (!saved || saved->rule_base.empty()) {
        s.ui.note(tr("Uwaga!"), tr("Przypadek testowy powstaje z zapisanego podsumowania wnioskowania.\n"
                                   "Proszę najpierw zapisać podsumowanie!"));
        return;
    }
    if (!s.shell.keep_case) {
        s.ui.note(tr("Uwaga!"), tr("Ta wersja programu nie zapisuje przypadków testowych."));
        return;
    }
    const std::string file =
        s.ui.save_file_appending("*.tst", {{tr(kCaseFilter), "*.tst"}},
                                 tr("Podaj nazwę pliku przypadków testowych (przypadek zostanie dopisany)"));
    if (file.empty()) return;
    const std::string path = s.resolve(file);
    const std::string proposed = stem_of(saved->path);
    std::optional<std::string> name =
        s.ui.input_text(tr("Przypadek testowy"), tr("Podaj nazwę przypadku testowego:"), proposed);
    if (!name) return;
    if (name->empty()) *name = proposed;
    const KeptCase kept = s.shell.keep_case(saved->path, saved->rule_base, saved->hypothesis, *name, path);
    const std::string where = short_name_of(path);
    switch (kept.status) {
        case 0:
            s.helper(tr("\n Przypadek testowy ") + *name + tr(" został dopisany do pliku ") + where + ".");
            s.ui.note(tr("Przypadek testowy"),
                      tr(" Przypadek testowy ") + *name + tr(" został dopisany do pliku ") + where + ".");
            return;
        case 1:
            s.helper(tr("\n Przypadek testowy ") + *name + tr(" został dopisany do pliku ") + where +
                     tr(", ale nie przechodzi: ") + kept.problem);
            s.ui.note(tr("Uwaga!"), tr("Przypadek testowy ") + *name + tr(" został dopisany do pliku ") +
                                        where + tr(",\nale w tej postaci nie przechodzi:\n") + kept.problem);
            return;
        default:
            s.helper(tr("\n Nie zapisano przypadku testowego ") + *name + ": " + kept.problem);
            s.ui.note(tr("Uwaga błąd!"),
                      tr("Nie można zapisać przypadku testowego ") + *name + ":\n" + kept.problem);
            return;
    }
}

void zapis_dziennika_konsultacji(Session& s) {
    const auto& saved = s.inference.zapisane_podsumowanie;
    if (!saved || saved->rule_base.empty()) {
        s.ui.note(tr("Uwaga!"), tr("Dziennik konsultacji powstaje z zapisanego podsumowania wnioskowania.\n"
                                   "Proszę najpierw zapisać podsumowanie!"));
        return;
    }
    if (!s.shell.keep_log) {
        s.ui.note(tr("Uwaga!"), tr("Ta wersja programu nie zapisuje dzienników konsultacji."));
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
            s.helper(tr("\n Dziennik konsultacji został zapisany w pliku ") + where + ".");
            s.ui.note(tr("Dziennik konsultacji"),
                      tr(" Dziennik konsultacji został zapisany w pliku ") + where +
                          tr(".\n Odtwarza go polecenie: zuva --resume ") + where);
            return;
        case 1:
            s.helper(tr("\n Dziennik konsultacji został zapisany w pliku ") + where +
                     tr(", ale jego odtworzenie różni się od podsumowania: ") + kept.problem);
            s.ui.note(tr("Uwaga!"), tr("Dziennik konsultacji został zapisany w pliku ") + where +
                                        tr(",\nale jego odtworzenie różni się od podsumowania:\n") +
                                        kept.problem);
            return;
        default:
            s.helper(tr("\n Nie zapisano dziennika konsultacji: ") + kept.problem);
            s.ui.note(tr("Uwaga błąd!"), tr("Nie można zapisać dziennika konsultacji:\n") + kept.problem);
            return;
    }
}

void register_test_case_command(CommandRegistry& r) {
    r.set(cmd::przypadek_testowy, zapis_przypadku_testowego);
    r.set(cmd::dziennik_konsultacji, zapis_dziennika_konsultacji);
}

}  // namespace zuva
