// What the files of the media bases share (media_bases.cpp, media_commands.cpp,
// media_viewing.cpp): the texts of each kind, its data-directory table, the clearing of a
// base and the reading of a text file. Internal to kb/.
#pragma once
#include <string>

#include "kb/media_bases.h"
#include "store/knowledge_base.h"

namespace zuva {

struct Session;

namespace media {

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

const KindTexts& texts(MediaKind k);
Table<std::string>& sciezka_table(Session& s, MediaKind k);
const Table<std::string>& sciezka_table(const Session& s, MediaKind k);
// The records, short name and data directory of the kind.
void kasowanie_bazy(Session& s, MediaKind k);
// The text of a file; `why` says why it could not be had (empty when it was read).
std::string read_text_file(const std::string& path, std::string& why);
// The actions of dzialanie_w_bazie_rad / _grafiki / _melodii for the kind (media_bases.cpp).
MediaAction dzialanie(Session& s, MediaKind k, int option);

}  // namespace media
}  // namespace zuva
