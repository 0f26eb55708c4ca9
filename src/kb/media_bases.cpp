// The three media kinds share one load sequence and one set of commands; what differs is
// kept in a table of texts per kind. Data files live in "../RADY/W/", "../GRAFIKA/W/" and
// "../DŹWIĘKI/W/" beside the base directory, W the distinguishing name of the rule base.
#include "kb/media_bases.h"

#include <filesystem>
#include <functional>
#include <optional>

#include "kb/base_files.h"
#include "kb/numbering.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "session/verdicts.h"
#include "store/list_helpers.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/path_lookup.h"

namespace zuva {
namespace {

struct KindTexts {
    BaseKind base;
    const char* marker;
    const char* root;       // directory beside the base directory
    const char* data_mask;  // what the data directory must hold
    const char* extension;  // appended to a name from a record
    const char* missing_dir;
    const char* missing_line;
    const char* missing_note;
    const char* loaded_line;
    const char* loaded_title;
    const char* loaded_note;
    const char* section;  // 'Bazy rad' and so on, in the go-to-editor texts
    const char* edit;     // 'Edycja bazy rad'
    const char* reading;  // "bazy rad" in the empty-lines text
    const char* no_base_line;
    const char* no_base_note;
    const char* browse_title;
    const char* load_first;
    const char* no_names;  // "Brak pliku ... z " + name + "."
    const char* empty_base;
};

const KindTexts kTexts[] = {
    {BaseKind::Advice,
     "TAK",
     "RADY",
     "*.HLP",
     "",
     "Brak kartoteki z radami ",
     "Bazy rad nie można ładować gdy brak kartoteki z radami.",
     ".\nBazy rad nie można ładować gdy brak kartoteki z radami.",
     "Baza rad ",
     "Baza rad została załadowana !",
     "Baza rad elementarna niepewna\n   ",
     "Bazy rad",
     "Edycja bazy rad",
     "bazy rad",
     " Brak bazy rad do przeglądania.",
     "Brak bazy rad do przeglądania!",
     "zuva_EN Przegląd pliku bazy: ",
     "Proszę załadować bazę rad!",
     "Brak pliku tekstowego dla rady ",
     "Baza rad nie zawiera nazw rad !"},
    {BaseKind::Graphics,
     "Tak",
     "GRAFIKA",
     "*.BMP",
     ".bmp",
     "Brak kartoteki z grafikami ",
     "Bazy grafik nie można ładować gdy brak kartoteki z grafikami.",
     ".\nBazy grafiki nie można ładować gdy brak kartoteki z grafikami.",
     "Baza grafiki ",
     "Baza grafiki została załadowana !",
     "Baza grafiki elementarna niepewna\n   ",
     "Bazy grafiki",
     "Edycja bazy grafiki",
     "bazy grafiki",
     " Brak bazy grafiki do przeglądania.",
     "Brak bazy grafiki do przeglądania!",
     "zuva_EN Przegląd pliku bazy: ",
     "Proszę załadować bazę grafiki!",
     "Brak pliku grafiki z ",
     "Baza grafiki nie zawiera nazw grafik !"},
    {BaseKind::Sounds,
     "Tak",
     "DŹWIĘKI",
     "*.WAV",
     ".wav",
     "Brak kartoteki z dźwiękami ",
     "Bazy dźwięków nie można ładować gdy brak kartoteki z dźwiękami.",
     ".\nBazy dźwięków nie można ładować gdy brak kartoteki z dźwiękami.",
     "Baza dźwięków ",
     "Baza dźwięków została załadowana !",
     "Baza dźwięków elementarna niepewna\n    ",
     "Bazy dźwięków",
     "Edycja bazy dźwięków",
     "bazy dźwięków",
     " Brak bazy dźwięków do przeglądania.",
     "Brak bazy dźwięków do przeglądania!",
     "Przegląd pliku bazy dźwięków: ",
     "Proszę załadować bazę dźwięków!",
     "Brak pliku dźwięków z ",
     "Baza melodii nie zawiera nazw plików melodii !"},
};

const KindTexts& texts(MediaKind k) {
    return kTexts[static_cast<int>(k)];
}

std::string wyroznik(const Session& s) {
    return s.kb.wyroznik.empty() ? std::string() : *s.kb.wyroznik.first();
}

Table<std::string>& sciezka_table(Session& s, MediaKind k) {
    return k == MediaKind::Advice ? s.kb.sciezka : k == MediaKind::Graphics ? s.kb.sciezka1 : s.kb.sciezka2;
}
const Table<std::string>& sciezka_table(const Session& s, MediaKind k) {
    return sciezka_table(const_cast<Session&>(s), k);
}

// The records, short name and data directory of the kind (with the advice numbering verdict).
void kasowanie_bazy(Session& s, MediaKind k) {
    switch (k) {
        case MediaKind::Advice:
            s.kb.advice.rada.clear();
            s.kb.advice.inactive.clear();
            break;
        case MediaKind::Graphics:
            s.kb.graphics.grafika.clear();
            s.kb.graphics.ngrafika.clear();
            s.kb.graphics.inactive.clear();
            break;
        case MediaKind::Sounds:
            s.kb.sounds.dzwiek.clear();
            s.kb.sounds.ndzwiek.clear();
            s.kb.sounds.inactive.clear();
            break;
    }
    s.kb.name_of(texts(k).base).clear();
    sciezka_table(s, k).clear();
    // The numbering verdict belongs to the base: it goes with the records and the name.
    if (k == MediaKind::Advice) zapomnij_werdykt_numerow(s, BaseKind::Advice);
}

// Names of the data files in the records, each once, at the place of its last record.
TextList nazwy_plikow(const Session& s, MediaKind k) {
    TextList names;
    switch (k) {
        case MediaKind::Advice:
            for (const auto& r : s.kb.advice.rada)
                names.push_back(r.file_name);
            break;
        case MediaKind::Graphics:
            for (const auto& r : s.kb.graphics.grafika)
                names.push_back(r.file_name);
            for (const auto& r : s.kb.graphics.ngrafika)
                names.push_back(r.file_name);
            break;
        case MediaKind::Sounds:
            for (const auto& r : s.kb.sounds.dzwiek)
                names.push_back(r.file_name);
            for (const auto& r : s.kb.sounds.ndzwiek)
                names.push_back(r.file_name);
            break;
    }
    return redukuj(names);
}

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

// Step 5 of the load: the data directory must hold at least one file of the kind.
bool test_kartoteki(Session& s, MediaKind k) {
    const KindTexts& t = texts(k);
    const std::string dir = sciezka_danych(s, k);
    if (is_directory(dir) && !files_matching_nocase(dir, t.data_mask).empty()) {
        sciezka_table(s, k).clear();
        sciezka_table(s, k).append(dir);
        return true;
    }
    const std::string shown = kartoteka_danych(s, k);
    piszln(s, t.missing_dir + shown);
    piszln(s, t.missing_line);
    s.ui.note("Uwaga błąd!", t.missing_dir + shown + t.missing_note);
    // The records go and so does the name: a base without its records must not count
    // as loaded.
    kasowanie_bazy(s, k);
    return false;
}

std::string ladowanie(Session& s, MediaKind k) {
    const KindTexts& t = texts(k);
    LoadSteps st;
    st.kind = t.base;
    st.marker = t.marker;
    st.precondition = [&s, k] {
        if (!s.kb.nazwa_re.loaded()) {
            s.ui.note("Uwaga!", "Proszę załadować bazę reguł!");
            return false;
        }
        // A contradictory rule base loads no other base; the advice base is also barred by
        // a contradiction of models with rules.
        if (k == MediaKind::Advice) return ladowanie_ograniczen_i_rad_dozwolone(s);
        return !sprzeczna_baza_regul(s);
    };
    st.clear = [&s, k] { kasowanie_bazy(s, k); };
    st.before_success = [&s, k] { return test_kartoteki(s, k); };
    st.success = [&s, &t](const std::string& name) {
        piszln(s, t.loaded_line + name + "została załadowana!");
        s.ui.note(t.loaded_title, t.loaded_note + name + "\nzostała załadowana.");
    };
    if (k == MediaKind::Advice) {
        st.after_load = [&s] {
            // The advice numbering test empties the shared verdict table; a verdict of
            // another base must survive it. A repetition leaves the base loaded for
            // browsing while inference refuses.
            const bool others_failed = numbering_failed(s);
            testuj_numery_rad(s);
            if (others_failed && !numbering_failed(s)) s.kb.rozne_numery.append("NIE");
            return true;
        };
    }
    const std::string section = t.section;
    const std::string edit = t.edit;
    st.syntax_error_branch = [&s, section, edit] {
        piszln(s, "Przejdź do '" + section + " niepewnej'");
        piszln(s, "wybierz opcję '" + edit + "',");
        piszln(s, "wybierz błędną bazę i usuń błąd.");
        s.ui.note("Uwaga błąd!", "Przejdź do '" + section + " niepewnej', wybierz opcję '" + edit +
                                     "',\nnastępnie wybierz błędną bazę i usuń błąd.");
    };
    const std::string reading = t.reading;
    st.empty_lines_branch = [&s, section, edit, reading] {
        piszln(s, "Błąd w trakcie wczytywania " + reading + ". Baza zawiera puste linie!");
        piszln(s, "Przejdź do '" + section + " niepewnej'");
        piszln(s, "wybierz opcję '" + edit + "',");
        piszln(s, "wybierz błędną bazę i usuń puste linie, które najczęściej są na końcu bazy.");
        s.ui.note("Uwaga błąd!", "Błąd w trakcie wczytywania " + reading +
                                     ". Baza zawiera puste linie!\nPrzejdź do '" + section +
                                     " niepewnej', wybierz opcję '" + edit +
                                     "',\nnastępnie wybierz błędną bazę i usuń puste linie, które "
                                     "najczęściej są na końcu bazy.");
    };
    return run_load_sequence(s, st);
}

MediaAction dzialanie(Session& s, MediaKind k, int option) {
    const KindTexts& t = texts(k);
    const BaseName& name = s.kb.name_of(t.base);
    MediaAction a;
    if (option == 1) {
        if (!name.loaded() || name.full_path.empty()) {
            s.helper(std::string(t.no_base_line) + "\n");
            s.ui.note("Uwaga!", t.no_base_note);
            return a;
        }
        const std::string path = *name.full_path.first();
        auto bytes = read_file_bytes(path);
        CodecError err;
        auto text = bytes ? decode_file_text(*bytes, &err) : std::nullopt;
        if (!text) {
            s.ui.note("Uwaga błąd!", "Nie można odczytać pliku\n   " + path +
                                         (bytes ? "\n" + err.message : std::string(".")));
            return a;
        }
        s.set_title(t.browse_title + name.name());
        a.ok = true;
        a.title = "Przegląd";
        a.text = std::move(*text);
        return a;
    }
    if ((k == MediaKind::Advice && option == 5) || (k != MediaKind::Advice && option == 2)) {
        if (!name.loaded()) {
            s.ui.note("Uwaga!", t.load_first);
            return a;
        }
        a.items = nazwy_plikow(s, k);
        if (a.items.empty()) {
            s.ui.note("Uwaga!", t.no_names + name.name() + ".");
            return a;
        }
        a.ok = true;
        return a;
    }
    return a;
}

const std::vector<FileFilter>& data_filters(MediaKind k) {
    static const std::vector<FileFilter> f[] = {{{"Pliki tekstowe rad (*.hlp)", "*.hlp"}},
                                                {{"Pliki grafiki (*.bmp)", "*.bmp"}},
                                                {{"Pliki dźwięków (*.wav)", "*.wav"}}};
    return f[static_cast<int>(k)];
}

// The browsing commands of a loaded base without records say so first.
bool base_empty_note(Session& s, MediaKind k) {
    const KindTexts& t = texts(k);
    if (s.kb.name_of(t.base).loaded() && !base_has_records(s, k)) {
        s.ui.note("Uwaga błąd!", t.empty_base);
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

std::string read_text_file(const std::string& path, std::string& why) {
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        why = "Nie można odczytać pliku";
        return {};
    }
    CodecError err;
    auto text = decode_file_text(*bytes, &err);
    if (!text) {
        why = err.message;
        return {};
    }
    return *text;
}

// "Obejrzenie podkartotek i ...": any data file chosen in a file dialog.
void obejrzenie_plikow(Session& s, MediaKind k) {
    if (base_empty_note(s, k)) return;
    static const char* const titles[] = {
        "Obejrzenie podkartotek i plików tekstowych rad: ", "Obejrzenie podkartotek i plików graficznych : ",
        "Obejrzenie podkartotek lub przesłuchanie plików dźwięków "};
    static const char* const masks[] = {"*.hlp", "*.bmp", "*.wav"};
    const std::string chosen =
        s.ui.open_file(masks[static_cast<int>(k)], data_filters(k), titles[static_cast<int>(k)]);
    if (chosen.empty()) return;
    const std::string path = s.resolve(chosen);
    switch (k) {
        case MediaKind::Advice: {
            if (!file_exists(path)) {
                s.ui.note("Uwaga błąd!", "Brak pliku tekstowego rady\n   " + path + ".");
                return;
            }
            std::string why;
            std::string text = read_text_file(path, why);
            if (!why.empty()) {
                s.ui.note("Uwaga błąd!",
                          "Nie można odczytać pliku tekstowego rady\n   " + path + "\n" + why + ".");
                return;
            }
            browse_text_window(s, "Przegląd pliku tekstowego rady: " + short_name_of(path), text);
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
    static const char* const titles[] = {"Tworzenie lub kasowanie podkartoteki plików tekstowych rad : ",
                                         "Tworzenie lub kasowanie podkartoteki plików grafiki : ",
                                         "Tworzenie lub kasowanie podkartoteki plików melodii : "};
    static const char* const masks[] = {"*.hlp", "*.bmp", "*.wav"};
    const std::string chosen =
        s.ui.open_file(masks[static_cast<int>(k)], data_filters(k), titles[static_cast<int>(k)]);
    if (chosen.empty()) return;
    namespace fs = std::filesystem;
    const std::string path = fs::path(s.resolve(native_separators(chosen))).lexically_normal().string();
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        int b = s.ui.question("Tworzenie podkartoteki", "Czy utworzyć podkartotekę\n   " + path + " ?",
                              {"&Tak", "&Nie"});
        if (b != 0) return;
        if (!fs::create_directories(path, ec)) {
            s.ui.note("Uwaga błąd!", "Nie można utworzyć podkartoteki\n   " + path + ".");
            return;
        }
        s.ui.note("Uwaga!", "Podkartoteka " + path + " została utworzona.");
        return;
    }
    if (!fs::is_directory(path, ec)) return;
    if (!fs::is_empty(path, ec)) {
        s.ui.note("Uwaga!", "Podkartoteka " + path + " zawiera pliki i nie zostanie usunięta.");
        return;
    }
    int b = s.ui.question("Usunięcie podkartoteki",
                          "Czy jesteś pewien, że chcesz usunąć podkartotekę " + path + " ?", {"Tak", "Nie"});
    if (b != 0) return;
    if (!fs::remove(path, ec)) {
        s.ui.note("Uwaga błąd!", "Nie można usunąć podkartoteki\n   " + path + ".");
        return;
    }
    s.ui.note("Uwaga!", "Podkartoteka " + path + " została usunięta.");
}

void kasowanie_pliku_danych(Session& s, MediaKind k) {
    static const char* const what[] = {"tekstowy rady ", "grafiki ", "dźwięku "};
    static const char* const dialogs[] = {"Wybierz plik tekstowy rady przeznaczony do usunięcia",
                                          "Wybierz plik grafiki przeznaczony do usunięcia",
                                          "Wybierz plik dźwięku przeznaczony do usunięcia"};
    static const char* const titles[] = {"Usunięcie pliku tekstowego rady", "Usunięcie pliku grafiki",
                                         "Usunięcie pliku dźwięku"};
    static const char* const masks[] = {"*.hlp", "*.bmp", "*.wav"};
    const int i = static_cast<int>(k);
    const std::string w = what[i];
    DeleteTexts t;
    t.mask = masks[i];
    t.filters = data_filters(k);
    t.dialog_title = dialogs[i];
    t.question_title = titles[i];
    t.question_text = [w](const std::string& n) {
        return "Czy jesteś pewien, że chcesz usunąć plik " + w + n + " ?";
    };
    const std::string cap = k == MediaKind::Advice ? "Plik tekstowy rady " : "Plik " + w;
    t.note_text = [cap](const std::string& n) { return cap + n + " został usunięty."; };
    delete_base_file(s, t);
}

void tworzenie_pliku_rady(Session& s) {
    CreateTexts t;
    t.mask = "*.hlp";
    t.dialog_title = "Podaj nazwę nowego pliku tekstowego rady";
    t.note_title = "Tworzenie pliku tekstowego rady";
    t.note_text = [](const std::string& n) { return "Nowy plik tekstowy rady " + n + " został utworzony."; };
    t.question_title = "Tworzenie pliku tekstowego rady";
    t.question_text = [](const std::string& n) {
        return "Czy chcesz przejść od razu do edycji\nnowego pliku tekstowego rady " + n + " ?";
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
            t.dialog_title = "Podaj nazwę nowej bazy rad";
            t.note_title = "Tworzenie nowej bazy rad";
            t.question_title = "Tworzenie bazy rad";
            what = "bazy rad ";
            subdir_note =
                "Po zapisaniu treści bazy rad możesz przystąpić\ndo tworzenia podkartoteki plików tekstowych "
                "rad.\nPodkartotekę należy umieścić w kartotece 'RADY'.\n\nW tym celu wybierz 'Baza "
                "rad'\n'Tworzenie lub kasowanie podkartoteki plików tekstowych rad'.";
            break;
        case MediaKind::Graphics:
            t.dialog_title = "Podaj nazwę nowej bazy grafiki";
            t.note_title = "Tworzenie nowej bazy grafiki";
            t.question_title = "Tworzenie bazy grafiki";
            what = "bazy grafiki ";
            subdir_note =
                "Po zapisaniu treści bazy grafiki możesz przystąpić\ndo tworzenia podkartoteki plików "
                "grafik.\nPodkartotekę należy umieścić w kartotece 'GRAFIKA'.\n\nW tym celu wybierz 'Baza "
                "grafiki'\n'Tworzenie lub kasowanie podkartoteki plików grafiki'.";
            break;
        case MediaKind::Sounds:
            t.dialog_title = "Podaj nazwę nowej bazy dźwięku";
            t.note_title = "Tworzenie nowej bazy dźwięku";
            t.question_title = "Tworzenie bazy melodii";
            what = "bazy dźwięku ";
            subdir_note =
                "Po zapisaniu treści bazy dźwięku możesz przystąpić\ndo tworzenia podkartoteki plików "
                "dźwięków.\nPodkartotekę należy umieścić w kartotece 'DŹWIĘKI'.\n\nW tym celu wybierz 'Baza "
                "dźwięku'\n'Tworzenie lub kasowanie podkartoteki plików dźwięków'.";
            break;
    }
    // "bazy rad " -> "baza rad ": the note names the base in the nominative.
    const std::string nominative = "baza" + what.substr(4);
    t.note_text = [nominative](const std::string& n) {
        return "Nowa " + nominative + n + " została utworzona.";
    };
    t.question_text = [what](const std::string& n) {
        return "Czy chcesz przejść od razu do edycji\nnowej " + what + n + " ?";
    };
    if (create_base_file(s, t).empty()) return;
    s.ui.note("Uwaga!", subdir_note);
}

void kasowanie_bazy_pliku(Session& s, MediaKind k) {
    DeleteTexts t;
    t.mask = kind_info(texts(k).base).mask;
    t.filters = {kind_info(texts(k).base).filter};
    std::string what;
    switch (k) {
        case MediaKind::Advice:
            t.dialog_title = "Wybierz bazę rad przeznaczoną do usunięcia";
            t.question_title = "Usunięcie bazy rad";
            what = "bazę rad ";
            t.note_text = [](const std::string& n) { return "Baza rad " + n + " została usunięta."; };
            break;
        case MediaKind::Graphics:
            t.dialog_title = "Wybierz Bazę Grafiki przeznaczoną do usunięcia";
            t.question_title = "Usunięcie bazy grafiki";
            what = "bazę grafiki ";
            t.note_text = [](const std::string& n) { return "Baza grafiki " + n + " została usunięta."; };
            break;
        case MediaKind::Sounds:
            t.dialog_title = "Wybierz bazę dźwięku przeznaczoną do usunięcia";
            t.question_title = "Usunięcie bazy melodii ";
            what = "bazę dźwięku ";
            t.note_text = [](const std::string& n) { return "Baza dźwięku " + n + " została usunięta."; };
            break;
    }
    t.question_text = [what](const std::string& n) {
        return "Czy jesteś pewien, że chcesz usunąć " + what + n + " ?";
    };
    delete_base_file(s, t);
}

void edycja_bazy(Session& s, MediaKind k) {
    static const char* const titles[] = {
        "Wybierz nazwę edytowanej bazy rad : ", "Wybierz edytowaną bazę  grafiki",
        "Wybierz edytowaną bazę dźwięku "};
    const KindInfo& info = kind_info(texts(k).base);
    std::string chosen = s.ui.open_file(info.mask, {info.filter}, titles[static_cast<int>(k)]);
    if (chosen.empty()) return;
    open_editor_window(s, s.resolve(chosen));
}

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

std::string kartoteka_danych(const Session& s, MediaKind kind) {
    return std::string("../") + texts(kind).root + "/" + wyroznik(s) + "/";
}

std::string sciezka_danych(const Session& s, MediaKind kind) {
    return find_path_nocase(s.current_dir, std::string("../") + texts(kind).root + "/" + wyroznik(s));
}

namespace {
std::string data_file(const Session& s, MediaKind k, const std::string& name) {
    const Table<std::string>& t = sciezka_table(s, k);
    const std::string dir = t.empty() ? sciezka_danych(s, k) : *t.first();
    return find_path_nocase(dir, native_separators(name) + texts(k).extension);
}
}  // namespace

std::string nazwa_pelna_rady(const Session& s, const std::string& file_name) {
    return data_file(s, MediaKind::Advice, file_name);
}
std::string nazwa_pelna_grafiki(const Session& s, const std::string& name) {
    return data_file(s, MediaKind::Graphics, name);
}
std::string nazwa_pelna_dzwieku(const Session& s, const std::string& name) {
    return data_file(s, MediaKind::Sounds, name);
}

std::string ladowanie_bazy_rad(Session& s) {
    return ladowanie(s, MediaKind::Advice);
}
std::string ladowanie_bazy_grafiki(Session& s) {
    return ladowanie(s, MediaKind::Graphics);
}
std::string ladowanie_bazy_dzwiekow(Session& s) {
    return ladowanie(s, MediaKind::Sounds);
}

MediaAction dzialanie_w_bazie_rad(Session& s, int option) {
    return dzialanie(s, MediaKind::Advice, option);
}
MediaAction dzialanie_w_bazie_grafiki(Session& s, int option) {
    return dzialanie(s, MediaKind::Graphics, option);
}
MediaAction dzialanie_w_bazie_melodii(Session& s, int option) {
    return dzialanie(s, MediaKind::Sounds, option);
}

bool dlg_czytanie_rady(Session& s, const std::string& file_name) {
    const std::string path = nazwa_pelna_rady(s, file_name);
    if (!file_exists(path)) {
        s.ui.note("Uwaga błąd!", "Brak pliku tekstowego rady\n   " + path + ".");
        return false;
    }
    std::string why;
    std::string text = read_text_file(path, why);
    if (!why.empty()) {
        s.ui.note("Uwaga błąd!", "Nie można odczytać pliku tekstowego rady\n   " + path + "\n" + why + ".");
        return false;
    }
    s.ui.asking(Asking::AdviceText, path);
    s.ui.read_text("Czytanie rady: " + file_name, text);
    return true;
}

bool pokaz_plik_grafiki(Session& s, const std::string& path) {
    if (!file_exists(path)) {
        s.ui.note("Uwaga błąd!", "Brak pliku grafiki\n   " + path + ".");
        return false;
    }
    MediaOutcome o = s.ui.show_picture(path);
    if (!o.ok) {
        s.ui.note("Uwaga błąd!", "Nie można wyświetlić pliku grafiki\n   " + path + "\n" + o.reason + ".");
        return false;
    }
    return true;
}

bool odtworz_plik_dzwieku(Session& s, const std::string& path) {
    if (!file_exists(path)) {
        s.ui.note("Uwaga błąd!", "Brak pliku dźwięku\n   " + path + ".");
        return false;
    }
    MediaOutcome o = s.ui.play_sound(path);
    if (!o.ok) {
        s.ui.note("Uwaga błąd!", "Nie można odtworzyć pliku dźwięku\n   " + path + "\n" + o.reason + ".");
        return false;
    }
    return true;
}

void dlg_przeglad_rad(Session& s, const TextList& file_names) {
    list_dialog(
        s, "Przegląd rad", "Wybierz radę do przeczytania:", file_names,
        [&s](const std::string& n) { dlg_czytanie_rady(s, n); }, Asking::AdviceList);
}

void dlg_przeglad_grafiki(Session& s, const TextList& names) {
    list_dialog(s, "Przegląd grafiki", "Wybierz grafikę do obejrzenia:", names,
                [&s](const std::string& n) { pokaz_plik_grafiki(s, nazwa_pelna_grafiki(s, n)); });
}

void dlg_przesluchanie_dzwiekow(Session& s, const TextList& names) {
    list_dialog(s, "Przesłuchanie dźwięków", "Wybierz dźwięk do przesłuchania:", names,
                [&s](const std::string& n) { odtworz_plik_dzwieku(s, nazwa_pelna_dzwieku(s, n)); });
}

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
