// The terminal port's dialogs: questions with buttons, radio choices, text and value
// prompts, and the explanation window.
#include <array>

#include "cli/terminal_support.h"
#include "cli/terminal_ui.h"
#include "shell/commands.h"
#include "text/codec.h"
#include "text/i18n.h"
#include "text/number_format.h"
#include "ui/value_hint.h"

namespace zuva {

using namespace terminal;

// The position of the button an answer names: its label shown or the Polish one (answers in
// Polish work under every language), whole or a unique beginning ("t" for "Tak"); -1 if none.
namespace {

int button_named(std::string_view answer, const std::vector<std::string>& buttons) {
    const std::string want = to_lower_pl(menu_label(answer));
    if (want.empty()) return -1;
    std::vector<std::array<std::string, 2>> names;
    for (const auto& b : buttons)
        names.push_back({to_lower_pl(menu_label(b)), to_lower_pl(menu_label(untranslated(b)))});
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i][0] == want || names[i][1] == want) return static_cast<int>(i);
    int found = -1, count = 0;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i][0].compare(0, want.size(), want) == 0 ||
            names[i][1].compare(0, want.size(), want) == 0) {
            found = static_cast<int>(i);
            ++count;
        }
    return count == 1 ? found : -1;
}

}  // namespace

int TerminalUi::question(std::string_view title, std::string_view text,
                         const std::vector<std::string>& buttons) {
    heading(tr("Pytanie"), title);
    print(text);
    std::string list;
    for (size_t i = 0; i < buttons.size(); ++i)
        list += "  " + std::to_string(i + 1) + ") " + menu_label(buttons[i]);
    print(list);
    for (;;) {
        std::string a = trim(ask(tr("Wybierz przycisk (numer lub nazwa):")));
        int pos = 0;
        if (parse_number(a, pos) && pos >= 1 && pos <= static_cast<int>(buttons.size())) return pos - 1;
        if (const int b = button_named(a, buttons); b >= 0) return b;
        hint(tr("Nie rozumiem odpowiedzi '") + a + tr("'. Wpisz numer od 1 do ") +
             std::to_string(buttons.size()) + tr(" albo nazwę przycisku."));
    }
}

int TerminalUi::radio(std::string_view dialog, std::string_view text, const std::vector<std::string>& options,
                      int initial) {
    heading(tr("Wybór"), dialog);
    print(text);
    bool has_default = initial >= 1 && initial <= static_cast<int>(options.size());
    for (size_t i = 0; i < options.size(); ++i) {
        std::string l = "  " + std::to_string(i + 1) + ") " + menu_label(options[i]);
        if (has_default && static_cast<int>(i) + 1 == initial) l += dim(tr("  (domyślnie)"));
        print(l);
    }
    for (;;) {
        std::string prompt = tr("Wybierz numer od 1 do ") + std::to_string(options.size());
        if (has_default) prompt += " [Enter: " + std::to_string(initial) + "]";
        std::string a = trim(ask(prompt + ":"));
        if (a.empty() && has_default) return initial;
        int pos = 0;
        if (parse_number(a, pos) && pos >= 1 && pos <= static_cast<int>(options.size())) return pos;
        hint(tr("To nie jest numer żadnej z opcji."));
    }
}

std::optional<std::string> TerminalUi::input_text(std::string_view title, std::string_view prompt,
                                                  std::string_view initial) {
    heading(tr("Wpisz tekst"), title);
    print(prompt);
    std::string p = tr("Tekst");
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
    hint(refused_value_reason(refused_value_));
}

void TerminalUi::note_value_answer(std::string_view name, const std::string& answer) {
    const bool number = refused_value_reason(answer).empty();
    refused_value_ = number ? std::string() : (answer.empty() ? std::string(" ") : answer);
    refused_for_ = std::string(name);
}

std::optional<std::string> TerminalUi::value_dialog(std::string_view dialog, std::string_view title,
                                                    std::string_view name) {
    heading(tr("Podaj wartość"), dialog);
    print(title);
    if (!name.empty()) print(tr("Dotyczy: ") + bold(name));
    say_why_value_refused(name);
    std::string a = ask(tr("Wartość (liczba, np. 0.8 lub -1):"));
    note_value_answer(name, a);
    return a;
}

Ui::ValueReply TerminalUi::value_dialog_why(std::string_view dialog, std::string_view title,
                                            std::string_view name) {
    heading(tr("Podaj wartość"), dialog);
    print(title);
    if (!name.empty()) print(tr("Dotyczy: ") + bold(name));
    say_why_value_refused(name);
    hint(tr("? – dlaczego system pyta o tę wartość"));
    std::string a = ask(tr("Wartość (liczba, np. 0.8 lub -1):"));
    note_value_answer(name, a);
    if (trim(a) == "?") return {ValueReply::Kind::Why, {}};
    return {ValueReply::Kind::Text, a};
}

bool TerminalUi::explanation(std::string_view title, const std::vector<std::string>& lines) {
    heading(tr("Wyjaśnienie"), title);
    page(lines);
    const std::vector<std::string> buttons = {tr("&Kontynuuj"), tr("&Zakończ")};
    print("  1) " + menu_label(buttons[0]) + "  2) " + menu_label(buttons[1]));
    for (;;) {
        std::string a = trim(ask(tr("Wybierz przycisk [Enter: Kontynuuj]:")));
        int pos = 0;
        if (a.empty() || (parse_number(a, pos) && pos == 1)) return true;
        if (pos == 2) return false;
        if (const int b = button_named(a, buttons); b >= 0) return b == 0;
        hint(tr("Wpisz 1 (Kontynuuj) albo 2 (Zakończ)."));
    }
}

}  // namespace zuva
