// CF texts read through the one number reader; see the header.
#include "store/cf_values.h"

#include <cmath>

#include "text/number_format.h"

namespace zuva {

double zaokraglenie(double x) {
    return std::floor(100.0 * x + 0.5) / 100.0;
}

std::optional<double> cf_from_text(const std::string& cf_text) {
    auto v = parse_real(cf_text);
    if (!v || *v < -1.0 || *v > 1.0) return std::nullopt;
    return v;
}

}  // namespace zuva
