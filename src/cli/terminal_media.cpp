// The terminal port's pictures, sounds and documents: a picture as character art where a
// terminal shows it, a sound played, the user guide as text page by page.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "cli/media.h"
#include "cli/terminal_support.h"
#include "cli/terminal_ui.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"

namespace zuva {

using namespace terminal;

namespace {

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

}  // namespace

MediaOutcome TerminalUi::show_picture(std::string_view path) {
    DecodedPicture p = decode_bitmap(std::string(path));
    if (!p.ok) return {false, p.reason};
    heading(tr("Grafika"), short_name_of(std::string(path)));
    print(std::string(path));
    print(tr("Obraz ") + std::to_string(p.width) + " × " + std::to_string(p.height) + tr(" pikseli"));
    // Character art only where a terminal shows it; a file or pipe gets the lines above.
    const char* term = std::getenv("TERM");
    if (&out_ == &std::cout && isatty(STDOUT_FILENO) && term && std::string(term) != "dumb") {
        out_ << picture_art(p, terminal_cols() - 2, terminal_rows() - 6, color_) << "\n";
        at_line_start_ = true;
    }
    wait_enter(tr("Enter: zamknij okno grafiki"));
    return {true, ""};
}

MediaOutcome TerminalUi::play_sound(std::string_view path) {
    heading(tr("Dźwięk"), short_name_of(std::string(path)));
    print(tr("Odtwarzanie pliku ") + std::string(path));
    out_.flush();
    PlayedSound r = play_wave(std::string(path), false);
    if (!r.ok) return {false, r.reason};
    char secs[32];
    std::snprintf(secs, sizeof secs, "%.1f", r.seconds);
    print(std::string(tr("Odtworzono (")) + secs + " s).");
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
        print(tr("Dokument do otwarcia: ") + p);
        return;
    }
    heading(tr("Pomoc"), p);
    std::vector<std::string> lines;
    for (const auto& l : split_lines(html_as_text(*bytes)))
        for (auto& piece : wrap_line(l, terminal_cols() - 1))
            lines.push_back(std::move(piece));
    page(lines);
    wait_enter(tr("Enter: zamknij pomoc"));
}

}  // namespace zuva
