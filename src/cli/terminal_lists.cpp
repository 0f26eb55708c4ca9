// The terminal port's lists and browse windows: a text or lists read page by page, one or
// several positions chosen, the record window with the fields of a chosen record.
#include <algorithm>

#include "cli/numbered_items.h"
#include "cli/terminal_support.h"
#include "cli/terminal_ui.h"
#include "shell/shell.h"
#include "text/i18n.h"

namespace zuva {

using namespace terminal;

void TerminalUi::read_text(std::string_view title, std::string_view text) {
    heading(tr("Tekst"), title);
    page(split_lines(text));
    wait_enter(tr("Enter: OK"));
}

void TerminalUi::show_lists(std::string_view title, const std::vector<LabelledList>& lists) {
    heading(tr("Przegląd"), title);
    std::vector<std::string> lines;
    for (const auto& l : lists) {
        lines.push_back(l.label);
        for (const auto& i : l.items)
            lines.push_back("   " + i);
        if (l.items.empty()) lines.push_back(tr("   (brak)"));
    }
    page(lines);
    wait_enter(tr("Enter: OK"));
}

std::optional<int> TerminalUi::choose_one(std::string_view title, const std::vector<std::string>& items) {
    heading(tr("Lista"), title);
    const bool numbered = items_begin_with_numbers(items);
    std::vector<std::string> lines;
    for (size_t i = 0; i < items.size(); ++i)
        lines.push_back(position_prefix(i + 1, items.size(), numbered) + items[i]);
    page(lines);
    if (items.empty()) hint(tr("(lista jest pusta)"));
    for (;;) {
        std::string a = trim(ask(numbered ? tr("Wybierz pozycję [1-") + std::to_string(items.size()) +
                                                tr("] albo numer z listy po znaku #, np. #") +
                                                own_number(items.front()) + tr(" (pusty wiersz: nic):")
                                          : tr("Wybierz numer pozycji (pusty wiersz: nic):")));
        if (a.empty()) return std::nullopt;
        if (numbered)
            if (auto at = position_of_own_number(items, a)) return static_cast<int>(*at);
        int pos = 0;
        if (parse_number(a, pos) && pos >= 1 && pos <= static_cast<int>(items.size())) return pos - 1;
        hint(numbered && a[0] == '#' ? tr("Żadna pozycja listy nie ma numeru ") + trim(a.substr(1)) + "."
                                     : tr("Wpisz numer od 1 do ") + std::to_string(items.size()) + ".");
    }
}

std::optional<std::vector<int>> TerminalUi::choose_many(std::string_view title,
                                                        const std::vector<std::string>& items) {
    return choose_many_prompted(title, "", items);
}

std::optional<std::vector<int>> TerminalUi::choose_many_prompted(std::string_view title,
                                                                 std::string_view prompt,
                                                                 const std::vector<std::string>& items) {
    heading(tr("Lista wielokrotnego wyboru"), title);
    std::vector<std::string> lines;
    if (!prompt.empty()) lines.push_back(std::string(prompt));
    const bool numbered = items_begin_with_numbers(items);
    for (size_t i = 0; i < items.size(); ++i)
        lines.push_back(position_prefix(i + 1, items.size(), numbered) + items[i]);
    page(lines);
    int n = static_cast<int>(items.size());
    for (;;) {
        std::string a = trim(
            ask(numbered ? tr("Wybierz pozycje oddzielone przecinkami, np. 1,3,5-7, albo numery z "
                              "listy po znaku #, np. #") +
                               own_number(items.front()) + tr(" (pusty wiersz: nic):")
                         : tr("Wybierz numery oddzielone przecinkami, np. 1,3,5-7 (pusty wiersz: nic):")));
        if (a.empty()) return std::nullopt;
        std::vector<int> chosen;
        bool ok = true;
        size_t p = 0;
        while (ok && p <= a.size()) {
            size_t c = a.find(',', p);
            std::string part = trim(a.substr(p, c == std::string::npos ? std::string::npos : c - p));
            size_t dash = part.find('-');
            int lo = 0, hi = 0;
            auto own = numbered ? position_of_own_number(items, part) : std::nullopt;
            if (own) {
                lo = hi = static_cast<int>(*own) + 1;
            } else if (dash == std::string::npos) {
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
        hint(tr("Wpisz numery od 1 do ") + std::to_string(n) + tr(" oddzielone przecinkami."));
    }
}

void TerminalUi::browse_text(std::string_view title, std::string_view text, bool wrap) {
    heading(tr("Przegląd"), title);
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
    wait_enter(tr("Enter: zamknij okno przeglądu"));
}

void TerminalUi::browse_list(std::string_view title, const std::vector<std::string>& items) {
    heading(tr("Przegląd"), title);
    if (items.empty()) hint(tr("(lista jest pusta)"));
    page(items);
    wait_enter(tr("Enter: zamknij okno przeglądu"));
}

// The record window as a numbered list: a position shows that record's fields, an empty
// line closes the window (and, as closing a record window does, starts a new helper window).
void TerminalUi::browse_records(const RecordWindow& w) {
    heading(tr("Przegląd"), w.title);
    for (const auto& h : w.headings)
        print(bold(h));
    for (const auto& [label, n] : w.counts)
        print(label + ": " + std::to_string(n));
    std::vector<std::string> lines;
    lines.reserve(w.numbers.size());
    std::vector<std::string> own;  // "18 " for number 18: the numbers as items that begin with them
    own.reserve(w.numbers.size());
    for (size_t i = 0; i < w.numbers.size(); ++i) {
        lines.push_back(position_prefix(i + 1, w.numbers.size(), true) + w.number_label + " " + w.numbers[i]);
        own.push_back(w.numbers[i] + " ");
    }
    page(lines);
    const int n = static_cast<int>(w.numbers.size());
    for (;;) {
        std::string a =
            trim(ask(tr("Pozycja na liście [1-") + std::to_string(n) + tr("] albo ") + w.number_label +
                     tr(" po znaku #, np. #") + (own.empty() ? "1" : w.numbers.front()) +
                     tr(" (pusty wiersz: zamknij okno):")));
        if (a.empty()) break;
        int pos = 0;
        if (auto at = position_of_own_number(own, a)) pos = static_cast<int>(*at) + 1;
        if (pos == 0 && (!parse_number(a, pos) || pos < 1 || pos > n)) {
            hint(tr("Wpisz numer pozycji od 1 do ") + std::to_string(n) + tr(" albo pusty wiersz."));
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

}  // namespace zuva
