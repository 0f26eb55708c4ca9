// The three media kinds share one load sequence and one set of commands; what differs is
// kept in a table of texts per kind. Data files live in "../RADY/W/", "../GRAFIKA/W/" and
// "../DŹWIĘKI/W/" beside the base directory, W the distinguishing name of the rule base.
#include "kb/media_kinds.h"

#include "kb/base_files.h"
#include "kb/numbering.h"
#include "session/session.h"
#include "session/verdicts.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace media {

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

}  // namespace media
}  // namespace zuva
