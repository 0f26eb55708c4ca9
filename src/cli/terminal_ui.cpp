// Line-oriented dialogs on a terminal. Every prompt says what it expects and asks again
// when the answer does not fit; the end of input ends the program as a confirmed exit.
#include "cli/terminal_ui.h"

#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/media.h"
#include "session/enabling.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/editor_files.h"
#include "shell/shell.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/number_format.h"

extern char** environ;

namespace zuva {
namespace {

std::string trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

bool parse_number(const std::string& s, int& out) {
    if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::atoi(s.c_str());
    return true;
}

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) {
            if (pos < text.size()) lines.emplace_back(text.substr(pos));
            break;
        }
        lines.emplace_back(text.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return lines;
}

int terminal_rows() {
    winsize w{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_row > 4) return w.ws_row;
    return 24;
}

int terminal_cols() {
    winsize w{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_col > 20) return w.ws_col;
    return 80;
}

// Cuts a line into pieces of at most `width` characters (code points).
std::vector<std::string> wrap_line(const std::string& line, int width) {
    std::vector<std::string> out;
    std::string cur;
    int n = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        bool starts_char = (c & 0xC0) != 0x80;
        if (starts_char && n == width) {
            out.push_back(cur);
            cur.clear();
            n = 0;
        }
        cur += line[i];
        if (starts_char) ++n;
    }
    out.push_back(cur);
    return out;
}

// The text of a simple HTML document: tags dropped, block ends as line ends, list items
// marked, the common entities decoded, blank lines collapsed.
std::string html_as_text(std::string_view html) {
    std::string out;
    bool pre = false;
    for (std::size_t i = 0; i < html.size();) {
        char c = html[i];
        if (c == '<') {
            std::size_t e = html.find('>', i);
            if (e == std::string_view::npos) break;
            std::string tag = to_lower_pl(html.substr(i + 1, e - i - 1));
            std::string name = tag.substr(0, tag.find_first_of(" \t\n"));
            if (name == "style" || name == "title" || name == "script") {
                std::size_t close = html.find("</" + name, e);
                i = close == std::string_view::npos ? html.size() : html.find('>', close) + 1;
                continue;
            }
            if (name == "pre") pre = true;
            if (name == "/pre") pre = false;
            auto line_end = [&] {
                if (!out.empty() && out.back() != '\n') out += '\n';
            };
            bool heading = name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
            bool heading_end =
                name.size() == 3 && name[0] == '/' && name[1] == 'h' && name[2] >= '1' && name[2] <= '6';
            if (name == "br") {
                out += '\n';
            } else if (name == "li") {
                line_end();
                out += "  • ";
            } else if (heading || heading_end) {
                line_end();
                out += '\n';
            } else if (name == "p" || name == "/p" || name == "pre" || name == "/pre" || name == "ul" ||
                       name == "/ul" || name == "ol" || name == "/ol" || name == "/li" || name == "tr") {
                line_end();
            }
            i = e + 1;
            continue;
        }
        if (c == '&') {
            static const std::pair<const char*, const char*> entities[] = {
                {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"&quot;", "\""}, {"&nbsp;", " "}};
            bool done = false;
            for (auto [from, to] : entities) {
                std::string_view f(from);
                if (html.substr(i, f.size()) == f) {
                    out += to;
                    i += f.size();
                    done = true;
                    break;
                }
            }
            if (done) continue;
        }
        if (!pre && (c == '\n' || c == '\r' || c == '\t')) c = ' ';
        if (!pre && c == ' ' && (out.empty() || out.back() == ' ' || out.back() == '\n')) {
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    // At most one empty line in a row, none at the start.
    std::string text;
    int newlines = 2;
    for (char c : out) {
        if (c == '\n') {
            if (++newlines > 2) continue;
        } else {
            newlines = 0;
        }
        text += c;
    }
    return text;
}

std::vector<std::string> files_matching(const std::string& dir, std::string_view mask) {
    std::vector<std::string> names;
    std::string lmask = to_lower_pl(mask);
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        std::error_code ec2;
        if (!e.is_regular_file(ec2)) continue;
        std::string n = e.path().filename().string();
        if (mask_match(lmask, to_lower_pl(n))) names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool mask_match(std::string_view mask, std::string_view name) {
    // Greedy with one point of return: a '*' first takes nothing, and when the rest fails
    // to match, the most recent '*' takes one character more. Time is at most the product
    // of the lengths, never exponential.
    auto char_len = [&](std::size_t at) {
        std::size_t len = 1;
        while (at + len < name.size() && (static_cast<unsigned char>(name[at + len]) & 0xC0) == 0x80)
            ++len;
        return len;
    };
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t m = 0, n = 0, star = kNone, resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            star = ++m;
            resume = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n += char_len(n);
        } else if (m < mask.size() && mask[m] == name[n]) {
            ++m;
            ++n;
        } else if (star != kNone) {
            m = star;
            resume += char_len(resume);
            n = resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

namespace {

std::vector<std::string> subdirectories(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        std::error_code ec2;
        if (e.is_directory(ec2)) names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs a program with its arguments and waits for it; false when it could not be started.
bool run_program(const std::vector<std::string>& argv, bool wait) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
    if (!wait) return true;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

}  // namespace

TerminalUi::TerminalUi(std::istream& in, std::ostream& out, bool color) : in_(in), out_(out), color_(color) {}

std::string TerminalUi::bold(std::string_view text) const {
    if (!color_) return std::string(text);
    return "\033[1m" + std::string(text) + "\033[0m";
}

std::string TerminalUi::dim(std::string_view text) const {
    if (!color_) return std::string(text);
    return "\033[2m" + std::string(text) + "\033[0m";
}

std::string TerminalUi::current_dir() const {
    if (session_ != nullptr) return session_->current_dir;
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

void TerminalUi::print(std::string_view text) {
    if (text.empty()) return;
    if (!at_line_start_) out_ << '\n';
    out_ << text;
    if (text.back() != '\n') out_ << '\n';
    at_line_start_ = true;
    out_.flush();
}

void TerminalUi::hint(std::string_view text) {
    print(dim(text));
}

void TerminalUi::heading(std::string_view kind, std::string_view title) {
    std::string h = "── " + std::string(kind);
    if (!title.empty()) h += ": " + std::string(title);
    h += " ";
    int width = std::min(terminal_cols(), 100);
    int used = static_cast<int>(utf8_columns(h, h.size()));
    for (int i = used; i < width - 1; ++i)
        h += "─";
    if (!at_line_start_) out_ << '\n';
    out_ << '\n' << bold(h) << '\n';
    at_line_start_ = true;
}

std::string TerminalUi::ask(std::string_view prompt) {
    if (!at_line_start_) out_ << '\n';
    out_ << bold(std::string(prompt)) << ' ';
    out_.flush();
    std::string line;
    if (!std::getline(in_, line)) {
        out_ << "\n";
        throw ProgramExit{};
    }
    at_line_start_ = true;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void TerminalUi::wait_enter(std::string_view what) {
    ask(dim("[" + std::string(what) + "]"));
}

void TerminalUi::page(const std::vector<std::string>& lines) {
    int per_page = std::max(5, terminal_rows() - 3);
    int shown = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        out_ << lines[i] << '\n';
        if (++shown == per_page && i + 1 < lines.size()) {
            std::string a = ask(dim("[Enter: dalej, q: koniec przeglądania — wiersz " +
                                    std::to_string(i + 1) + " z " + std::to_string(lines.size()) + "]"));
            if (trim(a) == "q" || trim(a) == "Q") return;
            shown = 0;
        }
    }
    at_line_start_ = true;
}

void TerminalUi::helper_write(std::string_view text) {
    out_ << text;
    if (!text.empty()) at_line_start_ = text.back() == '\n';
    out_.flush();
    for (char c : text) {
        if (c == '\n') {
            helper_lines_.push_back(helper_partial_);
            helper_partial_.clear();
            while (static_cast<int>(helper_lines_.size()) > helper_capacity_)
                helper_lines_.pop_front();
        } else {
            helper_partial_ += c;
        }
    }
}

void TerminalUi::helper_clear() {
    helper_lines_.clear();
    helper_partial_.clear();
    hint("(okno pomocnicze zostało wyczyszczone)");
}

void TerminalUi::helper_recreate(int capacity) {
    helper_lines_.clear();
    helper_partial_.clear();
    helper_capacity_ = capacity > 0 ? capacity : 100;
}

void TerminalUi::show_helper_window() {
    heading("Okno pomocnicze", "ostatnie " + std::to_string(helper_capacity_) + " wierszy");
    std::vector<std::string> lines(helper_lines_.begin(), helper_lines_.end());
    if (!helper_partial_.empty()) lines.push_back(helper_partial_);
    if (lines.empty())
        hint("(okno pomocnicze jest puste)");
    else
        page(lines);
    wait_enter("Enter: powrót do menu");
}

void TerminalUi::set_title(std::string_view title) {
    title_ = std::string(title);
}

void TerminalUi::note(std::string_view title, std::string_view text) {
    heading("Komunikat", title);
    print(text);
    wait_enter("Enter: OK");
}

int TerminalUi::question(std::string_view title, std::string_view text,
                         const std::vector<std::string>& buttons) {
    heading("Pytanie", title);
    print(text);
    std::string list;
    for (size_t i = 0; i < buttons.size(); ++i)
        list += "  " + std::to_string(i + 1) + ") " + menu_label(buttons[i]);
    print(list);
    for (;;) {
        std::string a = trim(ask("Wybierz przycisk (numer lub nazwa):"));
        int pos = 0;
        if (parse_number(a, pos) && pos >= 1 && pos <= static_cast<int>(buttons.size())) return pos - 1;
        std::string want = to_lower_pl(menu_label(a));
        for (size_t i = 0; i < buttons.size(); ++i)
            if (!want.empty() && to_lower_pl(menu_label(buttons[i])) == want) return static_cast<int>(i);
        // A unique beginning of a button's name is enough ("t" for "Tak").
        int found = -1, count = 0;
        for (size_t i = 0; i < buttons.size(); ++i) {
            std::string b = to_lower_pl(menu_label(buttons[i]));
            if (!want.empty() && b.compare(0, want.size(), want) == 0) {
                found = static_cast<int>(i);
                ++count;
            }
        }
        if (count == 1) return found;
        hint("Nie rozumiem odpowiedzi '" + a + "'. Wpisz numer od 1 do " + std::to_string(buttons.size()) +
             " albo nazwę przycisku.");
    }
}

std::string TerminalUi::file_prompt(bool save, std::string_view mask, const std::vector<FileFilter>& filters,
                                    std::string_view title) {
    heading(save ? "Zapis pliku" : "Wybór pliku", title);
    std::string dir = current_dir();
    std::string shown_mask(mask);
    for (;;) {
        std::vector<std::string> files = files_matching(dir, shown_mask);
        std::vector<std::string> dirs = subdirectories(dir);
        print("Katalog: " + dir);
        std::string m = "Maska: " + shown_mask;
        for (const auto& f : filters)
            if (f.mask != shown_mask) m += "   (" + f.description + ")";
        print(m);
        if (files.empty()) {
            hint("Brak plików pasujących do maski w tym katalogu.");
        } else {
            std::vector<std::string> lines;
            for (size_t i = 0; i < files.size(); ++i)
                lines.push_back("  " + std::to_string(i + 1) + ") " + files[i]);
            page(lines);
        }
        if (!dirs.empty()) {
            std::string d = "Podkatalogi:";
            for (const auto& n : dirs)
                d += " " + n + "/";
            hint(d);
        }
        // The name is used as typed (the mask only filters the list), so a report saved as
        // "wynik" would not show under "*.RPT" later: say so before the name is asked.
        if (save && shown_mask.size() > 2 && shown_mask.compare(0, 2, "*.") == 0 &&
            shown_mask.find_first_of("*?", 2) == std::string::npos)
            hint("Nazwa jest brana tak, jak ją wpiszesz: dopisz rozszerzenie (np. WYNIK" +
                 shown_mask.substr(1) + ").");
        std::string a =
            trim(ask(save ? "Podaj nazwę pliku (katalog: przejście do niego, pusty wiersz: anuluj):"
                          : "Podaj numer pliku lub ścieżkę (katalog: przejście do niego, pusty "
                            "wiersz: anuluj):"));
        if (a.empty()) return "";
        int pos = 0;
        if (parse_number(a, pos) && pos >= 1 && pos <= static_cast<int>(files.size()))
            return resolve_path(dir, files[pos - 1]);
        std::string path = resolve_path(dir, a);
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            dir = path;
            continue;
        }
        if (a.find_first_of("*?") != std::string::npos) {
            shown_mask = a;
            continue;
        }
        if (!save && !file_exists(path)) {
            hint("Nie ma pliku " + path + ". Podaj inny albo pusty wiersz, aby anulować.");
            continue;
        }
        return path;
    }
}

std::string TerminalUi::open_file(std::string_view mask, const std::vector<FileFilter>& filters,
                                  std::string_view title) {
    return file_prompt(false, mask, filters, title);
}

// Replacing an existing file takes a "Tak"; "Nie" shows the dialog again.
std::string TerminalUi::save_file(std::string_view mask, const std::vector<FileFilter>& filters,
                                  std::string_view title) {
    for (;;) {
        std::string path = file_prompt(true, mask, filters, title);
        if (path.empty() || !file_exists(path)) return path;
        if (question("Zapisz jako", overwrite_question(path), {"&Tak", "&Nie"}) == 0) return path;
    }
}

std::string TerminalUi::save_file_unchecked(std::string_view mask, const std::vector<FileFilter>& filters,
                                            std::string_view title) {
    return file_prompt(true, mask, filters, title);
}

int TerminalUi::radio(std::string_view dialog, std::string_view text, const std::vector<std::string>& options,
                      int initial) {
    heading("Wybór", dialog);
    print(text);
    bool has_default = initial >= 1 && initial <= static_cast<int>(options.size());
    for (size_t i = 0; i < options.size(); ++i) {
        std::string l = "  " + std::to_string(i + 1) + ") " + menu_label(options[i]);
        if (has_default && static_cast<int>(i) + 1 == initial) l += dim("  (domyślnie)");
        print(l);
    }
    for (;;) {
        std::string prompt = "Wybierz numer od 1 do " + std::to_string(options.size());
        if (has_default) prompt += " [Enter: " + std::to_string(initial) + "]";
        std::string a = trim(ask(prompt + ":"));
        if (a.empty() && has_default) return initial;
        int pos = 0;
        if (parse_number(a, pos) && pos >= 1 && pos <= static_cast<int>(options.size())) return pos;
        hint("To nie jest numer żadnej z opcji.");
    }
}

std::optional<std::string> TerminalUi::input_text(std::string_view title, std::string_view prompt,
                                                  std::string_view initial) {
    heading("Wpisz tekst", title);
    print(prompt);
    std::string p = "Tekst";
    if (!initial.empty()) p += " [Enter: " + std::string(initial) + "]";
    std::string a = ask(p + ":");
    if (a.empty() && !initial.empty()) return std::string(initial);
    return a;
}

// Every value asked in these dialogs is a number. The program asks again without a word
// when a text is none, so the next prompt for the same thing says why the last one was
// refused.
void TerminalUi::say_why_value_refused(std::string_view name) {
    if (refused_value_.empty() || refused_for_ != name) return;
    const std::string& t = refused_value_;
    std::string dot = t;
    if (std::size_t c = dot.find(','); c != std::string::npos) dot[c] = '.';
    if (trim(t).empty())
        hint("Nie wpisano wartości. Wpisz liczbę, np. 0.8 lub -1.");
    else if (t.find(',') != std::string::npos && parse_real(trim(dot)))
        hint("'" + trim(t) + "' nie jest liczbą: część dziesiętną oddziela się kropką, np. 0.8.");
    else
        hint("'" + trim(t) + "' nie jest liczbą. Wpisz liczbę, np. 0.8 lub -1.");
}

void TerminalUi::note_value_answer(std::string_view name, const std::string& answer) {
    const bool number = parse_real(answer).has_value() || trim(answer) == "?";
    refused_value_ = number ? std::string() : (answer.empty() ? std::string(" ") : answer);
    refused_for_ = std::string(name);
}

std::optional<std::string> TerminalUi::value_dialog(std::string_view dialog, std::string_view title,
                                                    std::string_view name) {
    heading("Podaj wartość", dialog);
    print(title);
    if (!name.empty()) print("Dotyczy: " + bold(name));
    say_why_value_refused(name);
    std::string a = ask("Wartość (liczba, np. 0.8 lub -1):");
    note_value_answer(name, a);
    return a;
}

Ui::ValueReply TerminalUi::value_dialog_why(std::string_view dialog, std::string_view title,
                                            std::string_view name) {
    heading("Podaj wartość", dialog);
    print(title);
    if (!name.empty()) print("Dotyczy: " + bold(name));
    say_why_value_refused(name);
    hint("? – dlaczego system pyta o tę wartość");
    std::string a = ask("Wartość (liczba, np. 0.8 lub -1):");
    note_value_answer(name, a);
    if (trim(a) == "?") return {ValueReply::Kind::Why, {}};
    return {ValueReply::Kind::Text, a};
}

bool TerminalUi::explanation(std::string_view title, const std::vector<std::string>& lines) {
    heading("Wyjaśnienie", title);
    page(lines);
    print("  1) Kontynuuj  2) Zakończ");
    for (;;) {
        std::string a = to_lower_pl(trim(ask("Wybierz przycisk [Enter: Kontynuuj]:")));
        if (a.empty() || a == "1" || a == "k" || a == "kontynuuj") return true;
        if (a == "2" || a == "z" || a == "zakończ") return false;
        hint("Wpisz 1 (Kontynuuj) albo 2 (Zakończ).");
    }
}

void TerminalUi::read_text(std::string_view title, std::string_view text) {
    heading("Tekst", title);
    page(split_lines(text));
    wait_enter("Enter: OK");
}

void TerminalUi::show_lists(std::string_view title, const std::vector<LabelledList>& lists) {
    heading("Przegląd", title);
    std::vector<std::string> lines;
    for (const auto& l : lists) {
        lines.push_back(l.label);
        for (const auto& i : l.items)
            lines.push_back("   " + i);
        if (l.items.empty()) lines.push_back("   (brak)");
    }
    page(lines);
    wait_enter("Enter: OK");
}

std::optional<int> TerminalUi::choose_one(std::string_view title, const std::vector<std::string>& items) {
    heading("Lista", title);
    std::vector<std::string> lines;
    for (size_t i = 0; i < items.size(); ++i)
        lines.push_back("  " + std::to_string(i + 1) + ") " + items[i]);
    page(lines);
    if (items.empty()) hint("(lista jest pusta)");
    for (;;) {
        std::string a = trim(ask("Wybierz numer pozycji (pusty wiersz: nic):"));
        if (a.empty()) return std::nullopt;
        int pos = 0;
        if (parse_number(a, pos) && pos >= 1 && pos <= static_cast<int>(items.size())) return pos - 1;
        hint("Wpisz numer od 1 do " + std::to_string(items.size()) + ".");
    }
}

std::optional<std::vector<int>> TerminalUi::choose_many(std::string_view title,
                                                        const std::vector<std::string>& items) {
    return choose_many_prompted(title, "", items);
}

std::optional<std::vector<int>> TerminalUi::choose_many_prompted(std::string_view title,
                                                                 std::string_view prompt,
                                                                 const std::vector<std::string>& items) {
    heading("Lista wielokrotnego wyboru", title);
    std::vector<std::string> lines;
    if (!prompt.empty()) lines.push_back(std::string(prompt));
    for (size_t i = 0; i < items.size(); ++i)
        lines.push_back("  " + std::to_string(i + 1) + ") " + items[i]);
    page(lines);
    int n = static_cast<int>(items.size());
    for (;;) {
        std::string a = trim(ask("Wybierz numery oddzielone przecinkami, np. 1,3,5-7 (pusty wiersz: nic):"));
        if (a.empty()) return std::nullopt;
        std::vector<int> chosen;
        bool ok = true;
        size_t p = 0;
        while (ok && p <= a.size()) {
            size_t c = a.find(',', p);
            std::string part = trim(a.substr(p, c == std::string::npos ? std::string::npos : c - p));
            size_t dash = part.find('-');
            int lo = 0, hi = 0;
            if (dash == std::string::npos) {
                ok = parse_number(part, lo);
                hi = lo;
            } else {
                ok = parse_number(trim(part.substr(0, dash)), lo) &&
                     parse_number(trim(part.substr(dash + 1)), hi);
            }
            ok = ok && lo >= 1 && hi <= n && lo <= hi;
            for (int k = lo; ok && k <= hi; ++k)
                if (std::find(chosen.begin(), chosen.end(), k - 1) == chosen.end()) chosen.push_back(k - 1);
            if (c == std::string::npos) break;
            p = c + 1;
        }
        if (ok) return chosen;
        hint("Wpisz numery od 1 do " + std::to_string(n) + " oddzielone przecinkami.");
    }
}

void TerminalUi::browse_text(std::string_view title, std::string_view text, bool wrap) {
    heading("Przegląd", title);
    std::vector<std::string> lines;
    int width = terminal_cols() - 1;
    for (const auto& l : split_lines(text)) {
        if (!wrap) {
            lines.push_back(l);
            continue;
        }
        for (auto& piece : wrap_line(l, width))
            lines.push_back(std::move(piece));
    }
    page(lines);
    wait_enter("Enter: zamknij okno przeglądu");
}

void TerminalUi::browse_list(std::string_view title, const std::vector<std::string>& items) {
    heading("Przegląd", title);
    if (items.empty()) hint("(lista jest pusta)");
    page(items);
    wait_enter("Enter: zamknij okno przeglądu");
}

// The record window as a numbered list: a position shows that record's fields, an empty
// line closes the window (and, as closing a record window does, starts a new helper window).
void TerminalUi::browse_records(const RecordWindow& w) {
    heading("Przegląd", w.title);
    for (const auto& h : w.headings)
        print(bold(h));
    for (const auto& [label, n] : w.counts)
        print(label + ": " + std::to_string(n));
    std::vector<std::string> lines;
    lines.reserve(w.numbers.size());
    for (size_t i = 0; i < w.numbers.size(); ++i)
        lines.push_back("  " + std::to_string(i + 1) + ") " + w.number_label + " " + w.numbers[i]);
    page(lines);
    const int n = static_cast<int>(w.numbers.size());
    for (;;) {
        std::string a =
            trim(ask("Numer pozycji na liście (1-" + std::to_string(n) + "; pusty wiersz: zamknij okno):"));
        if (a.empty()) break;
        int pos = 0;
        if (!parse_number(a, pos) || pos < 1 || pos > n) {
            hint("Wpisz numer pozycji od 1 do " + std::to_string(n) + " albo pusty wiersz.");
            continue;
        }
        heading(w.number_label + " " + w.numbers[static_cast<size_t>(pos - 1)], "");
        if (w.fields)
            for (const auto& f : w.fields(static_cast<size_t>(pos - 1))) {
                if (!f.is_list) {
                    print(trim(f.label) + ": " + bold(f.value));
                    continue;
                }
                print(trim(f.label) + ":");
                for (const auto& item : f.items)
                    print("    " + item);
            }
    }
    helper_recreate(kHelperWindowLines);
}

// The editor works on a UTF-8 copy of the file, so any terminal editor shows the Polish
// letters; the file is written back, in the code page it was read in, only when the text
// was changed, with the messages of the desktop editor's "Zapisz".
void TerminalUi::open_editor(std::string_view path_view, bool wrap) {
    std::string path(path_view);
    heading("Edycja", path);
    std::string error;
    auto original = read_for_editor(path, error);
    if (!original) {
        note("Uwaga błąd!", error);
        return;
    }
    std::string tmpl = (std::filesystem::temp_directory_path() / "zuva-edycja-XXXXXX.txt").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    int fd = mkstemps(buf.data(), 4);
    if (fd < 0) {
        note("Uwaga błąd!", "Nie można utworzyć pliku roboczego edytora.");
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
        hint("Uruchamiam edytor " + argv[0] + " ...");
        argv.push_back(tmp);
        if (run_program(argv, true)) {
            ran = true;
            break;
        }
    }
    if (!ran) {
        std::filesystem::remove(tmp);
        note("Uwaga błąd!", "Nie znaleziono edytora tekstu. Ustaw zmienną EDITOR.");
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
        hint("Plik nie został zmieniony.");
    } else if (session_ != nullptr) {
        if (!original->format.utf8 && !utf8_to_cp1250(text)) {
            int b = question("Uwaga!",
                             "Tekst zawiera znaki spoza kodowania Windows-1250.\nZapisać go z tymi znakami "
                             "zamienionymi na '?' ?",
                             {"&Tak", "&Nie"});
            if (b == 0) text = *cp1250_to_utf8(utf8_to_cp1250_lossy(text));
        }
        // A changed text is written only when the user says where: its own file or another.
        const int b = question("Zapis pliku", "Czy zapisać aktualną postać pliku ?",
                               {"&Zapisz", "Zapisz &jako", "&Nie zapisuj"});
        if (b == 0) saved = editor_save(*session_, window, text, original->format);
        if (b == 1) saved = editor_save_as(*session_, window, text, original->format);
    }
    if (saved || text == original->text) {
        std::filesystem::remove(tmp);
    } else {
        hint("Zmieniony tekst pozostał w pliku " + tmp + ".");
    }
    if (session_ != nullptr) editor_closed(*session_, window, saved);
}

MediaOutcome TerminalUi::show_picture(std::string_view path) {
    DecodedPicture p = decode_bitmap(std::string(path));
    if (!p.ok) return {false, p.reason};
    heading("Grafika", short_name_of(std::string(path)));
    print(std::string(path));
    print("Obraz " + std::to_string(p.width) + " × " + std::to_string(p.height) + " pikseli");
    // Character art only where a terminal shows it; a file or pipe gets the lines above.
    const char* term = std::getenv("TERM");
    if (&out_ == &std::cout && isatty(STDOUT_FILENO) && term && std::string(term) != "dumb") {
        out_ << picture_art(p, terminal_cols() - 2, terminal_rows() - 6, color_) << "\n";
        at_line_start_ = true;
    }
    wait_enter("Enter: zamknij okno grafiki");
    return {true, ""};
}

MediaOutcome TerminalUi::play_sound(std::string_view path) {
    heading("Dźwięk", short_name_of(std::string(path)));
    print("Odtwarzanie pliku " + std::string(path));
    out_.flush();
    PlayedSound r = play_wave(std::string(path), false);
    if (!r.ok) return {false, r.reason};
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.1f", r.seconds);
    print(std::string("Odtworzono (") + secs + " s).");
    return {true, ""};
}

// With a display the system's opener shows the document; on a bare terminal an HTML
// document (the user guide) is shown as text, page by page.
void TerminalUi::open_document(std::string_view path) {
    std::string p(path);
    const bool display = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    if (display && run_program({"xdg-open", p}, false)) return;
    std::string lower = to_lower_pl(p);
    bool html = lower.size() > 5 && (lower.compare(lower.size() - 5, 5, ".html") == 0 ||
                                     lower.compare(lower.size() - 4, 4, ".htm") == 0);
    auto bytes = html ? read_file_bytes(p) : std::nullopt;
    if (!bytes) {
        print("Dokument do otwarcia: " + p);
        return;
    }
    heading("Pomoc", p);
    std::vector<std::string> lines;
    for (const auto& l : split_lines(html_as_text(*bytes)))
        for (auto& piece : wrap_line(l, terminal_cols() - 1))
            lines.push_back(std::move(piece));
    page(lines);
    wait_enter("Enter: zamknij pomoc");
}

namespace {

int available_count(const Session& s, const CommandRegistry& r, const MenuNode& n) {
    if (n.is_command()) return command_available(s, r, n.id) ? 1 : 0;
    int c = 0;
    for (const auto& ch : n.children)
        c += available_count(s, r, ch);
    return c;
}

std::string loaded_bases(const Session& s) {
    struct Kind {
        BaseKind kind;
        const char* label;
    };
    static const Kind kinds[] = {{BaseKind::Rules, "reguł"},
                                 {BaseKind::Models, "modeli"},
                                 {BaseKind::ExactConstraints, "ograniczeń dokładnych"},
                                 {BaseKind::UncertainConstraints, "ograniczeń niepewnych"},
                                 {BaseKind::Advice, "rad"},
                                 {BaseKind::Graphics, "grafiki"},
                                 {BaseKind::Sounds, "dźwięku"}};
    std::string out;
    for (const auto& k : kinds) {
        const BaseName& b = s.kb.name_of(k.kind);
        if (!b.loaded()) continue;
        if (!out.empty()) out += ", ";
        out += std::string(k.label) + " " + b.name();
    }
    return out;
}

void usage_help(TerminalUi& ui) {
    ui.heading("Jak korzystać z programu", "");
    ui.print(
        "Menu główne grupuje polecenia według rodzaju bazy. Wpisz numer menu, aby je otworzyć,\n"
        "a potem numer polecenia. Numerowane są tylko polecenia dostępne w tej chwili;\n"
        "pozostałe stają się dostępne po załadowaniu odpowiednich baz (zacznij od\n"
        "'Baza reguł' -> 'Ładowanie bazy reguł').\n\n"
        "Polecenie można też wybrać od razu jego pięciocyfrowym numerem (np. 10064).\n"
        "W każdym pytaniu program podaje, czego oczekuje: numeru przycisku lub jego nazwy,\n"
        "numeru pozycji listy, ścieżki pliku; pusty wiersz w wyborze pliku anuluje.\n\n"
        "  o  pokazuje ponownie okno pomocnicze (ostatnie wiersze tego, co wypisały operacje)\n"
        "  k  kończy program");
    ui.wait_enter("Enter: powrót do menu");
}

// Shows one menu level; returns the command chosen, 0 to go back, -1 to redraw the top.
int menu_level(Session& s, TerminalUi& ui, const CommandRegistry& r, const MenuNode& menu,
               const std::string& path) {
    for (;;) {
        ui.heading("Menu", path);
        std::vector<const MenuNode*> numbered;
        for (const auto& ch : menu.children) {
            int avail = available_count(s, r, ch);
            std::string label = menu_label(ch.title);
            if (avail == 0) {
                ui.print("      " + ui.dim(label + (ch.is_command() ? "" : " ›") + "  (niedostępne)"));
                continue;
            }
            numbered.push_back(&ch);
            std::string line = "  " + std::to_string(numbered.size()) + ") " + label;
            if (!ch.is_command()) line += " ›";
            if (ch.is_command()) line += ui.dim("  [" + std::to_string(ch.id) + "]");
            ui.print(line);
        }
        if (numbered.empty())
            ui.hint(
                "Nic w tym menu nie jest teraz dostępne; polecenia stają się dostępne po załadowaniu baz.");
        ui.print("  0) Powrót");
        std::string a = trim(ui.ask("Wybierz numer:"));
        if (a.empty() || a == "0") return 0;
        int pos = 0;
        if (!parse_number(a, pos) || pos < 1 || pos > static_cast<int>(numbered.size())) {
            ui.hint("Wpisz numer z listy albo 0, aby wrócić.");
            continue;
        }
        const MenuNode* n = numbered[pos - 1];
        if (n->is_command()) return n->id;
        int chosen = menu_level(s, ui, r, *n, path + " › " + menu_label(n->title));
        if (chosen != 0) return chosen;
    }
}

void run_command(Session& s, TerminalUi& ui, const CommandRegistry& r, int id) {
    const CommandInfo* c = find_command(id);
    if (c == nullptr) {
        ui.hint("Nie ma polecenia o numerze " + std::to_string(id) + ".");
        return;
    }
    if (!command_available(s, r, id)) {
        ui.hint("Polecenie " + std::to_string(id) + " (" + menu_label(c->text) + ") jest teraz niedostępne.");
        return;
    }
    ui.print(ui.bold("» " + menu_label(c->text)));
    dispatch_command(s, r, id);
}

}  // namespace

int run_interactive(Session& s, TerminalUi& ui, const CommandRegistry& r) {
    ui.attach(&s);
    try {
        start_program(s);
        ui.heading("zuva_EN", "");
        ui.print(ui.bold(s.shell.title));
        ui.print(
            "\nSystem ekspertowy regułowo-modelowy: ładuje bazy wiedzy (reguły, modele, ograniczenia,\n"
            "rady, grafikę, dźwięki), diagnozuje je i prowadzi wnioskowanie niepewne w przód i wstecz.");
        ui.wait_enter("Enter: zamknij okno wstępne i przejdź do menu");
        close_intro(s);
        const auto& menu = main_menu();
        for (;;) {
            std::string bases = loaded_bases(s);
            ui.heading("Menu główne", "");
            ui.print(ui.bold(s.shell.title));
            ui.print("Katalog: " + s.current_dir);
            ui.print(bases.empty()
                         ? "Załadowane bazy: brak (zacznij od 'Baza reguł' -> 'Ładowanie bazy reguł')"
                         : "Załadowane bazy: " + bases);
            for (size_t i = 0; i < menu.size(); ++i) {
                int avail = available_count(s, r, menu[i]);
                std::string line = "  " + std::to_string(i + 1) + ") " + menu_label(menu[i].title);
                line += ui.dim(avail == 0 ? "  (nic dostępnego)" : "  (" + std::to_string(avail) + ")");
                ui.print(line);
            }
            ui.print("  o) okno pomocnicze   ?) jak korzystać   k) koniec programu");
            std::string a = trim(ui.ask("Wybierz menu, numer polecenia lub literę:"));
            if (a.empty()) continue;
            std::string la = to_lower_pl(a);
            if (la == "k" || la == "q") {
                close_request(s);
                continue;
            }
            if (la == "o") {
                ui.show_helper_window();
                continue;
            }
            if (la == "?" || la == "h") {
                usage_help(ui);
                continue;
            }
            int n = 0;
            if (!parse_number(a, n)) {
                ui.hint("Nie rozumiem '" + a + "'. Wpisz numer menu, numer polecenia albo ? po pomoc.");
                continue;
            }
            if (n >= 1 && n <= static_cast<int>(menu.size())) {
                int id = menu_level(s, ui, r, menu[n - 1], menu_label(menu[n - 1].title));
                if (id != 0) run_command(s, ui, r, id);
                continue;
            }
            run_command(s, ui, r, n);
        }
    } catch (const ProgramExit&) {
        return 0;
    }
}

}  // namespace zuva
