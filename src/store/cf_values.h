// Certainty factors as numbers: reading a CF text and the rounding to two places, shared
// by the load-time tests and the consultation.
#pragma once
#include <optional>
#include <string>

namespace zuva {

// floor(100·x + 0.5) / 100.
double zaokraglenie(double x);
// The smaller of two reals; when they are equal, b.
inline double mini(double a, double b) {
    return a < b ? a : b;
}
// A CF text that reads as a real in [-1, 1].
std::optional<double> cf_from_text(const std::string& cf_text);

}  // namespace zuva
