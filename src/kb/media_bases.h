// Advice, graphics and sound bases: their loads with the data-directory check, where their
// data files are, the per-kind actions, the viewing dialogs and the commands of their menus.
#pragma once
#include <string>

#include "store/values.h"

namespace zuva {

struct Session;
class CommandRegistry;

enum class MediaKind { Advice, Graphics, Sounds };

// The kind's data directory as the user reads it in messages ("../RADY/AUTO/"), and as it
// is on disk (each name found without regard to case), from the current directory.
std::string kartoteka_danych(const Session& s, MediaKind kind);
std::string sciezka_danych(const Session& s, MediaKind kind);

// Full paths of the data files named in records: an advice text as written, a picture
// with ".bmp" and a sound with ".wav" appended.
std::string nazwa_pelna_rady(const Session& s, const std::string& file_name);
std::string nazwa_pelna_grafiki(const Session& s, const std::string& name);
std::string nazwa_pelna_dzwieku(const Session& s, const std::string& name);

// The loads of the main menu (options 5, 16 and 17): the chosen full path, or the empty
// text when nothing was loaded.
std::string ladowanie_bazy_rad(Session& s);
std::string ladowanie_bazy_grafiki(Session& s);
std::string ladowanie_bazy_dzwiekow(Session& s);

struct MediaAction {
    bool ok = false;
    std::string title;
    std::string text;
    TextList items;
};
// Option 1: the base file as text for the text browse window (the window title is set);
// advice option 5, graphics and sound option 2: the distinct data-file names.
MediaAction dzialanie_w_bazie_rad(Session& s, int option);
MediaAction dzialanie_w_bazie_grafiki(Session& s, int option);
MediaAction dzialanie_w_bazie_melodii(Session& s, int option);

// The advice-reading dialog on an advice file named in a record; false (with a note) when
// the file is missing or cannot be read.
bool dlg_czytanie_rady(Session& s, const std::string& file_name);
// Shows a picture file or plays a sound file; a missing or unreadable file is reported in
// a note with its name, and the result is false.
bool pokaz_plik_grafiki(Session& s, const std::string& path);
bool odtworz_plik_dzwieku(Session& s, const std::string& path);
// The viewing dialogs: a list of names; each one chosen is read, shown or played, and the
// list comes again until nothing is chosen.
void dlg_przeglad_rad(Session& s, const TextList& file_names);
void dlg_przeglad_grafiki(Session& s, const TextList& names);
void dlg_przesluchanie_dzwiekow(Session& s, const TextList& names);

// Handlers of the commands 10113 to 10142.
void register_media_commands(CommandRegistry& r);

}  // namespace zuva
