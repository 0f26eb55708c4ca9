// The terminal port's dialogs: questions with buttons, radio choices, text and value
// prompts, and the explanation window.
#include "cli/terminal_support.h"
#include "cli/terminal_ui.h"
#include "shell/commands.h"
#include "text/codec.h"
#include "text/number_format.h"
#include "ui/value_hint.h"

namespace zuva {

using namespace terminal;

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
    hint(refused_value_reason(refused_value_));
}

void TerminalUi::note_value_answer(std::string_view name, const std::string& answer) {
    const bool number = refused_value_reason(answer).empty();
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

}  // namespace zuva
