// Reasons for refused values; see the header.
#include "ui/value_hint.h"

#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {
namespace {

std::string trimmed(std::string_view s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return std::string(s.substr(b, s.find_last_not_of(" \t") + 1 - b));
}

}  // namespace

std::string refused_value_reason(std::string_view typed) {
    const std::string t = trimmed(typed);
    if (t == "?" || (!t.empty() && parse_real(t))) return {};
    if (t.empty()) return tr("Nie wpisano wartości. Wpisz liczbę, np. 0.8 lub -1.");
    std::string dot = t;
    if (std::size_t c = dot.find(','); c != std::string::npos) dot[c] = '.';
    if (t.find(',') != std::string::npos && parse_real(dot))
        return "'" + t + tr("' nie jest liczbą: część dziesiętną oddziela się kropką, np. 0.8.");
    return "'" + t + tr("' nie jest liczbą. Wpisz liczbę, np. 0.8 lub -1.");
}

}  // namespace zuva
