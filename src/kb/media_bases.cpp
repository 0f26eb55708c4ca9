// The loads of the three media bases (one load sequence, the texts of each kind from
// media_kinds.cpp), where their data files are, and the actions on a loaded base.
#include "kb/media_bases.h"

#include <filesystem>
#include <functional>
#include <optional>

#include "kb/base_files.h"
#include "kb/media_kinds.h"
#include "kb/numbering.h"
#include "report/report.h"
#include "session/command_registry.h"
#include "session/enabling.h"
#include "session/session.h"
#include "session/verdicts.h"
#include "store/list_helpers.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/path_lookup.h"

namespace zuva {

using namespace media;

namespace {

std::string wyroznik(const Session& s) {
    return s.kb.wyroznik.empty() ? std::string() : *s.kb.wyroznik.first();
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
    s.ui.note(tr("Uwaga błąd!"), t.missing_dir + shown + t.missing_note);
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
            s.ui.note(tr("Uwaga!"), tr("Proszę załadować bazę reguł!"));
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
        piszln(s, t.loaded_line + name + tr("została załadowana!"));
        s.ui.note(t.loaded_title, t.loaded_note + name + tr("\nzostała załadowana."));
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
        piszln(s, tr("Przejdź do '") + section + tr(" niepewnej'"));
        piszln(s, tr("wybierz opcję '") + edit + "',");
        piszln(s, tr("wybierz błędną bazę i usuń błąd."));
        s.ui.note(tr("Uwaga błąd!"), tr("Przejdź do '") + section + tr(" niepewnej', wybierz opcję '") +
                                         edit + tr("',\nnastępnie wybierz błędną bazę i usuń błąd."));
    };
    const std::string reading = t.reading;
    st.empty_lines_branch = [&s, section, edit, reading] {
        piszln(s, tr("Błąd w trakcie wczytywania ") + reading + tr(". Baza zawiera puste linie!"));
        piszln(s, tr("Przejdź do '") + section + tr(" niepewnej'"));
        piszln(s, tr("wybierz opcję '") + edit + "',");
        piszln(s, tr("wybierz błędną bazę i usuń puste linie, które najczęściej są na końcu bazy."));
        s.ui.note(tr("Uwaga błąd!"), tr("Błąd w trakcie wczytywania ") + reading +
                                         tr(". Baza zawiera puste linie!\nPrzejdź do '") + section +
                                         tr(" niepewnej', wybierz opcję '") + edit +
                                         tr("',\nnastępnie wybierz błędną bazę i usuń puste linie, które "
                                            "najczęściej są na końcu bazy."));
    };
    return run_load_sequence(s, st);
}

}  // namespace

namespace media {

MediaAction dzialanie(Session& s, MediaKind k, int option) {
    const KindTexts& t = texts(k);
    const BaseName& name = s.kb.name_of(t.base);
    MediaAction a;
    if (option == 1) {
        if (!name.loaded() || name.full_path.empty()) {
            s.helper(std::string(t.no_base_line) + "\n");
            s.ui.note(tr("Uwaga!"), t.no_base_note);
            return a;
        }
        auto text = base_file_text(s, *name.full_path.first());
        if (!text) return a;
        s.set_title(t.browse_title + name.name());
        a.ok = true;
        a.title = tr("Przegląd");
        a.text = std::move(*text);
        return a;
    }
    if ((k == MediaKind::Advice && option == 5) || (k != MediaKind::Advice && option == 2)) {
        if (!name.loaded()) {
            s.ui.note(tr("Uwaga!"), t.load_first);
            return a;
        }
        a.items = nazwy_plikow(s, k);
        if (a.items.empty()) {
            s.ui.note(tr("Uwaga!"), t.no_names + name.name() + ".");
            return a;
        }
        a.ok = true;
        return a;
    }
    return a;
}

}  // namespace media

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

}  // namespace zuva
