// The commands of the advice, graphics and sound menus: browsing a base and its data
// files, the data directories, creating, deleting and editing bases and data files.
#include <filesystem>
#include <string>
#include <vector>

#include "kb/base_files.h"
#include "kb/media_bases.h"
#include "kb/media_kinds.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

using namespace media;

namespace {

bool base_has_records(const Session& s, MediaKind k) {
    switch (k) {
        case MediaKind::Advice:
            return !s.kb.advice.rada.empty();
        case MediaKind::Graphics:
            return !s.kb.graphics.grafika.empty() || !s.kb.graphics.ngrafika.empty();
        case MediaKind::Sounds:
            return !s.kb.sounds.dzwiek.empty() || !s.kb.sounds.ndzwiek.empty();
    }
    return false;
}

std::vector<FileFilter> data_filters(MediaKind k) {
    const std::vector<FileFilter> f[] = {{{tr("Pliki tekstowe rad (*.hlp)"), "*.hlp"}},
                                         {{tr("Pliki grafiki (*.bmp)"), "*.bmp"}},
                                         {{tr("Pliki dźwięków (*.wav)"), "*.wav"}}};
    return f[static_cast<int>(k)];
}

// The browsing commands of a loaded base without records say so first.
bool base_empty_note(Session& s, MediaKind k) {
    const KindTexts& t = texts(k);
    if (s.kb.name_of(t.base).loaded() && !base_has_records(s, k)) {
        s.ui.note(tr("Uwaga błąd!"), t.empty_base);
        return true;
    }
    return false;
}

void przeglad_pliku_bazy(Session& s, MediaKind k) {
    if (base_empty_note(s, k)) return;
    MediaAction a = dzialanie(s, k, 1);
    if (a.ok) browse_text_window(s, a.title, a.text);
}

void przeglad_nazw(Session& s, MediaKind k) {
    if (base_empty_note(s, k)) return;
    MediaAction a = dzialanie(s, k, k == MediaKind::Advice ? 5 : 2);
    if (!a.ok) return;
    switch (k) {
        case MediaKind::Advice:
            dlg_przeglad_rad(s, a.items);
            break;
        case MediaKind::Graphics:
            dlg_przeglad_grafiki(s, a.items);
            break;
        case MediaKind::Sounds:
            dlg_przesluchanie_dzwiekow(s, a.items);
            break;
    }
}

// "Obejrzenie podkartotek i ...": any data file chosen in a file dialog.
void obejrzenie_plikow(Session& s, MediaKind k) {
    if (base_empty_note(s, k)) return;
    const char* const titles[] = {tr("Obejrzenie podkartotek i plików tekstowych rad: "),
                                  tr("Obejrzenie podkartotek i plików graficznych : "),
                                  tr("Obejrzenie podkartotek lub przesłuchanie plików dźwięków ")};
    static const char* const masks[] = {"*.hlp", "*.bmp", "*.wav"};
    const std::string chosen =
        s.ui.open_file(masks[static_cast<int>(k)], data_filters(k), titles[static_cast<int>(k)]);
    if (chosen.empty()) return;
    const std::string path = s.resolve(chosen);
    switch (k) {
        case MediaKind::Advice: {
            if (!file_exists(path)) {
                s.ui.note(tr("Uwaga błąd!"), tr("Brak pliku tekstowego rady\n   ") + path + ".");
                return;
            }
            std::string why;
            std::string text = read_text_file(path, why);
            if (!why.empty()) {
                s.ui.note(tr("Uwaga błąd!"),
                          tr("Nie można odczytać pliku tekstowego rady\n   ") + path + "\n" + why + ".");
                return;
            }
            browse_text_window(s, tr("Przegląd pliku tekstowego rady: ") + short_name_of(path), text);
            break;
        }
        case MediaKind::Graphics:
            pokaz_plik_grafiki(s, path);
            break;
        case MediaKind::Sounds:
            odtworz_plik_dzwieku(s, path);
            break;
    }
}

// "Tworzenie lub kasowanie podkartoteki ...": the file dialog in which the user makes or
// removes the data directories. A name given that does not exist yet is offered as a new
// directory; an empty directory given is offered for removal; nothing is ever deleted
// with files in it.
void podkartoteka(Session& s, MediaKind k) {
    const char* const titles[] = {tr("Tworzenie lub kasowanie podkartoteki plików tekstowych rad : "),
                                  tr("Tworzenie lub kasowanie podkartoteki plików grafiki : "),
                                  tr("Tworzenie lub kasowanie podkartoteki plików melodii : ")};
    static const char* const masks[] = {"*.hlp", "*.bmp", "*.wav"};
    const std::string chosen =
        s.ui.open_file(masks[static_cast<int>(k)], data_filters(k), titles[static_cast<int>(k)]);
    if (chosen.empty()) return;
    namespace fs = std::filesystem;
    const std::string path = fs::path(s.resolve(native_separators(chosen))).lexically_normal().string();
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        int b = s.ui.question(tr("Tworzenie podkartoteki"),
                              tr("Czy utworzyć podkartotekę\n   ") + path + " ?", {tr("&Tak"), tr("&Nie")});
        if (b != 0) return;
        if (!fs::create_directories(path, ec)) {
            s.ui.note(tr("Uwaga błąd!"), tr("Nie można utworzyć podkartoteki\n   ") + path + ".");
            return;
        }
        s.ui.note(tr("Uwaga!"), tr("Podkartoteka ") + path + tr(" została utworzona."));
        return;
    }
    if (!fs::is_directory(path, ec)) return;
    if (!fs::is_empty(path, ec)) {
        s.ui.note(tr("Uwaga!"), tr("Podkartoteka ") + path + tr(" zawiera pliki i nie zostanie usunięta."));
        return;
    }
    int b = s.ui.question(tr("Usunięcie podkartoteki"),
                          tr("Czy jesteś pewien, że chcesz usunąć podkartotekę ") + path + " ?",
                          {tr("Tak"), tr("Nie")});
    if (b != 0) return;
    if (!fs::remove(path, ec)) {
        s.ui.note(tr("Uwaga błąd!"), tr("Nie można usunąć podkartoteki\n   ") + path + ".");
        return;
    }
    s.ui.note(tr("Uwaga!"), tr("Podkartoteka ") + path + tr(" została usunięta."));
}

void kasowanie_pliku_danych(Session& s, MediaKind k) {
    const char* const what[] = {tr("tekstowy rady "), tr("grafiki "), tr("dźwięku ")};
    const char* const dialogs[] = {tr("Wybierz plik tekstowy rady przeznaczony do usunięcia"),
                                   tr("Wybierz plik grafiki przeznaczony do usunięcia"),
                                   tr("Wybierz plik dźwięku przeznaczony do usunięcia")};
    const char* const titles[] = {tr("Usunięcie pliku tekstowego rady"), tr("Usunięcie pliku grafiki"),
                                  tr("Usunięcie pliku dźwięku")};
    static const char* const masks[] = {"*.hlp", "*.bmp", "*.wav"};
    const int i = static_cast<int>(k);
    const std::string w = what[i];
    DeleteTexts t;
    t.mask = masks[i];
    t.filters = data_filters(k);
    t.dialog_title = dialogs[i];
    t.question_title = titles[i];
    t.question_text = [w](const std::string& n) {
        return tr("Czy jesteś pewien, że chcesz usunąć plik ") + w + n + " ?";
    };
    const std::string cap = k == MediaKind::Advice ? tr("Plik tekstowy rady ") : tr("Plik ") + w;
    t.note_text = [cap](const std::string& n) { return cap + n + tr(" został usunięty."); };
    delete_base_file(s, t);
}

void tworzenie_pliku_rady(Session& s) {
    CreateTexts t;
    t.mask = "*.hlp";
    t.dialog_title = tr("Podaj nazwę nowego pliku tekstowego rady");
    t.note_title = tr("Tworzenie pliku tekstowego rady");
    t.note_text = [](const std::string& n) {
        return tr("Nowy plik tekstowy rady ") + n + tr(" został utworzony.");
    };
    t.question_title = tr("Tworzenie pliku tekstowego rady");
    t.question_text = [](const std::string& n) {
        return tr("Czy chcesz przejść od razu do edycji\nnowego pliku tekstowego rady ") + n + " ?";
    };
    create_base_file(s, t);
}

void tworzenie_bazy(Session& s, MediaKind k) {
    kasowanie_bazy(s, k);
    CreateTexts t;
    t.mask = kind_info(texts(k).base).mask;
    std::string what, subdir_note;
    switch (k) {
        case MediaKind::Advice:
            t.dialog_title = tr("Podaj nazwę nowej bazy rad");
            t.note_title = tr("Tworzenie nowej bazy rad");
            t.question_title = tr("Tworzenie bazy rad");
            what = tr("bazy rad ");
            subdir_note = tr(
                "Po zapisaniu treści bazy rad możesz przystąpić\ndo tworzenia podkartoteki plików tekstowych "
                "rad.\nPodkartotekę należy umieścić w kartotece 'RADY'.\n\nW tym celu wybierz 'Baza "
                "rad'\n'Tworzenie lub kasowanie podkartoteki plików tekstowych rad'.");
            break;
        case MediaKind::Graphics:
            t.dialog_title = tr("Podaj nazwę nowej bazy grafiki");
            t.note_title = tr("Tworzenie nowej bazy grafiki");
            t.question_title = tr("Tworzenie bazy grafiki");
            what = tr("bazy grafiki ");
            subdir_note =
                tr("Po zapisaniu treści bazy grafiki możesz przystąpić\ndo tworzenia podkartoteki plików "
                   "grafik.\nPodkartotekę należy umieścić w kartotece 'GRAFIKA'.\n\nW tym celu wybierz 'Baza "
                   "grafiki'\n'Tworzenie lub kasowanie podkartoteki plików grafiki'.");
            break;
        case MediaKind::Sounds:
            t.dialog_title = tr("Podaj nazwę nowej bazy dźwięku");
            t.note_title = tr("Tworzenie nowej bazy dźwięku");
            t.question_title = tr("Tworzenie bazy melodii");
            what = tr("bazy dźwięku ");
            subdir_note = tr(
                "Po zapisaniu treści bazy dźwięku możesz przystąpić\ndo tworzenia podkartoteki plików "
                "dźwięków.\nPodkartotekę należy umieścić w kartotece 'DŹWIĘKI'.\n\nW tym celu wybierz 'Baza "
                "dźwięku'\n'Tworzenie lub kasowanie podkartoteki plików dźwięków'.");
            break;
    }
    // "bazy rad " -> "baza rad ": the note names the base in the nominative.
    const std::string nominative = "baza" + what.substr(4);
    t.note_text = [nominative](const std::string& n) {
        return tr("Nowa ") + nominative + n + tr(" została utworzona.");
    };
    t.question_text = [what](const std::string& n) {
        return tr("Czy chcesz przejść od razu do edycji\nnowej ") + what + n + " ?";
    };
    if (create_base_file(s, t).empty()) return;
    s.ui.note(tr("Uwaga!"), subdir_note);
}

void kasowanie_bazy_pliku(Session& s, MediaKind k) {
    DeleteTexts t;
    t.mask = kind_info(texts(k).base).mask;
    t.filters = {kind_info(texts(k).base).filter};
    std::string what;
    switch (k) {
        case MediaKind::Advice:
            t.dialog_title = tr("Wybierz bazę rad przeznaczoną do usunięcia");
            t.question_title = tr("Usunięcie bazy rad");
            what = tr("bazę rad ");
            t.note_text = [](const std::string& n) { return tr("Baza rad ") + n + tr(" została usunięta."); };
            break;
        case MediaKind::Graphics:
            t.dialog_title = tr("Wybierz Bazę Grafiki przeznaczoną do usunięcia");
            t.question_title = tr("Usunięcie bazy grafiki");
            what = tr("bazę grafiki ");
            t.note_text = [](const std::string& n) {
                return tr("Baza grafiki ") + n + tr(" została usunięta.");
            };
            break;
        case MediaKind::Sounds:
            t.dialog_title = tr("Wybierz bazę dźwięku przeznaczoną do usunięcia");
            t.question_title = tr("Usunięcie bazy melodii ");
            what = tr("bazę dźwięku ");
            t.note_text = [](const std::string& n) {
                return tr("Baza dźwięku ") + n + tr(" została usunięta.");
            };
            break;
    }
    t.question_text = [what](const std::string& n) {
        return tr("Czy jesteś pewien, że chcesz usunąć ") + what + n + " ?";
    };
    delete_base_file(s, t);
}

void edycja_bazy(Session& s, MediaKind k) {
    const char* const titles[] = {tr("Wybierz nazwę edytowanej bazy rad : "),
                                  tr("Wybierz edytowaną bazę  grafiki"),
                                  tr("Wybierz edytowaną bazę dźwięku ")};
    const KindInfo& info = kind_info(texts(k).base);
    std::string chosen = s.ui.open_file(info.mask, {info.filter}, titles[static_cast<int>(k)]);
    if (chosen.empty()) return;
    open_editor_window(s, s.resolve(chosen));
}

}  // namespace

void register_media_commands(CommandRegistry& r) {
    r.set(10113, [](Session& s) {
        if (!ladowanie_bazy_rad(s).empty()) enable_advice_loaded_set(s);
    });
    r.set(10114, [](Session& s) { przeglad_pliku_bazy(s, MediaKind::Advice); });
    r.set(10115, [](Session& s) { edycja_bazy(s, MediaKind::Advice); });
    r.set(10116, [](Session& s) { tworzenie_bazy(s, MediaKind::Advice); });
    r.set(10117, [](Session& s) { kasowanie_bazy_pliku(s, MediaKind::Advice); });
    r.set(10118, [](Session& s) { przeglad_nazw(s, MediaKind::Advice); });
    r.set(10119, [](Session& s) { obejrzenie_plikow(s, MediaKind::Advice); });
    r.set(10120, [](Session& s) { podkartoteka(s, MediaKind::Advice); });
    r.set(10121, tworzenie_pliku_rady);
    r.set(10122, [](Session& s) { kasowanie_pliku_danych(s, MediaKind::Advice); });

    r.set(10124, [](Session& s) {
        if (!ladowanie_bazy_grafiki(s).empty()) enable_graphics_loaded_set(s);
    });
    r.set(10125, [](Session& s) { przeglad_pliku_bazy(s, MediaKind::Graphics); });
    r.set(10126, [](Session& s) { edycja_bazy(s, MediaKind::Graphics); });
    r.set(10127, [](Session& s) { tworzenie_bazy(s, MediaKind::Graphics); });
    r.set(10128, [](Session& s) { kasowanie_bazy_pliku(s, MediaKind::Graphics); });
    r.set(10129, [](Session& s) { przeglad_nazw(s, MediaKind::Graphics); });
    r.set(10130, [](Session& s) { obejrzenie_plikow(s, MediaKind::Graphics); });
    r.set(10131, [](Session& s) { podkartoteka(s, MediaKind::Graphics); });
    r.set(10132, [](Session& s) { kasowanie_pliku_danych(s, MediaKind::Graphics); });

    r.set(10134, [](Session& s) {
        if (!ladowanie_bazy_dzwiekow(s).empty()) enable_sounds_loaded_set(s);
    });
    r.set(10135, [](Session& s) { przeglad_pliku_bazy(s, MediaKind::Sounds); });
    r.set(10136, [](Session& s) { edycja_bazy(s, MediaKind::Sounds); });
    r.set(10137, [](Session& s) { tworzenie_bazy(s, MediaKind::Sounds); });
    r.set(10138, [](Session& s) { kasowanie_bazy_pliku(s, MediaKind::Sounds); });
    r.set(10139, [](Session& s) { przeglad_nazw(s, MediaKind::Sounds); });
    r.set(10140, [](Session& s) { obejrzenie_plikow(s, MediaKind::Sounds); });
    r.set(10141, [](Session& s) { podkartoteka(s, MediaKind::Sounds); });
    r.set(10142, [](Session& s) { kasowanie_pliku_danych(s, MediaKind::Sounds); });
}

}  // namespace zuva
