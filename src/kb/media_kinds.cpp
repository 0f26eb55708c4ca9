// The three media kinds share one load sequence and one set of commands; what differs is
// kept in a table of texts per kind. Data files live in "../RADY/W/", "../GRAFIKA/W/" and
// "../DŹWIĘKI/W/" beside the base directory, W the distinguishing name of the rule base.
#include "kb/media_kinds.h"

#include <array>
#include <optional>

#include "kb/base_files.h"
#include "kb/numbering.h"
#include "session/session.h"
#include "session/verdicts.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {
namespace media {

const KindTexts kTexts[] = {
    {BaseKind::Advice,
     "TAK",
     "RADY",
     "*.HLP",
     "",
     N_("Brak kartoteki z radami "),
     N_("Bazy rad nie można ładować gdy brak kartoteki z radami."),
     N_(".\nBazy rad nie można ładować gdy brak kartoteki z radami."),
     N_("Baza rad "),
     N_("Baza rad została załadowana !"),
     N_("Baza rad elementarna niepewna\n   "),
     N_("Bazy rad"),
     N_("Edycja bazy rad"),
     N_("bazy rad"),
     N_(" Brak bazy rad do przeglądania."),
     N_("Brak bazy rad do przeglądania!"),
     N_("zuva_EN Przegląd pliku bazy: "),
     N_("Proszę załadować bazę rad!"),
     N_("Brak pliku tekstowego dla rady "),
     N_("Baza rad nie zawiera nazw rad !")},
    {BaseKind::Graphics,
     "Tak",
     "GRAFIKA",
     "*.BMP",
     ".bmp",
     N_("Brak kartoteki z grafikami "),
     N_("Bazy grafik nie można ładować gdy brak kartoteki z grafikami."),
     N_(".\nBazy grafiki nie można ładować gdy brak kartoteki z grafikami."),
     N_("Baza grafiki "),
     N_("Baza grafiki została załadowana !"),
     N_("Baza grafiki elementarna niepewna\n   "),
     N_("Bazy grafiki"),
     N_("Edycja bazy grafiki"),
     N_("bazy grafiki"),
     N_(" Brak bazy grafiki do przeglądania."),
     N_("Brak bazy grafiki do przeglądania!"),
     N_("zuva_EN Przegląd pliku bazy: "),
     N_("Proszę załadować bazę grafiki!"),
     N_("Brak pliku grafiki z "),
     N_("Baza grafiki nie zawiera nazw grafik !")},
    {BaseKind::Sounds,
     "Tak",
     "DŹWIĘKI",
     "*.WAV",
     ".wav",
     N_("Brak kartoteki z dźwiękami "),
     N_("Bazy dźwięków nie można ładować gdy brak kartoteki z dźwiękami."),
     N_(".\nBazy dźwięków nie można ładować gdy brak kartoteki z dźwiękami."),
     N_("Baza dźwięków "),
     N_("Baza dźwięków została załadowana !"),
     N_("Baza dźwięków elementarna niepewna\n    "),
     N_("Bazy dźwięków"),
     N_("Edycja bazy dźwięków"),
     N_("bazy dźwięków"),
     N_(" Brak bazy dźwięków do przeglądania."),
     N_("Brak bazy dźwięków do przeglądania!"),
     N_("Przegląd pliku bazy dźwięków: "),
     N_("Proszę załadować bazę dźwięków!"),
     N_("Brak pliku dźwięków z "),
     N_("Baza melodii nie zawiera nazw plików melodii !")},
};

// The texts of a kind in the language of the thread, made once for each language.
const KindTexts& texts(MediaKind k) {
    thread_local std::array<std::array<std::optional<KindTexts>, 3>, 2> shown;
    std::optional<KindTexts>& t = shown[static_cast<int>(thread_language())][static_cast<int>(k)];
    if (!t) {
        KindTexts x = kTexts[static_cast<int>(k)];
        for (const char** f :
             {&x.missing_dir, &x.missing_line, &x.missing_note, &x.loaded_line, &x.loaded_title,
              &x.loaded_note, &x.section, &x.edit, &x.reading, &x.no_base_line, &x.no_base_note,
              &x.browse_title, &x.load_first, &x.no_names, &x.empty_base})
            *f = tr(*f);
        t = x;
    }
    return *t;
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

std::string read_text_file(const std::string& path, std::string& why) {
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        why = tr("Nie można odczytać pliku");
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

}  // namespace media
}  // namespace zuva
