#include "shell/finding_text.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "text/codec.h"
#include "text/i18n.h"

namespace zuva {
namespace check {

std::string one_line(std::string_view text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        bool space = c == '\n' || c == '\r' || c == ' ' || c == '\t';
        if (space) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// The text without its closing question ("Chcesz zobaczyć ...?"), which asks the user for
// more and is no part of the finding, and without the directions to a menu option that
// follow a verdict: `zuva check` opens no menu, and the finding names its record.
std::string without_question(std::string_view text) {
    std::string t(text);
    // The words as written and in the language of the run: the texts come from the core.
    const char* ask = N_("\n\nChcesz");
    for (const char* shown : {ask, tr(ask)}) {
        const std::size_t q = t.rfind(shown);
        if (q != std::string::npos) t.erase(q);
        if (std::string_view(tr(ask)) == ask) break;
    }
    for (const char* polish : {N_("przejść do opcji"), N_("Przejdź do opcji"), N_("Przejdź do '"),
                               N_("wybierz opcję"), N_("Wykonaj diagnozę"), N_("Możesz:\n1. Przejść do '"),
                               N_("pokazuje opcja:"), N_("Przejdź do edycji")}) {
        for (const char* direction : {polish, tr(polish)}) {
            const std::size_t at = t.find(direction);
            if (at == std::string::npos) continue;
            // From the start of its line; kept when nothing would be left before it.
            const std::size_t line = t.rfind('\n', at);
            if (line == std::string::npos || t.find_first_not_of(" \n", 0) >= line) continue;
            t.erase(line);
        }
    }
    return t;
}

std::string tidy_message(std::string m) {
    // "regula_splaszczona(N, c, [...] Spłaszczenia dokonano za pomocą reguł: LIST)": the
    // parenthesis of the flattened rule closed after its conditions, the list after it.
    static const std::string kInside = " Spłaszczenia dokonano za pomocą reguł:";
    for (std::size_t at = 0; (at = m.find(kInside, at)) != std::string::npos;) {
        const std::size_t close = m.find(')', at);
        if (close == std::string::npos) break;
        std::string list = one_line(m.substr(at + kInside.size(), close - at - kInside.size()));
        while (!list.empty() && (list.back() == ',' || list.back() == ' '))
            list.pop_back();
        const std::string moved = list.empty() ? ")" : ")" + kInside + " " + list + ".";
        m.replace(at, close + 1 - at, moved);
        at += moved.size();
    }
    // "... o numerach: 3, Reguły ...", "o numerach:6", "o numerach: W wyniku": the list read
    // whole, said only when it holds a number.
    static const std::string kUsed = " Spłaszczenie uzyskano za pomocą reguł o numerach:";
    for (std::size_t at = 0; (at = m.find(kUsed, at)) != std::string::npos;) {
        std::size_t end = at + kUsed.size();
        std::string list;
        while (end < m.size() &&
               (std::isdigit(static_cast<unsigned char>(m[end])) || m[end] == ',' || m[end] == ' ')) {
            if (m[end] != ' ' || (!list.empty() && list.back() != ' ')) list += m[end];
            ++end;
        }
        while (!list.empty() && (list.back() == ',' || list.back() == ' '))
            list.pop_back();
        const std::string put = list.empty() ? " " : kUsed + " " + list + ". ";
        m.replace(at, end - at, put);
        at += put.size() - 1;
    }
    while (!m.empty() && m.back() == ' ')
        m.pop_back();
    // A label with nothing after it.
    if (!m.empty() && m.back() == ':') m.back() = '.';
    return m;
}

std::optional<RecordRef> named_record(std::string_view text) {
    std::vector<std::string> words;
    std::string w;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || u >= 0x80) {
            w += c;
        } else if (!w.empty()) {
            words.push_back(std::move(w));
            w.clear();
        }
    }
    if (!w.empty()) words.push_back(w);
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        std::string l = to_lower_pl(words[i]);
        char what = 0;
        // In either language of the texts: the core's notes come in the language of the run.
        if (l.rfind("reguł", 0) == 0 || l.rfind("regul", 0) == 0 || l == "rule" || l == "rules")
            what = 'r';
        else if (l.rfind("model", 0) == 0)
            what = 'm';
        else if (l.rfind("ogranicz", 0) == 0 || l.rfind("constraint", 0) == 0)
            what = 'o';
        if (!what) continue;
        std::size_t j = i + 1;
        // "reguła o numerze 5", "Model arytmetyczny 4", "Ograniczenie dokładne 2".
        static const char* const between[] = {"o",          "numerze",    "nr",           "arytmetyczny",
                                              "relacyjny",  "liniowy",    "wielomianowy", "rozszerzony",
                                              "podstawowy", "dokładne",   "niepewne",     "number",
                                              "the",        "basic",      "extended",     "linear",
                                              "polynomial", "arithmetic", "relational",   "exact",
                                              "uncertain"};
        auto skippable = [&](const std::string& x) {
            return std::find(std::begin(between), std::end(between), x) != std::end(between);
        };
        while (j < words.size() && j <= i + 3 && skippable(words[j]))
            ++j;
        if (j >= words.size()) continue;
        const std::string& d = words[j];
        if (d.empty() || d.size() > 9 || d.find_first_not_of("0123456789") != std::string::npos) continue;
        return RecordRef{what, std::stol(d)};
    }
    return std::nullopt;
}

// A rule line of the knowledge-base analysis ("Numer reguły:  N    Wniosek:  X"): the number
// and the conclusion, or nullopt for any other text.
std::optional<std::pair<long, std::string>> analysis_rule_line(std::string_view text) {
    const std::string_view head = "Numer reguły:", mid = "Wniosek:";
    if (text.substr(0, head.size()) != head) return std::nullopt;
    const std::size_t at = text.find(mid);
    if (at == std::string_view::npos) return std::nullopt;
    std::string number(text.substr(head.size(), at - head.size()));
    number.erase(0, number.find_first_not_of(' '));
    number.erase(number.find_last_not_of(' ') + 1);
    if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::string conclusion(text.substr(at + mid.size()));
    conclusion.erase(0, conclusion.find_first_not_of(' '));
    return std::make_pair(std::stol(number), conclusion);
}

std::string not_run_text(const std::vector<std::string>& kinds, const std::vector<std::string>& bases) {
    std::string m = tr("Baza reguł jest zewnętrznie sprzeczna i nie daje się spłaszczyć, więc nie wykonano");
    auto list = [&](const char* what, const std::vector<std::string>& items) {
        m += what;
        for (std::size_t i = 0; i < items.size(); ++i)
            m += (i ? ", " : " ") + items[i];
    };
    if (!kinds.empty()) list(tr(" testów"), kinds);
    if (!bases.empty()) list(kinds.empty() ? tr(" ładowania baz") : tr(" i nie załadowano baz"), bases);
    return m + tr(". Usuń sprzeczność i sprawdź bazę ponownie.");
}

}  // namespace check
}  // namespace zuva
