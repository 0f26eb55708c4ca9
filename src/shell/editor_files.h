// What an editor window does with its file: reading it into the window's UTF-8 text,
// writing it back in the code page it was read in, and what the user is told on saving.
// Both front ends' editors use these; `dla_zapisu` keeps the file of each open window.
#pragma once
#include <optional>
#include <string>

namespace zuva {

struct Session;

// How a file is written back: its code page and its line ends as they were read.
struct EditorFormat {
    bool utf8 = false;  // UTF-8 on disk; Windows-1250 otherwise
    bool crlf = false;  // CR LF line ends
};

struct EditorText {
    std::string text;  // UTF-8, lines ended by '\n'
    EditorFormat format;
};

// The text of a file for an editor; a missing file is an empty text. nullopt when the
// file cannot be read or is neither Windows-1250 nor UTF-8 (`error` says why).
std::optional<EditorText> read_for_editor(const std::string& path, std::string& error);

// Writes the text to the file through a temporary file beside it, renamed over it, so a
// failed write never leaves it half-written. Returns the reason of a failure, or "".
std::string write_from_editor(const std::string& path, const std::string& text, EditorFormat format);

enum class EditorSave {
    Save,     // "Zapisz"
    SaveAs,   // "Zapisz jako" (a new file)
    OnClose,  // "&TAK" at the close question
};

// Saves and tells the user: the helper-window line and the note of the kind of saving,
// or a note "Uwaga błąd!" with the reason. Saving the loaded rule-base file disables the
// rule-browsing commands, which show the loaded rules, until the next load.
bool save_from_editor(Session& s, const std::string& path, const std::string& text, EditorFormat format,
                      EditorSave kind);
// "Zapisz" of a window: to its own file.
bool editor_save(Session& s, int window, const std::string& text, EditorFormat format);
// "Zapisz jako": the save dialog with the mask "*.*", then to the chosen file.
bool editor_save_as(Session& s, int window, const std::string& text, EditorFormat format);
enum class EditorClose {
    Keep,       // "&TAK" and the save failed: the window stays with its text
    Saved,      // "&TAK" and saved
    Discarded,  // "&NIE"
};
// The close request: "Czy zapisać aktualną postać pliku ?" under "Zapis pliku".
EditorClose editor_close_request(Session& s, int window, const std::string& text, EditorFormat format);

// An editor window opened on a file: its `dla_zapisu` record; the id names the window.
int editor_opened(Session& s, const std::string& path);
// The window's file changed (after "Zapisz jako" the window would write there).
void editor_renamed(Session& s, int window, const std::string& path);
// The window went away; closed without saving, the helper window is replaced by a new one.
void editor_closed(Session& s, int window, bool saved);
// The file that "Zapisz" of the window writes to ("" for an unknown window).
std::string editor_file(const Session& s, int window);

}  // namespace zuva
