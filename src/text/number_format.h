// Numbers as the system reads and writes them: the "%lg" form of reals and the
// standard reading of a decimal real number.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace zuva {

// C's "%lg": six significant digits, trailing zeros removed.
std::string format_lg(double v);
// A decimal real: optional sign, digits with an optional fraction (or a fraction alone),
// optional exponent; the whole text, no blanks, no decimal comma.
std::optional<double> parse_real(std::string_view text);

// A CF as "%lg" writes it; the 201 rounded CFs from -1 to 1 come from a table.
std::string format_cf(double cf);

}  // namespace zuva
