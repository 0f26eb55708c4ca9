// Transcript blocks start on a line of their own with "[kind] title"; helper-window
// text is copied verbatim between them.
#include "ui/scripted_ui.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "text/codec.h"
#include "text/i18n.h"
#include "text/pieces.h"

namespace zuva {
namespace {

std::string strip_amp(std::string_view s) {
    std::string r;
    for (char c : s)
        if (c != '&') r += c;
    return r;
}

bool parse_position(const std::string& s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    out = std::atoi(s.c_str());
    return true;
}

std::string trim_blanks(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string join(const std::vector<std::string>& v, std::string_view sep) {
    std::string r;
    for (size_t i = 0; i < v.size(); ++i) {
        if (i) r += sep;
        r += v[i];
    }
    return r;
}

}  // namespace

ScriptedUi::ScriptedUi(std::vector<std::string> answers) {
    for (auto& a : answers)
        add_answer(std::move(a));
}

std::vector<ScriptAnswer> ScriptedUi::parse_script(const std::string& content) {
    std::vector<ScriptAnswer> out;
    size_t pos = 0;
    int line = 0;
    // Editors on Windows start UTF-8 files with a byte-order mark; it is no part of the answer.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < content.size()) {
        size_t nl = content.find('\n', pos);
        std::string l = content.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? content.size() : nl + 1;
        ++line;
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!l.empty() && l[0] == '#') continue;
        out.push_back({l, line});
    }
    return out;
}

void ScriptedUi::set_answers(std::vector<ScriptAnswer> answers) {
    answers_ = std::move(answers);
    next_ = 0;
}

void ScriptedUi::add_answer(std::string text) {
    int line = answers_.empty() ? 1 : answers_.back().line + 1;
    answers_.push_back({std::move(text), line});
}

ScriptAnswer ScriptedUi::next_answer() {
    if (next_ >= answers_.size()) throw ScriptExhausted{};
    return answers_[next_++];
}

void ScriptedUi::answer_taken(std::string_view text) {
    out("answer: " + std::string(text) + "\n");
}

void ScriptedUi::out(std::string_view s) {
    if (s.empty()) return;
    if (keep_history_) transcript_ += s;
    at_line_start_ = s.back() == '\n';
    if (on_output) on_output(s);
}

void ScriptedUi::block(std::string_view kind, std::string_view title, std::string_view body) {
    // A forward run writes a block for every resultant: the text is made in a buffer kept
    // from one block to the next.
    static thread_local std::string b;
    b.clear();
    b.reserve(kind.size() + title.size() + body.size() + 6);
    if (!at_line_start_) b += '\n';
    b += '[';
    b += kind;
    b += ']';
    if (!title.empty()) {
        b += ' ';
        b += title;
    }
    b += '\n';
    if (!body.empty()) {
        b += body;
        if (b.back() != '\n') b += '\n';
    }
    out(b);
    if (b.capacity() > (1 << 16)) std::string().swap(b);  // a large block is not kept
}

void ScriptedUi::helper_write(std::string_view text) {
    helper_ += text;
    if (!keep_history_) {
        // Only the window's last lines stay: whole lines leave the front. The text before
        // helper_start_ is dropped only once it is large, so that a long run does not move
        // the window's text at every write.
        helper_lines_ += count_newlines(text);
        while (helper_lines_ > static_cast<std::size_t>(helper_capacity_)) {
            helper_start_ = helper_.find('\n', helper_start_) + 1;
            --helper_lines_;
        }
        if (helper_start_ > (1u << 16) && helper_start_ * 2 > helper_.size()) compact_helper();
    }
    out(text);
}

void ScriptedUi::compact_helper() const {
    helper_.erase(0, helper_start_);
    helper_start_ = 0;
}

void ScriptedUi::helper_clear() {
    helper_.clear();
    helper_start_ = 0;
    helper_lines_ = 0;
    block("clear", "", "");
}

void ScriptedUi::helper_recreate(int capacity) {
    helper_.clear();
    helper_start_ = 0;
    helper_lines_ = 0;
    helper_capacity_ = capacity > 0 ? capacity : 100;
    block("new-helper", std::to_string(capacity), "");
}

void ScriptedUi::set_title(std::string_view title) {
    title_ = std::string(title);
    block("title", title, "");
}

void ScriptedUi::note(std::string_view title, std::string_view text) {
    block("note", title, text);
}

int ScriptedUi::question(std::string_view title, std::string_view text,
                         const std::vector<std::string>& buttons) {
    std::string body(text);
    if (!body.empty() && body.back() != '\n') body += '\n';
    body += "buttons: " + join(buttons, " | ") + "\n";
    block("question", title, body);
    ScriptAnswer a = next_answer();
    int pos = 0;
    int chosen = -1;
    if (parse_position(a.text, pos) && pos >= 1 && pos <= static_cast<int>(buttons.size())) {
        chosen = pos - 1;
    } else {
        // The label shown or its Polish original: scripts answer in Polish under every language.
        std::string want = to_lower_pl(strip_amp(a.text));
        for (size_t i = 0; i < buttons.size() && chosen < 0; ++i)
            if (to_lower_pl(strip_amp(buttons[i])) == want ||
                to_lower_pl(strip_amp(untranslated(buttons[i]))) == want)
                chosen = static_cast<int>(i);
    }
    if (chosen < 0)
        throw ScriptError{a.line, tr("odpowiedź '") + a.text + tr("' nie jest przyciskiem pytania (") +
                                      join(buttons, ", ") + ")"};
    out("answer: " + buttons[chosen] + "\n");
    return chosen;
}

std::string ScriptedUi::file_dialog(std::string_view kind, std::string_view mask,
                                    const std::vector<FileFilter>& filters, std::string_view title) {
    std::string body = "mask: " + std::string(mask) + "\n";
    for (const auto& f : filters)
        body += "filter: " + f.description + " | " + f.mask + "\n";
    block(kind, title, body);
    ScriptAnswer a = next_answer();
    out("answer: " + a.text + "\n");
    return a.text;
}

std::string ScriptedUi::open_file(std::string_view mask, const std::vector<FileFilter>& filters,
                                  std::string_view title) {
    return file_dialog("open-file", mask, filters, title);
}

// A name of an existing file is taken only after a "Tak" to the question; "Nie" shows the
// dialog again for the next line.
std::string ScriptedUi::save_file(std::string_view mask, const std::vector<FileFilter>& filters,
                                  std::string_view title) {
    for (;;) {
        std::string name = file_dialog("save-file", mask, filters, title);
        if (name.empty() || !file_exists || !file_exists(name)) return name;
        if (question(tr("Zapisz jako"), overwrite_question(name), {tr("&Tak"), tr("&Nie")}) == 0) return name;
    }
}

std::string ScriptedUi::save_file_unchecked(std::string_view mask, const std::vector<FileFilter>& filters,
                                            std::string_view title) {
    return file_dialog("save-file", mask, filters, title);
}

int ScriptedUi::radio(std::string_view dialog, std::string_view text, const std::vector<std::string>& options,
                      int initial) {
    std::string body(text);
    if (!body.empty() && body.back() != '\n') body += '\n';
    for (size_t i = 0; i < options.size(); ++i)
        body += std::to_string(i + 1) + ". " + options[i] + "\n";
    block("radio", dialog, body);
    ScriptAnswer a = next_answer();
    int pos = 0;
    if (!parse_position(a.text, pos) || pos < 1 || pos > static_cast<int>(options.size()))
        throw ScriptError{a.line, tr("odpowiedź '") + a.text + tr("' nie jest numerem opcji od 1 do ") +
                                      std::to_string(options.size())};
    out("answer: " + a.text + "\n");
    return pos;
}

std::optional<std::string> ScriptedUi::input_text(std::string_view title, std::string_view prompt,
                                                  std::string_view initial) {
    block("input", title, "prompt: " + std::string(prompt) + "\n");
    ScriptAnswer a = next_answer();
    out("answer: " + a.text + "\n");
    return a.text;
}

std::optional<std::string> ScriptedUi::value_dialog(std::string_view dialog, std::string_view title,
                                                    std::string_view name) {
    block("value", dialog, "title: " + std::string(title) + "\nname: " + std::string(name) + "\n");
    ScriptAnswer a = next_answer();
    out("answer: " + a.text + "\n");
    return a.text;
}

Ui::ValueReply ScriptedUi::value_dialog_why(std::string_view dialog, std::string_view title,
                                            std::string_view name) {
    // Through value_dialog, so that a port derived from this one sees every value dialog.
    auto typed = value_dialog(dialog, title, name);
    if (!typed) return {ValueReply::Kind::Closed, {}};
    if (*typed == "?") return {ValueReply::Kind::Why, {}};
    return {ValueReply::Kind::Text, *typed};
}

bool ScriptedUi::explanation(std::string_view title, const std::vector<std::string>& lines) {
    // The block goes out in pieces: the lines of a large run are not copied into one body.
    block("explanation", title, "");
    const std::string answer = std::string("answer: ") + tr("&Kontynuuj") + "\n";
    std::size_t size = answer.size();
    for (const auto& l : lines)
        size += l.size() + 1;
    static thread_local std::string piece;
    piece.clear();
    piece.reserve(std::min(size, kLinePiece + 256));
    LinePieces pieces(piece, [this](std::string_view p) { out(p); });
    for (const auto& l : lines)
        pieces.line(l);
    pieces.finish(answer);
    if (piece.capacity() > 2 * kLinePiece) std::string().swap(piece);
    return true;
}

void ScriptedUi::read_text(std::string_view title, std::string_view text) {
    block("read", title, text);
}

void ScriptedUi::show_lists(std::string_view title, const std::vector<LabelledList>& lists) {
    std::string body;
    for (const auto& l : lists) {
        body += l.label + "\n";
        for (const auto& i : l.items)
            body += "   " + i + "\n";
    }
    block("lists", title, body);
}

std::optional<int> ScriptedUi::choose_one(std::string_view title, const std::vector<std::string>& items) {
    return choose_one_prompted(title, "", items);
}

std::optional<int> ScriptedUi::choose_one_prompted(std::string_view title, std::string_view prompt,
                                                   const std::vector<std::string>& items) {
    std::string body;
    if (!prompt.empty()) body += std::string(prompt) + "\n";
    for (size_t i = 0; i < items.size(); ++i)
        body += std::to_string(i + 1) + ". " + items[i] + "\n";
    block("list", title, body);
    ScriptAnswer a = next_answer();
    out("answer: " + a.text + "\n");
    if (a.text.empty()) return std::nullopt;
    int pos = 0;
    if (!parse_position(a.text, pos) || pos < 1 || pos > static_cast<int>(items.size()))
        throw ScriptError{a.line, tr("odpowiedź '") + a.text + tr("' nie jest pozycją listy od 1 do ") +
                                      std::to_string(items.size())};
    return pos - 1;
}

std::optional<std::vector<int>> ScriptedUi::choose_many(std::string_view title,
                                                        const std::vector<std::string>& items) {
    return choose_many_prompted(title, "", items);
}

std::optional<std::vector<int>> ScriptedUi::choose_many_prompted(std::string_view title,
                                                                 std::string_view prompt,
                                                                 const std::vector<std::string>& items) {
    std::string body;
    if (!prompt.empty()) body += std::string(prompt) + "\n";
    for (size_t i = 0; i < items.size(); ++i)
        body += std::to_string(i + 1) + ". " + items[i] + "\n";
    block("multi-list", title, body);
    ScriptAnswer a = next_answer();
    out("answer: " + a.text + "\n");
    if (a.text.empty()) return std::nullopt;
    std::vector<int> chosen;
    size_t p = 0;
    while (p <= a.text.size()) {
        size_t c = a.text.find(',', p);
        std::string part = a.text.substr(p, c == std::string::npos ? std::string::npos : c - p);
        while (!part.empty() && part.front() == ' ')
            part.erase(part.begin());
        while (!part.empty() && part.back() == ' ')
            part.pop_back();
        int pos = 0;
        if (!parse_position(part, pos) || pos < 1 || pos > static_cast<int>(items.size()))
            throw ScriptError{a.line, tr("odpowiedź '") + a.text + tr("' nie jest listą pozycji od 1 do ") +
                                          std::to_string(items.size())};
        chosen.push_back(pos - 1);
        if (c == std::string::npos) break;
        p = c + 1;
    }
    return chosen;
}

void ScriptedUi::browse_text(std::string_view title, std::string_view text, bool wrap) {
    block("browse", title, text);
}

void ScriptedUi::browse_list(std::string_view title, const std::vector<std::string>& items) {
    std::string body;
    for (const auto& i : items)
        body += i + "\n";
    block("browse-list", title, body);
}

// A record window takes positions from 1 until an empty line; a line that is no position
// closes it and is read again as the next answer.
void ScriptedUi::browse_records(const RecordWindow& w) {
    std::string body;
    for (const auto& h : w.headings)
        body += h + "\n";
    for (const auto& [label, n] : w.counts)
        body += label + ": " + std::to_string(n) + "\n";
    body += w.number_label + ":\n";
    for (size_t i = 0; i < w.numbers.size(); ++i)
        body += std::to_string(i + 1) + ". " + w.numbers[i] + "\n";
    block("records", w.title, body);
    for (;;) {
        ScriptAnswer a = next_answer();
        int pos = 0;
        if (!parse_position(a.text, pos) || pos < 1 || pos > static_cast<int>(w.numbers.size())) {
            if (!a.text.empty()) --next_;
            out("answer: \n");
            break;
        }
        out("answer: " + a.text + "\n");
        std::string fields;
        if (w.fields)
            for (const auto& f : w.fields(static_cast<size_t>(pos - 1))) {
                if (f.not_in_transcript) continue;
                fields += trim_blanks(f.label) + ":";
                if (!f.is_list) {
                    fields += " " + f.value + "\n";
                    continue;
                }
                fields += "\n";
                for (const auto& item : f.items)
                    fields += "    " + item + "\n";
            }
        block("record", w.number_label + " " + w.numbers[static_cast<size_t>(pos - 1)], fields);
    }
    helper_recreate(kHelperWindowLines);
}

void ScriptedUi::open_editor(std::string_view path, bool wrap) {
    block("editor", path, "");
    if (editor) editor(std::string(path), wrap);
}

void ScriptedUi::open_document(std::string_view path) {
    block("document", path, "");
}

MediaOutcome ScriptedUi::show_picture(std::string_view path) {
    PictureInfo p;
    if (picture_reader)
        p = picture_reader(std::string(path));
    else
        p.reason = "brak dekodera grafiki";
    block(
        "picture", path,
        p.ok ? "size: " + std::to_string(p.width) + " x " + std::to_string(p.height) : "error: " + p.reason);
    return {p.ok, p.reason};
}

MediaOutcome ScriptedUi::play_sound(std::string_view path) {
    SoundInfo p;
    if (sound_player)
        p = sound_player(std::string(path));
    else
        p.reason = tr("brak wyjścia dźwięku");
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.3f", p.seconds);
    block("sound", path, p.ok ? std::string("duration: ") + secs + " s" : "error: " + p.reason);
    return {p.ok, p.reason};
}

}  // namespace zuva
