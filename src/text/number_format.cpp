// Formatting and reading of reals, independent of the process locale.
#include "text/number_format.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace zuva {

std::string format_lg(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lg", v);
    return buf;
}

std::optional<double> parse_real(std::string_view t) {
    size_t i = 0, n = t.size();
    const bool negative = i < n && t[i] == '-';
    if (i < n && (t[i] == '-' || t[i] == '+')) ++i;
    size_t digits = 0, fraction = 0;
    std::uint64_t mantissa = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9') {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(t[i] - '0');
        ++i, ++digits;
    }
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && t[i] >= '0' && t[i] <= '9') {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(t[i] - '0');
            ++i, ++digits, ++fraction;
        }
    }
    if (digits == 0) return std::nullopt;
    // A plain decimal of at most 15 digits (every CF text): the digits and the power of
    // ten are exact doubles, so one correctly rounded division gives the value the C
    // library's reading gives, without its cost.
    if (i == n && digits <= 15) {
        static constexpr double kPow10[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double v = static_cast<double>(mantissa) / kPow10[fraction];
        return negative ? -v : v;
    }
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

std::string format_cf(double cf) {
    static const std::vector<std::string> table = [] {
        std::vector<std::string> t;
        for (int k = -100; k <= 100; ++k)
            t.push_back(format_lg(k / 100.0));
        return t;
    }();
    if (cf >= -1.0 && cf <= 1.0) {
        const double k = std::floor(cf * 100.0 + 0.5);
        if (k / 100.0 == cf && (k != 0.0 || !std::signbit(cf)))
            return table[static_cast<std::size_t>(k + 100.0)];
    }
    return format_lg(cf);
}

}  // namespace zuva
