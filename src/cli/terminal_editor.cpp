// The terminal port's editor window: the file in a UTF-8 copy, the user's own editor
// ($VISUAL, $EDITOR, nano, vi), and the changed text saved as the desktop editor saves it.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "cli/terminal_support.h"
#include "cli/terminal_ui.h"
#include "session/session.h"
#include "shell/editor_files.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

using namespace terminal;

// The editor works on a UTF-8 copy of the file, so any terminal editor shows the Polish
// letters; the file is written back, in the code page it was read in, only when the text
// was changed, with the messages of the desktop editor's "Zapisz".
void TerminalUi::open_editor(std::string_view path_view, bool wrap) {
    std::string path(path_view);
    heading(tr("Edycja"), path);
    std::string error;
    auto original = read_for_editor(path, error);
    if (!original) {
        note(tr("Uwaga błąd!"), error);
        return;
    }
    std::string tmpl = (std::filesystem::temp_directory_path() / "zuva-edycja-XXXXXX.txt").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    int fd = mkstemps(buf.data(), 4);
    if (fd < 0) {
        note(tr("Uwaga błąd!"), tr("Nie można utworzyć pliku roboczego edytora."));
        return;
    }
    close(fd);
    std::string tmp(buf.data());
    write_file_bytes(tmp, original->text);

    // $VISUAL and $EDITOR may carry arguments ("code -w"); they are split at blanks.
    std::vector<std::vector<std::string>> editors;
    for (const char* var : {"VISUAL", "EDITOR"}) {
        const char* e = std::getenv(var);
        if (e == nullptr) continue;
        std::vector<std::string> argv;
        std::string word;
        for (const char* p = e;; ++p) {
            if (*p == '\0' || *p == ' ' || *p == '\t') {
                if (!word.empty()) argv.push_back(word);
                word.clear();
                if (*p == '\0') break;
            } else {
                word += *p;
            }
        }
        if (!argv.empty()) editors.push_back(argv);
    }
    editors.push_back({"nano"});
    editors.push_back({"vi"});
    bool ran = false;
    for (auto& argv : editors) {
        hint(tr("Uruchamiam edytor ") + argv[0] + " ...");
        argv.push_back(tmp);
        if (run_program(argv, true)) {
            ran = true;
            break;
        }
    }
    if (!ran) {
        std::filesystem::remove(tmp);
        note(tr("Uwaga błąd!"), tr("Nie znaleziono edytora tekstu. Ustaw zmienną EDITOR."));
        return;
    }
    auto edited = read_file_bytes(tmp);
    std::string text = edited ? *edited : original->text;
    // An editor that wrote CR LF line ends: the file keeps the line ends it had.
    if (text.find("\r\n") != std::string::npos) {
        std::string plain;
        for (size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) plain += text[i];
        text = std::move(plain);
    }
    const int window = session_ != nullptr ? editor_opened(*session_, path) : 0;
    bool saved = false;
    if (text == original->text) {
        hint(tr("Plik nie został zmieniony."));
    } else if (session_ != nullptr) {
        if (!original->format.utf8 && !utf8_to_cp1250(text)) {
            int b =
                question(tr("Uwaga!"),
                         tr("Tekst zawiera znaki spoza kodowania Windows-1250.\nZapisać go z tymi znakami "
                            "zamienionymi na '?' ?"),
                         {tr("&Tak"), tr("&Nie")});
            if (b == 0) text = *cp1250_to_utf8(utf8_to_cp1250_lossy(text));
        }
        // A changed text is written only when the user says where: its own file or another.
        const int b = question(tr("Zapis pliku"), tr("Czy zapisać aktualną postać pliku ?"),
                               {tr("&Zapisz"), tr("Zapisz &jako"), tr("&Nie zapisuj")});
        if (b == 0) saved = editor_save(*session_, window, text, original->format);
        if (b == 1) saved = editor_save_as(*session_, window, text, original->format);
    }
    if (saved || text == original->text) {
        std::filesystem::remove(tmp);
    } else {
        hint(tr("Zmieniony tekst pozostał w pliku ") + tmp + ".");
    }
    if (session_ != nullptr) editor_closed(*session_, window, saved);
}

}  // namespace zuva
