// Formatting and reading of reals, independent of the process locale.
#include "text/number_format.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zuva {

std::string format_lg(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lg", v);
    return buf;
}

std::optional<double> parse_real(std::string_view t) {
    size_t i = 0, n = t.size();
    if (i < n && (t[i] == '-' || t[i] == '+')) ++i;
    size_t digits = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9')
        ++i, ++digits;
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && t[i] >= '0' && t[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '-' || t[i] == '+')) ++i;
        size_t ed = 0;
        while (i < n && t[i] >= '0' && t[i] <= '9')
            ++i, ++ed;
        if (ed == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    std::string s(t);
    return std::strtod(s.c_str(), nullptr);
}

}  // namespace zuva
