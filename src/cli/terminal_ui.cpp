// Line-oriented dialogs on a terminal. Every prompt says what it expects and asks again
// when the answer does not fit; the end of input ends the program as a confirmed exit.
#include "cli/terminal_ui.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "cli/terminal_support.h"
#include "session/session.h"
#include "text/codec.h"
#include "text/i18n.h"

namespace zuva {

using namespace terminal;

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
    std::string line;
    if (line_reader) {
        out_.flush();
        auto typed = line_reader(bold(std::string(prompt)) + ' ', completion_dir_);
        if (!typed) {
            out_ << "\n";
            throw ProgramExit{};
        }
        at_line_start_ = true;
        return *typed;
    }
    out_ << bold(std::string(prompt)) << ' ';
    out_.flush();
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
            std::string a = ask(dim(tr("[Enter: dalej, q: koniec przeglądania — wiersz ") +
                                    std::to_string(i + 1) + tr(" z ") + std::to_string(lines.size()) + "]"));
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
    hint(tr("(okno pomocnicze zostało wyczyszczone)"));
}

void TerminalUi::helper_recreate(int capacity) {
    helper_lines_.clear();
    helper_partial_.clear();
    helper_capacity_ = capacity > 0 ? capacity : 100;
}

void TerminalUi::show_helper_window() {
    heading(tr("Okno pomocnicze"), tr("ostatnie ") + std::to_string(helper_capacity_) + tr(" wierszy"));
    std::vector<std::string> lines(helper_lines_.begin(), helper_lines_.end());
    if (!helper_partial_.empty()) lines.push_back(helper_partial_);
    if (lines.empty())
        hint(tr("(okno pomocnicze jest puste)"));
    else
        page(lines);
    wait_enter(tr("Enter: powrót do menu"));
}

void TerminalUi::set_title(std::string_view title) {
    title_ = std::string(title);
}

void TerminalUi::note(std::string_view title, std::string_view text) {
    heading(tr("Komunikat"), title);
    print(text);
    wait_enter(tr("Enter: OK"));
}

}  // namespace zuva
