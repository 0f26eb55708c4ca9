// The editor lines are recognised by their first word, which no command line (a number) can
// have; the first other line ends the window's lines and is read again by the command loop.
#include "shell/script_editor.h"

#include <optional>

#include "session/session.h"
#include "shell/editor_files.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

namespace {

constexpr std::string_view kText = "tekst:";
constexpr std::string_view kFile = "plik:";

bool starts_with(const std::string& s, std::string_view p) {
    return s.compare(0, p.size(), p) == 0;
}

// The rest of a "tekst:" or "plik:" line after its word and one blank.
std::string rest_of(const std::string& line, std::string_view word) {
    std::string r = line.substr(word.size());
    if (!r.empty() && r.front() == ' ') r.erase(0, 1);
    return r;
}

bool editor_line(const std::string& line) {
    return starts_with(line, kText) || starts_with(line, kFile) || line == "Zapisz" ||
           line == "Zapisz jako" || line == "Zamknij";
}

}  // namespace

void script_editor(Session& s, ScriptedUi& ui, const std::string& path) {
    const ScriptAnswer* next = ui.peek_answer();
    if (next == nullptr || !editor_line(next->text)) return;  // nothing edited: the file stays
    std::string error;
    const std::optional<EditorText> original = read_for_editor(path, error);
    if (!original) {
        s.ui.note(tr("Uwaga błąd!"), error);
        return;
    }
    const int window = editor_opened(s, path);
    std::string text = original->text;
    bool text_started = false;  // the first "tekst:" line replaces the text, the others add lines
    while ((next = ui.peek_answer()) != nullptr && editor_line(next->text)) {
        const ScriptAnswer a = ui.next_answer();
        ui.answer_taken(a.text);
        if (starts_with(a.text, kText)) {
            if (!text_started) text.clear();
            text_started = true;
            text += rest_of(a.text, kText) + "\n";
        } else if (starts_with(a.text, kFile)) {
            std::string why;
            const std::string from = s.resolve(rest_of(a.text, kFile));
            if (!file_exists(from)) throw ScriptError{a.line, "nie ma pliku " + from};
            auto content = read_for_editor(from, why);
            if (!content) throw ScriptError{a.line, why};
            text = content->text;
            text_started = true;
        } else if (a.text == "Zapisz") {
            if (editor_save(s, window, text, original->format)) return editor_closed(s, window, true);
        } else if (a.text == "Zapisz jako") {
            if (editor_save_as(s, window, text, original->format)) return editor_closed(s, window, true);
        } else {
            const EditorClose c = editor_close_request(s, window, text, original->format);
            if (c != EditorClose::Keep) return editor_closed(s, window, c == EditorClose::Saved);
        }
    }
    // The lines ran out or a command follows: the window stays open with its text unsaved.
}

}  // namespace zuva
