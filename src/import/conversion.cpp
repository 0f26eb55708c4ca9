#include "import/conversion.h"

#include <algorithm>
#include <cmath>

#include "store/cf_values.h"
#include "text/codec.h"
#include "text/i18n.h"
#include "text/number_format.h"

namespace zuva {

namespace {

std::string trimmed_with_points(const std::string& value) {
    size_t b = value.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    size_t e = value.find_last_not_of(' ');
    std::string v = value.substr(b, e - b + 1);
    std::replace(v.begin(), v.end(), ',', '.');
    return v;
}

// The reason a fact or argument row cannot be imported, or the empty text.
std::string unusable(const ImportRow& r, const char* what) {
    if (r.name == kErrorLoading || r.value == kErrorLoading)
        return tr("komórka wiersza nie dała się odczytać");
    if (r.name.empty()) return std::string(tr("brak nazwy ")) + what;
    if (trimmed_with_points(r.value).empty())
        return std::string(tr("brak wartości ")) + what + " '" + r.name + "'";
    return {};
}

}  // namespace

std::string driver_text(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(bytes);
    if (is_valid_utf8(bytes)) return std::string(bytes);
    std::string out;
    for (char c : bytes) {
        auto one = cp1250_to_utf8(std::string_view(&c, 1));
        out += one ? *one : std::string("?");
    }
    return out;
}

ConvertedRows convert_rows(const std::vector<ImportRow>& rows, const RowRefusal& refuse) {
    ConvertedRows out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const ImportRow& r = rows[i];
        const bool fact = r.kind == "fakt";
        if (!fact && r.kind != "argument_znany") continue;
        std::string reason = unusable(r, fact ? "faktu" : "argumentu");
        if (reason.empty() && refuse) reason = refuse(r.name, fact);
        if (!reason.empty()) {
            out.rejected.push_back({i + 1, reason});
            continue;
        }
        const std::string value = trimmed_with_points(r.value);
        if (fact) {
            if (!cf_from_text(value)) {
                out.rejected.push_back({i + 1, tr("wartość CF '") + r.value + tr("' faktu '") + r.name +
                                                   tr("' nie jest liczbą z przedziału [-1,1]")});
                continue;
            }
            out.facts.push_back({r.name, value});
            out.fact_lines.push_back(r.name + "  " + value);
        } else {
            auto real = parse_real(value);
            if (!real || !std::isfinite(*real)) {
                out.argument_not_number = true;
                out.rejected.push_back({i + 1, tr("wartość '") + r.value + tr("' argumentu '") + r.name +
                                                   tr("' nie jest liczbą rzeczywistą")});
                continue;
            }
            out.arguments.push_back({r.name, *real});
            out.argument_lines.push_back(r.name + "  " + value);
        }
    }
    return out;
}

}  // namespace zuva
