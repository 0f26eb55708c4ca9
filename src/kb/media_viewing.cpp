// The viewing dialogs of the media bases: an advice text read, a picture shown, a sound
// played, and the lists of names each one is chosen from.
#include <functional>
#include <optional>
#include <string>

#include "kb/media_bases.h"
#include "kb/media_kinds.h"
#include "session/session.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

using namespace media;

namespace {

void list_dialog(Session& s, const char* title, const char* prompt, const TextList& names,
                 const std::function<void(const std::string&)>& open, std::optional<Asking> what = {}) {
    for (;;) {
        if (what) s.ui.asking(*what);
        auto chosen = s.ui.choose_one_prompted(title, prompt, names);
        if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= names.size()) return;
        open(names[static_cast<std::size_t>(*chosen)]);
    }
}

}  // namespace

bool dlg_czytanie_rady(Session& s, const std::string& file_name) {
    const std::string path = nazwa_pelna_rady(s, file_name);
    if (!file_exists(path)) {
        s.ui.note(tr("Uwaga błąd!"), tr("Brak pliku tekstowego rady\n   ") + path + ".");
        return false;
    }
    std::string why;
    std::string text = read_text_file(path, why);
    if (!why.empty()) {
        s.ui.note(tr("Uwaga błąd!"),
                  tr("Nie można odczytać pliku tekstowego rady\n   ") + path + "\n" + why + ".");
        return false;
    }
    s.ui.asking(Asking::AdviceText, path);
    s.ui.read_text(tr("Czytanie rady: ") + file_name, text);
    return true;
}

bool pokaz_plik_grafiki(Session& s, const std::string& path) {
    if (!file_exists(path)) {
        s.ui.note(tr("Uwaga błąd!"), tr("Brak pliku grafiki\n   ") + path + ".");
        return false;
    }
    MediaOutcome o = s.ui.show_picture(path);
    if (!o.ok) {
        s.ui.note(tr("Uwaga błąd!"),
                  tr("Nie można wyświetlić pliku grafiki\n   ") + path + "\n" + o.reason + ".");
        return false;
    }
    return true;
}

bool odtworz_plik_dzwieku(Session& s, const std::string& path) {
    if (!file_exists(path)) {
        s.ui.note(tr("Uwaga błąd!"), tr("Brak pliku dźwięku\n   ") + path + ".");
        return false;
    }
    MediaOutcome o = s.ui.play_sound(path);
    if (!o.ok) {
        s.ui.note(tr("Uwaga błąd!"),
                  tr("Nie można odtworzyć pliku dźwięku\n   ") + path + "\n" + o.reason + ".");
        return false;
    }
    return true;
}

void dlg_przeglad_rad(Session& s, const TextList& file_names) {
    list_dialog(
        s, tr("Przegląd rad"), tr("Wybierz radę do przeczytania:"), file_names,
        [&s](const std::string& n) { dlg_czytanie_rady(s, n); }, Asking::AdviceList);
}

void dlg_przeglad_grafiki(Session& s, const TextList& names) {
    list_dialog(s, tr("Przegląd grafiki"), tr("Wybierz grafikę do obejrzenia:"), names,
                [&s](const std::string& n) { pokaz_plik_grafiki(s, nazwa_pelna_grafiki(s, n)); });
}

void dlg_przesluchanie_dzwiekow(Session& s, const TextList& names) {
    list_dialog(s, tr("Przesłuchanie dźwięków"), tr("Wybierz dźwięk do przesłuchania:"), names,
                [&s](const std::string& n) { odtworz_plik_dzwieku(s, nazwa_pelna_dzwieku(s, n)); });
}

}  // namespace zuva
