// The syntax errors of the reader as checking tools word them for the author of a file.
#include <algorithm>

#include "kb/base_file_reader.h"
#include "text/i18n.h"
#include "text/nearest_name.h"

namespace zuva {

namespace {

// "1 pole", "3 pola", "5 pól".
std::string fields_word(std::size_t n) {
    if (n == 1) return tr("1 pole");
    const bool few = n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14);
    return std::to_string(n) + (few ? tr(" pola") : tr(" pól"));
}

// The fields given in the record of a line (top-level commas between its parentheses), or
// nullopt when the record does not close.
std::optional<std::size_t> fields_given(std::string_view line) {
    std::size_t at = line.find('(');
    if (at == std::string_view::npos) return std::nullopt;
    std::size_t commas = 0;
    int depth = 0;
    bool in_text = false, any = false;
    for (++at; at < line.size(); ++at) {
        const char c = line[at];
        if (in_text) {
            if (c == '\\')
                ++at;
            else if (c == '"')
                in_text = false;
            continue;
        }
        if (c == '"') in_text = true;
        if (c == '[') ++depth;
        if (c == ']') --depth;
        if (c == ',' && depth == 0) ++commas;
        if (c == ')' && depth == 0) return any || commas > 0 ? commas + 1 : 0;
        if (c != ' ') any = true;
    }
    return std::nullopt;
}

}  // namespace

std::string syntax_error_text(const ReadError& e, const FieldCount& fields_of,
                              const std::vector<std::string>& tables) {
    std::string_view line = e.line_text;
    std::string_view name = line.substr(0, line.find_first_of("(),]"));
    name.remove_prefix(std::min(name.find_first_not_of(' '), name.size()));
    if (e.code == kErrTableName && !name.empty()) {
        std::string m = tr("Nieznana nazwa tabeli ") + std::string(name);
        const std::string near = nearest_name(std::string(name), tables);
        if (!near.empty()) m += tr(" (czy chodziło o ") + near + "?)";
        return m + ".";
    }
    if (e.code == kErrFieldEnd) {
        // The character the reader stopped at: ")" too early, or "," where the record ends.
        std::size_t byte = 0;
        for (int chars = 0; byte < line.size() && chars < e.position; ++chars) {
            ++byte;  // over one character: its lead byte and continuation bytes
            while (byte < line.size() && (static_cast<unsigned char>(line[byte]) & 0xC0) == 0x80)
                ++byte;
        }
        const auto wanted = fields_of(name);
        const auto given = fields_given(line);
        if (wanted && given && byte < line.size() &&
            ((line[byte] == ')' && *given < *wanted) || (line[byte] == ',' && *given > *wanted)))
            return tr("Rekord ") + std::string(name) + tr(" ma ") + fields_word(*wanted) + tr(", a podano ") +
                   std::to_string(*given) + ".";
    }
    return read_error_message(e.code);
}

std::string read_error_message(int code) {
    switch (code) {
        case kErrInteger:
            return tr("Błędna liczba całkowita.");
        case kErrReal:
            return tr("Błędna liczba rzeczywista.");
        case kErrText:
            return tr("Tekst musi zaczynać się od cudzysłowu.");
        case kErrListStart:
            return tr("Lista musi zaczynać się od nawiasu [.");
        case kErrListElement:
            return tr("Po elemencie listy musi wystąpić przecinek lub nawias ].");
        case kErrTableName:
            return tr("Nieznana nazwa tabeli.");
        case kErrOpenParen:
            return tr("Po nazwie tabeli musi wystąpić nawias (.");
        case kErrFieldEnd:
            return tr("Po polu rekordu musi wystąpić przecinek lub nawias ).");
        case kErrIntRange:
            return tr("Liczba całkowita spoza zakresu.");
        case kErrTrailing:
            return tr("Po rekordzie mogą wystąpić tylko spacje.");
        case kErrCannotOpen:
            return tr("Nie można odczytać pliku.");
        case kErrEncoding:
            return tr("Plik nie jest tekstem w stronie kodowej Windows-1250.");
    }
    return tr("Błąd odczytu.");
}

}  // namespace zuva
