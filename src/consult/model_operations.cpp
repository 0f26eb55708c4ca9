// The operations of the arithmetic models and the relations of the relational ones: what
// each symbol computes, with the undefined cases refused by a note.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "consult/model_eval.h"
#include "consult/model_eval_support.h"
#include "kb/model_base.h"
#include "session/session.h"
#include "text/i18n.h"

namespace zuva {
using namespace model_eval;
namespace {

// Rounds half away from zero to a 32-bit integer.
std::optional<std::int64_t> calkowita(double v) {
    double r = std::round(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int64_t>(r);
}

// Powers up to this are computed by repeated multiplication, as they always were, so their
// values stay the same to the last bit; higher ones with the library's pow, which is exact
// to the last bit or nearly so for every integer power (repeated multiplication would take
// up to 2^31 steps).
constexpr std::int64_t kRepeatedUpTo = 4096;

// a^n for n >= 0.
double potega(double a, std::int64_t n) {
    if (n > kRepeatedUpTo) return std::pow(a, static_cast<double>(n));
    double r = 1.0;
    for (std::int64_t i = 0; i < n && r != 0.0 && std::isfinite(r); ++i)
        r *= a;
    return r;
}

// The polynomial term a * x^p for p >= 0: a multiplied by x p times. Where x^p alone is
// beyond the range of reals but the term is not (a tiny coefficient), the term is formed
// from mantissas and binary exponents kept apart.
double wyraz(double a, double x, std::int64_t p) {
    if (p > kRepeatedUpTo) {
        double xp = std::pow(x, static_cast<double>(p));
        if (xp != 0.0 && std::isfinite(xp)) return a * xp;
        if (x == 0.0 || !std::isfinite(x)) return a * xp;
        int ea = 0, ex = 0;
        double ma = std::frexp(a, &ea), mx = std::frexp(x, &ex);
        // x^p = mx^p * 2^(ex*p); mx^p is taken as 2^(p*log2|mx|) with its sign.
        double lg = static_cast<double>(p) * std::log2(std::fabs(mx)) +
                    static_cast<double>(ex) * static_cast<double>(p) + static_cast<double>(ea);
        double sign = (mx < 0.0 && (p & 1)) ? -ma : ma;
        if (lg > 4000.0) return sign * HUGE_VAL;
        if (lg < -4000.0) return sign * 0.0;
        double whole = std::floor(lg);
        return std::ldexp(sign * std::exp2(lg - whole), static_cast<int>(whole));
    }
    double t = a;
    for (std::int64_t k = 0; k < p && std::isfinite(t) && t != 0.0; ++k)
        t *= x;
    return t;
}

}  // namespace

bool relacja_modelu(const std::string& op) {
    // "<>" is accepted by the load test and compares like "><"; a model written with it
    // is relational like the others rather than a model that is never applied.
    return jest_relacja(op);
}

std::optional<double> wykonaj(Session& s, double a, double b, const std::string& op) {
    if (jest_operacja_jednoargumentowa(op) && b != 0.0) return std::nullopt;
    if (op == "+") return a + b;
    if (op == "-") return a - b;
    if (op == "*") return a * b;
    if (op == "/") {
        if (b != 0.0) return a / b;
        s.helper(tr("Próba dzielenia przez 0!\n"));
        s.ui.note(tr("Uwaga!"), tr("Próba dzielenia przez 0!"));
        return 1.0;
    }
    if (op == "A^N") {
        auto n = calkowita(b);
        if (!n) return odmowa(s, tr("Wartość spoza zakresu liczb całkowitych w operacji A^N!"));
        if (*n < 0) return odmowa(s, tr("Ujemny wykładnik N w operacji A^N!"));
        if (a == 1.0 || *n == 0) return 1.0;
        if (a == -1.0) return *n % 2 ? -1.0 : 1.0;
        return potega(a, *n);
    }
    if (op == "mod" || op == "div") {
        auto x = calkowita(a), y = calkowita(b);
        if (!x || !y) return odmowa(s, tr("Wartość spoza zakresu liczb całkowitych w operacji ") + op + "!");
        if (*y == 0) return odmowa(s, tr("Próba dzielenia całkowitego przez 0 w operacji ") + op + "!");
        return static_cast<double>(op == "mod" ? *x % *y : *x / *y);
    }
    if (op == "%") {
        if (b == 0.0) return odmowa(s, tr("Próba obliczenia procentu względem 0!"));
        return a * 100.0 / b;
    }
    if (op == "min") return a <= b ? a : b;
    if (op == "max") return a <= b ? b : a;
    if (op == "zaokrąglenie_do_N") {
        auto n = calkowita(b);
        if (!n) return odmowa(s, tr("Wartość spoza zakresu liczb całkowitych w operacji zaokrąglenie_do_N!"));
        if (*n < 0) return odmowa(s, tr("Ujemna liczba miejsc dziesiętnych N w operacji zaokrąglenie_do_N!"));
        double m = 1.0;
        for (std::int64_t i = 0; i < *n && std::isfinite(m); ++i)
            m *= 10.0;
        // Beyond the precision of a real the rounding leaves the value as it is.
        if (!std::isfinite(a * m)) return a;
        return std::floor(a * m + 0.5) / m;
    }
    if (op == "sqrt") {
        if (a >= 0.0) return std::sqrt(a);
        s.ui.note(tr("Uwaga!"), tr("Pierwiastek z liczby ujemnej!"));
        return std::sqrt(-a);
    }
    if (op == "sin") return std::sin(a);
    if (op == "cos") return std::cos(a);
    if (op == "tan") return std::tan(a);
    if (op == "arctan") return std::atan(a);
    if (op == "ln" || op == "log") {
        if (a <= 0.0) return odmowa(s, tr("Logarytm z liczby niedodatniej w operacji ") + op + "!");
        return op == "ln" ? std::log(a) : std::log10(a);
    }
    if (op == "exp") return std::exp(a);
    if (op == "round" || op == "trunc") {
        double r = op == "round" ? std::floor(a + 0.5) : std::trunc(a);
        if (!(r >= -2147483648.0 && r <= 2147483647.0))
            return odmowa(s, tr("Wartość spoza zakresu liczb całkowitych w operacji ") + op + "!");
        return r;
    }
    if (op == "abs") return std::fabs(a);
    if (op == "=") return a;
    return std::nullopt;
}

std::optional<double> wykonaj_r(const std::vector<double>& values, const std::string& op) {
    if (op == "+") {
        double r = 0.0;
        for (double v : values)
            r += v;
        return r;
    }
    if (op == "*") {
        double r = 1.0;
        for (double v : values)
            r *= v;
        return r;
    }
    if ((op == "max_list" || op == "min_list") && !values.empty()) {
        double r = values.front();
        for (double v : values)
            r = op == "max_list" ? std::max(r, v) : std::min(r, v);
        return r;
    }
    return std::nullopt;
}

std::optional<double> wykonaj_liniowy(const std::vector<double>& variables,
                                      const std::vector<double>& coefficients, double acc) {
    if (variables.size() != coefficients.size()) return std::nullopt;
    for (std::size_t i = 0; i < variables.size(); ++i)
        acc += coefficients[i] * variables[i];
    return acc;
}

std::optional<double> wykonaj_wielomianowy(const IntList& powers, const std::vector<double>& coefficients,
                                           double x, double acc) {
    if (powers.size() != coefficients.size()) return std::nullopt;
    for (std::size_t i = 0; i < powers.size(); ++i) {
        double a = coefficients[i];
        std::int32_t p = powers[i];
        if (a == 0.0) continue;
        if (p < 0) return std::nullopt;
        acc += wyraz(a, x, p);
    }
    return acc;
}

std::optional<bool> relacja(double a, double b, const std::string& op) {
    if (op == ">") return a > b;
    if (op == "<") return a < b;
    if (op == ">=") return a >= b;
    if (op == "<=") return a <= b;
    if (op == "==") return a == b;
    if (op == "><" || op == "<>") return a != b;
    return std::nullopt;
}

std::optional<bool> relacja_r(double low, double x, double high, const std::string& op) {
    if (op == "<,<") return low < x && x < high;
    if (op == "<=,<") return low <= x && x < high;
    if (op == "<,<=") return low < x && x <= high;
    if (op == "<=,<=") return low <= x && x <= high;
    return std::nullopt;
}

}  // namespace zuva
