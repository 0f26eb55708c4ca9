// Saving goes through the program's one writer (a temporary file in the same directory
// renamed over the file): a full disk or a stopped program leaves the old file whole.
#include "shell/editor_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "session/enabling.h"
#include "session/session.h"
#include "shell/shell.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

std::optional<EditorText> read_for_editor(const std::string& path, std::string& error) {
    if (!file_exists(path)) return EditorText{};
    auto bytes = read_file_bytes(path);
    if (!bytes) {
        error = tr("Nie można odczytać pliku\n   ") + path + ".";
        return std::nullopt;
    }
    EditorText t;
    t.format.utf8 = is_valid_utf8(*bytes) && has_multibyte(*bytes);
    auto text = decode_file_text(*bytes);
    if (!text) {
        error = "Plik\n   " + path + "\nnie jest tekstem w kodowaniu Windows-1250 ani UTF-8.";
        return std::nullopt;
    }
    t.format.crlf = text->find("\r\n") != std::string::npos;
    if (t.format.crlf) {
        t.text.reserve(text->size());
        for (size_t i = 0; i < text->size(); ++i)
            if (!((*text)[i] == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n')) t.text += (*text)[i];
    } else {
        t.text = std::move(*text);
    }
    return t;
}

std::string write_from_editor(const std::string& path, const std::string& plain, EditorFormat format) {
    std::string text;
    if (format.crlf) {
        text.reserve(plain.size() + plain.size() / 16);
        for (char c : plain) {
            if (c == '\n') text += '\r';
            text += c;
        }
    } else {
        text = plain;
    }
    std::string bytes;
    if (format.utf8) {
        bytes = std::move(text);
    } else if (auto b = utf8_to_cp1250(text)) {
        bytes = std::move(*b);
    } else {
        return "tekst zawiera znaki spoza kodowania Windows-1250";
    }
    int err = 0;
    if (!replace_file(path, bytes, err)) return std::strerror(err);
    return "";
}

bool save_from_editor(Session& s, const std::string& path, const std::string& text, EditorFormat format,
                      EditorSave kind) {
    std::string reason = write_from_editor(path, text, format);
    if (!reason.empty()) {
        s.ui.note(tr("Uwaga błąd!"), tr("Plik ") + path + tr(" nie został zapisany:\n") + reason + ".");
        return false;
    }
    switch (kind) {
        case EditorSave::Save:
            s.helper(tr("Plik : ") + path + tr(" został zapisany\n"));
            s.ui.note(tr("Uwaga!"), tr("Plik ") + path + tr(" został zapisany."));
            break;
        case EditorSave::SaveAs:
            s.helper(tr("Nowy plik: ") + path + tr(" został zapisany\n"));
            s.ui.note(tr("Uwaga!"), tr("Plik: ") + path + tr(" został zapisany."));
            break;
        case EditorSave::OnClose:
            s.helper(tr("Plik: ") + path + tr(" został zapisany\n"));
            s.ui.note(tr("Uwaga!"), tr("Plik: ") + path + tr(" został zapisany."));
            break;
    }
    if (s.kb.nazwa_re.loaded() && !s.kb.nazwa_re.full_path.empty()) {
        std::error_code ec;
        if (std::filesystem::equivalent(path, *s.kb.nazwa_re.full_path.first(), ec))
            disable_commands(s, {10067, 10068, 10069});
    }
    return true;
}

bool editor_save(Session& s, int window, const std::string& text, EditorFormat format) {
    std::string path = editor_file(s, window);
    if (path.empty()) return false;
    return save_from_editor(s, path, text, format, EditorSave::Save);
}

bool editor_save_as(Session& s, int window, const std::string& text, EditorFormat format) {
    std::string chosen = s.ui.save_file("*.*", {}, "Zapisz jako");
    if (chosen.empty()) return false;
    std::string path = s.resolve(chosen);
    if (!save_from_editor(s, path, text, format, EditorSave::SaveAs)) return false;
    editor_renamed(s, window, path);
    return true;
}

EditorClose editor_close_request(Session& s, int window, const std::string& text, EditorFormat format) {
    int b =
        s.ui.question(tr("Zapis pliku"), tr("Czy zapisać aktualną postać pliku ?"), {tr("&TAK"), tr("&NIE")});
    if (b != 0) return EditorClose::Discarded;
    std::string path = editor_file(s, window);
    if (path.empty() || !save_from_editor(s, path, text, format, EditorSave::OnClose))
        return EditorClose::Keep;
    return EditorClose::Saved;
}

int editor_opened(Session& s, const std::string& path) {
    int id = ++s.shell.last_editor;
    s.shell.dla_zapisu.emplace_back(id, path);
    return id;
}

void editor_renamed(Session& s, int window, const std::string& path) {
    for (auto& [w, p] : s.shell.dla_zapisu)
        if (w == window) p = path;
}

void editor_closed(Session& s, int window, bool saved) {
    auto& v = s.shell.dla_zapisu;
    for (auto it = v.begin(); it != v.end(); ++it)
        if (it->first == window) {
            v.erase(it);
            break;
        }
    if (!saved) s.ui.helper_recreate(kHelperCapacity);
}

std::string editor_file(const Session& s, int window) {
    for (const auto& [w, p] : s.shell.dla_zapisu)
        if (w == window) return p;
    return "";
}

}  // namespace zuva
